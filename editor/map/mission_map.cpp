#include "editor/map/mission_map.h"

#include <algorithm>
#include <unordered_map>

#include "editor/document/mission_document.h"

namespace vyr::editor {

namespace {

constexpr double kEmptyHalfSize = 512;  // game units around the origin when nothing is placed
constexpr double kMinimumMargin = 64;

// Location indices by name; the first of two equal names wins, as a name lookup in the script does.
using NameIndex = std::unordered_map<std::string_view, int>;

NameIndex IndexLocations(const MissionDocument& document) {
  NameIndex index;
  index.reserve(static_cast<std::size_t>(document.location_count()));
  for (int i = 0; i < document.location_count(); ++i)
    index.emplace(document.location(i).loc_name, i);
  return index;
}

int Lookup(const NameIndex& index, std::string_view name) {
  const auto it = index.find(name);
  return it == index.end() ? -1 : it->second;
}

void Widen(MapBounds& bounds, bool& any, double left, double bottom, double right, double top) {
  if (!any) {
    bounds = {left, bottom, right, top};
    any = true;
    return;
  }
  bounds.left = std::min(bounds.left, left);
  bounds.bottom = std::min(bounds.bottom, bottom);
  bounds.right = std::max(bounds.right, right);
  bounds.top = std::max(bounds.top, top);
}

MapBounds BoundsOf(const MissionMap& map) {
  MapBounds bounds;
  bool any = false;
  for (const MapPoint& point : map.points)
    Widen(bounds, any, point.x, point.y, point.x, point.y);
  for (const MapCircle& circle : map.circles) {
    const double r = std::abs(circle.radius);
    Widen(bounds, any, circle.x - r, circle.y - r, circle.x + r, circle.y + r);
  }
  if (!any) return {-kEmptyHalfSize, -kEmptyHalfSize, kEmptyHalfSize, kEmptyHalfSize};
  const double margin =
      std::max(kMinimumMargin, 0.05 * std::max(bounds.right - bounds.left, bounds.top - bounds.bottom));
  return {bounds.left - margin, bounds.bottom - margin, bounds.right + margin, bounds.top + margin};
}

// Places the route of one team; a missing location stands where the team is at that point of its
// plan, or before its first move where it goes first.
MapRoute RouteOf(const MissionDocument& document, const NameIndex& index, int force, int team,
                 const std::vector<PlanPlace>& places, std::vector<MapWarning>& warnings,
                 std::vector<std::size_t>& unplaced) {
  MapRoute route{force, team, {}};
  route.steps.reserve(places.size());
  bool placed = false;
  double x = 0, y = 0;
  std::size_t first_unplaced = warnings.size();
  for (const PlanPlace& place : places) {
    RouteStep step{Lookup(index, place.name), place.verb, place.role, x, y, place.line, place.name};
    if (step.location >= 0) {
      const LocationRecord& location = document.location(step.location);
      step.x = location.loc_x;
      step.y = location.loc_y;
      if (step.role == PlaceRole::kPosition) {
        if (!placed) {
          for (std::size_t w = first_unplaced; w < warnings.size(); ++w) {
            warnings[w].x = step.x;
            warnings[w].y = step.y;
          }
          for (RouteStep& earlier : route.steps) {
            if (earlier.location < 0) earlier.x = step.x, earlier.y = step.y;
          }
        }
        placed = true;
        x = step.x;
        y = step.y;
      }
    } else {
      warnings.push_back(MapWarning{-1, force, team, step.line, x, y, step.name});
    }
    route.steps.push_back(std::move(step));
  }
  if (!placed) {
    for (std::size_t w = first_unplaced; w < warnings.size(); ++w)
      unplaced.push_back(w);
  }
  return route;
}

}  // namespace

std::vector<std::string_view> ListedNames(std::string_view list) {
  std::vector<std::string_view> names;
  std::size_t start = 0;
  while (start < list.size()) {
    std::size_t end = list.find('?', start);
    if (end == std::string_view::npos) end = list.size();
    const std::string_view name = list.substr(start, end - start);
    if (!name.empty() && name != "[none]") names.push_back(name);
    start = end + 1;
  }
  return names;
}

MissionMap BuildMissionMap(const MissionDocument& document) {
  return MissionMapBuilder().Build(document);
}

MissionMap MissionMapBuilder::Build(const MissionDocument& document) {
  MissionMap map;
  const NameIndex index = IndexLocations(document);

  map.points.reserve(static_cast<std::size_t>(document.location_count()));
  for (int i = 0; i < document.location_count(); ++i) {
    const LocationRecord& location = document.location(i);
    map.points.push_back(MapPoint{i, double(location.loc_x), double(location.loc_y)});
  }

  std::vector<std::size_t> unplaced;  // warnings with no position of their own
  // A name in an area's list that is no location is marked at the area's first location.
  for (int a = 0; a < document.area_count(); ++a) {
    const AreaRecord& area = document.area(a);
    const std::size_t first_circle = map.circles.size();
    const std::size_t first_warning = map.warnings.size();
    for (std::string_view name : ListedNames(area.area_locations)) {
      const int location = Lookup(index, name);
      if (location < 0) {
        map.warnings.push_back(MapWarning{a, -1, -1, 0, 0, 0, std::string(name)});
        continue;
      }
      const LocationRecord& at = document.location(location);
      map.circles.push_back(
          MapCircle{a, location, double(at.loc_x), double(at.loc_y), double(area.area_radius)});
    }
    for (std::size_t w = first_warning; w < map.warnings.size(); ++w) {
      if (map.circles.size() == first_circle) {
        unplaced.push_back(w);
      } else {
        map.warnings[w].x = map.circles[first_circle].x;
        map.warnings[w].y = map.circles[first_circle].y;
      }
    }
  }

  for (int f = 0; f < document.force_count(); ++f) {
    for (int t = 0; t < document.team_count(f); ++t) {
      const std::vector<PlanPlace>& places = scans_->Of(f, t, document.team(f, t).plan);
      MapRoute route = RouteOf(document, index, f, t, places, map.warnings, unplaced);
      if (!route.steps.empty()) map.routes.push_back(std::move(route));
    }
  }

  map.bounds = BoundsOf(map);
  const double centre_x = (map.bounds.left + map.bounds.right) / 2;
  const double centre_y = (map.bounds.bottom + map.bounds.top) / 2;
  for (std::size_t w : unplaced) {
    map.warnings[w].x = centre_x;
    map.warnings[w].y = centre_y;
  }
  for (MapRoute& route : map.routes) {
    const bool placed = std::any_of(route.steps.begin(), route.steps.end(), [](const RouteStep& step) {
      return step.location >= 0 && step.role == PlaceRole::kPosition;
    });
    if (placed) continue;
    for (RouteStep& step : route.steps) {
      if (step.location < 0) step.x = centre_x, step.y = centre_y;
    }
  }
  return map;
}

std::string WarningText(const MissionDocument& document, const MapWarning& warning) {
  std::string text;
  if (warning.team < 0) {
    text = "Area ";
    if (warning.area >= 0 && warning.area < document.area_count())
      text += document.area(warning.area).area_name;
  } else if (warning.force < document.force_count() && warning.team < document.team_count(warning.force)) {
    text = document.force(warning.force).force_name + " / " +
           document.team(warning.force, warning.team).team_name + ", line " + std::to_string(warning.line);
  }
  return text + ": no location named \"" + warning.name + "\"";
}

}  // namespace vyr::editor
