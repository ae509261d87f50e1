// The problem check on the largest mission the editor holds and on the small missions authors build:
// the document's rules alone, with the parser in memory, and through the library as the editor reaches it.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "bench/full_project.h"
#include "editor/check/problems.h"
#include "editor/script/mission_reader.h"
#include "tests/check/in_memory_parser.h"

namespace vyr::editor {
namespace {

// The full tables, made valid so the parser reads the whole script (a fault would stop it early).
void FillValidFull(MissionDocument& doc) {
  bench::FillToCapacity(doc);
  doc.info.vyr_author = "Bench";
  doc.info.vyr_missiondescription = "Every table full.";
  doc.info.vyr_mapname = "urban1";
  for (int i = 0; i < doc.area_count(); ++i)
    (void)doc.SetField(RecordRef::Area(i), Field::kAreaStyle, std::string("open?"));
}

// What an author builds in an afternoon: a dozen locations, three areas, two forces of two teams of four.
void FillSmall(MissionDocument& doc) {
  doc.info = {"Warehouse", "Kim", "Clear the warehouse.", "urban1", "urban?", "Night raid"};
  for (int i = 0; i < 12; ++i)
    doc.AddLocation(bench::Numbered("spot", i), "", static_cast<Integer>(i * 64), 0, 0);
  for (int i = 0; i < 3; ++i)
    doc.AddArea(bench::Numbered("zone", i), "", "spot1?spot2?", 128, "closed?");
  for (int f = 0; f < 2; ++f) {
    doc.AddForce(bench::Numbered("side", f), "");
    for (int t = 0; t < 2; ++t) {
      doc.AddTeam(
          f, bench::Numbered("squad", f * 2 + t), "",
          "  insert at spot0 using \"column\";\r\n  wait until ready;\r\n  advance towards spot5 using "
          "\"run\";\r\n  on (contact) { take cover from spot6; };\r\n  patrol (zone0, zone1);");
      for (int a = 0; a < 4; ++a) {
        ActorRecord actor;
        actor.npc_name = bench::Numbered("man", a);
        actor.weapon[2] = true;
        actor.ammo[2] = 4;
        doc.AddActor(f, t, actor);
      }
    }
  }
  doc.AddOutcome("side0", "Well done", "m2?", "success", "eliminated(\"side1\")");
  doc.AddOutcome("side1", "Lost", "m1?", "failure", "timeout(600)");
}

template <void (*Fill)(MissionDocument&)>
void BM_CheckRules(benchmark::State& state) {
  MissionDocument doc;
  Fill(doc);
  std::size_t count = 0;
  for (auto _ : state)
    count = CheckDocument(doc).size();
  state.counters["problems"] = static_cast<double>(count);
}

// The rules after one plan changed, with the plans' scans kept from the previous check (as the map and
// the problem list share them): only the changed plan is scanned again.
template <void (*Fill)(MissionDocument&)>
void BM_CheckRulesAfterAPlanEdit(benchmark::State& state) {
  MissionDocument doc;
  Fill(doc);
  PlanScans scans;
  (void)CheckDocument(doc, &scans);
  const std::string plan = doc.team(0, 0).plan;
  int key = 0;
  std::size_t count = 0;
  for (auto _ : state) {
    (void)doc.SetField(RecordRef::Team(0, 0), Field::kPlan, plan + (key++ % 2 == 0 ? " " : ""));
    count = CheckDocument(doc, &scans).size();
  }
  state.counters["problems"] = static_cast<double>(count);
}

template <void (*Fill)(MissionDocument&)>
void BM_CheckWithParserInMemory(benchmark::State& state) {
  MissionDocument doc;
  Fill(doc);
  std::size_t count = 0;
  for (auto _ : state)
    count = FindProblems(doc, testing::ParseInMemory).size();
  state.counters["problems"] = static_cast<double>(count);
}

// As the editor checks: the script to a scratch file, parsed by the registered library.
template <void (*Fill)(MissionDocument&)>
void BM_CheckThroughLibrary(benchmark::State& state) {
  const std::string folder =
      (std::filesystem::temp_directory_path() / ("vyr-check-bench-" + std::to_string(::getpid()))).string();
  std::filesystem::create_directories(folder);
  ::setenv("VYR_REGISTRY_FILE", (folder + "/registry.reg").c_str(), 1);
  Status status = EnsureMissionLibraryRegistered(std::string(VYR_LIB_DIR) + "/libvyrparser.so");
  std::unique_ptr<MissionReader> reader = status ? CreateMissionReader(status) : nullptr;
  if (!reader) {
    state.SkipWithError(status.message.c_str());
    return;
  }
  MissionDocument doc;
  Fill(doc);
  const ScriptParser parse = ReaderParser(*reader, folder + "/check.vyr");
  std::size_t count = 0;
  for (auto _ : state)
    count = FindProblems(doc, parse).size();
  state.counters["problems"] = static_cast<double>(count);
  reader.reset();
  std::filesystem::remove_all(folder);
}

BENCHMARK(BM_CheckRules<FillValidFull>)->Name("CheckRules/full")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckWithParserInMemory<FillValidFull>)
    ->Name("CheckWithParser/full")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckThroughLibrary<FillValidFull>)
    ->Name("CheckThroughLibrary/full")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckRulesAfterAPlanEdit<FillValidFull>)
    ->Name("CheckRulesAfterAPlanEdit/full")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckRules<FillSmall>)->Name("CheckRules/small")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CheckWithParserInMemory<FillSmall>)
    ->Name("CheckWithParser/small")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CheckThroughLibrary<FillSmall>)
    ->Name("CheckThroughLibrary/small")
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vyr::editor

BENCHMARK_MAIN();
