// A parsed model as plain text, one record a line, so that tests compare whole models at once and a
// failure names the first line that differs. Written independently of the writer: a field the writer
// drops still shows here. Null strings read ~, line feeds <LF>; a player's skill is left out (the
// script does not carry it).
#pragma once

#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "vyrparser/core/parsed_mission.h"

namespace vyr::testing {

namespace outline_detail {

// Appends every part in turn ("literal" + std::string trips a false -Wrestrict in GCC 12).
template <typename... Parts>
void Put(std::string& out, const Parts&... parts) {
  (out.append(parts), ...);
}

inline std::string Q(parser::Text text) {
  if (text.is_null()) return "~";
  std::string out = "\"";
  for (char c : text.view())
    c == '\n' ? out.append("<LF>") : out.append(1, c);
  out += '"';
  return out;
}

inline std::string Num(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.9g", value);
  return buffer;
}

inline void List(std::string& out, const char* label, std::span<const parser::Text> texts) {
  if (texts.empty()) return;
  Put(out, " | ", label);
  for (parser::Text t : texts)
    Put(out, " ", Q(t));
}

inline void Plan(std::string& out, const parser::InstructionList& list, const std::string& indent) {
  // Kinds by number, with the two signals and the three waits until told apart.
  static const char* const kNames[] = {
      "wait",     "advance", "abort",      "assemble",       "attack",         "continue", "defend",
      "freeze",   "insert",  "join",       "moveup",         "observe",        "patrol",   "phase",
      "pullback", "radio",   "on",         "signal-towards", "signal-code",    "snipe",    "spawn",
      "split",    "spread",  "take-cover", "wait-ready",     "wait-assembled", "wait-code"};
  for (const parser::PlanInstruction& i : list.instructions) {
    const auto kind = static_cast<std::size_t>(i.kind);
    Put(out, indent, kind < std::size(kNames) ? kNames[kind] : "kind?", " ", Q(i.first), " ", Q(i.second),
        " ", Q(i.third()));
    if (i.value != 0) Put(out, " value=", Num(i.value));
    if (i.events != 0) Put(out, " events=", std::to_string(i.events));
    if (i.patrol_areas()) List(out, "areas", *i.patrol_areas());
    out += '\n';
    if (i.body()) {
      Put(out, indent, "{\n");
      Plan(out, *i.body(), indent + "  ");
      Put(out, indent, "}\n");
    }
  }
}

inline void Condition(std::string& out, const parser::ConditionNode* node, const std::string& indent) {
  if (!node) return;
  const char* name = node->kind == 1    ? "and"
                     : node->kind == 2  ? "or"
                     : node->kind == 4  ? "not"
                     : node->kind == 8  ? "eliminated"
                     : node->kind == 16 ? "occupied"
                     : node->kind == 32 ? "alive"
                     : node->kind == 64 ? "timeout"
                                        : "kind?";
  Put(out, indent, name);
  if (!node->name.is_null()) Put(out, " ", Q(node->name));
  if (node->value != 0) Put(out, " ", std::to_string(node->value));
  out += '\n';
  Condition(out, node->first, indent + "  ");
  Condition(out, node->second, indent + "  ");
}

}  // namespace outline_detail

inline std::string Outline(const parser::ParsedMission& m) {
  using namespace outline_detail;
  std::string out;
  Put(out, "mission ", Q(m.mission_name), " ", Q(m.author), " ", Q(m.description), " ", Q(m.map_name));
  Put(out, " annotation ", Q(m.annotation), " styles ", std::to_string(m.map_styles), "\n");
  for (const parser::MissionRule& r : m.rules)
    Put(out, "rule ", std::to_string(r.rule_bit), "=", std::to_string(r.value), "\n");
  for (std::size_t i = 0; i < m.LocationCount(); ++i) {
    const parser::MissionLocation& l = *m.LocationAt(i);
    Put(out, "location ", Q(l.name), " ", Num(l.x), " ", Num(l.y), " ", Num(l.z), "\n");
  }
  for (std::size_t i = 0; i < m.AreaCount(); ++i) {
    const parser::MissionArea& a = *m.AreaAt(i);
    Put(out, "area ", Q(a.name), " styles ", std::to_string(a.styles), " radius ", std::to_string(a.radius));
    List(out, "locations", a.locations);
    List(out, "entrances", a.entrances);
    List(out, "exits", a.exits);
    List(out, "windows", a.windows);
    out += '\n';
  }
  for (const auto& force : m.forces) {
    Put(out, "force ", Q(force->name), "\n");
    for (const auto& team : force->teams) {
      Put(out, "  team ", Q(team->name), "\n");
      for (const auto& a : team->members) {
        const bool npc = a->type == parser::kActorNpc;
        Put(out, npc ? "    npc " : "    player ", Q(a->name), " ", Q(a->model_and_skin));
        if (npc) Put(out, " skill ", Num(a->skill));
        List(out, "weapons", a->weapons);
        if (!a->ammunition.empty()) out += " | ammo";
        for (const parser::AmmoEntry& e : a->ammunition)
          Put(out, " ", Q(e.name), "=", std::to_string(e.count));
        List(out, "items", a->items);
        out += '\n';
      }
      if (!team->plan.instructions.empty()) {
        out += "    plan\n";
        Plan(out, team->plan, "      ");
      }
    }
  }
  out += "all teams";
  for (const auto& team : m.all_teams)
    Put(out, " ", Q(team->name));
  out += "\nall actors";
  for (std::size_t i = 0; i < m.ActorCount(); ++i)
    Put(out, " ", Q(m.ActorAt(i)->name));
  out += '\n';
  for (std::size_t i = 0; i < m.ObjectiveCount(); ++i) {
    const parser::MissionObjective& o = *m.ObjectiveAt(i);
    Put(out, o.type == parser::kObjectiveSuccess ? "success " : "failure ", Q(o.owner), " ", Q(o.message),
        " next");
    for (parser::Text t : o.next_missions)
      Put(out, " ", Q(t));
    out += '\n';
    Condition(out, o.condition, "  ");
  }
  return out;
}

}  // namespace vyr::testing
