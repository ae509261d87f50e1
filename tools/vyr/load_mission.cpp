#include "tools/vyr/load_mission.h"

#include <iostream>

#include "tools/vyr/subcommands.h"
#include "vyrparser/core/parser.h"

namespace vyr::tool {

int LoadMission(const char* command, const std::string& path, parser::ParsedMission& mission) {
  switch (parser::ParseMissionFile(path, mission, std::cerr)) {
    case parser::ParseResult::kSuccess:
      return kExitOk;
    case parser::ParseResult::kFileProblem:
      std::cerr << "vyr " << command << ": cannot open '" << path << "'\n";
      return kExitFailure;
    case parser::ParseResult::kParseProblem:
      break;
  }
  return kExitParseProblem;
}

}  // namespace vyr::tool
