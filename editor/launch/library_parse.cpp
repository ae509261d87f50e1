#include "editor/launch/library_parse.h"

#include <optional>

#include "editor/script/mission_reader.h"
#include "platform/codepage.h"
#include "vyrparser/automation/ivyrmission.h"

namespace vyr::editor {

ParseOutcome ParseWithLibrary(const std::string& file, const std::string& library_path) {
  ParseOutcome outcome;
  std::optional<std::u16string> name = platform::Utf8ToUtf16(file);
  if (!name) {
    outcome.message = "the file name " + file + " is not valid UTF-8";
    return outcome;
  }
  platform::ComPtr<automation::IVYRMission> mission;
  std::string error;
  const platform::HRESULT created = automation::CreateVYRMission(&mission, library_path, &error);
  if (platform::FAILED(created) || !mission) {
    outcome.message = error.empty() ? platform::DescribeHResult(created) : error;
    return outcome;
  }
  // The library's model is shared by every object: close what an earlier command left before parsing.
  mission->CloseMission();
  platform::BStr bstr(*name);
  std::int16_t result = 1;
  mission->TryParseMission(bstr.Get(), &result);
  outcome.library_reached = true;
  outcome.result = result;
  if (result != 0) outcome.messages = ParseMessagesOf(*mission.Get());
  return outcome;
}

}  // namespace vyr::editor
