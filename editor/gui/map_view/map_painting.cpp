#include "editor/gui/map_view/map_painting.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <tuple>
#include <unordered_set>
#include <vector>

#include "editor/gui/common/code_page_text.h"
#include "platform/atomic_file.h"

namespace vyr::gui {

using editor::MapRoute;
using editor::NodeImage;
using editor::PlaceRole;

namespace {

constexpr double kPointRadius = 4;
constexpr double kCullMargin = 24;  // pixels beyond the picture still drawn, for strokes and marks
constexpr int kExportWidth = 1600;
const QColor kBackground(0xf6, 0xf3, 0xea);
const QColor kHighlight(0xe0, 0x6c, 0x00);

QString Text(std::string_view bytes) {
  return FromCodePage(bytes);
}

// Grid lines every power of two of game units that leaves at least 48 pixels between them.
void PaintGrid(QPainter& painter, const MapViewport& view, double width, double height) {
  double step = 1;
  while (step * view.scale < 48 && step < 65536)
    step *= 2;
  const QPointF low = view.ToGame({0, height});
  const QPointF high = view.ToGame({width, 0});
  const bool smooth = painter.testRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::Antialiasing, false);
  const QPen minor(QColor(0, 0, 0, 22), 1);
  const QPen axis(QColor(0, 0, 0, 70), 1);
  for (double x = std::floor(low.x() / step) * step; x <= high.x(); x += step) {
    painter.setPen(x == 0 ? axis : minor);
    const double sx = view.ToScreen(x, 0).x();
    painter.drawLine(QLineF(sx, 0, sx, height));
  }
  for (double y = std::floor(low.y() / step) * step; y <= high.y(); y += step) {
    painter.setPen(y == 0 ? axis : minor);
    const double sy = view.ToScreen(0, y).y();
    painter.drawLine(QLineF(0, sy, width, sy));
  }
  painter.setRenderHint(QPainter::Antialiasing, smooth);
}

// Cuts `line` to `box` (Liang-Barsky); false when no part of it is inside. Long lines far out of the
// picture would otherwise cost their whole length in dashes and spans.
bool ClipLine(QLineF& line, const QRectF& box) {
  const double dx = line.dx(), dy = line.dy();
  double t0 = 0, t1 = 1;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {line.x1() - box.left(), box.right() - line.x1(), line.y1() - box.top(),
                       box.bottom() - line.y1()};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) {
      t0 = std::max(t0, t);
    } else {
      t1 = std::min(t1, t);
    }
    if (t0 > t1) return false;
  }
  line = QLineF(line.x1() + t0 * dx, line.y1() + t0 * dy, line.x1() + t1 * dx, line.y1() + t1 * dy);
  return true;
}

// A key for "already drawn at these pixels"; coordinates are clipped to the picture, so 15 bits hold them.
std::uint64_t PixelKey(QPointF a, QPointF b, bool flag) {
  const auto part = [](double v) {
    return static_cast<std::uint64_t>(std::clamp<long>(std::lround(v) + 64, 0, 0x7fff));
  };
  return part(a.x()) | part(a.y()) << 15 | part(b.x()) << 30 | part(b.y()) << 45 |
         (flag ? std::uint64_t{1} << 63 : 0);
}

// A label beside its anchor unless it would cover one already placed; forced labels always show.
// Placed boxes are kept in a grid of cells, so each label looks only at its neighbours.
class Labels {
 public:
  Labels(QPainter& painter, double width, double height)
      : painter_(painter),
        metrics_(painter.font()),
        view_(-kCullMargin, -kCullMargin, width + 2 * kCullMargin, height + 2 * kCullMargin),
        columns_(std::max(1, static_cast<int>(std::ceil(view_.width() / kCell)))),
        rows_(std::max(1, static_cast<int>(std::ceil(view_.height() / kCell)))),
        cells_(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_)) {}

  // `bytes` are the label's text as stored; it is converted and measured only when the spot is free.
  void Place(QPointF anchor, std::string_view bytes, const QColor& colour, bool forced = false,
             std::string_view suffix = {}) {
    if (bytes.empty() && suffix.empty()) return;
    const QPointF corner = anchor + QPointF(kPointRadius + 3, -metrics_.height() - 1);
    // A crowded spot turns the label away before its text is shaped: any text is at least a pixel wide.
    if (!forced && Taken(QRectF(corner, QSizeF(1, metrics_.height())))) return;
    const QString text = Text(bytes) + Text(suffix);
    const QRectF box(corner, QSizeF(metrics_.horizontalAdvance(text), metrics_.height()));
    if (!box.intersects(view_)) return;
    const int left = Column(box.left()), right = Column(box.right());
    const int top = Row(box.top()), bottom = Row(box.bottom());
    if (!forced && Taken(box)) return;
    for (int r = top; r <= bottom; ++r) {
      for (int c = left; c <= right; ++c)
        cells_[Cell(c, r)].push_back(boxes_.size());
    }
    boxes_.push_back(box);
    const QPointF baseline(box.left(), box.top() + metrics_.ascent());
    painter_.setPen(QColor(255, 255, 255, 200));
    painter_.drawText(baseline + QPointF(1, 1), text);
    painter_.setPen(colour);
    painter_.drawText(baseline, text);
  }

 private:
  static constexpr double kCell = 48;
  bool Taken(const QRectF& box) const {
    const int left = Column(box.left()), right = Column(box.right());
    const int top = Row(box.top()), bottom = Row(box.bottom());
    for (int r = top; r <= bottom; ++r) {
      for (int c = left; c <= right; ++c) {
        for (const std::size_t taken : cells_[Cell(c, r)]) {
          if (boxes_[taken].intersects(box)) return true;
        }
      }
    }
    return false;
  }
  int Column(double x) const {
    return std::clamp(static_cast<int>((x - view_.left()) / kCell), 0, columns_ - 1);
  }
  int Row(double y) const { return std::clamp(static_cast<int>((y - view_.top()) / kCell), 0, rows_ - 1); }
  std::size_t Cell(int column, int row) const {
    return static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) +
           static_cast<std::size_t>(column);
  }

  QPainter& painter_;
  QFontMetricsF metrics_;
  QRectF view_;
  int columns_, rows_;
  std::vector<std::vector<std::size_t>> cells_;
  std::vector<QRectF> boxes_;
};

void AddArrowHead(QPainterPath& heads, QPointF from, QPointF to, const QRectF& view) {
  const QPointF d = to - from;
  const double length = std::hypot(d.x(), d.y());
  if (length < 14) return;
  const QPointF tip = from + d * 0.55;
  if (!view.contains(tip)) return;
  const QPointF u = d / length;
  const QPointF n(-u.y(), u.x());
  heads.addPolygon(QPolygonF({tip, tip - u * 9 + n * 4.5, tip - u * 9 - n * 4.5, tip}));
}

// Lines, sight lines and arrow heads of a set of routes, cut to the picture, drawn in one pass.
// Routes of the set that share a leg draw it once.
struct RouteStrokes {
  explicit RouteStrokes(const QRectF& view) : view(view) {}

  QRectF view;
  std::vector<QLineF> moves;
  std::vector<QLineF> sights;
  QPainterPath heads;
  std::unordered_set<std::uint64_t> drawn;

  void AddLine(QPointF from, QPointF to, bool sight) {
    QLineF line(from, to);
    if (!ClipLine(line, view) || !drawn.insert(PixelKey(line.p1(), line.p2(), sight)).second) return;
    if (sight) {
      sights.push_back(line);
    } else {
      moves.push_back(line);
      AddArrowHead(heads, from, to, view);
    }
  }

  void Add(const MapRoute& route, const MapViewport& map_view) {
    bool placed = false;
    QPointF at;
    for (const editor::RouteStep& step : route.steps) {
      if (step.location < 0) continue;
      const QPointF there = map_view.ToScreen(step.x, step.y);
      if (step.role == PlaceRole::kSight) {
        if (placed) AddLine(at, there, true);
        continue;
      }
      if (placed && there != at) AddLine(at, there, false);
      at = there;
      placed = true;
    }
  }
  // Lines one pixel wide take the rasterizer's fast path; wider ones are stroked as one path of every
  // line, which costs seconds for a crowd of routes, so only the few lit routes are drawn wider.
  void Paint(QPainter& painter, const QColor& colour, double width) {
    painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
    painter.drawLines(moves.data(), static_cast<int>(moves.size()));
    painter.setPen(QPen(colour, std::max(1.0, width - 1), Qt::DashLine));
    painter.drawLines(sights.data(), static_cast<int>(sights.size()));
    painter.fillPath(heads, colour);
  }
};

void PaintWarning(QPainter& painter, QPointF at) {
  const QPolygonF sign({at + QPointF(0, -8), at + QPointF(7.5, 5), at + QPointF(-7.5, 5)});
  painter.setPen(QPen(QColor(0x90, 0x10, 0x10), 1.2));
  painter.setBrush(QColor(0xff, 0xd0, 0x30));
  painter.drawPolygon(sign);
  painter.drawLine(QLineF(at + QPointF(0, -4), at + QPointF(0, 1)));
  painter.drawPoint(at + QPointF(0, 3));
}

QString UnitsText(double units) {
  return (units >= 1 ? QString::number(units, 'f', 0) : QString::number(units, 'g', 3)) + " units";
}

void PaintScaleBar(QPainter& painter, const MapViewport& view, double height) {
  const double units = ScaleBarLength(view.scale, 120);
  const double pixels = units * view.scale;
  const QPointF left(12, height - 14);
  const QPointF right = left + QPointF(pixels, 0);
  painter.setPen(QPen(QColor(255, 255, 255, 200), 4, Qt::SolidLine, Qt::FlatCap));
  painter.drawLine(left, right);
  painter.setPen(QPen(QColor(0x20, 0x20, 0x28), 1.5, Qt::SolidLine, Qt::FlatCap));
  painter.drawLine(left, right);
  painter.drawLine(left + QPointF(0, -5), left + QPointF(0, 3));
  painter.drawLine(right + QPointF(0, -5), right + QPointF(0, 3));
  painter.drawText(left + QPointF(0, -7), UnitsText(units));
}

// The record the selected tree node holds, for highlighting.
editor::NodeAddress SelectedRecord(const editor::MissionDocument& document) {
  return document.tree().AddressOf(document.tree().selected());
}

}  // namespace

QColor ForceColour(int force) {
  return QColor::fromHsv(static_cast<int>(std::lround(force * 137.508)) % 360, 210, 185);
}

std::uint64_t RouteLayerFingerprint(const editor::MissionDocument& document, const editor::MissionMap& map,
                                    const MapPaintOptions& options) {
  std::uint64_t hash = 14695981039346656037ull;  // FNV-1a over the values
  const auto mix = [&hash](std::uint64_t value) {
    for (int i = 0; i < 8; ++i, value >>= 8)
      hash = (hash ^ (value & 0xff)) * 1099511628211ull;
  };
  const auto mix_double = [&mix](double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    mix(bits);
  };
  for (const MapRoute& route : map.routes) {
    mix(static_cast<std::uint64_t>(route.force) << 32 | static_cast<std::uint32_t>(route.team));
    for (const editor::RouteStep& step : route.steps) {
      mix(static_cast<std::uint64_t>(step.location) << 8 | static_cast<std::uint64_t>(step.role));
      mix_double(step.x);
      mix_double(step.y);
    }
  }
  for (const editor::MapCircle& circle : map.circles) {
    mix(static_cast<std::uint64_t>(circle.area));
    mix_double(circle.x);
    mix_double(circle.y);
    mix_double(circle.radius);
  }
  for (std::size_t f = 0; f < options.hidden_forces.size(); ++f)
    mix(options.hidden_forces[f] ? f + 1 : 0);
  if (options.with_selection) {
    const editor::NodeAddress selected = SelectedRecord(document);
    if (selected.image == NodeImage::kTeam || selected.image == NodeImage::kSubForce ||
        selected.image == NodeImage::kSubArea) {
      mix(static_cast<std::uint64_t>(selected.image));
      mix(static_cast<std::uint64_t>(selected.force) << 32 | static_cast<std::uint32_t>(selected.team));
      mix(static_cast<std::uint64_t>(selected.index));
    }
  }
  return hash;
}

double ScaleBarLength(double scale, double pixels) {
  const double units = pixels / std::max(scale, MapViewport::kMinScale);
  const double power = std::pow(10.0, std::floor(std::log10(units)));
  for (const double step : {5.0, 2.0, 1.0}) {
    if (step * power <= units) return step * power;
  }
  return power;
}

MapViewport MapViewport::Fitting(const editor::MapBounds& bounds, double width, double height) {
  MapViewport view;
  const double w = std::max(1.0, bounds.right - bounds.left);
  const double h = std::max(1.0, bounds.top - bounds.bottom);
  view.scale = std::clamp(std::min(std::max(1.0, width) / w, std::max(1.0, height) / h),
                          MapViewport::kMinScale, MapViewport::kMaxScale);
  view.origin_x = width / 2 - (bounds.left + bounds.right) / 2 * view.scale;
  view.origin_y = height / 2 + (bounds.bottom + bounds.top) / 2 * view.scale;
  return view;
}

namespace {

// The layers asked for; without the top layer the document is not looked at (it may be null).
void PaintLayers(QPainter& painter, const editor::MissionDocument* document,
                 const editor::NodeAddress& selected, const editor::MissionMap& map, const MapViewport& view,
                 double width, double height, const MapPaintOptions& options, unsigned layers) {
  const bool ground_layer = (layers & kGroundLayer) != 0;
  const bool route_layer = (layers & kRouteLayer) != 0;
  const bool top_layer = (layers & kTopLayer) != 0 && document != nullptr;
  painter.save();
  if (ground_layer) painter.fillRect(QRectF(0, 0, width, height), kBackground);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF seen(-kCullMargin, -kCullMargin, width + 2 * kCullMargin, height + 2 * kCullMargin);
  const auto in_view = [&seen](QPointF at) { return seen.contains(at); };
  const auto is_selected = [&selected](NodeImage image, int index) {
    return selected.image == image && selected.index == index;
  };

  // Areas: a circle of the radius around each location, the name at the first circle's top. Circles
  // are filled one by one in an opaque colour, the tint already blended with the background, so
  // overlaps look like one area without a union path (whose rasterizing costs grow with its size).
  // A circle around the whole picture fills it as a rectangle; one outside it is left out.
  struct AreaLabel {
    QPointF at;
    int area;
    bool lit;
  };
  std::vector<AreaLabel> area_labels;
  QPainterPath lit_ground;
  lit_ground.setFillRule(Qt::WindingFill);
  std::vector<std::tuple<QPointF, double, bool>> outlines;
  std::unordered_set<std::uint64_t> outlined;
  const auto tint = [](int alpha) {
    const auto mixed = [alpha](int over, int under) { return (over * alpha + under * (255 - alpha)) / 255; };
    return QColor(mixed(0x4f, kBackground.red()), mixed(0xa0, kBackground.green()),
                  mixed(0x6e, kBackground.blue()));
  };
  const QColor ground_tint = tint(40), lit_tint = tint(70);
  painter.setPen(Qt::NoPen);
  int labelled_area = -1;
  for (const editor::MapCircle& circle : map.circles) {
    const QPointF centre = view.ToScreen(circle.x, circle.y);
    const double r = std::max(2.0, std::abs(circle.radius) * view.scale);
    const QRectF box(centre - QPointF(r, r), centre + QPointF(r, r));
    if (!box.intersects(seen)) continue;
    const bool lit = is_selected(NodeImage::kSubArea, circle.area);
    const double reach = std::max({std::hypot(centre.x() - seen.left(), centre.y() - seen.top()),
                                   std::hypot(centre.x() - seen.right(), centre.y() - seen.top()),
                                   std::hypot(centre.x() - seen.left(), centre.y() - seen.bottom()),
                                   std::hypot(centre.x() - seen.right(), centre.y() - seen.bottom())});
    if (lit) {
      if (reach <= r) {
        lit_ground.addRect(seen);
      } else {
        lit_ground.addEllipse(centre, r, r);
      }
    } else if (ground_layer) {
      painter.setBrush(ground_tint);
      if (reach <= r) {
        painter.drawRect(seen);
      } else {
        painter.drawEllipse(centre, r, r);
      }
    }
    if (ground_layer && reach > r && outlined.insert(PixelKey(centre, QPointF(r, 0), false)).second)
      outlines.emplace_back(centre, r, lit);
    if (top_layer && circle.area != labelled_area && circle.area < document->area_count()) {
      labelled_area = circle.area;
      area_labels.push_back({centre - QPointF(kPointRadius + 3, r), circle.area, lit});
    }
  }
  if (ground_layer) {
    if (!lit_ground.isEmpty()) painter.fillPath(lit_ground, lit_tint);
    PaintGrid(painter, view, width, height);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0x3d, 0x7a, 0x55, 170), 1));
    for (const auto& [centre, r, lit] : outlines) {
      if (!lit) painter.drawEllipse(centre, r, r);
    }
    if (!lit_ground.isEmpty()) painter.strokePath(lit_ground, QPen(kHighlight, 2.5));
  }

  // Routes, one colour per force. The selected team's or force's routes go on top, wider, and the
  // others are dimmed so they can be told apart from the crowd.
  const auto lit_route = [&selected](const MapRoute& route) {
    return (selected.image == NodeImage::kTeam && selected.force == route.force &&
            selected.team == route.team) ||
           (selected.image == NodeImage::kSubForce && selected.index == route.force);
  };
  const bool any_lit = std::any_of(map.routes.begin(), map.routes.end(), [&](const MapRoute& route) {
    return lit_route(route) && !options.ForceHidden(route.force);
  });
  std::size_t begin = route_layer ? 0 : map.routes.size();
  while (begin < map.routes.size()) {
    const int force = map.routes[begin].force;
    std::size_t end = begin;
    RouteStrokes strokes(seen);
    for (; end < map.routes.size() && map.routes[end].force == force; ++end) {
      if (!options.ForceHidden(force) && !lit_route(map.routes[end])) strokes.Add(map.routes[end], view);
    }
    QColor colour = ForceColour(force);
    if (any_lit) colour.setAlpha(60);
    strokes.Paint(painter, colour, 1);
    begin = end;
  }
  if (any_lit && route_layer) {
    for (const MapRoute& route : map.routes) {
      if (!lit_route(route) || options.ForceHidden(route.force)) continue;
      RouteStrokes strokes(seen);
      strokes.Add(route, view);
      strokes.Paint(painter, ForceColour(route.force).darker(130), 3.5);
    }
  }

  // Where each team starts: a diamond in its force's colour (with the routes), named after the team
  // (on top).
  std::vector<std::pair<QPointF, const MapRoute*>> starts;
  std::unordered_set<std::uint64_t> started;
  for (const MapRoute& route : map.routes) {
    if (options.ForceHidden(route.force)) continue;
    const auto first =
        std::find_if(route.steps.begin(), route.steps.end(), [](const editor::RouteStep& step) {
          return step.location >= 0 && step.role == PlaceRole::kPosition;
        });
    if (first == route.steps.end()) continue;
    const QPointF at = view.ToScreen(first->x, first->y);
    if (!in_view(at)) continue;
    const bool dim = any_lit && !lit_route(route);
    if (!started.insert(PixelKey(at, QPointF(route.force, dim), false)).second) continue;
    const QPointF corner = at + QPointF(-kPointRadius - 5, kPointRadius + 5);
    starts.emplace_back(corner, &route);
    if (!route_layer) continue;
    QColor fill = ForceColour(route.force);
    QColor edge = fill.darker(150);
    if (dim) fill.setAlpha(60), edge.setAlpha(60);
    painter.setPen(QPen(edge, 1));
    painter.setBrush(fill);
    painter.drawPolygon(QPolygonF(
        {corner + QPointF(0, -5), corner + QPointF(5, 0), corner + QPointF(0, 5), corner + QPointF(-5, 0)}));
  }
  if (!top_layer) return painter.restore();
  // Lit teams are named first, so their names win the place.
  std::stable_partition(starts.begin(), starts.end(),
                        [&lit_route](const auto& start) { return lit_route(*start.second); });

  // Locations and their names; a dragged one where it would go.
  Labels labels(painter, width, height);
  const auto place_of = [&view, &options](const editor::MapPoint& point) {
    return point.location == options.moved_location
               ? view.ToScreen(options.moved_to.x(), options.moved_to.y())
               : view.ToScreen(point.x, point.y);
  };
  painter.setPen(QPen(QColor(0x20, 0x20, 0x28), 1));
  painter.setBrush(QColor(0x30, 0x38, 0x48));
  for (const editor::MapPoint& point : map.points) {
    if (const QPointF at = place_of(point); in_view(at)) painter.drawEllipse(at, kPointRadius, kPointRadius);
  }
  painter.setBrush(Qt::NoBrush);
  for (const editor::MapPoint& point : map.points) {
    const bool moved = point.location == options.moved_location;
    if (!moved && !is_selected(NodeImage::kSubLocation, point.location)) continue;
    const QPointF at = place_of(point);
    if (moved) {
      painter.setPen(QPen(kHighlight, 1, Qt::DashLine));
      painter.drawLine(view.ToScreen(point.x, point.y), at);
    }
    painter.setPen(QPen(kHighlight, 3));
    painter.drawEllipse(at, kPointRadius + 4, kPointRadius + 4);
    if (point.location < document->location_count())
      labels.Place(at, document->location(point.location).loc_name, kHighlight, true);
  }
  for (const editor::MapPoint& point : map.points) {
    if (point.location >= document->location_count()) continue;
    if (const QPointF at = place_of(point); in_view(at))
      labels.Place(at, document->location(point.location).loc_name, QColor(0x20, 0x20, 0x28));
  }

  // Names that are no location, where the team stands when its plan names them.
  for (const editor::MapWarning& warning : map.warnings) {
    if (warning.team >= 0 && options.ForceHidden(warning.force)) continue;
    const QPointF at = view.ToScreen(warning.x, warning.y) + kWarningMarkOffset;
    if (!in_view(at)) continue;
    PaintWarning(painter, at);
    labels.Place(at + QPointF(4, 10), warning.name, QColor(0xa0, 0x10, 0x10), false, "?");
  }
  for (const auto& [corner, route] : starts) {
    if (route->force < document->force_count() && route->team < document->team_count(route->force)) {
      QColor colour = ForceColour(route->force).darker(140);
      if (any_lit && !lit_route(*route)) colour.setAlpha(110);
      labels.Place(corner + QPointF(-kPointRadius - 3, 24),
                   document->team(route->force, route->team).team_name, colour);
    }
  }
  for (const AreaLabel& label : area_labels) {
    labels.Place(label.at, document->area(label.area).area_name,
                 label.lit ? kHighlight : QColor(0x2a, 0x5e, 0x40), label.lit);
  }
  if (options.scale_bar) PaintScaleBar(painter, view, height);

  painter.restore();
}

}  // namespace

void PaintMissionMap(QPainter& painter, const editor::MissionDocument& document,
                     const editor::MissionMap& map, const MapViewport& view, double width, double height,
                     const MapPaintOptions& options, unsigned layers) {
  const editor::NodeAddress selected =
      options.with_selection ? SelectedRecord(document) : editor::NodeAddress{};
  PaintLayers(painter, &document, selected, map, view, width, height, options, layers);
}

void PaintMapGround(QPainter& painter, const editor::MissionMap& map, const editor::NodeAddress& selected,
                    const MapViewport& view, double width, double height, const MapPaintOptions& options) {
  PaintLayers(painter, nullptr, options.with_selection ? selected : editor::NodeAddress{}, map, view, width,
              height, options, kGroundLayer | kRouteLayer);
}

editor::NodeAddress MapSelection(const editor::MissionDocument& document) {
  return SelectedRecord(document);
}

editor::Status ExportMissionMap(const editor::MissionDocument& document, const std::string& path,
                                const MapPaintOptions& options) {
  MapPaintOptions drawn = options;
  drawn.with_selection = false;
  drawn.moved_location = -1;
  const editor::MissionMap map = editor::BuildMissionMap(document);
  const double aspect =
      (map.bounds.top - map.bounds.bottom) / std::max(1.0, map.bounds.right - map.bounds.left);
  const int width = kExportWidth;
  const int height = std::clamp(static_cast<int>(std::lround(width * aspect)), width / 4, width * 2);
  const MapViewport view = MapViewport::Fitting(map.bounds, width, height);

  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  const QString name = FromPath(path);
  if (name.endsWith(".svg", Qt::CaseInsensitive)) {
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(QSize(width, height));
    svg.setViewBox(QRect(0, 0, width, height));
    svg.setTitle("Mission map");
    svg.setDescription(FromCodePage(document.info.vyr_missionname));
    QPainter painter(&svg);
    PaintMissionMap(painter, document, map, view, width, height, drawn);
  } else {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    {
      QPainter painter(&image);
      PaintMissionMap(painter, document, map, view, width, height, drawn);
    }
    if (!image.save(&buffer, "PNG"))
      return editor::Status::Error(path + ": the picture could not be encoded");
  }
  buffer.close();
  return platform::WriteFileAtomically(
      path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

}  // namespace vyr::gui
