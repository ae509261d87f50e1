#include "bench/parser/script_layouts.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>

namespace vyr::bench {
namespace {

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

// Text-heavy scripts, shaped like missions whose authors write many short messages: about 8-byte
// literals, four in five of them new; a line break or a tab between most tokens (or, with
// blank_runs, runs of up to 40 blanks); comments throughout; a few hundred distinct identifiers.
class Typist {
 public:
  Typist(const std::filesystem::path& path, bool blank_runs)
      : file_(std::fopen(path.c_str(), "wb")), blank_runs_(blank_runs) {}
  ~Typist() {
    if (!file_) return;
    Flush();
    std::fclose(file_);
  }
  bool ok() const { return file_ != nullptr; }
  std::uint64_t written() const { return written_ + buffer_.size(); }

  void T(std::initializer_list<std::string_view> tokens) {
    for (std::string_view token : tokens) {
      buffer_ += token;
      Separator();
    }
  }
  std::uint32_t Next() {
    state_ = state_ * 1664525u + 1013904223u;
    return state_ >> 8;
  }
  // A literal of about eight bytes; four in five have not been written before.
  std::string Short(char kind) {
    const std::uint32_t n = Next() % 5 == 0 ? Next() % 4096 : ++serial_;
    std::string text = "\"";
    text += kind;
    for (std::uint32_t v = n * 2654435761u % 2176782336u, i = 0; i < 6; ++i, v /= 36)
      text += "0123456789abcdefghijklmnopqrstuvwxyz"[v % 36];
    text += '"';
    return text;
  }

 private:
  void Separator() {
    const std::uint32_t r = Next() % 100;
    if (blank_runs_ && r < 55) {
      buffer_.append(1 + Next() % 40, ' ');
    } else if (r < 45) {
      buffer_ += '\n';
    } else if (r < 75) {
      buffer_ += '\t';
    } else if (r < 88) {
      buffer_ += "\n\t\t";
    } else if (r < 94) {
      buffer_ += " // left as it was\n";
    } else {
      buffer_ += "\t/* see the briefing */\n";
    }
    if (buffer_.size() > (1 << 16)) Flush();
  }
  void Flush() {
    written_ += std::fwrite(buffer_.data(), 1, buffer_.size(), file_);
    buffer_.clear();
  }

  std::FILE* file_;
  bool blank_runs_;
  std::string buffer_;
  std::uint64_t written_ = 0;
  std::uint32_t state_ = 4711;
  std::uint32_t serial_ = 0;
};

constexpr int kTextLocations = 400;
constexpr int kTextAreas = 200;
constexpr int kTextForces = 10;
constexpr int kTextTeams = 40;   // per force
constexpr int kTextActors = 60;  // per team
constexpr int kTextStatements = 300;

std::string TextPlace(int i) {
  return "post" + std::to_string(i % kTextLocations);
}

bool GenerateTextHeavy(const std::filesystem::path& path, bool blank_runs, std::uint64_t target) {
  Typist s(path, blank_runs);
  if (!s.ok()) return false;
  s.T({"mission", "\"Convoy\"", "{", "author", "\"Someone\"", ";", "description", "\"Stop the convoy\"",
       ";"});
  s.T({"rules", "{", "respawn", "=", "team", ";", "}", ";", "map", "\"docks\"", "{", "style", "=", "open",
       ";"});
  for (int i = 0; i < kTextLocations; ++i) {
    s.T({"location", TextPlace(i), "=", "<", std::to_string(i * 3 - 600), ",", std::to_string(i % 50), ",",
         "-" + std::to_string(i % 7), ">", ";"});
  }
  for (int i = 0; i < kTextAreas; ++i) {
    s.T({"area", "yard" + std::to_string(i), "{", "style", "=", "open", ";", "locations", "=", TextPlace(i),
         ",", TextPlace(i + 1), ";", "radius", "=", "48", "}", ";"});
  }
  s.T({"}", ";"});
  for (int f = 0; f < kTextForces; ++f) {
    s.T({"force", "\"F" + std::to_string(f) + "\"", "{"});
    for (int t = 0; t < kTextTeams; ++t) {
      s.T({"team", "\"T" + std::to_string(f * kTextTeams + t) + "\"", "{"});
      for (int a = 0; a < kTextActors; ++a) {
        s.T({"npc", s.Short('a'), "\"t/u3\"",   "{", "weapon", "\"MP5\"", ";", "ammo", "\"Mag\"", "=", "4",
             ";",   "item",       s.Short('i'), ";", "skill",  "=",       "3", "}",    ";"});
      }
      s.T({"}", ";"});
    }
    s.T({"}", ";"});
  }
  s.T({"objectives", "{"});
  for (int o = 0; o < 2000; ++o) {
    s.T({o % 2 ? "success" : "failure",
         "(",
         "\"T" + std::to_string(o % (kTextForces * kTextTeams)) + "\"",
         ",",
         s.Short('m'),
         ")",
         "=",
         "(",
         "timeout",
         "(",
         std::to_string(60 + o),
         ")",
         "||",
         "occupied",
         "(",
         "yard" + std::to_string(o % kTextAreas),
         ")",
         ")",
         "->",
         "{",
         s.Short('n'),
         "}",
         ";"});
  }
  s.T({"}", ";"});
  for (int plan = 0; plan == 0 || s.written() < target; ++plan) {
    s.T({"plan", "\"T" + std::to_string(plan % (kTextForces * kTextTeams)) + "\"", "{"});
    for (int i = 0; i < kTextStatements; ++i) {
      const int k = static_cast<int>(s.Next() % 10);
      switch (k) {
        // clang-format off
        case 0: case 1: s.T({"radio", s.Short('r')}); break;
        case 2: s.T({"signal", "code", s.Short('c')}); break;
        case 3: s.T({"phase", s.Short('p')}); break;
        case 4: s.T({"wait", "until", "code", "(", s.Short('w'), ")"}); break;
        case 5: s.T({"split", s.Short('s'), "2"}); break;
        case 6: s.T({"advance", "towards", TextPlace(i), "using", "\"walk\""}); break;
        case 7: s.T({"signal", "towards", TextPlace(i + 9), s.Short('g')}); break;
        case 8: s.T({"continue", "with", "phase", s.Short('p')}); break;
        default: s.T({"wait", std::to_string(i % 30)}); break;
          // clang-format on
      }
      s.T({";"});
    }
    s.T({"}", ";"});
  }
  s.T({"}"});
  return true;
}

}  // namespace

bool GenerateLayout(Layout layout, const std::filesystem::path& path, std::uint64_t bytes) {
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
    case kDeep:
      return GenerateByHand(path, {.eol = "\r\n", .deep = true}, bytes);
    case kTextHeavy:
      return GenerateTextHeavy(path, false, bytes);
    case kBlankRuns:
      return GenerateTextHeavy(path, true, bytes);
    default:
      return false;
  }
}

Layout LayoutNamed(std::string_view name) {
  for (int l = 0; l < kLayoutCount; ++l) {
    if (name == kLayoutNames[l]) return static_cast<Layout>(l);
  }
  return kLayoutCount;
}

}  // namespace vyr::bench
