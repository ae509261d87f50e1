// Writing a large parsed mission back out as text, and the whole file with CR LF line ends.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <iostream>
#include <string>

#include "tests/writer/script_generator.h"
#include "vyrparser/core/parser.h"
#include "vyrparser/core/writer.h"

namespace {

// A model of several MB: many generated scripts parsed into one model add up.
vyr::parser::ParsedMission& LargeModel() {
  static vyr::parser::ParsedMission* model = [] {
    auto* m = new vyr::parser::ParsedMission;
    vyr::testing::GeneratorOptions options;
    options.max_locations = 60;
    options.max_statements = 60;
    options.vary_spacing = false;
    for (std::uint32_t seed = 1; seed <= 3000; ++seed) {
      if (vyr::parser::ParseMissionBuffer(vyr::testing::ScriptGenerator(seed, options).Generate(), *m) !=
          vyr::parser::ParseResult::kSuccess) {
        std::cerr << "generated script " << seed << " does not parse\n";
        std::exit(1);
      }
    }
    return m;
  }();
  return *model;
}

void BM_MissionText(benchmark::State& state) {
  const auto& model = LargeModel();
  std::size_t bytes = 0;
  for (auto _ : state) {
    const std::string text = vyr::parser::MissionText(model);
    bytes += text.size();
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
  state.counters["text_MB"] = static_cast<double>(bytes) / state.iterations() / 1e6;
}
BENCHMARK(BM_MissionText)->Unit(benchmark::kMillisecond);

void BM_WriteMissionFile(benchmark::State& state) {
  const auto& model = LargeModel();
  const auto path = std::filesystem::temp_directory_path() / "vyr_writer_bench.vyr";
  std::size_t bytes = 0;
  for (auto _ : state) {
    if (!vyr::parser::WriteMission(model, path)) state.SkipWithError("write failed");
    bytes += std::filesystem::file_size(path);
  }
  std::filesystem::remove(path);
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_WriteMissionFile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
