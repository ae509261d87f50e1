#include "tests/writer/script_generator.h"

#include <algorithm>
#include <cctype>

namespace vyr::testing {
namespace {

constexpr std::string_view kStringStart =
    " !'(),-./0123456789:?ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz\\_";
constexpr std::string_view kStringLater = "#%&+=@^|";
constexpr std::string_view kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr std::string_view kIdentLater = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_.";

constexpr std::string_view kSpacing[] = {" ",
                                         " ",
                                         " ",
                                         "  ",
                                         "\t",
                                         "\n",
                                         "\r\n",
                                         " // line comment \"*/ { \n",
                                         "/* block */",
                                         "/*\n * two lines\n */",
                                         "/* a **/ still comment */",
                                         "/** doc **/ */"};

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> pieces;
  for (std::size_t at = 0; at <= text.size();) {
    const std::size_t end = std::min(text.find(separator, at), text.size());
    pieces.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return pieces;
}

}  // namespace

ScriptGenerator::ScriptGenerator(std::uint32_t seed, GeneratorOptions options)
    : random_(seed), options_(options) {}

int ScriptGenerator::Uniform(int low, int high) {
  return std::uniform_int_distribution<int>(low, high)(random_);
}

bool ScriptGenerator::Chance(int percent) {
  return Uniform(1, 100) <= percent;
}

char ScriptGenerator::PickChar(std::string_view set) {
  return set[static_cast<std::size_t>(Uniform(0, static_cast<int>(set.size()) - 1))];
}

void ScriptGenerator::Separator(bool required) {
  if (!options_.vary_spacing) {
    if (required || !out_.empty()) out_ += ' ';
    return;
  }
  if (!required && Chance(30)) return;
  out_ += kSpacing[static_cast<std::size_t>(Uniform(0, static_cast<int>(std::size(kSpacing)) - 1))];
}

void ScriptGenerator::Word(const std::string& text) {
  Separator(last_was_word_);
  out_ += text;
  last_was_word_ = true;
}

void ScriptGenerator::Punct(const std::string& text) {
  Separator(false);
  out_ += text;
  last_was_word_ = false;
}

void ScriptGenerator::Literal(const std::string& text) {
  Punct("\"" + text + "\"");
}

void ScriptGenerator::Emit(std::string_view tokens) {
  for (const std::string_view token : Split(tokens, ' ')) {
    if (std::isalpha(static_cast<unsigned char>(token[0])))
      Word(std::string(token));
    else
      Punct(std::string(token));
  }
}

void ScriptGenerator::Repeat(int count, const char* separator, const std::function<void()>& item) {
  for (int i = 0; i < count; ++i) {
    if (i > 0 && *separator) Punct(separator);
    item();
  }
}

void ScriptGenerator::OptionalSemicolon() {
  if (Chance(50)) Punct(";");
}

// Keywords are all lower-case letters: a name of nothing else gets a digit, so it is never one.
std::string ScriptGenerator::Identifier() {
  std::string name(1, PickChar(kLetters));
  const int length = Uniform(0, 8);
  for (int i = 0; i < length; ++i)
    name += PickChar(kIdentLater);
  if (std::all_of(name.begin(), name.end(), [](char c) { return c >= 'a' && c <= 'z'; }))
    name += PickChar("0123456789");
  return name;
}

std::string ScriptGenerator::StringRun(int max_length) {
  std::string text(1, PickChar(kStringStart));
  const int length = Uniform(0, max_length - 1);
  for (int i = 0; i < length; ++i)
    text += PickChar(Chance(15) ? kStringLater : kStringStart);
  return text;
}

std::string ScriptGenerator::IntText(int low, int high) {
  std::string text = std::to_string(Uniform(low, high));
  if (Chance(5) && text[0] != '-') text.insert(0, "00");  // leading zeros are digits like any other
  return text;
}

// At most six significant digits, so the float reads back from the writer's six-digit text unchanged.
std::string ScriptGenerator::FloatText(bool allow_negative) {
  const int whole_digits = Uniform(1, 4);
  const int fraction_digits = Uniform(1, 6 - whole_digits);
  std::string text = allow_negative && Chance(30) ? "-" : "";
  text += std::to_string(
      Uniform(0, whole_digits == 1 ? 9 : (whole_digits == 2 ? 99 : (whole_digits == 3 ? 999 : 9998))));
  text += '.';
  for (int i = 0; i < fraction_digits; ++i)
    text += static_cast<char>('0' + Uniform(0, 9));
  return text;
}

std::string ScriptGenerator::Generate() {
  out_.clear();
  last_was_word_ = false;
  locations_.clear();
  areas_.clear();
  forces_.clear();
  teams_.clear();
  actors_.clear();

  Emit("mission");
  Literal(StringRun());
  Emit("{ author");
  Literal(StringRun());
  Emit("; description");
  std::string description = StringRun();
  if (Chance(50)) description += "\\nSecond line.\\n" + StringRun();
  Literal(description);
  Emit("; rules {");
  const int rules = Uniform(0, 3);
  Repeat(rules, ";", [&] {
    Emit("respawn =");
    Word(Pick(std::vector<std::string>{"none", "individual", "team"}));
  });
  if (rules > 0) OptionalSemicolon();
  Emit("} ;");
  Map();
  Forces();
  Objectives();
  Plans();
  Emit("}");
  if (Chance(50)) out_ += Chance(50) ? "\n" : "\r\n";
  return out_;
}

void ScriptGenerator::Map() {
  Emit("map");
  Literal(StringRun());
  Emit("{");
  if (Chance(60)) {
    Emit("style =");
    Repeat(Uniform(1, 4), ",", [&] {
      Word(Pick(std::vector<std::string>{"open", "urban", "dark", "indoor"}));
    });
    Emit(";");
  }
  if (Chance(50)) {
    Emit("annotation =");
    Repeat(Uniform(1, 3), "", [&] {
      std::string literal = StringRun();
      if (Chance(40)) literal.append("\n").append(Chance(80) ? StringRun() : std::string());
      Literal(Chance(10) ? "\n" : literal);
    });
    Emit(";");
  }
  const int location_count = Uniform(0, options_.max_locations);
  Repeat(location_count, ";", [&] {
    const std::string name = !locations_.empty() && Chance(10) ? Pick(locations_) : Identifier();
    locations_.push_back(name);
    Emit("location");
    Word(name);
    Emit("= <");
    // Mostly in range, now and then beyond it, where the value wraps to 16 bits.
    Repeat(3, ",", [&] { Word(Chance(5) ? IntText(32768, 99999) : IntText(-32768, 32767)); });
    Emit(">");
  });
  const int area_count = locations_.empty() ? 0 : Uniform(0, options_.max_areas);
  if (location_count > 0 && Chance(50)) Emit(";");
  Repeat(area_count, ";", [&] { Area(); });
  if (area_count > 0) OptionalSemicolon();
  Emit("} ;");
}

void ScriptGenerator::Area() {
  const std::string name = !areas_.empty() && Chance(10) ? Pick(areas_) : Identifier();
  areas_.push_back(name);
  Emit("area");
  Word(name);
  Emit("{ style =");
  Word(Pick(std::vector<std::string>{"open", "closed", "roof"}));
  Emit(";");
  auto location_refs = [this](const char* keyword) {
    Word(keyword);
    Emit("=");
    Repeat(Uniform(1, 4), ",", [&] { Word(Pick(locations_)); });
  };
  location_refs("locations");
  Emit(";");
  for (const char* optional : {"entrances", "exits"}) {
    if (!Chance(40)) continue;
    location_refs(optional);
    Emit(";");
  }
  if (Chance(40)) location_refs("windows");
  if (Chance(60)) {
    Emit("radius =");
    Word(Chance(5) ? IntText(32768, 99999) : IntText(-100, 2000));
  }
  OptionalSemicolon();
  Emit("}");
}

void ScriptGenerator::Forces() {
  Repeat(Uniform(1, options_.max_forces), "", [&] {
    forces_.push_back(StringRun());
    Emit("force");
    Literal(forces_.back());
    Emit("{");
    Repeat(Uniform(1, options_.max_teams), "", [&] {
      teams_.push_back(!teams_.empty() && Chance(10) ? Pick(teams_) : StringRun());
      Emit("team");
      Literal(teams_.back());
      Emit("{");
      const int member_count = Uniform(0, options_.max_members);
      Repeat(member_count, ";", [&] { Member(); });
      if (member_count > 0) OptionalSemicolon();
      Emit("} ;");
    });
    Emit("} ;");
  });
}

void ScriptGenerator::Member() {
  const bool npc = Chance(70);
  actors_.push_back(StringRun());
  Emit(npc ? "npc" : "player");
  Literal(actors_.back());
  Literal(Pick(std::vector<std::string>{"terror/terror", "male/resdog", "female/ctf_r", "m"}) +
          (Chance(20) ? StringRun(4) : ""));
  Emit("{");
  const int equipment = Uniform(0, 5);
  Repeat(equipment, ";", [&] {
    const int kind = Uniform(0, 2);
    Emit(kind == 0 ? "weapon" : kind == 1 ? "ammo" : "item");
    if (kind == 0) Literal(Pick(std::vector<std::string>{"Handcannon", "MK23 Pistol", "Sniper Rifle"}));
    if (kind == 2) Literal(Pick(std::vector<std::string>{"Kevlar Vest", "Silencer", "Bandolier"}));
    if (kind != 1) return;
    Literal(Pick(std::vector<std::string>{"Pistol Clip", "M4 Clip", "12 Gauge Shells"}));
    Emit("=");
    Word(Chance(5) ? IntText(32768, 70000) : IntText(-5, 200));
  });
  if (equipment > 0 && Chance(70)) Emit(";");
  if (npc || Chance(50)) {
    Emit("skill =");
    Word(Chance(50) ? FloatText(true) : IntText(-3, 9));
    OptionalSemicolon();
  }
  Emit("}");
}

void ScriptGenerator::Objectives() {
  Emit("objectives {");
  const int count = Uniform(0, options_.max_objectives);
  Repeat(count, ";", [&] {
    Emit(Chance(50) ? "success (" : "failure (");
    std::vector<std::string> owners = teams_;
    owners.insert(owners.end(), forces_.begin(), forces_.end());
    Literal(Pick(owners));
    Emit(",");
    Literal(StringRun(20));
    Emit(") =");
    Condition(0);
    Emit("-> {");
    Repeat(Uniform(1, 3), ",", [&] { Literal(StringRun()); });
    Emit("}");
  });
  if (count > 0) OptionalSemicolon();
  Emit("} ;");
}

void ScriptGenerator::Condition(int depth) {
  const int choice = depth >= options_.max_condition_depth ? Uniform(0, 3) : Uniform(0, 5);
  std::vector<std::string> members = teams_;
  members.insert(members.end(), actors_.begin(), actors_.end());
  members.insert(members.end(), forces_.begin(), forces_.end());
  if (choice <= 1) {
    Emit(choice == 0 ? "eliminated (" : "alive (");
    Literal(Pick(members));
  } else if (choice == 2) {
    Emit("occupied (");
    Word(Identifier());  // not checked against the areas
  } else if (choice == 3) {
    Emit("timeout (");
    Word(IntText(-10, 3600));
  } else if (choice == 4) {
    Emit("(");
    Condition(depth + 1);
    Emit(Chance(50) ? "||" : "&&");
    Condition(depth + 1);
  } else {
    Emit("! (");
    Condition(depth + 1);
  }
  Emit(")");
}

void ScriptGenerator::Plans() {
  const int count = Uniform(0, options_.max_plans);
  if (count == 0) return Emit(";");
  Repeat(count, "", [&] {
    Emit("plan");
    Literal(Pick(teams_));
    Emit("{");
    StatementList(0);
    Emit("} ;");
  });
  if (Chance(30)) Emit(";");
}

void ScriptGenerator::StatementList(int depth) {
  const int count = Uniform(0, depth == 0 ? options_.max_statements : 3);
  Repeat(count, ";", [&] { Statement(depth); });
  if (count > 0) OptionalSemicolon();
}

void ScriptGenerator::Statement(int depth) {
  // One pattern a statement form, "|" between them. L a location, S a literal, s a short literal, T a
  // team, W a wait time, N a time or distance, I a count, ? an optional short literal; patrol and on
  // are built below.
  static const std::vector<std::string_view> kPatterns = Split(
      "wait W|advance towards L using S|abort|assemble at L using S|attack towards L|"
      "continue with phase S|defend towards L from L|freeze towards L for N|insert at L using S|join|"
      "moveup to L using S|observe L|patrol|phase S|pullback to L using S|radio S|on|signal towards L ?|"
      "signal code s|snipe from L towards L|spawn|split T I|spread towards L within N|take cover from L|"
      "wait until ready|wait until assembled|wait until code ( s )",
      '|');
  for (;;) {
    const std::string_view pattern =
        kPatterns[static_cast<std::size_t>(Uniform(0, static_cast<int>(kPatterns.size()) - 1))];
    if (pattern.find(" L") != std::string_view::npos && locations_.empty()) continue;
    if (pattern == "patrol" && areas_.size() < 2) continue;
    if (pattern == "on" && depth >= options_.max_on_depth) continue;
    if (pattern == "patrol") {
      Emit("patrol");
      if (Chance(30)) return;
      Emit("(");
      Repeat(Uniform(2, 4), ",", [&] { Word(Pick(areas_)); });
      return Emit(")");
    }
    if (pattern == "on") {
      Emit("on (");
      Repeat(Uniform(1, 4), ",", [&] {
        const int event = Uniform(0, 3);
        Emit(event == 0 ? "contact" : event == 1 ? "under fire" : event == 2 ? "casualty" : "code");
        if (event == 3) Literal(StringRun(6));
      });
      Emit(") {");
      StatementList(depth + 1);
      return Emit("}");
    }
    for (const std::string_view piece : Split(pattern, ' ')) {
      if (piece == "L") {
        Word(Pick(locations_));
      } else if (piece == "S") {
        Literal(StringRun(20));
      } else if (piece == "s" || (piece == "?" && Chance(50))) {
        Literal(StringRun(6));
      } else if (piece == "T") {
        Literal(Pick(teams_));
      } else if (piece == "W") {
        Word(Chance(20) ? std::string("forever") : Chance(50) ? IntText(-100, 9999) : FloatText(true));
      } else if (piece == "N") {
        Word(Chance(50) ? IntText(-100, 32767) : FloatText(true));
      } else if (piece == "I") {
        Word(IntText(-5, 30000));
      } else if (piece != "?") {
        Emit(piece);
      }
    }
    return;
  }
}

}  // namespace vyr::testing
