#include <iostream>

#include "tools/vyr/load_mission.h"
#include "tools/vyr/subcommands.h"
#include "vyrparser/core/writer.h"

namespace vyr::tool {

// vyr plan FILE TEAM: the plan of the first team named TEAM exactly, as the automation interface
// returns it (indentation 2), but never cut short.
int RunPlan(const Arguments& operands) {
  parser::ParsedMission mission;
  if (const int loaded = LoadMission("plan", operands[0], mission); loaded != kExitOk) return loaded;
  for (const parser::MissionTeam* team : mission.all_teams) {
    if (team->name.view() != operands[1]) continue;
    std::cout << parser::PrintStatements(team->plan, 2);
    return kExitOk;
  }
  std::cerr << "vyr plan: no team '" << operands[1] << "' in " << operands[0] << '\n';
  return kExitFailure;
}

}  // namespace vyr::tool
