#pragma once

// Reads a mission script into a ParsedMission. The parse adds to the model it is given (close the
// model first to start from an empty one); after a failed parse the model keeps what was added
// before the error. Messages go to `errors` in the library's fixed formats.

#include <filesystem>
#include <iosfwd>
#include <string>
#include <string_view>

#include "vyrparser/core/parsed_mission.h"

namespace vyr::parser {

// The values are TryParseMission's result codes.
enum class ParseResult : int {
  kSuccess = 0,
  kFileProblem = 1,   // the file could not be opened; nothing was parsed, nothing written to `errors`
  kParseProblem = 2,  // lexical, syntax or semantic error, parser stack exhausted, or a read failure
};

// Parses the file at `path` (any length). A carriage return right before a line feed is dropped, as a
// text-mode stream would; any other carriage return is a lexical error. Only a regular file is read (a
// named pipe would block); for a file problem `why_unreadable`, when given, receives the system's reason.
ParseResult ParseMissionFile(const std::filesystem::path& path, ParsedMission& mission, std::ostream& errors,
                             std::string* why_unreadable = nullptr);
// As above, messages on the standard error stream.
ParseResult ParseMissionFile(const std::filesystem::path& path, ParsedMission& mission);

// Parses the bytes of a script held in memory, exactly as if they were a file's contents.
ParseResult ParseMissionBuffer(std::string_view bytes, ParsedMission& mission, std::ostream& errors);
ParseResult ParseMissionBuffer(std::string_view bytes, ParsedMission& mission);

}  // namespace vyr::parser
