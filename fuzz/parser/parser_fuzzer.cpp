// Arbitrary bytes as a mission script: the parser must end in success or a parse problem, with a
// well-formed report, never a crash, a leak or undefined behaviour.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string_view>

#include "vyrparser/core/parsed_mission.h"
#include "vyrparser/core/parser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vyr::parser::ParsedMission mission;
  std::ostringstream errors;
  const auto result = vyr::parser::ParseMissionBuffer(
      std::string_view(reinterpret_cast<const char*>(data), size), mission, errors);
  const bool success = result == vyr::parser::ParseResult::kSuccess;
  if (success != errors.str().empty()) std::abort();
  if (!success && result != vyr::parser::ParseResult::kParseProblem) std::abort();
  if (success && mission.forces.empty()) std::abort();  // a parsed script has a force
  return 0;
}
