#pragma once

// The parser's messages as records as well as text: a caller that shows them to a person (the editor's
// error check and import) needs the line and the cause, not the error stream.

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "vyrparser/core/parser.h"

namespace vyr::parser {

struct ParseMessage {
  std::int32_t line = 0;  // 0 when the message has no line (a file that cannot be read, no memory)
  std::string near_text;  // the token read last as the message shows it ("<unknown>" for none)
  std::string cause;      // "parse error", a semantic check's text, "unexpected character", ...
};

// The messages in `error_text`, written in the parser's fixed formats, in order. A line in no known
// format becomes a message of its own with that line as its cause, so nothing written is lost.
std::vector<ParseMessage> ReadParseMessages(std::string_view error_text);

// ParseMissionFile, with its messages written to `errors` as ever and also returned in `messages`
// (replacing what it held). A file that cannot be read gives one message: the system's reason.
ParseResult ParseMissionFileWithMessages(const std::filesystem::path& path, ParsedMission& mission,
                                         std::ostream& errors, std::vector<ParseMessage>& messages);

}  // namespace vyr::parser
