// The main window's side of the mission map: the dock, View > Map, File > Export map as image, and
// the pointer's map coordinates in the status bar.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QStatusBar>

#include <cmath>
#include "editor/gui/map_view/map_view.h"
#include "editor/shell/main_window.h"
#include "editor/shell/undo_actions.h"

namespace vyr::gui {

namespace {
constexpr int kMapDockWidth = 420;  // pixels, when the dock first shows narrower
}  // namespace

void MainWindow::CreateMap() {
  map_dock_ = new MapDock(document_, this);
  map_dock_->setAllowedAreas(Qt::AllDockWidgetAreas);
  addDockWidget(Qt::RightDockWidgetArea, map_dock_);
  map_dock_->hide();

  // A location dragged on the map moves as one undoable step.
  map_dock_->view()->SetStepRunner([this](const std::string& label, const std::function<void()>& move) {
    undo_->history().Perform(label, move);
  });
  auto* coordinates = new QLabel(this);
  coordinates->setObjectName("map_coordinates");
  statusBar()->addPermanentWidget(coordinates);
  connect(map_dock_->view(), &MapView::pointerMoved, coordinates, [coordinates](QPointF game) {
    coordinates->setText(QString("x %1, y %2").arg(std::lround(game.x())).arg(std::lround(game.y())));
  });
  connect(map_dock_->view(), &MapView::pointerLeft, coordinates, &QLabel::clear);

  // A click on the map does what a click on the record's tree node does.
  connect(map_dock_->view(), &MapView::nodeActivated, this, [this](editor::NodeId node) {
    document_.MakeCurrent(node);
    OnNodeClicked(node);
  });

  connect(map_dock_, &QDockWidget::visibilityChanged, this, [this] { UpdateActions(); });
}

void MainWindow::ToggleMap() {
  const bool show = map_dock_->isHidden();
  map_dock_->setVisible(show);
  if (show && map_dock_->width() < kMapDockWidth && !map_dock_->isFloating())
    resizeDocks({map_dock_}, {kMapDockWidth}, Qt::Horizontal);
}

void MainWindow::ExportMap() {
  const editor::FileNamePair& project = document_.project_file();
  std::string name = project.unnamed() ? "mission" : project.name;
  if (const std::size_t dot = name.rfind('.'); dot != std::string::npos && dot > 0) name.resize(dot);
  const auto path =
      ui_->AskSavePath({"Export map as image", "PNG image (*.png)|*.png|SVG drawing (*.svg)|*.svg",
                        project.directory, name + ".png"});
  if (!path) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const editor::Status exported = ExportMissionMap(document_, *path, map_dock_->view()->paint_options());
  QApplication::restoreOverrideCursor();
  (void)editor::Told(*ui_, exported, "The map could not be exported.");
}

}  // namespace vyr::gui
