#include "vyrparser/core/writer.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/atomic_file.h"
#include "vyrparser/core/number_format.h"

namespace vyr::parser {
namespace {

// Operator names indexed by the position of the condition kind's bit.
constexpr const char* kConditionNames[] = {"&&", "||", "!", "eliminated", "occupied", "alive", "timeout"};

// The wait value from which a wait is written "forever".
constexpr double kForeverThreshold = 9999.9;

void Indent(std::string& out, int indentation) {
  out.append(static_cast<std::size_t>(std::max(0, indentation)), ' ');
}

void Quoted(std::string& out, Text text) {
  out += '"';
  out += text.view();
  out += '"';
}

void NameList(std::string& out, std::span<const Text> names, bool quoted) {
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) out += ", ";
    if (quoted)
      Quoted(out, names[i]);
    else
      out += names[i].view();
  }
}

// The split count: the value truncated to an integer (saturating, so no value is undefined).
long long Truncated(float value) {
  if (std::isnan(value)) return 0;
  const double truncated = std::trunc(static_cast<double>(value));
  if (truncated >= 9.2e18) return 9200000000000000000LL;
  if (truncated <= -9.2e18) return -9200000000000000000LL;
  return static_cast<long long>(truncated);
}

void Events(std::string& out, const PlanInstruction& on) {
  bool first = true;
  auto add = [&](const char* name) {
    if (!first) out += ", ";
    out += name;
    first = false;
  };
  if (on.events & kEventContact) add("contact");
  if (on.events & kEventUnderFire) add("under fire");
  if (on.events & kEventCasualty) add("casualty");
  if (on.events & kEventCode) {
    add("code ");
    Quoted(out, on.second);
  }
}

// One statement with its ";" and line end; of an on statement only the head.
void Statement(std::string& out, const PlanInstruction& s, int indentation) {
  const InstructionKind kind = s.kind;
  if (kind == InstructionKind::kPhase) {
    out += '\n';
    Indent(out, indentation - 2);
  } else {
    Indent(out, indentation);
  }
  out += InstructionName(kind);
  if (kind != InstructionKind::kAbort && kind != InstructionKind::kPatrol &&
      kind != InstructionKind::kWaitUntilReady)
    out += ' ';

  switch (kind) {
    case InstructionKind::kWait:
      if (static_cast<double>(s.value) >= kForeverThreshold)
        out += "forever";
      else
        out += FormatGeneral(s.value);
      break;
    case InstructionKind::kAdvance:
      out += "towards ";
      out += s.second.view();
      out += " using ";
      Quoted(out, s.third());
      break;
    case InstructionKind::kAssemble:
    case InstructionKind::kInsert:
      out += "at ";
      out += s.second.view();
      out += " using ";
      Quoted(out, s.third());
      break;
    case InstructionKind::kMoveup:
    case InstructionKind::kPullback:
      out += "to ";
      out += s.second.view();
      out += " using ";
      Quoted(out, s.third());
      break;
    case InstructionKind::kAttack:
      out += "towards ";
      out += s.second.view();
      break;
    case InstructionKind::kContinue:
      out += "with phase ";
      Quoted(out, s.second);
      break;
    case InstructionKind::kDefend:
      out += "towards ";
      out += s.second.view();
      out += " from ";
      out += s.third().view();
      break;
    case InstructionKind::kFreeze:
      out += "towards ";
      out += s.second.view();
      out += " for ";
      out += FormatGeneral(s.value);
      break;
    case InstructionKind::kObserve:
      out += s.second.view();
      break;
    case InstructionKind::kPatrol:
      if (s.patrol_areas()) {
        out += " (";
        NameList(out, *s.patrol_areas(), false);
        out += ')';
      }
      break;
    case InstructionKind::kPhase:
      Quoted(out, s.first);
      break;
    case InstructionKind::kRadio:
    case InstructionKind::kSignalCode:
      if (kind == InstructionKind::kSignalCode) out += "code ";
      Quoted(out, s.second);
      break;
    case InstructionKind::kOn:
      // Only the head: AppendStatements writes the body and the closing "};".
      out += '(';
      Events(out, s);
      out += ")\n";
      Indent(out, indentation);
      out += "{\n";
      return;
    case InstructionKind::kSignalTowards:
      out += "towards ";
      out += s.second.view();
      if (s.third()) {
        out += ' ';
        Quoted(out, s.third());
      }
      break;
    case InstructionKind::kSnipe:
      out += "from ";
      out += s.second.view();
      out += " towards ";
      out += s.third().view();
      break;
    case InstructionKind::kSplit:
      Quoted(out, s.second);
      out += ' ';
      out += std::to_string(Truncated(s.value));
      break;
    case InstructionKind::kSpread:
      out += "towards ";
      out += s.second.view();
      out += " within ";
      out += FormatGeneral(s.value);
      break;
    case InstructionKind::kTakeCover:
      out += "from ";
      out += s.second.view();
      break;
    case InstructionKind::kWaitUntilCode:
      out += '(';
      Quoted(out, s.second);
      out += ')';
      break;
    case InstructionKind::kAbort:
    case InstructionKind::kJoin:
    case InstructionKind::kSpawn:
    case InstructionKind::kWaitUntilReady:
    case InstructionKind::kWaitUntilAssembled:
      break;
  }
  out += ";\n";
}

// ---------------------------------------------------------------- the mission, section by section

void Header(std::string& out, const ParsedMission& m) {
  out += "mission ";
  Quoted(out, m.mission_name);
  out += "\n{\n  author\n    ";
  Quoted(out, m.author);
  out += ";\n\n  description\n    ";
  Quoted(out, m.description);
  out += ";\n\n";
}

void Rules(std::string& out, const ParsedMission& m) {
  out += "  rules\n  {\n";
  for (const MissionRule& rule : m.rules) {
    if (rule.rule_bit != kRuleRespawn) continue;
    // A value without a name cannot be written in the language: such a rule is left out.
    const char* value = rule.value == kRespawnNone         ? "none"
                        : rule.value == kRespawnTeam       ? "team"
                        : rule.value == kRespawnIndividual ? "individual"
                                                           : nullptr;
    if (!value) continue;
    out += "    respawn = ";
    out += value;
    out += ";\n";
  }
  out += "  };\n\n";
}

void AreaList(std::string& out, const char* head, const std::vector<Text>& names, bool semicolon) {
  out += head;
  NameList(out, names, false);
  if (semicolon) out += ';';
  out += '\n';
}

void Map(std::string& out, const ParsedMission& m) {
  out += "  map ";
  Quoted(out, m.map_name);
  out += "\n  {\n";
  // The style clause is optional: without styles it is left out ("none" is no map style).
  if (m.map_styles & (kMapStyleUrban | kMapStyleDark | kMapStyleOpen | kMapStyleIndoor)) {
    out += "    style = ";
    bool first = true;
    for (auto [bit, name] : {std::pair{kMapStyleUrban, "urban"}, std::pair{kMapStyleDark, "dark"},
                             std::pair{kMapStyleOpen, "open"}, std::pair{kMapStyleIndoor, "indoor"}}) {
      if (!(m.map_styles & bit)) continue;
      if (!first) out += ", ";
      out += name;
      first = false;
    }
    out += ";\n\n";
  }
  // An empty literal would read as no annotation at all, so only a non-empty one is written.
  if (!m.annotation.empty()) {
    out += "    annotation = ";
    Quoted(out, m.annotation);
    out += ";\n\n";
  }

  std::size_t longest = 0;
  for (const MissionLocation& location : m.locations)
    longest = std::max(longest, location.name.size());
  for (const MissionLocation& location : m.locations) {
    out += "    location ";
    out += location.name.view();
    out.append(longest - location.name.size(), ' ');
    out += " = <";
    out += FormatCoordinate(location.x);
    out += ", ";
    out += FormatCoordinate(location.y);
    out += ", ";
    out += FormatCoordinate(location.z);
    out += ">;\n";
  }

  if (!m.areas.empty()) out += '\n';
  for (std::size_t i = 0; i < m.areas.size(); ++i) {
    const MissionArea& area = *m.areas[i];
    if (i > 0) out += '\n';
    out += "    area ";
    out += area.name.view();
    out += "\n    { style     = ";
    out += area.styles == kAreaStyleOpen     ? "open"
           : area.styles == kAreaStyleClosed ? "closed"
           : area.styles == kAreaStyleRoof   ? "roof"
                                             : "none";
    out += ";\n";
    AreaList(out, "      locations = ", area.locations, true);
    if (!area.entrances.empty()) AreaList(out, "      entrances = ", area.entrances, true);
    if (!area.exits.empty()) AreaList(out, "      exits     = ", area.exits, true);
    // The windows clause has no ";" of its own when the radius clause follows it.
    if (!area.windows.empty()) AreaList(out, "      windows   = ", area.windows, area.radius == 0);
    if (area.radius != 0) {
      out += "      radius    = ";
      out += std::to_string(area.radius);
      out += ";\n";
    }
    out += "    };\n";
  }
  out += "  };\n\n";
}

void Member(std::string& out, const MissionActor& actor, bool first) {
  if (!first) Indent(out, 6);
  out += actor.type == kActorPlayer ? "player " : "npc ";
  Quoted(out, actor.name);
  if (actor.model_and_skin) {
    out += ' ';
    Quoted(out, actor.model_and_skin);
  }
  const bool bare = actor.weapons.empty() && actor.ammunition.empty() && actor.items.empty();
  if (actor.type == kActorPlayer && bare) {
    out += " { };\n";  // a player needs its braces even when they hold nothing
    return;
  }
  out += "\n        { \n";
  for (Text weapon : actor.weapons) {
    out += "          weapon ";
    Quoted(out, weapon);
    out += ";\n";
  }
  for (const AmmoEntry& ammo : actor.ammunition) {
    out += "          ammo   ";
    Quoted(out, ammo.name);
    out += " = ";
    out += std::to_string(ammo.count);
    out += ";\n";
  }
  for (Text item : actor.items) {
    out += "          item   ";
    Quoted(out, item);
    out += ";\n";
  }
  if (actor.type != kActorPlayer) {
    out += "          skill  = ";
    out += FormatGeneral(actor.skill);
    out += ";\n";
  }
  out += "        };\n";
}

void Forces(std::string& out, const ParsedMission& m) {
  for (const auto& force : m.forces) {
    out += "  force ";
    Quoted(out, force->name);
    out += "\n  {\n";
    for (const auto& team : force->teams) {
      out += "    team ";
      Quoted(out, team->name);
      out += "\n    { ";
      for (std::size_t i = 0; i < team->members.size(); ++i)
        Member(out, *team->members[i], i == 0);
      out += "    };\n";
    }
    out += "  };\n\n";
  }
}

void Objectives(std::string& out, const ParsedMission& m) {
  out += "  objectives\n  {\n";
  for (std::size_t i = 0; i < m.objectives.size(); ++i) {
    const MissionObjective& objective = *m.objectives[i];
    if (i > 0) out += '\n';
    out += objective.type == kObjectiveFailure ? "    failure\n" : "    success\n";
    out += "      ( ";
    Quoted(out, objective.owner);
    out += ",\n        ";
    Quoted(out, objective.message);
    out += "\n      )\n      =  ";
    AppendCondition(out, objective.condition);
    out += "\n      -> {";
    NameList(out, objective.next_missions, true);
    out += "};\n";
  }
  out += "  };\n\n";
}

void Plans(std::string& out, const ParsedMission& m) {
  for (const MissionTeam* team : m.all_teams) {
    out += "  plan ";
    Quoted(out, team->name);
    out += "\n  {\n";
    AppendStatements(out, team->plan, 6);
    out += "  };\n\n";
  }
}

}  // namespace

// Both printers walk with an explicit stack: plans and conditions may nest thousands deep.
void AppendStatements(std::string& out, const InstructionList& list, int indentation) {
  static const InstructionList kNoBody;
  struct Frame {
    const InstructionList* list;
    std::size_t next;
    int indentation;
  };
  std::vector<Frame> stack{{&list, 0, indentation}};
  while (!stack.empty()) {
    Frame& frame = stack.back();
    if (frame.next == frame.list->instructions.size()) {
      stack.pop_back();
      if (!stack.empty()) {  // the end of an on statement's body
        Indent(out, stack.back().indentation);
        out += "};\n";
      }
      continue;
    }
    const PlanInstruction& statement = frame.list->instructions[frame.next++];
    const int at = frame.indentation;
    Statement(out, statement, at);
    if (statement.kind == InstructionKind::kOn)
      stack.push_back({statement.body() ? statement.body() : &kNoBody, 0, at + 2});
  }
}

void AppendCondition(std::string& out, const ConditionNode* root) {
  struct Frame {
    const ConditionNode* node;
    int stage;  // compounds: 0 before the first operand, 1 before the second, 2 at the end
  };
  std::vector<Frame> stack;
  if (root) stack.push_back({root, 0});
  while (!stack.empty()) {
    Frame& frame = stack.back();
    const ConditionNode* node = frame.node;
    switch (node->kind) {
      case kConditionAnd:
      case kConditionOr:
      case kConditionOpen:  // left unfinished by a failed parse: written with its operands only
        if (frame.stage == 0) {
          out += "( ";
          frame.stage = 1;
          if (node->first) stack.push_back({node->first, 0});
        } else if (frame.stage == 1) {
          if (node->kind != kConditionOpen) {
            out += ' ';
            out += kConditionNames[node->kind == kConditionAnd ? 0 : 1];
            out += ' ';
          }
          frame.stage = 2;
          if (node->second) stack.push_back({node->second, 0});
        } else {
          out += " )";
          stack.pop_back();
        }
        continue;
      case kConditionNot:
        if (frame.stage == 0) {
          out += kConditionNames[2];
          out += "( ";
          frame.stage = 2;
          if (node->first) stack.push_back({node->first, 0});
        } else {
          out += " )";
          stack.pop_back();
        }
        continue;
      case kConditionEliminated:
      case kConditionAlive:
        out += kConditionNames[node->kind == kConditionEliminated ? 3 : 5];
        out += '(';
        Quoted(out, node->name);
        out += ')';
        break;
      case kConditionOccupied:
        out += kConditionNames[4];
        out += '(';
        out += node->name.view();
        out += ')';
        break;
      case kConditionTimeout:
        out += kConditionNames[6];
        out += '(';
        out += std::to_string(node->value);
        out += ')';
        break;
      default:
        break;
    }
    stack.pop_back();
  }
}

std::string PrintStatements(const InstructionList& list, int indentation) {
  std::string out;
  AppendStatements(out, list, indentation);
  return out;
}

std::string PrintCondition(const ConditionNode* node) {
  std::string out;
  AppendCondition(out, node);
  return out;
}

std::string MissionText(const ParsedMission& mission) {
  std::string out;
  Header(out, mission);
  Rules(out, mission);
  Map(out, mission);
  Forces(out, mission);
  Objectives(out, mission);
  Plans(out, mission);
  out += "}\n";
  return out;
}

std::string WithCrLf(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

WriteResult WriteMission(const ParsedMission& mission, const std::filesystem::path& path) {
  return platform::WriteFileAtomically(path.string(), WithCrLf(MissionText(mission)));
}

}  // namespace vyr::parser
