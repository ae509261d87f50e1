#include "editor/launch/library_parse.h"

#include <optional>

#include "vyrparser/automation/ivyrmission.h"

namespace vyr::editor {

namespace {

// File names travel as UTF-16 and the library turns them back into UTF-8 for the file system; a
// name that is not valid UTF-8 could not survive the trip.
std::optional<std::u16string> Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    int extra = 0;
    char32_t cp = 0;
    if (lead < 0x80) {
      cp = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      extra = 1;
      cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
      extra = 2;
      cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
      extra = 3;
      cp = lead & 0x07;
    } else {
      return std::nullopt;
    }
    if (i + static_cast<std::size_t>(extra) >= text.size()) return std::nullopt;
    for (int k = 1; k <= extra; ++k) {
      const unsigned char next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return std::nullopt;
      cp = (cp << 6) | (next & 0x3F);
    }
    static constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kSmallest[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
    i += static_cast<std::size_t>(extra) + 1;
  }
  return out;
}

}  // namespace

ParseOutcome ParseWithLibrary(const std::string& file, const std::string& library_path) {
  ParseOutcome outcome;
  std::optional<std::u16string> name = Utf8ToUtf16(file);
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
  return outcome;
}

}  // namespace vyr::editor
