#include "editor/gui/map_view/map_painting.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>
#include <set>
#include <tuple>
#include <vector>

#include "editor/gui/common/code_page_text.h"
#include "platform/atomic_file.h"

namespace vyr::gui {

using editor::MapRoute;
using editor::NodeImage;
using editor::PlaceRole;

namespace {

constexpr double kPointRadius = 4;
constexpr int kExportWidth = 1600;
const QColor kBackground(0xf6, 0xf3, 0xea);
const QColor kHighlight(0xe0, 0x6c, 0x00);

QColor ForceColour(int force) {
  return QColor::fromHsv(static_cast<int>(std::lround(force * 137.508)) % 360, 210, 185);
}

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
}

// A label beside its anchor unless it would cover one already drawn; forced labels always show.
class Labels {
 public:
  explicit Labels(QPainter& painter) : painter_(painter), metrics_(painter.font()) {}
  void Place(QPointF anchor, const QString& text, const QColor& colour, bool forced = false) {
    if (text.isEmpty()) return;
    QRectF box = metrics_.boundingRect(text);
    box.moveTopLeft(anchor + QPointF(kPointRadius + 3, -box.height() - 1));
    if (!forced) {
      for (const QRectF& taken : taken_) {
        if (taken.intersects(box)) return;
      }
    }
    taken_.push_back(box);
    painter_.setPen(QColor(255, 255, 255, 200));
    painter_.drawText(box.translated(1, 1), text);
    painter_.setPen(colour);
    painter_.drawText(box, text);
  }

 private:
  QPainter& painter_;
  QFontMetricsF metrics_;
  std::vector<QRectF> taken_;
};

void AddArrowHead(QPainterPath& heads, QPointF from, QPointF to) {
  const QPointF d = to - from;
  const double length = std::hypot(d.x(), d.y());
  if (length < 14) return;
  const QPointF u = d / length;
  const QPointF n(-u.y(), u.x());
  const QPointF tip = from + d * 0.55;
  heads.addPolygon(QPolygonF({tip, tip - u * 9 + n * 4.5, tip - u * 9 - n * 4.5, tip}));
}

// Lines, sight lines and arrow heads of a set of routes, drawn in one pass per force.
// Teams of one force that share a leg draw it once.
struct RouteStrokes {
  std::vector<QLineF> moves;
  std::vector<QLineF> sights;
  QPainterPath heads;
  std::set<std::tuple<long, long, long, long, bool>> drawn;

  bool First(QPointF from, QPointF to, bool sight) {
    return drawn
        .emplace(std::lround(from.x()), std::lround(from.y()), std::lround(to.x()), std::lround(to.y()),
                 sight)
        .second;
  }

  void Add(const MapRoute& route, const MapViewport& view) {
    bool placed = false;
    QPointF at;
    for (const editor::RouteStep& step : route.steps) {
      if (step.location < 0) continue;
      const QPointF there = view.ToScreen(step.x, step.y);
      if (step.role == PlaceRole::kSight) {
        if (placed && First(at, there, true)) sights.emplace_back(at, there);
        continue;
      }
      if (placed && there != at && First(at, there, false)) {
        moves.emplace_back(at, there);
        AddArrowHead(heads, at, there);
      }
      at = there;
      placed = true;
    }
  }
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

// The record the selected tree node holds, for highlighting.
editor::NodeAddress SelectedRecord(const editor::MissionDocument& document) {
  return document.tree().AddressOf(document.tree().selected());
}

}  // namespace

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

void PaintMissionMap(QPainter& painter, const editor::MissionDocument& document,
                     const editor::MissionMap& map, const MapViewport& view, double width, double height,
                     bool with_selection) {
  painter.save();
  painter.fillRect(QRectF(0, 0, width, height), kBackground);
  PaintGrid(painter, view, width, height);
  painter.setRenderHint(QPainter::Antialiasing);
  const editor::NodeAddress selected = with_selection ? SelectedRecord(document) : editor::NodeAddress{};
  const auto is_selected = [&selected](NodeImage image, int index) {
    return selected.image == image && selected.index == index;
  };

  // Areas: a circle of the radius around each location, the name at the first circle's top. The
  // fill is one union, so areas that share locations cost one pass over the pixels, not one each.
  struct AreaLabel {
    QPointF at;
    int area;
    bool lit;
  };
  std::vector<AreaLabel> area_labels;
  QPainterPath ground, lit_ground;
  ground.setFillRule(Qt::WindingFill);
  std::set<std::tuple<long, long, long>> outlined;
  int labelled_area = -1;
  for (const editor::MapCircle& circle : map.circles) {
    const QPointF centre = view.ToScreen(circle.x, circle.y);
    const double r = std::max(2.0, std::abs(circle.radius) * view.scale);
    const bool lit = is_selected(NodeImage::kSubArea, circle.area);
    (lit ? lit_ground : ground).addEllipse(centre, r, r);
    if (outlined.emplace(std::lround(centre.x()), std::lround(centre.y()), std::lround(r)).second) {
      painter.setPen(QPen(QColor(0x3d, 0x7a, 0x55, 170), 1));
      painter.drawEllipse(centre, r, r);
    }
    if (circle.area != labelled_area && circle.area < document.area_count()) {
      labelled_area = circle.area;
      area_labels.push_back({centre - QPointF(kPointRadius + 3, r), circle.area, lit});
    }
  }
  painter.fillPath(ground, QColor(0x4f, 0xa0, 0x6e, 40));
  if (!lit_ground.isEmpty()) {
    painter.fillPath(lit_ground, QColor(0x4f, 0xa0, 0x6e, 70));
    painter.strokePath(lit_ground, QPen(kHighlight, 2.5));
  }

  // Routes, one colour per force; the selected team's or force's routes drawn last and wider.
  std::size_t begin = 0;
  while (begin < map.routes.size()) {
    const int force = map.routes[begin].force;
    std::size_t end = begin;
    RouteStrokes strokes;
    while (end < map.routes.size() && map.routes[end].force == force)
      strokes.Add(map.routes[end++], view);
    strokes.Paint(painter, ForceColour(force), 1.6);
    begin = end;
  }
  for (const MapRoute& route : map.routes) {
    const bool lit = (selected.image == NodeImage::kTeam && selected.force == route.force &&
                      selected.team == route.team) ||
                     (selected.image == NodeImage::kSubForce && selected.index == route.force);
    if (!lit) continue;
    RouteStrokes strokes;
    strokes.Add(route, view);
    strokes.Paint(painter, ForceColour(route.force).darker(130), 3.5);
  }

  // Where each team starts: a diamond in its force's colour, named after the team.
  std::vector<std::pair<QPointF, const MapRoute*>> starts;
  std::set<std::tuple<long, long, int>> started;
  for (const MapRoute& route : map.routes) {
    const auto first =
        std::find_if(route.steps.begin(), route.steps.end(), [](const editor::RouteStep& step) {
          return step.location >= 0 && step.role == PlaceRole::kPosition;
        });
    if (first == route.steps.end()) continue;
    const QPointF at = view.ToScreen(first->x, first->y);
    if (!started.emplace(std::lround(at.x()), std::lround(at.y()), route.force).second) continue;
    const QPointF corner = at + QPointF(-kPointRadius - 5, kPointRadius + 5);
    painter.setPen(QPen(ForceColour(route.force).darker(150), 1));
    painter.setBrush(ForceColour(route.force));
    painter.drawPolygon(QPolygonF(
        {corner + QPointF(0, -5), corner + QPointF(5, 0), corner + QPointF(0, 5), corner + QPointF(-5, 0)}));
    starts.emplace_back(corner, &route);
  }

  // Locations and their names.
  Labels labels(painter);
  painter.setPen(QPen(QColor(0x20, 0x20, 0x28), 1));
  painter.setBrush(QColor(0x30, 0x38, 0x48));
  for (const editor::MapPoint& point : map.points)
    painter.drawEllipse(view.ToScreen(point.x, point.y), kPointRadius, kPointRadius);
  painter.setBrush(Qt::NoBrush);
  for (const editor::MapPoint& point : map.points) {
    if (!is_selected(NodeImage::kSubLocation, point.location)) continue;
    const QPointF at = view.ToScreen(point.x, point.y);
    painter.setPen(QPen(kHighlight, 3));
    painter.drawEllipse(at, kPointRadius + 4, kPointRadius + 4);
    labels.Place(at, Text(document.location(point.location).loc_name), kHighlight, true);
  }
  for (const editor::MapPoint& point : map.points) {
    if (point.location < document.location_count())
      labels.Place(view.ToScreen(point.x, point.y), Text(document.location(point.location).loc_name),
                   QColor(0x20, 0x20, 0x28));
  }

  // Names that are no location, where the team stands when its plan names them.
  for (const editor::MapWarning& warning : map.warnings) {
    const QPointF at = view.ToScreen(warning.x, warning.y) + kWarningMarkOffset;
    PaintWarning(painter, at);
    labels.Place(at + QPointF(4, 10), Text(warning.name) + "?", QColor(0xa0, 0x10, 0x10));
  }
  for (const auto& [corner, route] : starts) {
    if (route->force < document.force_count() && route->team < document.team_count(route->force))
      labels.Place(corner + QPointF(-kPointRadius - 3, 24),
                   Text(document.team(route->force, route->team).team_name),
                   ForceColour(route->force).darker(140));
  }
  for (const AreaLabel& label : area_labels) {
    labels.Place(label.at, Text(document.area(label.area).area_name),
                 label.lit ? kHighlight : QColor(0x2a, 0x5e, 0x40), label.lit);
  }

  painter.restore();
}

editor::Status ExportMissionMap(const editor::MissionDocument& document, const std::string& path) {
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
    PaintMissionMap(painter, document, map, view, width, height, false);
  } else {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    {
      QPainter painter(&image);
      PaintMissionMap(painter, document, map, view, width, height, false);
    }
    if (!image.save(&buffer, "PNG"))
      return editor::Status::Error(path + ": the picture could not be encoded");
  }
  buffer.close();
  return platform::WriteFileAtomically(
      path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

}  // namespace vyr::gui
