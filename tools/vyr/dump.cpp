#include <charconv>
#include <cstdlib>
#include <iostream>
#include <nlohmann/json.hpp>
#include <span>

#include "tools/vyr/load_mission.h"
#include "tools/vyr/subcommands.h"
#include "vyrparser/core/writer.h"

namespace vyr::tool {
namespace {

using Json = nlohmann::ordered_json;
using parser::Text;

Json Str(Text text) {
  return text.is_null() ? Json() : Json(text.str());
}

Json Names(std::span<const Text> names) {
  Json list = Json::array();
  for (Text name : names)
    list.push_back(name.str());
  return list;
}

// The shortest decimal that reads back as the same float, so 0.1f shows as 0.1.
Json Number(float value) {
  char buffer[64];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  *end = '\0';
  return std::strtod(buffer, nullptr);
}

Json StyleNames(std::uint32_t bits, std::initializer_list<std::pair<std::uint32_t, const char*>> names) {
  Json list = Json::array();
  for (const auto& [bit, name] : names)
    if (bits & bit) list.push_back(name);
  return list;
}

Json Actor(const parser::MissionActor& actor) {
  Json ammunition = Json::array();
  for (const parser::AmmoEntry& ammo : actor.ammunition)
    ammunition.push_back({{"name", ammo.name.str()}, {"count", ammo.count}});
  return {{"type", actor.type == parser::kActorPlayer ? "player" : "npc"},
          {"name", Str(actor.name)},
          {"model_and_skin", Str(actor.model_and_skin)},
          {"skill", Number(actor.skill)},
          {"weapons", Names(actor.weapons)},
          {"ammunition", ammunition},
          {"items", Names(actor.items)}};
}

Json Mission(const parser::ParsedMission& m) {
  Json rules = Json::array();
  for (const parser::MissionRule& rule : m.rules) {
    const char* value = rule.value == parser::kRespawnNone   ? "none"
                        : rule.value == parser::kRespawnTeam ? "team"
                                                             : "individual";
    rules.push_back({{"rule", "respawn"}, {"value", value}});
  }
  Json locations = Json::array();
  for (const parser::MissionLocation& location : m.locations)
    locations.push_back({{"name", location.name.str()},
                         {"x", Number(location.x)},
                         {"y", Number(location.y)},
                         {"z", Number(location.z)}});
  Json areas = Json::array();
  for (const auto& area : m.areas) {
    areas.push_back({{"name", area->name.str()},
                     {"styles", StyleNames(area->styles, {{parser::kAreaStyleOpen, "open"},
                                                          {parser::kAreaStyleClosed, "closed"},
                                                          {parser::kAreaStyleRoof, "roof"}})},
                     {"locations", Names(area->locations)},
                     {"entrances", Names(area->entrances)},
                     {"exits", Names(area->exits)},
                     {"windows", Names(area->windows)},
                     {"radius", area->radius}});
  }
  Json forces = Json::array();
  for (const auto& force : m.forces) {
    Json teams = Json::array();
    for (const auto& team : force->teams) {
      Json actors = Json::array();
      for (const auto& member : team->members)
        actors.push_back(Actor(*member));
      teams.push_back(
          {{"name", team->name.str()}, {"actors", actors}, {"plan", parser::PrintStatements(team->plan, 2)}});
    }
    forces.push_back({{"name", force->name.str()}, {"teams", teams}});
  }
  Json objectives = Json::array();
  for (const auto& objective : m.objectives) {
    objectives.push_back({{"type", objective->type == parser::kObjectiveFailure ? "failure" : "success"},
                          {"owner", Str(objective->owner)},
                          {"message", Str(objective->message)},
                          {"condition", parser::PrintCondition(objective->condition)},
                          {"next_missions", Names(objective->next_missions)}});
  }
  return {{"mission", Str(m.mission_name)},
          {"author", Str(m.author)},
          {"description", Str(m.description)},
          {"map", Str(m.map_name)},
          {"annotation", Str(m.annotation)},
          {"map_styles", StyleNames(m.map_styles, {{parser::kMapStyleUrban, "urban"},
                                                   {parser::kMapStyleDark, "dark"},
                                                   {parser::kMapStyleOpen, "open"},
                                                   {parser::kMapStyleIndoor, "indoor"}})},
          {"rules", rules},
          {"locations", locations},
          {"areas", areas},
          {"forces", forces},
          {"objectives", objectives}};
}

}  // namespace

// vyr dump FILE: the parsed model as JSON; nothing on stdout when the parse fails.
int RunDump(const Arguments& operands) {
  parser::ParsedMission mission;
  if (const int loaded = LoadMission("dump", operands[0], mission); loaded != kExitOk) return loaded;
  // Bytes that are not UTF-8 cannot come from a parse; should one appear it is replaced, never thrown.
  std::cout << Mission(mission).dump(2, ' ', false, Json::error_handler_t::replace) << '\n';
  return kExitOk;
}

}  // namespace vyr::tool
