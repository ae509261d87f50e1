// Parses a large generated script (written as the editor writes, with CR LF line ends) into a fresh
// model. Reports throughput and the peak resident memory the parse added, relative to the script's size.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "vyrparser/core/parsed_mission.h"
#include "vyrparser/core/parser.h"

namespace {

using vyr::parser::ParsedMission;
using vyr::parser::ParseMissionFile;
using vyr::parser::ParseResult;

// Every list stays within the parser's stack bound (about 5000 elements, fewer for plans, whose
// entries share the stack with the statements of the plan being read).
constexpr int kLocations = 4000;
constexpr int kAreas = 1500;
constexpr int kForces = 40;
constexpr int kTeamsPerForce = 50;
constexpr int kMembersPerTeam = 3;
constexpr int kObjectives = 2000;
constexpr int kStatementsPerPlan = 500;  // plus nested ones

class Writer {
 public:
  explicit Writer(const std::filesystem::path& path) : file_(std::fopen(path.c_str(), "wb")) {}
  ~Writer() {
    if (file_) std::fclose(file_);
  }
  bool ok() const { return file_ != nullptr; }
  // One line, ended with CR LF.
  template <class... Args>
  void Line(const char* format, Args... args) {
    if constexpr (sizeof...(Args) == 0) {
      std::fputs(format, file_);
    } else {
      std::fprintf(file_, format, args...);
    }
    std::fputs("\r\n", file_);
  }

 private:
  std::FILE* file_;
};

std::string TeamName(int force, int team) {
  return "team_" + std::to_string(force) + "_" + std::to_string(team);
}

void WritePlan(Writer& w, int force, int team) {
  const std::string name = TeamName(force, team);
  w.Line("  plan \"%s\"", name.c_str());
  w.Line("  {");
  for (int s = 0; s < kStatementsPerPlan; ++s) {
    const int l = (force * 131 + team * 17 + s) % kLocations;
    switch (s % 12) {
      case 0:
        w.Line("      advance towards loc_%d using \"crouch\";", l);
        break;
      case 1:
        w.Line("      wait %d;", s % 60);
        break;
      case 2:
        w.Line("      defend towards loc_%d from loc_%d;", l, (l + 7) % kLocations);
        break;
      case 3:
        w.Line("      freeze towards loc_%d for 2.5;", l);
        break;
      case 4:
        w.Line("      radio \"Moving to position %d, cover me\";", s);
        break;
      case 5:
        w.Line("      patrol (area_%d, area_%d, area_%d);", l % kAreas, (l + 1) % kAreas, (l + 2) % kAreas);
        break;
      case 6:
        w.Line("      signal towards loc_%d \"go_%d\";", l, s);
        break;
      case 7:
        w.Line("      take cover from loc_%d;", l);
        break;
      case 8:
        w.Line("      on (contact, under fire)");
        w.Line("      {");
        w.Line("        attack towards loc_%d;", l);
        w.Line("        spread towards loc_%d within 12.5;", l);
        w.Line("      };");
        break;
      case 9:
        w.Line("      snipe from loc_%d towards loc_%d;", l, (l + 3) % kLocations);
        break;
      case 10:
        w.Line("");
        w.Line("    phase \"phase_%d\";", s);
        break;
      default:
        w.Line("      moveup to loc_%d using \"run\";", l);
        break;
    }
  }
  w.Line("  };");
  w.Line("");
}

bool Generate(const std::filesystem::path& path) {
  Writer w(path);
  if (!w.ok()) return false;
  w.Line("mission \"Benchmark\"");
  w.Line("{");
  w.Line("  author");
  w.Line("    \"Generator\";");
  w.Line("");
  w.Line("  description");
  w.Line("    \"A large generated mission.\\nEvery list within bounds.\";");
  w.Line("");
  w.Line("  rules");
  w.Line("  {");
  w.Line("    respawn = team;");
  w.Line("  };");
  w.Line("");
  w.Line("  map \"city\"");
  w.Line("  {");
  w.Line("    style = urban, dark;");
  w.Line("");
  for (int i = 0; i < kLocations; ++i) {
    w.Line("    location loc_%-5d = <%5d, %5d, %5d>;", i, (i * 37) % 4000 - 2000, (i * 91) % 4000 - 2000,
           i % 300);
  }
  for (int i = 0; i < kAreas; ++i) {
    w.Line("");
    w.Line("    area area_%d", i);
    w.Line("    { style     = %s;", i % 3 == 0 ? "open" : i % 3 == 1 ? "closed" : "roof");
    w.Line("      locations = loc_%d, loc_%d, loc_%d, loc_%d;", i, i + 1, i + 2, i + 3);
    w.Line("      entrances = loc_%d;", i);
    w.Line("      exits     = loc_%d;", i + 3);
    w.Line("      radius    = %d;", 64 + i % 100);
    w.Line("    };");
  }
  w.Line("  };");
  w.Line("");
  int actor = 0;
  for (int f = 0; f < kForces; ++f) {
    w.Line("  force \"force_%d\"", f);
    w.Line("  {");
    for (int t = 0; t < kTeamsPerForce; ++t) {
      w.Line("    team \"%s\"", TeamName(f, t).c_str());
      for (int m = 0; m < kMembersPerTeam; ++m, ++actor) {
        w.Line(
            m == 0 ? "    { npc \"actor_%d\" \"terror/terror\"" : "      npc \"actor_%d\" \"terror/terror\"",
            actor);
        w.Line("        { ");
        w.Line("          weapon \"MP5/10 Submachinegun\";");
        w.Line("          ammo   \"Machinegun Magazine\" = 4;");
        w.Line("          item   \"Kevlar Vest\";");
        w.Line("          skill  = %d;", 1 + actor % 5);
        w.Line("        };");
      }
      w.Line("    };");
    }
    w.Line("  };");
    w.Line("");
  }
  w.Line("  objectives");
  w.Line("  {");
  for (int o = 0; o < kObjectives; ++o) {
    const int f = o % kForces;
    w.Line("    %s", o % 2 ? "failure" : "success");
    w.Line("      ( \"force_%d\",", f);
    w.Line("        \"Objective %d reached\"", o);
    w.Line("      )");
    w.Line("      =  ( ( eliminated(\"force_%d\") && alive(\"actor_%d\") ) || !( timeout(%d) ) )",
           (f + 1) % kForces, o % actor, 300 + o);
    w.Line("      -> {\"next_%d\"};", o);
  }
  w.Line("  };");
  w.Line("");
  for (int f = 0; f < kForces; ++f) {
    for (int t = 0; t < kTeamsPerForce; ++t)
      WritePlan(w, f, t);
  }
  w.Line("}");
  return true;
}

long CurrentRssKb() {
  long pages = 0, resident = 0;
  if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

long PeakRssKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// The resident size before the first parse: the process's peak from then on is the parse's own.
long g_rss_before_any_parse_kb = 0;

const std::filesystem::path& ScriptPath() {
  static const std::filesystem::path path = [] {
    const auto p =
        std::filesystem::temp_directory_path() / ("vyr_parser_bench_" + std::to_string(getpid()) + ".vyr");
    if (!Generate(p)) std::cerr << "cannot write " << p << "\n";
    return p;
  }();
  return path;
}

void BM_ParseLargeScript(benchmark::State& state) {
  const auto& path = ScriptPath();
  const auto size = std::filesystem::file_size(path);
  for (auto _ : state) {
    auto mission = std::make_unique<ParsedMission>();
    const ParseResult result = ParseMissionFile(path, *mission);
    if (result != ParseResult::kSuccess) state.SkipWithError("the generated script did not parse");
    benchmark::DoNotOptimize(mission->ActorCount());
    state.PauseTiming();
    mission.reset();
    state.ResumeTiming();
  }
  const long peak_added_kb = PeakRssKb() - g_rss_before_any_parse_kb;
  state.SetBytesProcessed(static_cast<int64_t>(size) * state.iterations());
  state.counters["script_MB"] = static_cast<double>(size) / 1e6;
  state.counters["peak_added_MB"] = static_cast<double>(peak_added_kb) * 1024 / 1e6;
  state.counters["peak_per_script_byte"] =
      static_cast<double>(peak_added_kb) * 1024 / static_cast<double>(size);
}
BENCHMARK(BM_ParseLargeScript)->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  ScriptPath();
  g_rss_before_any_parse_kb = CurrentRssKb();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove(ScriptPath());
  return 0;
}
