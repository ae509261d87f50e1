// Parses large generated scripts into a fresh model, one per layout: the tidy one the editor writes,
// the uneven ones people write by hand (CR LF and LF), a packed one, one of long literals and one of
// deep nesting. Reports throughput and the peak
// resident memory the parse added, relative to the script's size. Also times an annotation of many pieces.
// `parser_bench --write=LAYOUT:PATH[:MB]` only writes a script of that layout (for timing `vyr check`).
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

bool GenerateTidy(const std::filesystem::path& path) {
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

// A script laid out by hand: tokens separated by whatever its author happened to type (blanks, tabs,
// line breaks in odd places, comments after tokens), or, packed, by single blanks.
class Scribe {
 public:
  Scribe(const std::filesystem::path& path, const char* eol, bool uneven)
      : file_(std::fopen(path.c_str(), "wb")), eol_(eol), uneven_(uneven) {}
  ~Scribe() {
    if (!file_) return;
    Flush();
    std::fclose(file_);
  }
  bool ok() const { return file_ != nullptr; }
  std::uint64_t written() const { return written_ + buffer_.size(); }

  // Tokens (a literal with its quotes is one), each followed by a separator.
  void T(std::initializer_list<std::string_view> tokens) {
    for (std::string_view token : tokens) {
      buffer_ += token;
      Separator();
    }
  }
  // Ends a declaration or statement: its ";" (when given) and a line end.
  void End(std::string_view semicolon = ";") {
    buffer_ += semicolon;
    if (uneven_ && Next() % 8 == 0) buffer_ += "\t// done";
    Line();
  }
  void Line() {
    buffer_ += eol_;
    for (int i = Next() % 3; uneven_ && i > 0; --i)
      buffer_ += '\t';
    if (buffer_.size() > (1 << 16)) Flush();
  }
  std::uint32_t Next() {
    state_ = state_ * 1664525u + 1013904223u;
    return state_ >> 8;
  }

 private:
  void Separator() {
    if (!uneven_) {
      buffer_ += ' ';
      return;
    }
    const std::uint32_t r = Next() % 100;
    if (r < 60) {
      buffer_ += ' ';
    } else if (r < 70) {
      buffer_ += '\t';
    } else if (r < 82) {
      Line();
    } else if (r < 90) {
      buffer_ += "  // why this token";
      Line();
    } else if (r < 97) {
      buffer_ += " /* a note */ ";
    } else {
      buffer_ += "/* a longer note,";
      buffer_ += eol_;
      buffer_ += " * over * lines **";
      buffer_ += eol_;
      buffer_ += " */";
      Line();
    }
  }
  void Flush() {
    written_ += std::fwrite(buffer_.data(), 1, buffer_.size(), file_);
    buffer_.clear();
  }

  std::FILE* file_;
  const char* eol_;
  bool uneven_;
  std::string buffer_;
  std::uint64_t written_ = 0;
  std::uint32_t state_ = 12345;
};

std::string Quoted(std::string_view s) {
  std::string quoted(1, '"');
  quoted.append(s).push_back('"');
  return quoted;
}

// Fits the parser's stack bound: lists of at most a few thousand elements, conditions at most a
// thousand deep; 10^5 unique names over locations, teams and actors.
constexpr int kHandLocations = 4900;
constexpr int kHandAreas = 1500;
constexpr int kHandForces = 20;
constexpr int kHandTeams = 50;    // per force
constexpr int kHandActors = 100;  // per team
constexpr int kHandObjectives = 2000;
constexpr int kHandStatements = 400;  // per plan, plus nested ones

// What sets a hand-written layout apart.
struct HandStyle {
  const char* eol = "\n";
  bool uneven = true;         // blanks, tabs, odd line breaks and comments between tokens
  bool long_strings = false;  // radio messages and codes of a few kilobytes
  bool deep = false;          // conditions thousands deep, on statements tens deep
};

std::string HandLocation(int i) {
  return "ridge_" + std::to_string(i % 7) + "_post" + std::to_string(i);
}

std::string HandTeam(int force, int team) {
  return "Squad " + std::to_string(force) + "-" + std::to_string(team);
}

std::string HandActor(int i) {
  return "Op" + std::to_string(i);
}

std::string Radio(const HandStyle& style, int k) {
  std::string text = "Team in position at grid " + std::to_string(k % 500) +
                     ", holding until the second squad reports the courtyard clear, watch the windows "
                     "(north, east) - over";
  if (style.long_strings) {
    // Each message its own: a few kilobytes of words.
    for (int i = 0, n = 20 + k % 40; i < n; ++i)
      text += " and then sweep sector " + std::to_string(k * 7 + i) + " again, slowly:";
  }
  return text;
}

void HandCondition(Scribe& s, int depth, int seed) {
  // Iterative: "(" x op ( y op ( ... ) ) ")" with a "!" now and then.
  int closes = 0;
  for (int d = 0; d < depth; ++d) {
    if ((seed + d) % 5 == 0) {
      s.T({"!", "("});
      ++closes;
    }
    s.T({"("});
    const int n = (seed * 31 + d * 7) % (kHandForces * kHandTeams * kHandActors);
    switch (d % 4) {
      case 0:
        s.T({"eliminated", "(", Quoted(HandActor(n)), ")"});
        break;
      case 1:
        s.T({"alive", "(", Quoted(HandTeam(n % kHandForces, n % kHandTeams)), ")"});
        break;
      case 2:
        s.T({"occupied", "(", "zone" + std::to_string(n % kHandAreas), ")"});
        break;
      default:
        s.T({"timeout", "(", std::to_string(n % 30000), ")"});
        break;
    }
    s.T({d % 2 ? "&&" : "||"});
    ++closes;
  }
  s.T({"eliminated", "(", Quoted("Force " + std::to_string(seed % kHandForces)), ")"});
  for (int i = 0; i < closes; ++i)
    s.T({")"});
}

void HandStatement(Scribe& s, const HandStyle& style, int k, int depth) {
  const auto loc = [&](int d) { return HandLocation((k * 13 + d) % kHandLocations); };
  const std::string n = std::to_string(k % 500);
  switch (k % 31) {
    // clang-format off
    case 0: s.T({"wait", n}); break;
    case 1: s.T({"wait", n + ".25"}); break;
    case 2: s.T({"wait", "forever"}); break;
    case 3: s.T({"wait", "until", "ready"}); break;
    case 4: s.T({"wait", "until", "assembled"}); break;
    case 5: s.T({"wait", "until", "code", "(", Quoted("go " + n), ")"}); break;
    case 6: s.T({"abort"}); break;
    case 7: s.T({"advance", "towards", loc(1), "using", Quoted("crouch")}); break;
    case 8: s.T({"assemble", "at", loc(2), "using", Quoted("walk")}); break;
    case 9: s.T({"attack", "towards", loc(3)}); break;
    case 10: s.T({"continue", "with", "phase", Quoted("Phase " + n)}); break;
    case 11: s.T({"defend", "towards", loc(4), "from", loc(5)}); break;
    case 12: s.T({"freeze", "towards", loc(6), "for", n}); break;
    case 13: s.T({"freeze", "towards", loc(7), "for", "-" + n + ".5"}); break;
    case 14: s.T({"insert", "at", loc(8), "using", Quoted("rope")}); break;
    case 15: s.T({"join"}); break;
    case 16: s.T({"moveup", "to", loc(9), "using", Quoted("run")}); break;
    case 17: s.T({"observe", loc(10)}); break;
    case 18: s.T({"patrol"}); break;
    case 19: s.T({"patrol", "(", "zone" + n, ",", "zone" + std::to_string(k % kHandAreas), ",", "zone1", ")"}); break;
    case 20: s.T({"phase", Quoted("Phase " + n)}); break;
    case 21: s.T({"pullback", "to", loc(11), "using", Quoted("sprint")}); break;
    case 22: s.T({"radio", Quoted(Radio(style, k))}); break;
    case 23: s.T({"signal", "towards", loc(12)}); break;
    case 24: s.T({"signal", "towards", loc(13), Quoted("flare " + n)}); break;
    case 25: s.T({"signal", "code", Quoted("code " + n)}); break;
    case 26: s.T({"snipe", "from", loc(14), "towards", loc(15)}); break;
    case 27: s.T({"spawn"}); break;
    case 28: s.T({"split", Quoted("Detached " + n), "2"}); break;
    case 29: s.T({"spread", "towards", loc(16), "within", n}); break;
    default: s.T({"take", "cover", "from", loc(17)}); break;
      // clang-format on
  }
  if (k % 37 == 0 && depth < 3) {
    s.End();
    // Deep: a chain of on statements, each holding one statement and the next on.
    const int levels = style.deep && depth == 0 ? 40 : 1;
    for (int level = 0; level < levels; ++level) {
      s.T({"on", "(", "contact", ",", "under", "fire", ",", "code", Quoted("alarm " + n), ",", "casualty",
           ")", "{"});
      s.Line();
      if (level + 1 < levels) {
        HandStatement(s, style, k + 5 + level, 3);
        s.End();
      }
    }
    for (int i = 1; i <= 4; ++i) {
      if (i > 1) s.End();
      HandStatement(s, style, k + i * 5, depth + 1);
    }
    for (int level = 0; level < levels; ++level)
      s.T({"}"});
  }
}

// A layout written by hand, up to about `target` bytes (at least one plan).
bool GenerateByHand(const std::filesystem::path& path, const HandStyle& style, std::uint64_t target) {
  Scribe s(path, style.eol, style.uneven);
  if (!s.ok()) return false;
  s.T({"mission", Quoted("Hand written"), "{"});
  s.Line();
  s.T({"author", Quoted("Someone")});
  s.End();
  s.T({"description", Quoted("Take the compound. " + std::string(4000, 'x') + "\\nThen hold it.")});
  s.End();
  s.T({"rules", "{", "respawn", "=", "individual", ";", "}"});
  s.End();
  s.T({"map", Quoted("compound"), "{", "style", "=", "urban", ",", "dark", ";"});
  s.Line();
  s.T({"annotation", "="});
  for (int i = 0, pieces = style.long_strings ? 2000 : 200; i < pieces; ++i)
    s.T({Quoted(std::string(1000, static_cast<char>('a' + i % 26)) + "\n")});
  s.End();
  for (int i = 0; i < kHandLocations; ++i) {
    s.T({"location", HandLocation(i), "=", "<", std::to_string(i % 4000 - 2000), ",",
         std::to_string((i * 7) % 4000), ",", std::to_string(-(i % 300)), ">"});
    s.End();
  }
  for (int i = 0; i < kHandAreas; ++i) {
    const auto loc = [&](int d) { return HandLocation((i * 3 + d) % kHandLocations); };
    s.T({"area",
         "zone" + std::to_string(i),
         "{",
         "style",
         "=",
         i % 2 ? "roof" : "closed",
         ";",
         "locations",
         "=",
         loc(0),
         ",",
         loc(1),
         ",",
         loc(2),
         ";",
         "entrances",
         "=",
         loc(0),
         ";",
         "exits",
         "=",
         loc(2),
         ";",
         "windows",
         "=",
         loc(1),
         ",",
         loc(2),
         "radius",
         "=",
         std::to_string(40 + i % 60),
         "}"});
    s.End();
  }
  s.T({"}"});
  s.End();
  int actor = 0;
  for (int f = 0; f < kHandForces; ++f) {
    s.T({"force", Quoted("Force " + std::to_string(f)), "{"});
    s.Line();
    for (int t = 0; t < kHandTeams; ++t) {
      s.T({"team", Quoted(HandTeam(f, t)), "{"});
      for (int a = 0; a < kHandActors; ++a, ++actor) {
        if (a) s.End();
        if (actor % 5 == 4) {
          s.T({"player", Quoted(HandActor(actor)), Quoted("ct/swat"), "{", "}"});
          continue;
        }
        s.T({"npc", Quoted(HandActor(actor)), Quoted("terror/urban_" + std::to_string(actor % 9)), "{",
             "weapon", Quoted("MP5/10 Submachinegun"), ";", "ammo", Quoted("Machinegun Magazine"), "=", "4",
             ";", "skill", "=", actor % 2 ? "2.5" : "4", "}"});
      }
      s.T({"}"});
      s.End();
    }
    s.T({"}"});
    s.End();
  }
  s.T({"objectives", "{"});
  s.Line();
  for (int o = 0; o < kHandObjectives; ++o) {
    if (o) s.End();
    s.T({o % 3 ? "success" : "failure", "(", Quoted(HandTeam(o % kHandForces, o % kHandTeams)), ",",
         Quoted("Objective " + std::to_string(o)), ")", "="});
    // A condition takes a few stack entries per level, on top of two per objective before it.
    const int depth = style.deep && o % 10 == 0 && o < 1000 ? 1000 + (o * 7) % 1000
                      : o % 500 == 0                        ? 900
                                                            : 2 + o % 9;
    HandCondition(s, depth, o);
    s.T({"->", "{", Quoted("next_" + std::to_string(o)), ",", Quoted("fallback"), "}"});
  }
  s.T({"}"});
  s.End();
  int k = 0;
  for (int plan = 0; plan == 0 || s.written() < target; ++plan) {
    const int team = plan % (kHandForces * kHandTeams);
    s.T({"plan", Quoted(HandTeam(team / kHandTeams, team % kHandTeams)), "{"});
    s.Line();
    for (int i = 0; i < kHandStatements; ++i, ++k) {
      if (i) s.End();
      HandStatement(s, style, k, 0);
    }
    s.T({"}"});
    s.End();
  }
  s.T({"}"});
  s.Line();
  return true;
}

long PeakRssKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

enum Layout { kTidy, kUnevenCrLf, kUnevenLf, kPacked, kLongStrings, kDeep, kLayoutCount };
const char* const kLayoutNames[kLayoutCount] = {"tidy",   "uneven_crlf",  "uneven_lf",
                                                "packed", "long_strings", "deep_crlf"};
constexpr std::uint64_t kScriptBytes = 48'000'000;

bool Generate(Layout layout, const std::filesystem::path& path, std::uint64_t bytes) {
  switch (layout) {
    case kTidy:
      return GenerateTidy(path);
    case kUnevenCrLf:
      return GenerateByHand(path, {.eol = "\r\n"}, bytes);
    case kUnevenLf:
      return GenerateByHand(path, {}, bytes);
    case kPacked:
      return GenerateByHand(path, {.uneven = false}, bytes);
    case kLongStrings:
      return GenerateByHand(path, {.long_strings = true}, bytes);
    default:
      return GenerateByHand(path, {.eol = "\r\n", .deep = true}, bytes);
  }
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
  if (!Generate(layout, path, kScriptBytes)) {
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
  for (int l = 0; l < kLayoutCount; ++l) {
    if (name == kLayoutNames[l]) return Generate(static_cast<Layout>(l), std::string(rest), bytes) ? 0 : 1;
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
