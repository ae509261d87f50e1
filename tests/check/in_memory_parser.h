// The check's parser for tests and benchmarks: the library's parser over the script in memory, with its
// messages as the library hands them over.
#pragma once

#include <sstream>
#include <string_view>

#include "editor/check/problems.h"
#include "vyrparser/core/parse_messages.h"
#include "vyrparser/core/parsed_mission.h"
#include "vyrparser/core/parser.h"

namespace vyr::editor::testing {

inline ParseVerdict ParseInMemory(std::string_view script) {
  parser::ParsedMission mission;
  std::ostringstream errors;
  ParseVerdict verdict;
  verdict.parsed = parser::ParseMissionBuffer(script, mission, errors) == parser::ParseResult::kSuccess;
  for (const parser::ParseMessage& message : parser::ReadParseMessages(errors.str()))
    verdict.messages.push_back({message.line, message.near_text, message.cause});
  return verdict;
}

}  // namespace vyr::editor::testing
