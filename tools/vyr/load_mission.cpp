#include "tools/vyr/load_mission.h"

#include <iostream>

#include "platform/read_file.h"
#include "tools/vyr/subcommands.h"
#include "vyrparser/core/parser.h"

namespace vyr::tool {

int LoadMission(const char* command, const std::string& path, parser::ParsedMission& mission) {
  std::string why_unreadable;
  switch (parser::ParseMissionFile(path, mission, std::cerr, &why_unreadable)) {
    case parser::ParseResult::kSuccess:
      return kExitOk;
    case parser::ParseResult::kFileProblem:
      std::cerr << "vyr " << command << ": " << platform::Excerpt(path, platform::kPathExcerpt) << ": "
                << why_unreadable << '\n';
      return kExitFailure;
    case parser::ParseResult::kParseProblem:
      break;
  }
  return kExitParseProblem;
}

}  // namespace vyr::tool
