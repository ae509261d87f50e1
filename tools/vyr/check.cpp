#include "tools/vyr/load_mission.h"
#include "tools/vyr/subcommands.h"

namespace vyr::tool {

// vyr check FILE: exit 0, 1 or 2 as TryParseMission answers.
int RunCheck(const Arguments& operands) {
  parser::ParsedMission mission;
  return LoadMission("check", operands[0], mission);
}

}  // namespace vyr::tool
