// The mission map as a picture: the viewport from game units to pixels, the drawing shared by the map
// window and the export, and the export itself.
#pragma once

#include <QColor>
#include <QPointF>
#include <cstdint>
#include <string>
#include <vector>

#include "editor/document/mission_document.h"
#include "editor/map/mission_map.h"

class QPainter;

namespace vyr::gui {

// Warning marks hang below right of where they stand, clear of the location point there.
inline constexpr QPointF kWarningMarkOffset{11, 13};

// Game units to pixels: screen x = origin_x + x * scale, screen y = origin_y - y * scale.
struct MapViewport {
  static constexpr double kMinScale = 1e-4;
  static constexpr double kMaxScale = 64;

  double scale = 1;
  double origin_x = 0, origin_y = 0;

  QPointF ToScreen(double x, double y) const { return {origin_x + x * scale, origin_y - y * scale}; }
  QPointF ToGame(QPointF screen) const {
    return {(screen.x() - origin_x) / scale, (origin_y - screen.y()) / scale};
  }
  // The viewport that shows `bounds` whole and centred in a `width` x `height` picture.
  static MapViewport Fitting(const editor::MapBounds& bounds, double width, double height);
};

// What a picture of the map shows beyond the mission itself.
struct MapPaintOptions {
  // The selected tree node's record highlighted; a selected team's or force's routes on top of the
  // others, which are dimmed.
  bool with_selection = true;
  // By force index: a hidden force's routes, team starts and plan warnings are not drawn.
  std::vector<bool> hidden_forces;
  bool scale_bar = true;
  // A location being dragged, drawn where it would go (game units).
  int moved_location = -1;
  QPointF moved_to;

  bool ForceHidden(int force) const {
    return force >= 0 && static_cast<std::size_t>(force) < hidden_forces.size() &&
           hidden_forces[static_cast<std::size_t>(force)];
  }
};

// The colour of a force's routes and team marks.
QColor ForceColour(int force);

// The picture in three layers, bottom to top: background, grid and areas; the routes and team starts;
// locations, warnings, names and the scale bar.
enum MapLayer : unsigned { kGroundLayer = 1, kRouteLayer = 2, kTopLayer = 4, kAllLayers = 7 };

// Draws `map` into a `width` x `height` picture; labels keep their size at any scale. Only what lies
// in the picture is drawn, so the cost follows what is seen rather than the mission's size.
void PaintMissionMap(QPainter& painter, const editor::MissionDocument& document,
                     const editor::MissionMap& map, const MapViewport& viewport, double width, double height,
                     const MapPaintOptions& options = {}, unsigned layers = kAllLayers);

// The ground and route layers alone, for the selected record `selected`: reads no document, so it may
// run off the GUI thread on a copy of the map.
void PaintMapGround(QPainter& painter, const editor::MissionMap& map, const editor::NodeAddress& selected,
                    const MapViewport& viewport, double width, double height, const MapPaintOptions& options);

// The record the document's selected tree node holds, as the painting highlights it.
editor::NodeAddress MapSelection(const editor::MissionDocument& document);

// What the ground and route layers show besides the viewport: the routes' and areas' places, the
// hidden forces and what the selection lights. Equal fingerprints draw equal layers.
std::uint64_t RouteLayerFingerprint(const editor::MissionDocument& document, const editor::MissionMap& map,
                                    const MapPaintOptions& options);

// Game units a scale bar of about `pixels` stands for at `scale`: 1, 2 or 5 times a power of ten.
double ScaleBarLength(double scale, double pixels);

// Writes the whole mission's map to `path`, as SVG when the name ends in ".svg" (any case), else as PNG,
// through a temporary file; a failure names the file and the reason. The selection is not drawn.
editor::Status ExportMissionMap(const editor::MissionDocument& document, const std::string& path,
                                const MapPaintOptions& options = {});

}  // namespace vyr::gui
