// The mission map window: a dockable view that draws the mission from above (x right, y up) from the
// document and follows every change to it. A click on a location, an area or a warning mark asks for
// its node; the selected tree node is shown highlighted.
#pragma once

#include <QDockWidget>
#include <QPointF>
#include <QWidget>

#include "editor/document/mission_document.h"
#include "editor/gui/map_view/map_painting.h"
#include "editor/map/mission_map.h"

namespace vyr::gui {

class MapView : public QWidget {
  Q_OBJECT

 public:
  explicit MapView(editor::MissionDocument& document, QWidget* parent = nullptr);
  ~MapView() override;

  // The map as the document is now (rebuilt on first use after a change).
  const editor::MissionMap& map();
  const MapViewport& viewport();

  // Shows the whole mission, and keeps showing it as it changes until the author zooms or pans.
  void FitToMission();
  // Zooms by `factor` keeping the game point under `anchor` (view pixels) in place.
  void ZoomBy(double factor, QPointF anchor);

  // The node of the location, warning mark or area at `position` (view pixels), in that order of
  // preference; kNoNode for empty ground.
  editor::NodeId NodeAt(QPointF position);

 signals:
  // The author clicked a record on the map.
  void nodeActivated(vyr::editor::NodeId node);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void MarkStale();
  int WarningAt(QPointF position);

  editor::MissionDocument& document_;
  editor::MissionMap map_;
  bool stale_ = true;
  bool fitted_ = true;  // the viewport follows the mission's bounds
  MapViewport viewport_;
  QPointF press_position_;
  QPointF last_drag_position_;
  bool pressed_ = false;
  bool dragged_ = false;

  editor::Notifier<editor::DocumentChange>::Connection changes_;
  editor::Notifier<editor::RecordEdit>::Connection edits_;
  editor::Notifier<editor::TreeEvent>::Connection tree_;
};

// The "Map" dock: a row of view buttons over the map.
class MapDock : public QDockWidget {
  Q_OBJECT

 public:
  explicit MapDock(editor::MissionDocument& document, QWidget* parent = nullptr);
  MapView* view() const { return view_; }

 private:
  MapView* view_;
};

}  // namespace vyr::gui
