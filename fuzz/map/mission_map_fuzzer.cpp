// Takes arbitrary bytes as a team's plan and as an area's location list beside two locations: the map
// must build, and every place it finds must be a name the plan holds, on a line the plan has.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "editor/document/mission_document.h"
#include "editor/map/mission_map.h"

namespace {

using namespace vyr::editor;

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  int lines = 1;
  for (char c : bytes)
    lines += c == '\n';
  for (const PlanPlace& place : ScanPlanPlaces(bytes)) {
    Check(!place.name.empty() && bytes.find(place.name) != std::string::npos);
    Check(place.line >= 1 && place.line <= lines);
  }

  MissionDocument doc;
  doc.AddLocation("a", "", 10, 20, 0);
  doc.AddLocation("b", "", -32768, 32767, 0);
  doc.AddArea("x", "", bytes, -32768, "open?");
  doc.AddForce("f", "");
  doc.AddTeam(0, "t", "", bytes);
  const MissionMap map = BuildMissionMap(doc);
  Check(!map.bounds.empty());
  for (const MapWarning& warning : map.warnings)
    Check(!WarningText(doc, warning).empty());
  return 0;
}
