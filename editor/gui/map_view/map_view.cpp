#include "editor/gui/map_view/map_view.h"

#include <QHBoxLayout>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "editor/gui/common/code_page_text.h"

namespace vyr::gui {

using editor::NodeId;
using editor::NodeImage;

namespace {

constexpr double kPickRadius = 8;  // pixels around a point or mark that a click still takes
constexpr double kClickSlop = 4;   // pixels a press may move and still be a click

}  // namespace

MapView::MapView(editor::MissionDocument& document, QWidget* parent) : QWidget(parent), document_(document) {
  setObjectName("map_view");
  setMinimumSize(160, 120);
  setMouseTracking(false);
  setCursor(Qt::OpenHandCursor);
  changes_ = document_.changes().Connect([this](editor::DocumentChange change) {
    switch (change) {
      case editor::DocumentChange::kNewProject:
        fitted_ = true;
        MarkStale();
        break;
      case editor::DocumentChange::kLocations:
      case editor::DocumentChange::kAreas:
      case editor::DocumentChange::kForces:
        MarkStale();
        break;
      default:
        break;
    }
  });
  edits_ = document_.edits().Connect([this](const editor::RecordEdit& edit) {
    const editor::RecordKind kind = editor::KindOf(edit.field);
    if (kind == editor::RecordKind::kLocation || kind == editor::RecordKind::kArea ||
        kind == editor::RecordKind::kTeam || kind == editor::RecordKind::kForce)
      MarkStale();
  });
  tree_ = document_.tree().changes().Connect([this](const editor::TreeEvent& event) {
    if (event.change == editor::TreeChange::kSelection) update();
  });
}

MapView::~MapView() = default;

void MapView::MarkStale() {
  stale_ = true;
  update();
}

const editor::MissionMap& MapView::map() {
  if (stale_) {
    map_ = editor::BuildMissionMap(document_);
    stale_ = false;
    if (fitted_) viewport_ = MapViewport::Fitting(map_.bounds, width(), height());
  }
  return map_;
}

const MapViewport& MapView::viewport() {
  map();
  return viewport_;
}

void MapView::FitToMission() {
  fitted_ = true;
  viewport_ = MapViewport::Fitting(map().bounds, width(), height());
  update();
}

void MapView::ZoomBy(double factor, QPointF anchor) {
  map();
  const QPointF game = viewport_.ToGame(anchor);
  viewport_.scale = std::clamp(viewport_.scale * factor, MapViewport::kMinScale, MapViewport::kMaxScale);
  viewport_.origin_x = anchor.x() - game.x() * viewport_.scale;
  viewport_.origin_y = anchor.y() + game.y() * viewport_.scale;
  fitted_ = false;
  update();
}

int MapView::WarningAt(QPointF position) {
  const editor::MissionMap& current = map();
  for (std::size_t i = 0; i < current.warnings.size(); ++i) {
    const QPointF d =
        viewport_.ToScreen(current.warnings[i].x, current.warnings[i].y) + kWarningMarkOffset - position;
    if (std::hypot(d.x(), d.y()) <= kPickRadius) return static_cast<int>(i);
  }
  return -1;
}

NodeId MapView::NodeAt(QPointF position) {
  const editor::MissionMap& current = map();
  const editor::ProjectTree& tree = document_.tree();
  // The nearest point within reach.
  int nearest = -1;
  double best = kPickRadius;
  for (const editor::MapPoint& point : current.points) {
    const QPointF d = viewport_.ToScreen(point.x, point.y) - position;
    const double distance = std::hypot(d.x(), d.y());
    if (distance <= best) {
      best = distance;
      nearest = point.location;
    }
  }
  if (const int warning = WarningAt(position); warning >= 0 && nearest < 0) {
    const editor::MapWarning& mark = current.warnings[static_cast<std::size_t>(warning)];
    return mark.team >= 0 ? tree.TeamNode(mark.force, mark.team) : tree.AreaNode(mark.area);
  }
  if (nearest >= 0) return tree.LocationNode(nearest);
  // The smallest circle around the position; a circle too small to aim at counts as its reach.
  int area = -1;
  double smallest = 0;
  for (const editor::MapCircle& circle : current.circles) {
    const QPointF d = viewport_.ToScreen(circle.x, circle.y) - position;
    const double r = std::max(kPickRadius, std::abs(circle.radius) * viewport_.scale);
    if (std::hypot(d.x(), d.y()) <= r && (area < 0 || r < smallest)) {
      area = circle.area;
      smallest = r;
    }
  }
  return area >= 0 ? tree.AreaNode(area) : editor::kNoNode;
}

void MapView::paintEvent(QPaintEvent*) {
  const editor::MissionMap& current = map();
  QPainter painter(this);
  PaintMissionMap(painter, document_, current, viewport_, width(), height());
}

void MapView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (fitted_) viewport_ = MapViewport::Fitting(map().bounds, width(), height());
}

void MapView::wheelEvent(QWheelEvent* event) {
  const double steps = event->angleDelta().y() / 120.0;
  if (steps != 0) ZoomBy(std::pow(1.25, steps), event->position());
  event->accept();
}

void MapView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  pressed_ = true;
  dragged_ = false;
  press_position_ = last_drag_position_ = event->position();
}

void MapView::mouseMoveEvent(QMouseEvent* event) {
  if (!pressed_) return QWidget::mouseMoveEvent(event);
  const QPointF moved = event->position() - press_position_;
  if (!dragged_ && std::hypot(moved.x(), moved.y()) <= kClickSlop) return;
  if (!dragged_) setCursor(Qt::ClosedHandCursor);
  dragged_ = true;
  map();
  const QPointF step = event->position() - last_drag_position_;
  viewport_.origin_x += step.x();
  viewport_.origin_y += step.y();
  last_drag_position_ = event->position();
  fitted_ = false;
  update();
}

void MapView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !pressed_) return QWidget::mouseReleaseEvent(event);
  pressed_ = false;
  setCursor(Qt::OpenHandCursor);
  if (dragged_) return;
  if (const NodeId node = NodeAt(event->position()); node != editor::kNoNode) emit nodeActivated(node);
}

// Tool tips name what is under the pointer: a location with its coordinates, or what a mark warns of.
bool MapView::event(QEvent* event) {
  if (event->type() != QEvent::ToolTip) return QWidget::event(event);
  auto* help = static_cast<QHelpEvent*>(event);
  QString tip;
  if (const int warning = WarningAt(help->pos()); warning >= 0) {
    tip = FromCodePage(editor::WarningText(document_, map().warnings[static_cast<std::size_t>(warning)]));
  } else if (const NodeId node = NodeAt(help->pos()); node != editor::kNoNode) {
    const editor::NodeAddress at = document_.tree().AddressOf(node);
    if (at.image == NodeImage::kSubLocation) {
      const editor::LocationRecord& location = document_.location(at.index);
      tip = QString("%1 (%2, %3, %4)")
                .arg(FromCodePage(location.loc_name))
                .arg(location.loc_x)
                .arg(location.loc_y)
                .arg(location.loc_z);
    } else if (at.image == NodeImage::kSubArea) {
      tip = "Area " + FromCodePage(document_.area(at.index).area_name);
    }
  }
  if (tip.isEmpty()) {
    QToolTip::hideText();
  } else {
    QToolTip::showText(help->globalPos(), tip, this);
  }
  return true;
}

MapDock::MapDock(editor::MissionDocument& document, QWidget* parent) : QDockWidget("Map", parent) {
  setObjectName("map_dock");
  auto* panel = new QWidget(this);
  view_ = new MapView(document, panel);
  auto* buttons = new QHBoxLayout;
  buttons->setContentsMargins(4, 2, 4, 2);
  const auto button = [panel, buttons](const char* name, const QString& text, const QString& tip) {
    auto* b = new QToolButton(panel);
    b->setObjectName(name);
    b->setText(text);
    b->setToolTip(tip);
    b->setAutoRaise(true);
    buttons->addWidget(b);
    return b;
  };
  connect(button("map_fit", "Fit", "Show the whole mission"), &QToolButton::clicked, view_,
          &MapView::FitToMission);
  connect(button("map_zoom_in", "+", "Zoom in"), &QToolButton::clicked, view_,
          [this] { view_->ZoomBy(1.5, view_->rect().center()); });
  connect(button("map_zoom_out", "\u2212", "Zoom out"), &QToolButton::clicked, view_,
          [this] { view_->ZoomBy(1 / 1.5, view_->rect().center()); });
  buttons->addStretch();
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addLayout(buttons);
  layout->addWidget(view_, 1);
  setWidget(panel);
}

}  // namespace vyr::gui
