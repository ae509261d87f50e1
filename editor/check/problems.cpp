#include "editor/check/problems.h"

#include <algorithm>
#include <array>
#include <set>
#include <string>
#include <unordered_set>

#include "editor/check/plan_tokens.h"
#include "editor/document/mission_document.h"
#include "editor/document/quoted.h"
#include "editor/map/plan_places.h"
#include "editor/script/import.h"
#include "editor/script/mission_reader.h"
#include "platform/atomic_file.h"

namespace vyr::editor {

namespace {

constexpr auto kKeywords = std::to_array<std::string_view>(
    {"mission",   "author",     "description", "map",        "area",    "style",    "open",    "closed",
     "roof",      "locations",  "entrances",   "exits",      "windows", "urban",    "dark",    "indoor",
     "radius",    "location",   "force",       "team",       "npc",     "ammo",     "item",    "skill",
     "weapon",    "player",     "rules",       "success",    "failure", "respawn",  "plan",    "at",
     "on",        "set",        "for",         "forever",    "from",    "to",       "towards", "using",
     "with",      "within",     "wait",        "abort",      "advance", "assemble", "attack",  "continue",
     "cover",     "defend",     "freeze",      "insert",     "join",    "observe",  "moveup",  "patrol",
     "pullback",  "phase",      "radio",       "signal",     "snipe",   "spawn",    "split",   "spread",
     "take",      "until",      "ready",       "assembled",  "code",    "contact",  "under",   "fire",
     "casualty",  "objectives", "occupied",    "eliminated", "alive",   "timeout",  "none",    "individual",
     "annotation"});

bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The characters a run of a string literal may start with, and those it may continue with besides.
bool IsStringStart(char c) {
  return c == ' ' || c == '!' || c == '\'' || c == '(' || c == ')' || c == ',' || c == '-' || c == '.' ||
         c == '/' || IsDigit(c) || c == ':' || c == '?' || IsLetter(c) || c == '\\' || c == '_';
}
bool IsStringMore(char c) {
  return c == '#' || c == '%' || c == '&' || c == '+' || c == '=' || c == '@' || c == '^' || c == '|';
}

// A character as a message shows it: itself when printable, else by name or code.
std::string Shown(char c) {
  const auto byte = static_cast<unsigned char>(c);
  if (c == '\t') return "a tab";
  if (c == '\n' || c == '\r') return "a line break";
  if (byte < 0x20 || byte == 0x7F) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    return std::string("the control character 0x") + kHex[byte >> 4] + kHex[byte & 15];
  }
  return Quoted(std::string(1, c));
}

// The entries of an item list ("a?b?c?", a final entry may lack its "?"), empty ones skipped, as the
// generator writes them.
std::vector<std::string_view> ListEntries(std::string_view list) {
  std::vector<std::string_view> entries;
  std::size_t start = 0;
  while (start < list.size()) {
    std::size_t end = list.find('?', start);
    if (end == std::string_view::npos) end = list.size();
    if (end > start) entries.push_back(list.substr(start, end - start));
    start = end + 1;
  }
  return entries;
}

bool IsBlankText(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
}

bool HasLines(Field field) {
  return field == Field::kPlan || field == Field::kAnnotation || field == Field::kOutcomeReason;
}

// The start of a message: the record in the author's terms, and the line of a text that has lines.
std::string Where(const MissionDocument& document, const RecordRef& record, std::optional<Field> field,
                  int line) {
  std::string where;
  switch (record.kind) {
    case RecordKind::kMission:
      where = field ? std::string(FieldLabel(*field)) : std::string("Mission");
      break;
    case RecordKind::kLocation:
      where = "Location " + document.location(record.index).loc_name;
      break;
    case RecordKind::kArea:
      where = "Area " + document.area(record.index).area_name;
      break;
    case RecordKind::kForce:
      where = "Force " + document.force(record.force).force_name;
      break;
    case RecordKind::kTeam:
      where = "Team " + document.team(record.force, record.team).team_name;
      break;
    case RecordKind::kActor:
      where = "Actor " + document.actor(record.force, record.team, record.index).npc_name;
      break;
    case RecordKind::kOutcome:
      where = "Outcome " + std::to_string(record.index + 1);
      break;
  }
  if (!field) return where;
  const bool names_record = *field == Field::kLocName || *field == Field::kAreaName ||
                            *field == Field::kForceName || *field == Field::kTeamName ||
                            *field == Field::kNpcName;
  if (record.kind != RecordKind::kMission && !names_record) {
    std::string label(FieldLabel(*field));
    // "Plan" reads "plan" after the record: "Team Alpha, plan line 3".
    if (label.size() > 1 && label[1] >= 'a' && label[1] <= 'z') label[0] = static_cast<char>(label[0] | 0x20);
    where += ", " + label;
  }
  if (line > 0 && HasLines(*field)) where += " line " + std::to_string(line);
  return where;
}

class Collector {
 public:
  // `only`, when given, limits the problems to that record's errors; rules that need the whole mission
  // (the warnings) are then skipped, and so is other records' work that only they need.
  Collector(const MissionDocument& document, const RecordRef* only) : document_(document), only_(only) {}

  bool Wants(const RecordRef& record) const { return only_ == nullptr || *only_ == record; }
  bool Scoped() const { return only_ != nullptr; }
  // Actor names are wanted by the outcomes' conditions only.
  bool NeedsActorNames() const { return only_ == nullptr || only_->kind == RecordKind::kOutcome; }

  void Add(Severity severity, const RecordRef& record, std::optional<Field> field, int line,
           const std::string& text) {
    if (!Wants(record) || (Scoped() && severity != Severity::kError)) return;
    problems_.push_back(
        {severity, record, field, line, Where(document_, record, field, line) + ": " + text, text});
  }
  void Error(const RecordRef& record, std::optional<Field> field, const std::string& text, int line = 0) {
    Add(Severity::kError, record, field, line, text);
  }
  void Warning(const RecordRef& record, std::optional<Field> field, const std::string& text, int line = 0) {
    Add(Severity::kWarning, record, field, line, text);
  }
  // A text that stands between quotes in the script.
  void String(const RecordRef& record, Field field, std::string_view text) {
    if (auto fault = StringFault(text, false)) Error(record, field, *fault);
  }
  std::vector<Problem> Take() { return std::move(problems_); }

 private:
  const MissionDocument& document_;
  const RecordRef* only_;
  std::vector<Problem> problems_;
};

struct Names {
  std::unordered_set<std::string_view> locations, areas, teams, forces, actors;
  std::set<std::string, std::less<>> used_locations;   // by an area or a plan
  std::set<std::string, std::less<>> condition_words;  // names and strings of the outcomes' conditions
};

void CheckMission(const MissionDocument& document, Collector& out) {
  const RecordRef mission = RecordRef::Mission();
  const MissionInfo& info = document.info;
  out.String(mission, Field::kMissionName, info.vyr_missionname);
  out.String(mission, Field::kAuthor, info.vyr_author);
  out.String(mission, Field::kMissionDescription, info.vyr_missiondescription);
  out.String(mission, Field::kMapName, info.vyr_mapname);
  if (!info.annotation.empty()) {
    if (auto fault = StringFault(info.annotation, true)) {
      // The line of the fault: count the line breaks before the first character the rule refuses.
      int line = 1;
      std::size_t i = 0;
      bool run_start = true;
      for (; i < info.annotation.size(); ++i) {
        const char c = info.annotation[i];
        if (c == '\r' && i + 1 < info.annotation.size() && info.annotation[i + 1] == '\n') continue;
        if (c == '\n') {
          ++line;
          run_start = true;
          continue;
        }
        if (!(IsStringStart(c) || (!run_start && IsStringMore(c)))) break;
        run_start = false;
      }
      out.Error(mission, Field::kAnnotation, *fault, line);
    }
  }
  if (document.force_count() == 0)
    out.Error(mission, std::nullopt, "a mission script needs at least one force with a team");
}

void CheckLocations(const MissionDocument& document, Names& names, Collector& out) {
  for (int i = 0; i < document.location_count(); ++i) {
    const std::string& name = document.location(i).loc_name;
    if (auto fault = NameFault(name)) out.Error(RecordRef::Location(i), Field::kLocName, *fault);
    names.locations.insert(name);
  }
}

void CheckAreas(const MissionDocument& document, Names& names, Collector& out) {
  for (int i = 0; i < document.area_count(); ++i)
    names.areas.insert(document.area(i).area_name);
  for (int i = 0; i < document.area_count(); ++i) {
    const AreaRecord& area = document.area(i);
    const RecordRef ref = RecordRef::Area(i);
    if (auto fault = NameFault(area.area_name)) out.Error(ref, Field::kAreaName, *fault);
    const auto styles = ListEntries(area.area_style);
    if (styles.size() != 1) {
      out.Error(ref, Field::kAreaStyle,
                styles.empty()
                    ? std::string("a mission script takes one style; none is selected")
                    : "a mission script takes one style; " + std::to_string(styles.size()) + " are selected");
    } else if (styles[0] != "open" && styles[0] != "closed" && styles[0] != "roof") {
      out.Error(ref, Field::kAreaStyle, "the style must be open, closed or roof, not " + Quoted(styles[0]));
    }
    const auto locations = ListEntries(area.area_locations);
    if (locations.empty() || (locations.size() == 1 && locations[0] == "[none]")) {
      out.Error(ref, Field::kAreaLocations, "a mission script needs at least one location in an area");
      continue;
    }
    for (std::string_view location : locations) {
      if (!names.locations.contains(location)) {
        out.Error(ref, Field::kAreaLocations, "no location named " + Quoted(location));
        break;  // the parser stops at the first; the author fixes them one by one anyway
      }
      names.used_locations.emplace(location);
    }
  }
}

void CheckForces(const MissionDocument& document, Names& names, Collector& out) {
  for (int f = 0; f < document.force_count(); ++f) {
    const RecordRef force = RecordRef::Force(f);
    out.String(force, Field::kForceName, document.force(f).force_name);
    names.forces.insert(document.force(f).force_name);
    if (document.team_count(f) == 0)
      out.Error(force, std::nullopt, "a mission script needs at least one team in a force");
    for (int t = 0; t < document.team_count(f); ++t) {
      out.String(RecordRef::Team(f, t), Field::kTeamName, document.team(f, t).team_name);
      names.teams.insert(document.team(f, t).team_name);
      for (int a = 0; a < document.actor_count(f, t); ++a) {
        const ActorRecord& actor = document.actor(f, t, a);
        if (out.NeedsActorNames()) names.actors.insert(actor.npc_name);
        if (!out.Wants(RecordRef::Actor(f, t, a))) continue;
        out.String(RecordRef::Actor(f, t, a), Field::kNpcName, actor.npc_name);
        out.String(RecordRef::Actor(f, t, a), Field::kNpcSkin, actor.npc_skin);
      }
    }
  }
}

void CheckOutcomes(const MissionDocument& document, Names& names, Collector& out) {
  for (int i = 0; i < document.outcome_count(); ++i) {
    const OutcomeRecord& outcome = document.outcome(i);
    const RecordRef ref = RecordRef::Outcome(i);
    if (!out.Wants(ref)) continue;  // its condition's words then serve no warning either
    if (outcome.outcome_type != "success" && outcome.outcome_type != "failure")
      out.Error(ref, Field::kOutcomeType,
                "the type must be success or failure, not " + Quoted(outcome.outcome_type));
    if (auto fault = StringFault(outcome.outcome_force, false)) {
      out.Error(ref, Field::kOutcomeForce, *fault);
    } else if (!names.teams.contains(outcome.outcome_force) &&
               !names.forces.contains(outcome.outcome_force)) {
      out.Error(ref, Field::kOutcomeForce, "no team or force named " + Quoted(outcome.outcome_force));
    }
    out.String(ref, Field::kOutcomeMessage, outcome.outcome_message);
    if (IsBlankText(outcome.outcome_reason)) out.Error(ref, Field::kOutcomeReason, "no condition is given");
    const auto next = ListEntries(outcome.nextmission);
    if (next.empty()) {
      out.Error(ref, Field::kNextMission, "a mission script needs at least one next mission");
    } else {
      for (std::string_view mission : next) {
        if (auto fault = StringFault(mission, false)) {
          out.Error(ref, Field::kNextMission, "the next mission " + Quoted(mission) + ": " + *fault);
          break;
        }
      }
    }
    const std::vector<PlanToken> tokens = ScanPlanTokens(outcome.outcome_reason);
    for (std::size_t t = 0; t < tokens.size(); ++t) {
      if (tokens[t].kind != PlanToken::Kind::kSymbol) names.condition_words.emplace(tokens[t].text);
      const bool names_member = tokens[t].kind == PlanToken::Kind::kWord &&
                                (tokens[t].text == "eliminated" || tokens[t].text == "alive");
      if (!names_member || t + 2 >= tokens.size() || tokens[t + 2].kind != PlanToken::Kind::kString) continue;
      const std::string_view member = tokens[t + 2].text;
      if (!names.teams.contains(member) && !names.actors.contains(member) && !names.forces.contains(member)) {
        out.Error(ref, Field::kOutcomeReason, "no actor, team or force named " + Quoted(member),
                  tokens[t + 2].line);
      }
    }
  }
}

// The patrol statements of a plan: every area a list names must exist, a list names at least two, and a
// patrol without a list needs two areas in the mission.
void CheckPatrols(const MissionDocument& document, const Names& names, const RecordRef& team,
                  const std::vector<PlanToken>& tokens, Collector& out) {
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    if (tokens[i].kind != PlanToken::Kind::kWord || tokens[i].text != "patrol") continue;
    if (i + 1 < tokens.size() && tokens[i + 1].text == "(" &&
        tokens[i + 1].kind == PlanToken::Kind::kSymbol) {
      int count = 0;
      std::size_t j = i + 2;
      for (; j < tokens.size() && tokens[j].text != ")"; ++j) {
        if (tokens[j].kind != PlanToken::Kind::kWord) continue;
        ++count;
        if (!names.areas.contains(tokens[j].text))
          out.Error(team, Field::kPlan, "no area named " + Quoted(tokens[j].text), tokens[j].line);
      }
      if (count < 2) out.Error(team, Field::kPlan, "a patrol takes at least two areas", tokens[i].line);
      i = j;
    } else if (document.area_count() < 2) {
      out.Error(
          team, Field::kPlan,
          "a patrol needs at least two areas in the mission; it has " + std::to_string(document.area_count()),
          tokens[i].line);
    }
  }
}

void CheckPlans(const MissionDocument& document, Names& names, Collector& out, PlanScans& scans) {
  for (int f = 0; f < document.force_count(); ++f) {
    for (int t = 0; t < document.team_count(f); ++t) {
      const RecordRef team = RecordRef::Team(f, t);
      if (!out.Wants(team)) continue;  // the places it names then serve no warning either
      const std::string& plan = document.team(f, t).plan;
      for (const PlanPlace& place : scans.Of(f, t, plan)) {
        if (!names.locations.contains(place.name))
          out.Error(team, Field::kPlan, "no location named " + Quoted(place.name), place.line);
        names.used_locations.insert(place.name);
      }
      CheckPatrols(document, names, team, ScanPlanTokens(plan), out);
    }
  }
}

// What parses but is likely a mistake.
void CheckLikelyMistakes(const MissionDocument& document, const Names& names, Collector& out) {
  std::unordered_set<std::string_view> owners;
  for (int i = 0; i < document.outcome_count(); ++i)
    owners.insert(document.outcome(i).outcome_force);
  const auto named = [&](const std::string& name) {
    return owners.contains(name) || names.condition_words.contains(name);
  };
  for (int f = 0; f < document.force_count(); ++f) {
    for (int t = 0; t < document.team_count(f); ++t) {
      const TeamRecord& team = document.team(f, t);
      if (IsBlankText(team.plan)) out.Warning(RecordRef::Team(f, t), Field::kPlan, "the plan is empty");
      if (!named(team.team_name) && !named(document.force(f).force_name))
        out.Warning(RecordRef::Team(f, t), std::nullopt, "no outcome names this team or its force");
    }
  }
  for (int i = 0; i < document.location_count(); ++i) {
    const std::string& name = document.location(i).loc_name;
    if (!names.used_locations.contains(name) && !names.condition_words.contains(name))
      out.Warning(RecordRef::Location(i), std::nullopt, "no area, plan or outcome uses this location");
  }
}

// The parser's cause in the author's terms.
std::string Cause(const ScriptMessage& message) {
  // A semantic check runs once the parser has read past the name: the near text is then a symbol.
  const bool near_is_name = !message.near_text.empty() && IsStringStart(message.near_text[0]) &&
                            message.near_text != "(" && message.near_text != ")" && message.near_text != ",";
  const auto none = [&](const std::string& what) {
    return "no " + what + (near_is_name ? " named " + Quoted(message.near_text) : " of that name");
  };
  if (message.cause == "unexpected character" && !message.near_text.empty())
    return Shown(message.near_text[0]) + " cannot be written in a mission script";
  if (message.cause == "use of undeclared location") return none("location");
  if (message.cause == "undefined area label in patrol area list") return none("area");
  if (message.cause == "patrol area list needs to include at least two areas")
    return "a patrol takes at least two areas";
  if (message.cause == "patrol command requires at least 2 areas to be defined")
    return "a patrol needs at least two areas in the mission";
  if (message.cause == "use of undeclared team") return none("team");
  if (message.cause == "use of undeclared member, team or force") return none("actor, team or force");
  if (message.cause == "use of undeclared team or force") return none("team or force");
  if (message.cause == "parse error") {
    if (message.near_text.empty() || message.near_text == "<unknown>")
      return "the mission script language expects more here";
    return "the mission script language does not take " + Quoted(message.near_text) + " here";
  }
  return "the mission script library says: " + message.cause;
}

}  // namespace

bool IsScriptKeyword(std::string_view word) {
  return !word.empty() && std::find(kKeywords.begin(), kKeywords.end(), word) != kKeywords.end();
}

std::optional<std::string> StringFault(std::string_view text, bool several_lines) {
  if (text.empty() && !several_lines) return "a mission script needs text here; it is empty";
  bool run_start = true;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    // The parser reads a carriage return before a line feed as part of the line end.
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n' && several_lines) continue;
    if (c == '\n' && several_lines) {
      run_start = true;
      continue;
    }
    if (c == '\n' || c == '\r') return std::string("a line break cannot be written here in a mission script");
    if (IsStringStart(c)) {
      run_start = false;
      continue;
    }
    if (IsStringMore(c)) {
      if (!run_start) continue;
      return Shown(c) + (i == 0 ? " cannot start a text in a mission script"
                                : " cannot start a line in a mission script");
    }
    return Shown(c) + " cannot be written in a mission script";
  }
  return std::nullopt;
}

std::optional<std::string> NameFault(std::string_view name) {
  if (name.empty()) return "a mission script needs a name here";
  if (!IsLetter(name[0])) return "a name must start with a letter (A-Z, a-z), not " + Shown(name[0]);
  for (char c : name)
    if (!IsLetter(c) && !IsDigit(c) && c != '_' && c != '.')
      return Shown(c) +
             " cannot be part of a name in a mission script (letters, digits, \"_\" and \".\" can)";
  if (IsScriptKeyword(name))
    return Quoted(name) + " is a word of the mission script language and cannot be a name";
  return std::nullopt;
}

namespace {

std::vector<Problem> Check(const MissionDocument& document, const RecordRef* only, PlanScans* scans) {
  Collector out(document, only);
  Names names;
  CheckMission(document, out);
  CheckLocations(document, names, out);
  CheckAreas(document, names, out);
  CheckForces(document, names, out);
  CheckOutcomes(document, names, out);
  PlanScans own_scans;
  CheckPlans(document, names, out, scans != nullptr ? *scans : own_scans);
  if (!out.Scoped()) CheckLikelyMistakes(document, names, out);
  return out.Take();
}

}  // namespace

std::vector<Problem> CheckDocument(const MissionDocument& document, PlanScans* scans) {
  return Check(document, nullptr, scans);
}

std::vector<Problem> CheckRecord(const MissionDocument& document, const RecordRef& record) {
  return Check(document, &record, nullptr);
}

std::vector<Problem> MapParseMessages(const MissionDocument& document, const GeneratedScript& script,
                                      const std::vector<ScriptMessage>& messages) {
  std::vector<Problem> problems;
  for (const ScriptMessage& message : messages) {
    Problem problem;
    if (message.line > 0 && static_cast<std::size_t>(message.line) <= script.lines.size()) {
      const ScriptLineSource& source = script.lines[static_cast<std::size_t>(message.line) - 1];
      problem.record = source.record;
      problem.field = source.field;
      if (source.field && HasLines(*source.field)) problem.line = source.text_line;
    }
    problem.what = Cause(message);
    problem.message = Where(document, problem.record, problem.field, problem.line) + ": " + problem.what;
    problems.push_back(std::move(problem));
  }
  return problems;
}

std::vector<Problem> ProblemsOfVerdict(const MissionDocument& document, const GeneratedScript& script,
                                       const ParseVerdict& verdict, PlanScans* scans) {
  std::vector<Problem> problems = CheckDocument(document, scans);
  if (verdict.parsed) return problems;
  const std::size_t own = problems.size();
  for (Problem& mapped : MapParseMessages(document, script, verdict.messages)) {
    // The rules already said it, on the same record and field, in better words.
    const bool known = std::any_of(problems.begin(), problems.begin() + static_cast<std::ptrdiff_t>(own),
                                   [&](const Problem& p) {
                                     return p.severity == Severity::kError && p.record == mapped.record &&
                                            (!p.field || !mapped.field || p.field == mapped.field);
                                   });
    if (!known) problems.push_back(std::move(mapped));
  }
  if (!HasError(problems)) {
    problems.push_back({Severity::kError, RecordRef::Mission(), std::nullopt, 0,
                        "Mission: the mission script library refuses the script without saying where",
                        "the mission script library refuses the script without saying where"});
  }
  return problems;
}

std::vector<Problem> FindProblems(const MissionDocument& document, const ScriptParser& parse,
                                  PlanScans* scans) {
  const GeneratedScript script = GenerateScriptWithLines(document);
  return ProblemsOfVerdict(document, script, parse(script.text), scans);
}

std::string DescribeFailedParse(const MissionDocument& document, const std::vector<ScriptMessage>& messages,
                                std::size_t most) {
  const GeneratedScript script = GenerateScriptWithLines(document);
  std::string text;
  std::size_t shown = 0, errors = 0;
  for (const Problem& problem : ProblemsOfVerdict(document, script, {false, messages})) {
    if (problem.severity != Severity::kError) continue;
    if (++errors > most) continue;
    if (!text.empty()) text += "\n";
    text += problem.message;
    ++shown;
  }
  if (errors > shown) text += "\n(" + std::to_string(errors - shown) + " more)";
  // The generated script's own line, for whoever reads the scratch file.
  if (const std::string lines = DescribeParseMessages(messages, 1); !lines.empty())
    text += "\n\nIn the generated script: " + lines;
  return text;
}

ScriptParser ReaderParser(MissionReader& reader, std::string scratch_file) {
  return [&reader, scratch_file = std::move(scratch_file)](std::string_view script) {
    ParseVerdict verdict;
    if (Status written = platform::WriteFileAtomically(scratch_file, script); !written) {
      verdict.messages.push_back({0, "", written.message});
      return verdict;
    }
    const int result = reader.TryParseMission(scratch_file);
    verdict.parsed = result == 0;
    if (!verdict.parsed) verdict.messages = reader.ParseMessages();
    if (result == 1)
      verdict.messages.push_back({0, "", "the scratch script " + scratch_file + " cannot be read"});
    reader.CloseMission();
    return verdict;
  };
}

bool HasError(const std::vector<Problem>& problems) {
  return std::any_of(problems.begin(), problems.end(),
                     [](const Problem& p) { return p.severity == Severity::kError; });
}

std::string RecordPath(const MissionDocument& document, const RecordRef& record) {
  switch (record.kind) {
    case RecordKind::kMission:
      break;
    case RecordKind::kLocation:
      return "Locations / " + document.location(record.index).loc_name;
    case RecordKind::kArea:
      return "Areas / " + document.area(record.index).area_name;
    case RecordKind::kForce:
      return "Forces / " + document.force(record.force).force_name;
    case RecordKind::kTeam:
      return "Forces / " + document.force(record.force).force_name + " / " +
             document.team(record.force, record.team).team_name;
    case RecordKind::kActor:
      return "Forces / " + document.force(record.force).force_name + " / " +
             document.team(record.force, record.team).team_name + " / " +
             document.actor(record.force, record.team, record.index).npc_name;
    case RecordKind::kOutcome: {
      const std::string& type = document.outcome(record.index).outcome_type;
      const std::string label = type == "success" ? "Success" : type == "failure" ? "Failure" : type;
      return "Mission outcome / " + label + " " + std::to_string(record.index + 1);
    }
  }
  return "Mission";
}

std::string_view FieldLabel(Field field) {
  return InfoOf(field).caption;
}

}  // namespace vyr::editor
