#include "vyrparser/core/parser.h"

#include <iostream>

namespace vyr::parser {

ParseResult ParseMissionFile(const std::filesystem::path& path, ParsedMission& mission) {
  return ParseMissionFile(path, mission, std::cerr);
}

ParseResult ParseMissionBuffer(std::string_view bytes, ParsedMission& mission) {
  return ParseMissionBuffer(bytes, mission, std::cerr);
}

ParseResult ParseMissionFile(const std::filesystem::path&, ParsedMission&, std::ostream&) {
  return ParseResult::kParseProblem;
}

ParseResult ParseMissionBuffer(std::string_view, ParsedMission&, std::ostream&) {
  return ParseResult::kParseProblem;
}

}  // namespace vyr::parser
