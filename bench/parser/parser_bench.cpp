// Parses large generated scripts into a fresh model, one per layout (script_layouts.h). Reports
// throughput and the peak resident memory the parse added, relative to the script's size. Also times an
// annotation of many pieces. `parser_bench --write=LAYOUT:PATH[:MB]` only writes a script of that layout (for
// timing `vyr check`).
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iostream>
#include <string>
#include <string_view>

#include "bench/parser/script_layouts.h"
#include "vyrparser/core/parsed_mission.h"
#include "vyrparser/core/parser.h"

namespace {

using vyr::bench::kLayoutCount;
using vyr::bench::kLayoutNames;
using vyr::bench::kScriptBytes;
using vyr::bench::Layout;
using vyr::parser::ParsedMission;
using vyr::parser::ParseMissionFile;
using vyr::parser::ParseResult;

long PeakRssKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

long StatusKb(const char* field) {
  long kb = 0;
  if (std::FILE* f = std::fopen("/proc/self/status", "r")) {
    char line[256];
    const std::size_t n = std::strlen(field);
    while (std::fgets(line, sizeof line, f)) {
      if (std::strncmp(line, field, n) == 0) kb = std::atol(line + n + 1);
    }
    std::fclose(f);
  }
  return kb;
}

// Starts a new peak of the resident size (Linux's "clear_refs" 5); false when the system cannot.
bool ResetPeakRss() {
  std::FILE* f = std::fopen("/proc/self/clear_refs", "w");
  if (!f) return false;
  const bool ok = std::fputs("5", f) >= 0;
  return std::fclose(f) == 0 && ok;
}

void BM_Parse(benchmark::State& state) {
  const auto layout = static_cast<Layout>(state.range(0));
  state.SetLabel(kLayoutNames[layout]);
  const auto path = std::filesystem::temp_directory_path() /
                    ("vyr_parser_bench_" + std::to_string(getpid()) + "_" + kLayoutNames[layout] + ".vyr");
  if (!vyr::bench::GenerateLayout(layout, path, kScriptBytes)) {
    state.SkipWithError("cannot write the script");
    return;
  }
  const auto size = std::filesystem::file_size(path);
  // Memory freed by earlier runs goes back to the system, so the peak is this parse's own.
  malloc_trim(0);
  const long rss_before = StatusKb("VmRSS:");
  const bool peak_reset = ResetPeakRss();
  for (auto _ : state) {
    auto mission = std::make_unique<ParsedMission>();
    const ParseResult result = ParseMissionFile(path, *mission);
    if (result != ParseResult::kSuccess) state.SkipWithError("the generated script did not parse");
    benchmark::DoNotOptimize(mission->ActorCount());
    state.PauseTiming();
    mission.reset();
    malloc_trim(0);
    state.ResumeTiming();
  }
  const long peak_added_kb = (peak_reset ? StatusKb("VmHWM:") : PeakRssKb()) - rss_before;
  std::filesystem::remove(path);
  state.SetBytesProcessed(static_cast<int64_t>(size) * state.iterations());
  state.counters["script_MB"] = static_cast<double>(size) / 1e6;
  state.counters["peak_added_MB"] = static_cast<double>(peak_added_kb) * 1024 / 1e6;
  state.counters["peak_per_script_byte"] =
      static_cast<double>(peak_added_kb) * 1024 / static_cast<double>(size);
}
BENCHMARK(BM_Parse)->DenseRange(0, kLayoutCount - 1)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// An annotation of many 1 KB pieces: time and memory grow with the pieces, not their square.
void BM_AnnotationPieces(benchmark::State& state) {
  const auto pieces = static_cast<int>(state.range(0));
  std::string script = "mission \"m\" { author \"a\"; description \"d\"; rules { }; map \"c\" { annotation =";
  for (int i = 0; i < pieces; ++i)
    script.append(" \"").append(1000, static_cast<char>('a' + i % 26)).push_back('"');
  script += "; }; force \"f\" { team \"t\" { }; }; objectives { }; ; }";
  for (auto _ : state) {
    ParsedMission mission;
    if (vyr::parser::ParseMissionBuffer(script, mission) != ParseResult::kSuccess) {
      state.SkipWithError("the annotation did not parse");
    }
    benchmark::DoNotOptimize(mission.annotation.size());
  }
  state.SetBytesProcessed(static_cast<int64_t>(script.size()) * state.iterations());
  state.SetComplexityN(pieces);
}
// The parser's stack bound allows a little under 10,000 pieces.
BENCHMARK(BM_AnnotationPieces)
    ->RangeMultiplier(2)
    ->Range(1250, 10000 - 16)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// Writes one layout's script: --write=LAYOUT:PATH[:MB].
int WriteScript(std::string_view spec) {
  const std::size_t colon = spec.find(':');
  if (colon == std::string_view::npos) return 2;
  const std::string_view name = spec.substr(0, colon);
  std::string_view rest = spec.substr(colon + 1);
  std::uint64_t bytes = kScriptBytes;
  if (const std::size_t mb = rest.rfind(':'); mb != std::string_view::npos) {
    bytes = std::stoull(std::string(rest.substr(mb + 1))) * 1'000'000;
    rest = rest.substr(0, mb);
  }
  if (const Layout layout = vyr::bench::LayoutNamed(name); layout != kLayoutCount) {
    return vyr::bench::GenerateLayout(layout, std::string(rest), bytes) ? 0 : 1;
  }
  std::cerr << "layouts:";
  for (const char* layout : kLayoutNames)
    std::cerr << ' ' << layout;
  std::cerr << '\n';
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::string_view(argv[1]).starts_with("--write=")) {
    return WriteScript(std::string_view(argv[1]).substr(8));
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
