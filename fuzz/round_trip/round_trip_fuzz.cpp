// Arbitrary bytes into the parser; whatever parses is written, and the writer's text must parse again
// and write the same bytes. A partial model left by a failed parse is written too.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

#include "vyrparser/core/parser.h"
#include "vyrparser/core/writer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vyr::parser;
  std::ostringstream errors;
  ParsedMission first;
  const ParseResult result =
      ParseMissionBuffer(std::string_view(reinterpret_cast<const char*>(data), size), first, errors);
  const std::string written = MissionText(first);
  if (result != ParseResult::kSuccess) return 0;

  ParsedMission second;
  if (ParseMissionBuffer(WithCrLf(written), second, errors) != ParseResult::kSuccess) std::abort();
  if (MissionText(second) != written) std::abort();
  return 0;
}
