#include "tests/writer/script_generator.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace vyr::testing {
namespace {

constexpr std::array<std::string_view, 81> kKeywords = {
    "mission",   "author",     "description", "map",        "area",    "style",    "open",    "closed",
    "roof",      "locations",  "entrances",   "exits",      "windows", "urban",    "dark",    "indoor",
    "radius",    "location",   "force",       "team",       "npc",     "ammo",     "item",    "skill",
    "weapon",    "player",     "rules",       "success",    "failure", "respawn",  "plan",    "at",
    "on",        "set",        "for",         "forever",    "from",    "to",       "towards", "using",
    "with",      "within",     "wait",        "abort",      "advance", "assemble", "attack",  "continue",
    "cover",     "defend",     "freeze",      "insert",     "join",    "observe",  "moveup",  "patrol",
    "pullback",  "phase",      "radio",       "signal",     "snipe",   "spawn",    "split",   "spread",
    "take",      "until",      "ready",       "assembled",  "code",    "contact",  "under",   "fire",
    "casualty",  "objectives", "occupied",    "eliminated", "alive",   "timeout",  "none",    "individual",
    "annotation"};

constexpr std::string_view kStringStart =
    " !'(),-./0123456789:?ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz\\_";
constexpr std::string_view kStringLater = "#%&+=@^|";
constexpr std::string_view kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr std::string_view kIdentLater = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_.";

constexpr std::array<std::string_view, 12> kSpacing = {" ",
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

}  // namespace

ScriptGenerator::ScriptGenerator(std::uint32_t seed, GeneratorOptions options)
    : random_(seed), options_(options) {}

int ScriptGenerator::Uniform(int low, int high) {
  return std::uniform_int_distribution<int>(low, high)(random_);
}

bool ScriptGenerator::Chance(int percent) {
  return Uniform(1, 100) <= percent;
}

void ScriptGenerator::Separator(bool required) {
  if (!options_.vary_spacing) {
    if (required || !out_.empty()) out_ += ' ';
    return;
  }
  if (!required && Chance(30)) return;
  out_ += kSpacing[static_cast<std::size_t>(Uniform(0, static_cast<int>(kSpacing.size()) - 1))];
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

std::string ScriptGenerator::Identifier() {
  for (;;) {
    std::string name(1,
                     kLetters[static_cast<std::size_t>(Uniform(0, static_cast<int>(kLetters.size()) - 1))]);
    const int length = Uniform(0, 8);
    for (int i = 0; i < length; ++i)
      name += kIdentLater[static_cast<std::size_t>(Uniform(0, static_cast<int>(kIdentLater.size()) - 1))];
    if (std::find(kKeywords.begin(), kKeywords.end(), name) == kKeywords.end()) return name;
  }
}

std::string ScriptGenerator::StringRun(int max_length) {
  std::string text(
      1, kStringStart[static_cast<std::size_t>(Uniform(0, static_cast<int>(kStringStart.size()) - 1))]);
  const int length = Uniform(0, max_length - 1);
  for (int i = 0; i < length; ++i) {
    if (Chance(15))
      text += kStringLater[static_cast<std::size_t>(Uniform(0, static_cast<int>(kStringLater.size()) - 1))];
    else
      text += kStringStart[static_cast<std::size_t>(Uniform(0, static_cast<int>(kStringStart.size()) - 1))];
  }
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

std::string ScriptGenerator::NumberText(bool allow_negative, int int_low, int int_high) {
  if (Chance(50)) return FloatText(allow_negative);
  return IntText(allow_negative ? int_low : std::max(0, int_low), int_high);
}

void ScriptGenerator::OptionalSemicolon() {
  if (Chance(50)) Punct(";");
}

std::string ScriptGenerator::Generate() {
  out_.clear();
  last_was_word_ = false;
  locations_.clear();
  areas_.clear();
  forces_.clear();
  teams_.clear();
  actors_.clear();

  Word("mission");
  Literal(StringRun());
  Punct("{");
  MissionHeader();
  Rules();
  Map();
  Forces();
  Objectives();
  Plans();
  Punct("}");
  if (Chance(50)) out_ += Chance(50) ? "\n" : "\r\n";
  return out_;
}

void ScriptGenerator::MissionHeader() {
  Word("author");
  Literal(StringRun());
  Punct(";");
  Word("description");
  std::string description = StringRun();
  if (Chance(50)) description += "\\nSecond line.\\n" + StringRun();
  Literal(description);
  Punct(";");
}

void ScriptGenerator::Rules() {
  Word("rules");
  Punct("{");
  const int count = Uniform(0, 3);
  for (int i = 0; i < count; ++i) {
    if (i > 0) Punct(";");
    Word("respawn");
    Punct("=");
    Word(Pick(std::vector<std::string>{"none", "individual", "team"}));
  }
  if (count > 0) OptionalSemicolon();
  Punct("}");
  Punct(";");
}

void ScriptGenerator::Map() {
  Word("map");
  Literal(StringRun());
  Punct("{");
  if (Chance(60)) {
    Word("style");
    Punct("=");
    const int count = Uniform(1, 4);
    for (int i = 0; i < count; ++i) {
      if (i > 0) Punct(",");
      Word(Pick(std::vector<std::string>{"open", "urban", "dark", "indoor"}));
    }
    Punct(";");
  }
  if (Chance(50)) {
    Word("annotation");
    Punct("=");
    const int pieces = Uniform(1, 3);
    for (int i = 0; i < pieces; ++i) {
      std::string literal = StringRun();
      if (Chance(40)) literal += "\n" + (Chance(80) ? StringRun() : std::string());
      if (Chance(10)) literal = "\n";
      Literal(literal);
    }
    Punct(";");
  }

  const int location_count = Uniform(0, options_.max_locations);
  for (int i = 0; i < location_count; ++i) {
    if (i > 0) Punct(";");
    const std::string name = !locations_.empty() && Chance(10) ? Pick(locations_) : Identifier();
    locations_.push_back(name);
    Word("location");
    Word(name);
    Punct("=");
    Punct("<");
    for (int c = 0; c < 3; ++c) {
      if (c > 0) Punct(",");
      // Mostly in range, now and then beyond it, where the value wraps to 16 bits.
      Word(Chance(5) ? IntText(32768, 99999) : IntText(-32768, 32767));
    }
    Punct(">");
  }
  const int area_count = locations_.empty() ? 0 : Uniform(0, options_.max_areas);
  if (location_count > 0 && Chance(50)) Punct(";");
  for (int i = 0; i < area_count; ++i) {
    if (i > 0) Punct(";");
    Area();
  }
  if (area_count > 0) OptionalSemicolon();
  Punct("}");
  Punct(";");
}

void ScriptGenerator::Area() {
  const std::string name = !areas_.empty() && Chance(10) ? Pick(areas_) : Identifier();
  areas_.push_back(name);
  Word("area");
  Word(name);
  Punct("{");
  Word("style");
  Punct("=");
  Word(Pick(std::vector<std::string>{"open", "closed", "roof"}));
  Punct(";");
  auto location_refs = [this](const char* keyword) {
    Word(keyword);
    Punct("=");
    const int count = Uniform(1, 4);
    for (int i = 0; i < count; ++i) {
      if (i > 0) Punct(",");
      Word(Pick(locations_));
    }
  };
  location_refs("locations");
  Punct(";");
  if (Chance(40)) {
    location_refs("entrances");
    Punct(";");
  }
  if (Chance(40)) {
    location_refs("exits");
    Punct(";");
  }
  if (Chance(40)) location_refs("windows");
  if (Chance(60)) {
    Word("radius");
    Punct("=");
    Word(Chance(5) ? IntText(32768, 99999) : IntText(-100, 2000));
  }
  OptionalSemicolon();
  Punct("}");
}

void ScriptGenerator::Forces() {
  const int force_count = Uniform(1, options_.max_forces);
  for (int f = 0; f < force_count; ++f) {
    const std::string force = StringRun();
    forces_.push_back(force);
    Word("force");
    Literal(force);
    Punct("{");
    const int team_count = Uniform(1, options_.max_teams);
    for (int t = 0; t < team_count; ++t) {
      const std::string team = !teams_.empty() && Chance(10) ? Pick(teams_) : StringRun();
      teams_.push_back(team);
      Word("team");
      Literal(team);
      Punct("{");
      const int member_count = Uniform(0, options_.max_members);
      for (int m = 0; m < member_count; ++m) {
        if (m > 0) Punct(";");
        Member();
      }
      if (member_count > 0) OptionalSemicolon();
      Punct("}");
      Punct(";");
    }
    Punct("}");
    Punct(";");
  }
}

void ScriptGenerator::Member() {
  const bool npc = Chance(70);
  const std::string name = StringRun();
  actors_.push_back(name);
  Word(npc ? "npc" : "player");
  Literal(name);
  Literal(Pick(std::vector<std::string>{"terror/terror", "male/resdog", "female/ctf_r", "m"}) +
          (Chance(20) ? StringRun(4) : ""));
  Punct("{");
  const int equipment = Uniform(0, 5);
  for (int e = 0; e < equipment; ++e) {
    if (e > 0) Punct(";");
    switch (Uniform(0, 2)) {
      case 0:
        Word("weapon");
        Literal(Pick(std::vector<std::string>{"Handcannon", "MK23 Pistol", "Sniper Rifle"}));
        break;
      case 1:
        Word("ammo");
        Literal(Pick(std::vector<std::string>{"Pistol Clip", "M4 Clip", "12 Gauge Shells"}));
        Punct("=");
        Word(Chance(5) ? IntText(32768, 70000) : IntText(-5, 200));
        break;
      default:
        Word("item");
        Literal(Pick(std::vector<std::string>{"Kevlar Vest", "Silencer", "Bandolier"}));
        break;
    }
  }
  if (equipment > 0 && Chance(70)) Punct(";");
  if (npc || Chance(50)) {
    Word("skill");
    Punct("=");
    Word(Chance(50) ? FloatText(true) : IntText(-3, 9));
    OptionalSemicolon();
  }
  Punct("}");
}

void ScriptGenerator::Objectives() {
  Word("objectives");
  Punct("{");
  const int count = Uniform(0, options_.max_objectives);
  for (int i = 0; i < count; ++i) {
    if (i > 0) Punct(";");
    Word(Chance(50) ? "success" : "failure");
    Punct("(");
    std::vector<std::string> owners = teams_;
    owners.insert(owners.end(), forces_.begin(), forces_.end());
    Literal(Pick(owners));
    Punct(",");
    Literal(StringRun(20));
    Punct(")");
    Punct("=");
    Condition(0);
    Punct("->");
    Punct("{");
    const int next = Uniform(1, 3);
    for (int n = 0; n < next; ++n) {
      if (n > 0) Punct(",");
      Literal(StringRun());
    }
    Punct("}");
  }
  if (count > 0) OptionalSemicolon();
  Punct("}");
  Punct(";");
}

void ScriptGenerator::Condition(int depth) {
  const int choice = depth >= options_.max_condition_depth ? Uniform(0, 3) : Uniform(0, 5);
  std::vector<std::string> members = teams_;
  members.insert(members.end(), actors_.begin(), actors_.end());
  members.insert(members.end(), forces_.begin(), forces_.end());
  switch (choice) {
    case 0:
    case 1:
      Word(choice == 0 ? "eliminated" : "alive");
      Punct("(");
      Literal(Pick(members));
      Punct(")");
      break;
    case 2:
      Word("occupied");
      Punct("(");
      Word(Identifier());  // not checked against the areas
      Punct(")");
      break;
    case 3:
      Word("timeout");
      Punct("(");
      Word(IntText(-10, 3600));
      Punct(")");
      break;
    case 4:
      Punct("(");
      Condition(depth + 1);
      Punct(Chance(50) ? "||" : "&&");
      Condition(depth + 1);
      Punct(")");
      break;
    default:
      Punct("!");
      Punct("(");
      Condition(depth + 1);
      Punct(")");
      break;
  }
}

void ScriptGenerator::Plans() {
  const int count = Uniform(0, options_.max_plans);
  if (count == 0) {
    Punct(";");
    return;
  }
  for (int i = 0; i < count; ++i) {
    Word("plan");
    Literal(Pick(teams_));
    Punct("{");
    StatementList(0);
    Punct("}");
    Punct(";");
  }
  if (Chance(30)) Punct(";");
}

void ScriptGenerator::StatementList(int depth) {
  const int count = Uniform(0, depth == 0 ? options_.max_statements : 3);
  for (int i = 0; i < count; ++i) {
    if (i > 0) Punct(";");
    Statement(depth);
  }
  if (count > 0) OptionalSemicolon();
}

void ScriptGenerator::Statement(int depth) {
  const bool have_locations = !locations_.empty();
  for (;;) {
    const int kind = Uniform(0, 26);
    const bool needs_location = kind == 1 || kind == 3 || kind == 4 || kind == 6 || kind == 7 || kind == 8 ||
                                kind == 10 || kind == 11 || kind == 14 || kind == 17 || kind == 19 ||
                                kind == 22 || kind == 23;
    if (needs_location && !have_locations) continue;
    if (kind == 12 && areas_.size() < 2) continue;
    if (kind == 16 && depth >= options_.max_on_depth) continue;
    auto location = [this] { Word(Pick(locations_)); };
    switch (kind) {
      case 0:
        Word("wait");
        if (Chance(20))
          Word("forever");
        else
          Word(Chance(50) ? IntText(-100, 9999) : FloatText(true));
        return;
      case 1:
      case 3:
      case 8:
      case 10:
      case 14: {
        const char* name = kind == 1    ? "advance"
                           : kind == 3  ? "assemble"
                           : kind == 8  ? "insert"
                           : kind == 10 ? "moveup"
                                        : "pullback";
        Word(name);
        Word(kind == 1 ? "towards" : (kind == 3 || kind == 8) ? "at" : "to");
        location();
        Word("using");
        Literal(StringRun());
        return;
      }
      case 2:
        Word("abort");
        return;
      case 4:
        Word("attack");
        Word("towards");
        location();
        return;
      case 5:
        Word("continue");
        Word("with");
        Word("phase");
        Literal(StringRun());
        return;
      case 6:
        Word("defend");
        Word("towards");
        location();
        Word("from");
        location();
        return;
      case 7:
      case 22:
        Word(kind == 7 ? "freeze" : "spread");
        Word("towards");
        location();
        Word(kind == 7 ? "for" : "within");
        Word(Chance(50) ? IntText(-100, 32767) : FloatText(true));
        return;
      case 9:
        Word("join");
        return;
      case 11:
        Word("observe");
        location();
        return;
      case 12: {
        Word("patrol");
        if (Chance(30)) return;
        Punct("(");
        const int count = Uniform(2, 4);
        for (int i = 0; i < count; ++i) {
          if (i > 0) Punct(",");
          Word(Pick(areas_));
        }
        Punct(")");
        return;
      }
      case 13:
        Word("phase");
        Literal(StringRun());
        return;
      case 15:
        Word("radio");
        Literal(StringRun(20));
        return;
      case 16: {
        Word("on");
        Punct("(");
        const int events = Uniform(1, 4);
        for (int i = 0; i < events; ++i) {
          if (i > 0) Punct(",");
          switch (Uniform(0, 3)) {
            case 0:
              Word("contact");
              break;
            case 1:
              Word("under");
              Word("fire");
              break;
            case 2:
              Word("casualty");
              break;
            default:
              Word("code");
              Literal(StringRun(6));
              break;
          }
        }
        Punct(")");
        Punct("{");
        StatementList(depth + 1);
        Punct("}");
        return;
      }
      case 17:
        Word("signal");
        Word("towards");
        location();
        if (Chance(50)) Literal(StringRun(6));
        return;
      case 18:
        Word("signal");
        Word("code");
        Literal(StringRun(6));
        return;
      case 19:
        Word("snipe");
        Word("from");
        location();
        Word("towards");
        location();
        return;
      case 20:
        Word("spawn");
        return;
      case 21:
        Word("split");
        Literal(Pick(teams_));
        Word(IntText(-5, 30000));
        return;
      case 23:
        Word("take");
        Word("cover");
        Word("from");
        location();
        return;
      case 24:
      case 25:
        Word("wait");
        Word("until");
        Word(kind == 24 ? "ready" : "assembled");
        return;
      default:
        Word("wait");
        Word("until");
        Word("code");
        Punct("(");
        Literal(StringRun(6));
        Punct(")");
        return;
    }
  }
}

}  // namespace vyr::testing
