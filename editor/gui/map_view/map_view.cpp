#include "editor/gui/map_view/map_view.h"

#include <QHBoxLayout>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QSplitter>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <utility>

#include "editor/gui/common/code_page_text.h"

namespace vyr::gui {

using editor::NodeId;
using editor::NodeImage;

namespace {

constexpr double kPickRadius = 8;  // pixels around a point or mark that a click still takes
constexpr double kClickSlop = 4;   // pixels a press may move and still be a click
constexpr double kKeyZoom = 1.25;
constexpr double kKeyPan = 0.125;   // of the view's size
constexpr int kSharpenDelay = 150;  // milliseconds after the last pan or zoom before routes are redrawn

}  // namespace

MapView::MapView(editor::MissionDocument& document, QWidget* parent) : QWidget(parent), document_(document) {
  setObjectName("map_view");
  known_forces_ = document_.force_count();
  setMinimumSize(160, 120);
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setCursor(Qt::OpenHandCursor);
  painter_thread_.setMaxThreadCount(1);
  sharpen_ = new QTimer(this);
  sharpen_->setSingleShot(true);
  sharpen_->setInterval(kSharpenDelay);
  connect(sharpen_, &QTimer::timeout, this, [this] {
    if (!Matches(routes_, CurrentFingerprint()) && !Matches(requested_, CurrentFingerprint()))
      RequestRoutes();
  });
  changes_ = document_.changes().Connect([this](editor::DocumentChange change) {
    switch (change) {
      case editor::DocumentChange::kNewProject:
        fitted_ = true;
        options_.hidden_forces.clear();
        known_forces_ = document_.force_count();
        MarkStale();
        emit forcesChanged();
        break;
      case editor::DocumentChange::kForces:
        // Forces added or removed shift the indices the hidden ones are kept by: show them all.
        if (options_.hidden_forces.size() > static_cast<std::size_t>(document_.force_count()) ||
            document_.force_count() != known_forces_)
          options_.hidden_forces.clear();
        known_forces_ = document_.force_count();
        MarkStale();
        emit forcesChanged();
        break;
      case editor::DocumentChange::kLocations:
      case editor::DocumentChange::kAreas:
        MarkStale();
        break;
      default:
        break;
    }
  });
  // Only what the map shows counts: a description typed with the map open costs nothing, a name only
  // a repaint, and a plan the scan of that one plan.
  edits_ = document_.edits().Connect([this](const editor::RecordEdit& edit) {
    switch (edit.field) {
      case editor::Field::kPlan:
        MarkStale();
        break;
      case editor::Field::kLocName:
      case editor::Field::kLocX:
      case editor::Field::kLocY:
      case editor::Field::kAreaLocations:
      case editor::Field::kAreaRadius:
        MarkStale();
        break;
      case editor::Field::kForceName:
        update();
        emit forcesChanged();
        break;
      case editor::Field::kAreaName:
      case editor::Field::kTeamName:
        update();
        break;
      default:
        break;
    }
  });
  tree_ = document_.tree().changes().Connect([this](const editor::TreeEvent& event) {
    if (event.change == editor::TreeChange::kSelection) update();
  });
}

MapView::~MapView() {
  // A drawing under way answers to this view: let it finish before the view goes.
  painter_thread_.clear();
  painter_thread_.waitForDone();
}

void MapView::SharePlanScans(std::shared_ptr<editor::PlanScans> scans) {
  builder_ = editor::MissionMapBuilder(std::move(scans));
  MarkStale();
}

void MapView::MarkStale() {
  stale_ = true;
  update();
}

const editor::MissionMap& MapView::map() {
  if (stale_) {
    map_ = std::make_shared<const editor::MissionMap>(builder_.Build(document_));
    stale_ = false;
    if (fitted_) viewport_ = MapViewport::Fitting(map_->bounds, width(), height());
  }
  return *map_;
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
  sharpen_->start();
  update();
}

void MapView::PanBy(QPointF pixels) {
  map();
  viewport_.origin_x += pixels.x();
  viewport_.origin_y += pixels.y();
  fitted_ = false;
  sharpen_->start();
  update();
}

void MapView::SetForceShown(int force, bool shown) {
  if (force < 0 || IsForceShown(force) == shown) return;
  if (options_.hidden_forces.size() <= static_cast<std::size_t>(force))
    options_.hidden_forces.resize(static_cast<std::size_t>(force) + 1, false);
  options_.hidden_forces[static_cast<std::size_t>(force)] = !shown;
  update();
  emit forcesChanged();
}

void MapView::MoveLocation(int location, QPointF game) {
  if (location < 0 || location >= document_.location_count()) return;
  const auto x = static_cast<editor::Integer>(std::lround(game.x()));
  const auto y = static_cast<editor::Integer>(std::lround(game.y()));
  const auto move = [this, location, x, y] {
    (void)document_.SetField(editor::RecordRef::Location(location), editor::Field::kLocX, x);
    (void)document_.SetField(editor::RecordRef::Location(location), editor::Field::kLocY, y);
  };
  if (run_step_) {
    run_step_("Move location", move);
  } else {
    move();
  }
}

int MapView::LocationAt(QPointF position) {
  int nearest = -1;
  double best = kPickRadius;
  for (const editor::MapPoint& point : map().points) {
    const QPointF d = viewport_.ToScreen(point.x, point.y) - position;
    const double distance = std::hypot(d.x(), d.y());
    if (distance <= best) {
      best = distance;
      nearest = point.location;
    }
  }
  return nearest;
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
  const int nearest = LocationAt(position);  // the nearest point within reach
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

std::uint64_t MapView::CurrentFingerprint() {
  return RouteLayerFingerprint(document_, map(), options_);
}

bool MapView::Matches(const RoutesPicture& picture, std::uint64_t fingerprint) const {
  return picture.request != 0 && picture.fingerprint == fingerprint &&
         picture.pixels == (QSizeF(size()) * devicePixelRatioF()).toSize() &&
         picture.viewport.scale == viewport_.scale && picture.viewport.origin_x == viewport_.origin_x &&
         picture.viewport.origin_y == viewport_.origin_y;
}

bool MapView::RoutesSettled() {
  return requested_.request == 0 && Matches(routes_, CurrentFingerprint());
}

void MapView::RedrawRoutes() {
  const editor::MissionMap& current = map();
  const qreal ratio = devicePixelRatioF();
  RoutesPicture picture;
  picture.pixels = (QSizeF(size()) * ratio).toSize();
  picture.image = QImage(picture.pixels, QImage::Format_RGB32);
  picture.image.setDevicePixelRatio(ratio);
  {
    QPainter painter(&picture.image);
    PaintMapGround(painter, current, MapSelection(document_), viewport_, width(), height(), options_);
  }
  picture.viewport = viewport_;
  picture.fingerprint = CurrentFingerprint();
  picture.request = ++requests_;
  requested_ = RoutesPicture{};  // what is under way is older than this
  newest_request_ = picture.request;
  routes_ = std::move(picture);
}

void MapView::RequestRoutes() {
  RoutesPicture order;
  const qreal ratio = devicePixelRatioF();
  order.pixels = (QSizeF(size()) * ratio).toSize();
  order.viewport = viewport_;
  order.fingerprint = CurrentFingerprint();
  order.request = ++requests_;
  requested_ = order;
  newest_request_ = order.request;
  // Every order answers once; one overtaken before it began answers without a picture.
  painter_thread_.start([this, order, map = map_, options = options_, selected = MapSelection(document_),
                         ratio, width = width(), height = height()]() mutable {
    if (newest_request_ == order.request) {
      order.image = QImage(order.pixels, QImage::Format_RGB32);
      order.image.setDevicePixelRatio(ratio);
      QPainter painter(&order.image);
      PaintMapGround(painter, *map, selected, order.viewport, width, height, options);
    }
    QMetaObject::invokeMethod(
        this, [this, picture = std::move(order)]() mutable { AcceptRoutes(std::move(picture)); },
        Qt::QueuedConnection);
  });
}

void MapView::AcceptRoutes(RoutesPicture picture) {
  if (picture.request != requested_.request) {
    ++dropped_pictures_;
    return;
  }
  requested_ = RoutesPicture{};
  routes_ = std::move(picture);
  update();
}

// Names and points are drawn every time; ground and routes come from the kept picture. When it shows
// other routes or another viewport it stands in, moved and scaled into place, while the worker thread
// draws the new one: at once after an edit or a resize, after a pause once the author pans or zooms.
// Only a view with no picture yet draws ground and routes here.
void MapView::paintEvent(QPaintEvent*) {
  (void)map();
  const std::uint64_t fingerprint = CurrentFingerprint();
  const QSize pixels = (QSizeF(size()) * devicePixelRatioF()).toSize();
  if (routes_.image.isNull()) {
    RedrawRoutes();
  } else if (!Matches(routes_, fingerprint) && !Matches(requested_, fingerprint)) {
    if (routes_.fingerprint != fingerprint || routes_.pixels != pixels) {
      RequestRoutes();
    } else if (!sharpen_->isActive()) {
      sharpen_->start();
    }
  }
  QPainter painter(this);
  const MapViewport& drawn = routes_.viewport;
  if (drawn.scale != viewport_.scale || drawn.origin_x != viewport_.origin_x ||
      drawn.origin_y != viewport_.origin_y || routes_.pixels != pixels) {
    painter.fillRect(rect(), palette().window());
    const double factor = viewport_.scale / drawn.scale;
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.translate(viewport_.origin_x - drawn.origin_x * factor,
                      viewport_.origin_y - drawn.origin_y * factor);
    painter.scale(factor, factor);
    painter.drawImage(QPointF(0, 0), routes_.image);
    painter.restore();
  } else {
    painter.drawImage(QPointF(0, 0), routes_.image);
  }
  PaintMissionMap(painter, document_, *map_, viewport_, width(), height(), options_, kTopLayer);
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
  pressed_location_ = LocationAt(event->position());
}

void MapView::mouseMoveEvent(QMouseEvent* event) {
  emit pointerMoved(viewport().ToGame(event->position()));
  if (!pressed_) return QWidget::mouseMoveEvent(event);
  const QPointF moved = event->position() - press_position_;
  if (!dragged_ && std::hypot(moved.x(), moved.y()) <= kClickSlop) return;
  if (!dragged_) setCursor(pressed_location_ >= 0 ? Qt::SizeAllCursor : Qt::ClosedHandCursor);
  dragged_ = true;
  if (pressed_location_ >= 0) {
    // The record changes once, on release; until then the point is drawn where it would go.
    options_.moved_location = pressed_location_;
    options_.moved_to = viewport_.ToGame(event->position());
    update();
    return;
  }
  PanBy(event->position() - last_drag_position_);
  last_drag_position_ = event->position();
}

void MapView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !pressed_) return QWidget::mouseReleaseEvent(event);
  pressed_ = false;
  setCursor(Qt::OpenHandCursor);
  const int location = std::exchange(pressed_location_, -1);
  options_.moved_location = -1;
  if (dragged_) {
    if (location >= 0) {
      fitted_ = false;  // the view stays where the author dropped the location
      update();
      MoveLocation(location, viewport_.ToGame(event->position()));
    }
    return;
  }
  if (const NodeId node = NodeAt(event->position()); node != editor::kNoNode) emit nodeActivated(node);
}

// Arrows pan, + and - zoom about the centre, 0 shows the whole mission again.
void MapView::keyPressEvent(QKeyEvent* event) {
  const QPointF centre = rect().center();
  if (event->key() == Qt::Key_Escape && options_.moved_location >= 0) {
    // Escape drops a dragged location back where it was.
    options_.moved_location = pressed_location_ = -1;
    return update();
  }
  switch (event->key()) {
    case Qt::Key_Left:
      return PanBy(QPointF(width() * kKeyPan, 0));
    case Qt::Key_Right:
      return PanBy(QPointF(-width() * kKeyPan, 0));
    case Qt::Key_Up:
      return PanBy(QPointF(0, height() * kKeyPan));
    case Qt::Key_Down:
      return PanBy(QPointF(0, -height() * kKeyPan));
    case Qt::Key_Plus:
    case Qt::Key_Equal:
      return ZoomBy(kKeyZoom, centre);
    case Qt::Key_Minus:
      return ZoomBy(1 / kKeyZoom, centre);
    case Qt::Key_0:
      return FitToMission();
    default:
      QWidget::keyPressEvent(event);
  }
}

void MapView::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  emit pointerLeft();
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

MapDock::MapDock(editor::MissionDocument& document, QWidget* parent)
    : QDockWidget("Map", parent), document_(document) {
  setObjectName("map_dock");
  auto* splitter = new QSplitter(this);
  auto* panel = new QWidget(splitter);
  view_ = new MapView(document, panel);
  legend_ = new QListWidget(splitter);
  legend_->setObjectName("map_legend");
  legend_->setToolTip("Forces: tick to show a force's routes; double-click to show that force alone");
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
  connect(button("map_fit", "Fit", "Show the whole mission (0)"), &QToolButton::clicked, view_,
          &MapView::FitToMission);
  connect(button("map_zoom_in", "+", "Zoom in (+)"), &QToolButton::clicked, view_,
          [this] { view_->ZoomBy(1.5, view_->rect().center()); });
  connect(button("map_zoom_out", "\u2212", "Zoom out (\u2212)"), &QToolButton::clicked, view_,
          [this] { view_->ZoomBy(1 / 1.5, view_->rect().center()); });
  buttons->addStretch();
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addLayout(buttons);
  layout->addWidget(view_, 1);
  splitter->addWidget(panel);
  splitter->addWidget(legend_);
  splitter->setStretchFactor(0, 1);
  splitter->setStretchFactor(1, 0);
  splitter->setSizes({320, 110});
  setWidget(splitter);

  connect(view_, &MapView::forcesChanged, this, &MapDock::FillLegend);
  connect(legend_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
    if (!filling_) view_->SetForceShown(legend_->row(item), item->checkState() == Qt::Checked);
  });
  // A double click shows that force alone, or every force when it already was alone.
  connect(legend_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    const int chosen = legend_->row(item);
    bool alone = view_->IsForceShown(chosen);
    for (int f = 0; f < legend_->count() && alone; ++f)
      alone = f == chosen || !view_->IsForceShown(f);
    for (int f = 0; f < legend_->count(); ++f)
      view_->SetForceShown(f, alone || f == chosen);
  });
  FillLegend();
}

void MapDock::FillLegend() {
  filling_ = true;
  const int count = document_.force_count();
  while (legend_->count() > count)
    delete legend_->takeItem(legend_->count() - 1);
  for (int f = 0; f < count; ++f) {
    QListWidgetItem* item = legend_->item(f);
    if (item == nullptr) {
      item = new QListWidgetItem(legend_);
      item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
      QPixmap swatch(12, 12);
      swatch.fill(ForceColour(f));
      item->setIcon(QIcon(swatch));
    }
    item->setText(FromCodePage(document_.force(f).force_name));
    item->setCheckState(view_->IsForceShown(f) ? Qt::Checked : Qt::Unchecked);
  }
  filling_ = false;
}

}  // namespace vyr::gui
