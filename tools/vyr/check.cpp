#include "tools/vyr/load_mission.h"
#include "tools/vyr/subcommands.h"

namespace vyr::tool {

// vyr check FILE: exit 0, 1 or 2 as TryParseMission answers.
int RunCheck(const Arguments& operands) {
  // The process ends right after the check, and the system takes back the model's memory faster than
  // freeing its records one by one would: the last model is deliberately left undestroyed (a static
  // keeps it reachable, so leak checkers stay quiet). Library callers free their models as usual.
  static parser::ParsedMission* kept = nullptr;
  delete kept;
  kept = new parser::ParsedMission;
  return LoadMission("check", operands[0], *kept);
}

}  // namespace vyr::tool
