// Parsing a mission script for a subcommand, with the library's messages on stderr.
#pragma once

#include <string>

#include "vyrparser/core/parsed_mission.h"

namespace vyr::tool {

// Parses `path` into `mission`. Returns kExitOk, kExitFailure (the file cannot be opened, said on
// stderr as "vyr COMMAND: ...") or kExitParseProblem (the parser's own messages are on stderr).
int LoadMission(const char* command, const std::string& path, parser::ParsedMission& mission);

}  // namespace vyr::tool
