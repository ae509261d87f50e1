// The mission map window: a dockable view that draws the mission from above (x right, y up) from the
// document and follows every change to it. A click on a location, an area or a warning mark asks for
// its node; the selected tree node is shown highlighted. A location dragged with the mouse moves, as
// one undoable step; a drag on empty ground pans.
#pragma once

#include <QDockWidget>
#include <QImage>
#include <QPointF>
#include <QThreadPool>
#include <QWidget>
#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "editor/document/mission_document.h"
#include "editor/gui/map_view/map_painting.h"
#include "editor/map/mission_map.h"

class QListWidget;
class QTimer;

namespace vyr::gui {

class MapView : public QWidget {
  Q_OBJECT

 public:
  // Runs `operation` as one undoable step called `label`.
  using StepRunner = std::function<void(const std::string& label, const std::function<void()>& operation)>;

  explicit MapView(editor::MissionDocument& document, QWidget* parent = nullptr);
  ~MapView() override;

  // Where moves go into the edit history; without one they are plain edits.
  void SetStepRunner(StepRunner runner) { run_step_ = std::move(runner); }
  // Reads plans through `scans`, which the problem check shares, so each changed plan is scanned once.
  void SharePlanScans(std::shared_ptr<editor::PlanScans> scans);

  // The map as the document is now (rebuilt on first use after a change).
  const editor::MissionMap& map();
  const MapViewport& viewport();

  // Shows the whole mission, and keeps showing it as it changes until the author zooms or pans.
  void FitToMission();
  // Zooms by `factor` keeping the game point under `anchor` (view pixels) in place.
  void ZoomBy(double factor, QPointF anchor);
  void PanBy(QPointF pixels);

  // A hidden force's routes, team starts and plan warnings are not drawn.
  void SetForceShown(int force, bool shown);
  bool IsForceShown(int force) const { return !options_.ForceHidden(force); }
  const MapPaintOptions& paint_options() const { return options_; }

  // Moves a location's x and y (rounded to whole units; z kept) as the step "Move location".
  void MoveLocation(int location, QPointF game);

  // The node of the location, warning mark or area at `position` (view pixels), in that order of
  // preference; kNoNode for empty ground.
  editor::NodeId NodeAt(QPointF position);

  // True when the kept ground and routes show the document, the forces shown and the viewport as they
  // are now, with no drawing of them under way: what is on screen is what a fresh view would show.
  bool RoutesSettled();
  // Pictures of the ground and routes that came back after a newer one had been asked for, and were
  // thrown away.
  int dropped_pictures() const { return dropped_pictures_; }

 signals:
  // The author clicked a record on the map.
  void nodeActivated(vyr::editor::NodeId node);
  // The pointer is over the map at `game` (game units), or has left it.
  void pointerMoved(QPointF game);
  void pointerLeft();
  // Forces were added, removed, renamed, shown or hidden.
  void forcesChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void leaveEvent(QEvent* event) override;
  bool event(QEvent* event) override;

 private:
  // The ground and routes of one state of the map, as drawn for one viewport and size.
  struct RoutesPicture {
    QImage image;
    MapViewport viewport;
    QSize pixels;
    std::uint64_t fingerprint = 0;
    std::uint64_t request = 0;
  };

  void MarkStale();
  std::uint64_t CurrentFingerprint();
  // Whether `picture` shows this state of the routes for the current viewport and size.
  bool Matches(const RoutesPicture& picture, std::uint64_t fingerprint) const;
  // The ground and routes for the current viewport, drawn now; used when nothing can stand in.
  void RedrawRoutes();
  // Asks for the ground and routes for the current state, drawn on the worker thread; the answer
  // replaces the kept picture unless a newer one has been asked for meanwhile.
  void RequestRoutes();
  void AcceptRoutes(RoutesPicture picture);
  int WarningAt(QPointF position);
  int LocationAt(QPointF position);

  editor::MissionDocument& document_;
  editor::MissionMapBuilder builder_;
  std::shared_ptr<const editor::MissionMap> map_;  // shared with a drawing under way
  MapPaintOptions options_;
  StepRunner run_step_;
  int pressed_location_ = -1;  // the location under the press, which a drag moves
  int known_forces_ = 0;       // the force count the hidden forces were chosen in

  // The ground and route layers as last drawn: the dearest part of a crowded map, kept while only names
  // change and shown moved or scaled while the author pans or zooms, until `sharpen_` draws it anew.
  // Drawn by one worker thread, off the GUI thread; the newest request wins.
  RoutesPicture routes_;
  RoutesPicture requested_;  // what the drawing under way shows; request 0 when none is
  std::uint64_t requests_ = 0;
  std::atomic<std::uint64_t> newest_request_{0};  // read by the worker: older orders skip drawing
  int dropped_pictures_ = 0;
  QThreadPool painter_thread_;
  QTimer* sharpen_ = nullptr;
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

// The "Map" dock: a row of view buttons over the map, and beside it the legend of forces, each with
// a check box that shows or hides its routes.
class MapDock : public QDockWidget {
  Q_OBJECT

 public:
  explicit MapDock(editor::MissionDocument& document, QWidget* parent = nullptr);
  MapView* view() const { return view_; }
  QListWidget* legend() const { return legend_; }

 private:
  void FillLegend();

  editor::MissionDocument& document_;
  MapView* view_;
  QListWidget* legend_;
  bool filling_ = false;
};

}  // namespace vyr::gui
