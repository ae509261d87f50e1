// The mission seen from above, as the map window draws it: every location as a point, every area as
// a circle around each of its locations, and each team's plan as a route through the locations its
// statements name. Coordinates are the game's: x to the right, y up. Built from the document alone,
// so it can be rebuilt after any change and tested without a screen.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "editor/map/plan_places.h"

namespace vyr::editor {

class MissionDocument;

struct MapPoint {
  int location = -1;  // record index
  double x = 0, y = 0;
};

// One circle of an area: its radius around one of its locations.
struct MapCircle {
  int area = -1;
  int location = -1;
  double x = 0, y = 0, radius = 0;
};

struct RouteStep {
  int location = -1;  // -1: no location of that name; the step is drawn as a warning mark
  std::string_view verb;
  PlaceRole role = PlaceRole::kPosition;
  double x = 0, y = 0;  // the location, or for a missing one where the team stands at that point
  int line = 1;         // line of the plan text
  std::string name;     // as the plan writes it
};

// A team's plan in plan order; only teams whose plans name a location have one.
struct MapRoute {
  int force = -1;
  int team = -1;
  std::vector<RouteStep> steps;
};

// A name that is not a location: in an area's list (team -1) or in a plan.
struct MapWarning {
  int area = -1;
  int force = -1;
  int team = -1;
  int line = 0;  // plan line; 0 for an area
  double x = 0, y = 0;
  std::string name;
};

struct MapBounds {
  double left = 0, bottom = 0, right = 0, top = 0;  // right >= left, top >= bottom
  bool empty() const { return right <= left || top <= bottom; }
};

struct MissionMap {
  std::vector<MapPoint> points;
  std::vector<MapCircle> circles;
  std::vector<MapRoute> routes;
  std::vector<MapWarning> warnings;
  // Everything drawn, with a margin; a mission with nothing placed gets a square around the origin.
  MapBounds bounds;
};

MissionMap BuildMissionMap(const MissionDocument& document);

// Builds the map again and again for one document. Plans are scanned through `scans`, which the problem
// check may share, so a rebuild after an edit scans only the plans whose text changed since either read it.
class MissionMapBuilder {
 public:
  explicit MissionMapBuilder(std::shared_ptr<PlanScans> scans = std::make_shared<PlanScans>())
      : scans_(std::move(scans)) {}
  MissionMap Build(const MissionDocument& document);
  const std::shared_ptr<PlanScans>& scans() const { return scans_; }

 private:
  std::shared_ptr<PlanScans> scans_;
};

// The names of an item list ("a?b?c", text after the last "?" counting as the last name); empty entries
// and the "[none]" of a new area are left out.
std::vector<std::string_view> ListedNames(std::string_view list);

// "Blue / Alpha, line 3: no location named \"zz\"" or "Area west: no location named \"zz\"".
std::string WarningText(const MissionDocument& document, const MapWarning& warning);

}  // namespace vyr::editor
