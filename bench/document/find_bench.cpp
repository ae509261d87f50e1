// Find on a full-capacity mission (44,541 actors, 2,121 plans): a rare text, a text every actor holds,
// folded letters, a miss, and the usages of a location every plan names.
#include <benchmark/benchmark.h>

#include "bench/full_project.h"
#include "editor/document/find_records.h"

namespace vyr::editor {
namespace {

const MissionDocument& FullMission() {
  static MissionDocument* doc = [] {
    auto* filled = new MissionDocument;
    bench::FillToCapacity(*filled);
    return filled;
  }();
  return *doc;
}

void Find(benchmark::State& state, const char* text, KindMask kinds) {
  const MissionDocument& doc = FullMission();
  std::size_t found = 0;
  for (auto _ : state) {
    found = FindRecords(doc, text, kinds).size();
    benchmark::DoNotOptimize(found);
  }
  state.counters["matches"] = static_cast<double>(found);
}
BENCHMARK_CAPTURE(Find, rare_2121, "actor20", kAllKinds)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Find, folded_2121,
                  "\xC1"
                  "CTOR20",
                  kAllKinds)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Find, every_actor, "actor", kAllKinds)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Find, every_a, "a", kAllKinds)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Find, miss, "zebra", kAllKinds)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Find, plans_only, "location1", KindBit(RecordKind::kTeam))->Unit(benchmark::kMillisecond);

void BM_FindUsagesOfALocationEveryPlanNames(benchmark::State& state) {
  const MissionDocument& doc = FullMission();
  const NodeId node = doc.tree().LocationNode(1);
  std::size_t found = 0;
  for (auto _ : state) {
    found = FindUsages(doc, node).size();
    benchmark::DoNotOptimize(found);
  }
  state.counters["usages"] = static_cast<double>(found);
}
BENCHMARK(BM_FindUsagesOfALocationEveryPlanNames)->Unit(benchmark::kMillisecond);

// What the list shows for each visible row: path and place, spelt out from the match.
void BM_SpellOutARow(benchmark::State& state) {
  const MissionDocument& doc = FullMission();
  const std::vector<RecordMatch> matches = FindRecords(doc, "location1", KindBit(RecordKind::kTeam));
  std::size_t i = 0;
  for (auto _ : state) {
    const RecordMatch& match = matches[i++ % matches.size()];
    benchmark::DoNotOptimize(MatchPath(doc, match));
    benchmark::DoNotOptimize(MatchPlace(doc, match));
  }
}
BENCHMARK(BM_SpellOutARow)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vyr::editor

BENCHMARK_MAIN();
