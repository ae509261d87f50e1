// Costs of the document operations on a full-capacity mission: 101 locations, areas and outcomes,
// 101 forces of 21 teams of 21 actors (44,541 actors, about 47,000 tree nodes).
#include <benchmark/benchmark.h>

#include <memory>

#include "editor/document/mission_document.h"

namespace vyr::editor {
namespace {

// Fills the document the way a loaded project is filled: through the Add operations, in file order.
void FillToCapacity(MissionDocument& doc) {
  doc.NewProject();
  ActorRecord actor;
  actor.npc_skin = "terror/terror";
  for (int i = 0; i < kMaxLocations; ++i)
    (void)doc.AddLocation("location", "a place", 1, 2, 3);
  for (int i = 0; i < kMaxAreas; ++i)
    (void)doc.AddArea("area", "", "location?", 64, "open?");
  for (int f = 0; f < kMaxForces; ++f) {
    (void)doc.AddForce("force", "");
    for (int t = 0; t < kMaxTeams; ++t) {
      (void)doc.AddTeam(f, "team", "", "move location\r\nwait 5");
      for (int a = 0; a < kMaxActors; ++a)
        (void)doc.AddActor(f, t, actor);
    }
  }
  for (int i = 0; i < kMaxOutcomes; ++i)
    (void)doc.AddOutcome("force", "done", "", "success", "time 60");
}

void BM_FillToCapacity(benchmark::State& state) {
  auto doc = std::make_unique<MissionDocument>();
  for (auto _ : state) {
    FillToCapacity(*doc);
    benchmark::DoNotOptimize(doc->tree().node_count());
  }
}
BENCHMARK(BM_FillToCapacity)->Unit(benchmark::kMillisecond);

void BM_ClearForces(benchmark::State& state) {
  auto doc = std::make_unique<MissionDocument>();
  for (auto _ : state) {
    state.PauseTiming();
    FillToCapacity(*doc);
    state.ResumeTiming();
    doc->ClearForces();
    benchmark::DoNotOptimize(doc->force_count());
  }
}
BENCHMARK(BM_ClearForces)->Unit(benchmark::kMillisecond);

// The same with observers connected, as the GUI's item model and windows will be.
void BM_ClearForcesObserved(benchmark::State& state) {
  auto doc = std::make_unique<MissionDocument>();
  int events = 0;
  auto tree_connection = doc->tree().changes().Connect([&](const TreeEvent&) { ++events; });
  auto doc_connection = doc->changes().Connect([&](DocumentChange) { ++events; });
  for (auto _ : state) {
    state.PauseTiming();
    FillToCapacity(*doc);
    state.ResumeTiming();
    doc->ClearForces();
    benchmark::DoNotOptimize(events);
  }
}
BENCHMARK(BM_ClearForcesObserved)->Unit(benchmark::kMillisecond);

// Deleting location 0 until none is left: every deletion shifts the node indices of ~47,000 nodes.
void BM_DeleteEveryLocation(benchmark::State& state) {
  auto doc = std::make_unique<MissionDocument>();
  for (auto _ : state) {
    state.PauseTiming();
    FillToCapacity(*doc);
    state.ResumeTiming();
    while (doc->location_count() > 0)
      (void)doc->DeleteLocation(0);
    benchmark::DoNotOptimize(doc->tree().node_count());
  }
}
BENCHMARK(BM_DeleteEveryLocation)->Unit(benchmark::kMillisecond);

// The same with 51 property windows open on the last actors, each told its new node index.
void BM_DeleteEveryLocationWithOpenWindows(benchmark::State& state) {
  auto doc = std::make_unique<MissionDocument>();
  for (auto _ : state) {
    state.PauseTiming();
    FillToCapacity(*doc);
    for (int a = 0; a < 21; ++a) {
      (void)doc->tree().OpenWindow(doc->tree().ActorNode(100, 20, a));
      (void)doc->tree().OpenWindow(doc->tree().ActorNode(100, 19, a));
    }
    for (int a = 0; a < 9; ++a)
      (void)doc->tree().OpenWindow(doc->tree().ActorNode(100, 18, a));
    state.ResumeTiming();
    while (doc->location_count() > 0)
      (void)doc->DeleteLocation(0);
    benchmark::DoNotOptimize(doc->tree().node_count());
  }
}
BENCHMARK(BM_DeleteEveryLocationWithOpenWindows)->Unit(benchmark::kMillisecond);

void BM_SearchByNameMiss(benchmark::State& state) {
  auto doc = std::make_unique<MissionDocument>();
  FillToCapacity(*doc);
  for (auto _ : state)
    benchmark::DoNotOptimize(doc->SearchByName("nowhere"));
}
BENCHMARK(BM_SearchByNameMiss)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vyr::editor

BENCHMARK_MAIN();
