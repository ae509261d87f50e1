#include <iostream>

#include "tools/vyr/load_mission.h"
#include "tools/vyr/subcommands.h"
#include "vyrparser/core/writer.h"

namespace vyr::tool {

// vyr rewrite IN OUT: OUT is replaced only by a complete file; IN may be OUT.
int RunRewrite(const Arguments& operands) {
  parser::ParsedMission mission;
  if (const int loaded = LoadMission("rewrite", operands[0], mission); loaded != kExitOk) return loaded;
  if (const parser::WriteResult written = parser::WriteMission(mission, operands[1]); !written) {
    std::cerr << "vyr rewrite: " << written.message << '\n';
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace vyr::tool
