// Arbitrary bytes as a mission script: the parser must end in success or a parse problem, with a
// well-formed report, never a crash, a leak or undefined behaviour. The model is written back out
// (also the partial model of a failed parse); what parsed must parse again from the writer's text
// and write the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

#include "vyrparser/core/parsed_mission.h"
#include "vyrparser/core/parser.h"
#include "vyrparser/core/writer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vyr::parser::ParsedMission mission;
  std::ostringstream errors;
  const auto result = vyr::parser::ParseMissionBuffer(
      std::string_view(reinterpret_cast<const char*>(data), size), mission, errors);
  const bool success = result == vyr::parser::ParseResult::kSuccess;
  if (success != errors.str().empty()) std::abort();
  if (!success && result != vyr::parser::ParseResult::kParseProblem) std::abort();
  if (success && mission.forces.empty()) std::abort();  // a parsed script has a force

  const std::string written = vyr::parser::MissionText(mission);
  if (!success) return 0;
  vyr::parser::ParsedMission again;
  std::ostringstream again_errors;
  if (vyr::parser::ParseMissionBuffer(vyr::parser::WithCrLf(written), again, again_errors) !=
      vyr::parser::ParseResult::kSuccess)
    std::abort();
  if (vyr::parser::MissionText(again) != written) std::abort();
  return 0;
}
