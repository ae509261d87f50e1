// Costs of the document operations on a full-capacity mission: 101 locations, areas and outcomes,
// 101 forces of 21 teams of 21 actors (44,541 actors, about 47,000 tree nodes).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>

#include "editor/document/edit_history.h"
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

// One undo step of a common edit on the full mission: what the step holds, how long recording it,
// undoing it and making it again take, and how many such steps the default bounds keep.
enum class CommonEdit { kRenameActor, kAddLocation, kDeleteLocation, kDeleteActor, kPasteTeam, kClearForces };

constexpr int kMiddle = kMaxForces / 2;

// Makes room for the edit without recording it (the adds need a free slot, the paste a copied team).
void PrepareEdit(MissionDocument& doc, CommonEdit edit) {
  if (edit == CommonEdit::kAddLocation) (void)doc.DeleteLocation(kMaxLocations - 1);
  if (edit == CommonEdit::kPasteTeam) {
    (void)doc.CopyTeam(kMiddle, 0);
    (void)doc.DeleteTeam(kMiddle, kMaxTeams - 1);
  }
}

// The edit, then what takes it back (so it can be repeated), both as the GUI would record them.
void RunEdit(MissionDocument& doc, CommonEdit edit, int round) {
  const bool even = round % 2 == 0;
  switch (edit) {
    case CommonEdit::kRenameActor:
      (void)doc.SetField(RecordRef::Actor(kMiddle, 10, 10), Field::kNpcName,
                         std::string(even ? "renamed" : "actor10"));
      return;
    case CommonEdit::kAddLocation:
      if (even)
        (void)doc.AddLocation("new", "", 1, 2, 3);
      else
        (void)doc.DeleteLocation(kMaxLocations - 1);
      return;
    case CommonEdit::kDeleteLocation:
      if (even)
        (void)doc.DeleteLocation(kMaxLocations / 2);
      else
        (void)doc.AddLocation("new", "", 1, 2, 3);
      return;
    case CommonEdit::kDeleteActor:
      if (even)
        (void)doc.DeleteActor(kMiddle, 10, 10);
      else
        (void)doc.AddActor(kMiddle, 10, ActorRecord{});
      return;
    case CommonEdit::kPasteTeam:
      if (even)
        (void)doc.PasteTeam(kMiddle);
      else
        (void)doc.DeleteTeam(kMiddle, kMaxTeams - 1);
      return;
    case CommonEdit::kClearForces:
      doc.ClearForces();
      return;
  }
}

// A field edit is recorded from the document's announcement, as typing in a box is; the rest as the
// GUI runs a command.
void Record(EditHistory& history, MissionDocument& doc, CommonEdit edit, int round) {
  if (edit == CommonEdit::kRenameActor) {
    RunEdit(doc, edit, round);
    history.CloseMerge();
  } else {
    history.Perform("edit", [&] { RunEdit(doc, edit, round); });
  }
}

void BM_UndoStep(benchmark::State& state) {
  const auto edit = static_cast<CommonEdit>(state.range(0));
  auto doc = std::make_unique<MissionDocument>();
  FillToCapacity(*doc);
  PrepareEdit(*doc, edit);
  std::size_t step_bytes = 0;
  {
    EditHistory history(*doc);
    const auto started = std::chrono::steady_clock::now();
    Record(history, *doc, edit, 0);
    state.counters["record_ms"] =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
    step_bytes = history.bytes();
    for (auto _ : state) {
      history.Undo();
      history.Redo();
    }
    history.Undo();
  }
  state.counters["step_KB"] = static_cast<double>(step_bytes) / 1024;
  // A long run of the same edit (and what takes it back) under the default bounds.
  if (edit != CommonEdit::kClearForces) {
    EditHistory history(*doc);
    for (int round = 0; round < 120; ++round)
      Record(history, *doc, edit, round);
    state.counters["steps_kept"] = static_cast<double>(history.undo_count());
  } else {
    const EditHistory::Limits limits;
    state.counters["steps_kept"] =
        static_cast<double>(std::min(limits.max_steps, limits.max_bytes / step_bytes));
  }
}
BENCHMARK(BM_UndoStep)->ArgName("edit")->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vyr::editor

BENCHMARK_MAIN();
