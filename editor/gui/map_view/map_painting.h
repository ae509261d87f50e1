// The mission map as a picture: the viewport from game units to pixels, the drawing shared by the map
// window and the export, and the export itself.
#pragma once

#include <QPointF>
#include <string>

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

// Draws `map` into a `width` x `height` picture; labels keep their size at any scale. The selected
// tree node's record is highlighted when `with_selection` is set.
void PaintMissionMap(QPainter& painter, const editor::MissionDocument& document,
                     const editor::MissionMap& map, const MapViewport& viewport, double width, double height,
                     bool with_selection = true);

// Writes the whole mission's map to `path`, as SVG when the name ends in ".svg" (any case), else as PNG,
// through a temporary file; a failure names the file and the reason.
editor::Status ExportMissionMap(const editor::MissionDocument& document, const std::string& path);

}  // namespace vyr::gui
