// The mission map of a full-capacity mission (101 locations, 101 areas, 2,121 plans) on the
// offscreen platform: building it from the document, drawing it, and following one edit. The routes
// mission spreads its locations over the ground and gives every team a route of its own, so the map
// is drawn as a crowded real mission would be.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>

#include "bench/full_project.h"
#include "editor/gui/map_view/map_view.h"
#include "editor/map/mission_map.h"

namespace {

using namespace vyr::bench;

constexpr int kWidth = 1200;
constexpr int kHeight = 900;

MissionDocument& FullDocument() {
  static MissionDocument* doc = [] {
    auto* d = new MissionDocument;
    FillToCapacity(*d);
    return d;
  }();
  return *doc;
}

std::string LocationName(int index) {
  return Numbered("location", index);
}

// The full project with its locations scattered over 8,000 x 6,000 game units, areas of three
// locations each, and 2,121 different routes of four places (every 40th team names a missing one).
MissionDocument& RoutesDocument() {
  static MissionDocument* doc = [] {
    auto* d = new MissionDocument;
    FillToCapacity(*d);
    unsigned seed = 12345;
    const auto next = [&seed](unsigned range) {
      seed = seed * 1103515245u + 12345u;
      return static_cast<int>((seed >> 8) % range);
    };
    for (int i = 0; i < d->location_count(); ++i) {
      (void)d->SetField(RecordRef::Location(i), Field::kLocX, static_cast<Integer>(next(8000) - 4000));
      (void)d->SetField(RecordRef::Location(i), Field::kLocY, static_cast<Integer>(next(6000) - 3000));
    }
    for (int a = 0; a < d->area_count(); ++a) {
      const std::string list =
          LocationName(next(101)) + "?" + LocationName(next(101)) + "?" + LocationName(next(101)) + "?";
      (void)d->SetField(RecordRef::Area(a), Field::kAreaLocations, list);
      (void)d->SetField(RecordRef::Area(a), Field::kAreaRadius, static_cast<Integer>(80 + next(300)));
    }
    int team_number = 0;
    for (int f = 0; f < d->force_count(); ++f) {
      for (int t = 0; t < d->team_count(f); ++t, ++team_number) {
        const std::string last = team_number % 40 == 0 ? "nowhere" : LocationName(next(101));
        const std::string plan = "  insert at " + LocationName(next(101)) + " using \"column\";\r\n" +
                                 "  advance towards " + LocationName(next(101)) + ";\r\n" + "  observe " +
                                 LocationName(next(101)) + ";\r\n" + "  attack towards " + last + ";";
        (void)d->SetField(RecordRef::Team(f, t), Field::kPlan, plan);
      }
    }
    return d;
  }();
  return *doc;
}

// A shown map view of the routes mission, fitted and drawn once.
struct ShownView {
  ShownView() : view(RoutesDocument()), image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied) {
    view.resize(kWidth, kHeight);
    view.show();
    view.FitToMission();
    Paint();
  }
  void Paint() { view.render(&image); }

  vyr::gui::MapView view;
  QImage image;
};

void BM_BuildMissionMap(benchmark::State& state) {
  const MissionDocument& doc = RoutesDocument();
  std::size_t steps = 0;
  for (auto _ : state) {
    const MissionMap map = BuildMissionMap(doc);
    steps = 0;
    for (const MapRoute& route : map.routes)
      steps += route.steps.size();
    benchmark::DoNotOptimize(steps);
  }
  state.counters["route_steps"] = static_cast<double>(steps);
}
BENCHMARK(BM_BuildMissionMap)->Unit(benchmark::kMillisecond);

// The whole map fitted into `image`, or only the `layers` asked for.
void DrawFitted(QImage& image, const MissionDocument& doc, const MissionMap& map,
                unsigned layers = vyr::gui::kAllLayers) {
  QPainter painter(&image);
  vyr::gui::PaintMissionMap(painter, doc, map, vyr::gui::MapViewport::Fitting(map.bounds, kWidth, kHeight),
                            kWidth, kHeight, {}, layers);
}

// What a repaint after a change costs on the old full mission (every team on one route): build, then
// draw into a 1200 x 900 picture.
void BM_BuildAndDrawSameRoutes(benchmark::State& state) {
  const MissionDocument& doc = FullDocument();
  QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    const MissionMap map = BuildMissionMap(doc);
    DrawFitted(image, doc, map);
  }
}
BENCHMARK(BM_BuildAndDrawSameRoutes)->Unit(benchmark::kMillisecond);

// The whole picture drawn afresh, routes included: what the view does once after a pan or zoom has
// paused, and what the PNG export draws.
void BM_DrawAllLayersFitted(benchmark::State& state) {
  const MissionDocument& doc = RoutesDocument();
  const MissionMap map = BuildMissionMap(doc);
  QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    DrawFitted(image, doc, map);
  }
}
BENCHMARK(BM_DrawAllLayersFitted)->Unit(benchmark::kMillisecond);

// One layer drawn alone, fitted: 1 ground and areas, 2 routes, 4 starts, points, names and marks.
void BM_DrawLayerFitted(benchmark::State& state) {
  const MissionDocument& doc = RoutesDocument();
  const MissionMap map = BuildMissionMap(doc);
  QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    DrawFitted(image, doc, map, static_cast<unsigned>(state.range(0)));
  }
}
BENCHMARK(BM_DrawLayerFitted)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);

// One paint of the whole mission, fitted to the view.
void BM_PaintFitted(benchmark::State& state) {
  ShownView shown;
  for (auto _ : state)
    shown.Paint();
}
BENCHMARK(BM_PaintFitted)->Unit(benchmark::kMillisecond);

// One paint zoomed in eight times (three zoom levels in a row: 8x, 64x and 512x).
void BM_PaintZoomed(benchmark::State& state) {
  ShownView shown;
  const double factor = std::pow(8.0, static_cast<double>(state.range(0)));
  shown.view.ZoomBy(factor, QPointF(kWidth / 2.0, kHeight / 2.0));
  for (auto _ : state)
    shown.Paint();
}
BENCHMARK(BM_PaintZoomed)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

// One wheel step in or out, anchored at a point of the mission, and the paint that shows it; the
// zoom wanders from fitted to deep and back.
void BM_ZoomStep(benchmark::State& state) {
  ShownView shown;
  int depth = 0;
  int direction = 1;
  for (auto _ : state) {
    if (depth == 24 || depth == 0) direction = depth == 0 ? 1 : -1;
    depth += direction;
    shown.view.ZoomBy(direction > 0 ? 1.25 : 0.8, QPointF(kWidth * 0.4, kHeight * 0.6));
    shown.Paint();
  }
}
BENCHMARK(BM_ZoomStep)->Unit(benchmark::kMillisecond);

// One mouse move of a drag that pans a zoomed view by 12 pixels, and the paint that shows it.
void BM_PanStep(benchmark::State& state) {
  ShownView shown;
  shown.view.ZoomBy(3, QPointF(kWidth / 2.0, kHeight / 2.0));
  QPointF at(kWidth / 2.0, kHeight / 2.0);
  QMouseEvent press(QEvent::MouseButtonPress, at, at, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&shown.view, &press);
  int moves = 0;
  for (auto _ : state) {
    at += QPointF((moves++ / 40) % 2 == 0 ? 12 : -12, 3);
    QMouseEvent move(QEvent::MouseMove, at, at, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&shown.view, &move);
    shown.Paint();
  }
  QMouseEvent release(QEvent::MouseButtonRelease, at, at, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(&shown.view, &release);
}
BENCHMARK(BM_PanStep)->Unit(benchmark::kMillisecond);

// A key typed in a location's name box with the map shown: the edit and what the view does about it
// before its next paint (range 1: and that paint too).
void BM_TypeLocationName(benchmark::State& state) {
  ShownView shown;
  MissionDocument& doc = RoutesDocument();
  const std::string original = doc.location(7).loc_name;
  int key = 0;
  for (auto _ : state) {
    std::string name = original;
    name += static_cast<char>('a' + key++ % 26);
    (void)doc.SetField(RecordRef::Location(7), Field::kLocName, name);
    benchmark::DoNotOptimize(shown.view.map().points.size());
    if (state.range(0) == 1) shown.Paint();
  }
  (void)doc.SetField(RecordRef::Location(7), Field::kLocName, original);
}
BENCHMARK(BM_TypeLocationName)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A key typed in a team's plan box with the map shown: the plan edit and the view's rebuild.
void BM_TypePlan(benchmark::State& state) {
  ShownView shown;
  MissionDocument& doc = RoutesDocument();
  const std::string original = doc.team(50, 10).plan;
  int key = 0;
  for (auto _ : state) {
    std::string plan = original;
    plan += static_cast<char>('a' + key++ % 26);
    (void)doc.SetField(RecordRef::Team(50, 10), Field::kPlan, plan);
    benchmark::DoNotOptimize(shown.view.map().points.size());
  }
  (void)doc.SetField(RecordRef::Team(50, 10), Field::kPlan, original);
}
BENCHMARK(BM_TypePlan)->Unit(benchmark::kMillisecond);

// An edit that changes one team's route, and the paint that follows it: the kept picture stands in
// while the routes are drawn off the GUI thread (range 1: and the wait until the new picture is in, and
// its paint).
void BM_PaintAfterRouteEdit(benchmark::State& state) {
  ShownView shown;
  MissionDocument& doc = RoutesDocument();
  const std::string original = doc.team(50, 10).plan;
  const std::string other = "insert at " + LocationName(3) + "; advance towards " + LocationName(90) + ";";
  int edits = 0;
  for (auto _ : state) {
    (void)doc.SetField(RecordRef::Team(50, 10), Field::kPlan, edits++ % 2 == 0 ? other : original);
    shown.Paint();
    if (state.range(0) == 1) {
      while (!shown.view.RoutesSettled())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
      shown.Paint();
    }
  }
  (void)doc.SetField(RecordRef::Team(50, 10), Field::kPlan, original);
  state.counters["dropped"] = shown.view.dropped_pictures();
}
BENCHMARK(BM_PaintAfterRouteEdit)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A team selected in the tree, then its force, and the paint that shows the selection.
void BM_PaintAfterSelection(benchmark::State& state) {
  ShownView shown;
  MissionDocument& doc = RoutesDocument();
  int selections = 0;
  for (auto _ : state) {
    const int force = selections++ % 100;
    doc.MakeCurrent(selections % 2 == 0 ? doc.tree().TeamNode(force, 3) : doc.tree().ForceNode(force));
    shown.Paint();
  }
  doc.MakeCurrent(kNoNode);
}
BENCHMARK(BM_PaintAfterSelection)->Unit(benchmark::kMillisecond);

void BM_ExportPng(benchmark::State& state) {
  const MissionDocument& doc = RoutesDocument();
  const std::string path = SharedFullProject().folder + "map.png";
  for (auto _ : state) {
    if (!vyr::gui::ExportMissionMap(doc, path)) state.SkipWithError("export failed");
  }
}
BENCHMARK(BM_ExportPng)->Unit(benchmark::kMillisecond);

void BM_ExportSvg(benchmark::State& state) {
  const MissionDocument& doc = RoutesDocument();
  const std::string path = SharedFullProject().folder + "map.svg";
  for (auto _ : state) {
    if (!vyr::gui::ExportMissionMap(doc, path)) state.SkipWithError("export failed");
  }
}
BENCHMARK(BM_ExportSvg)->Unit(benchmark::kMillisecond);

}  // namespace

#include "bench/offscreen_main.h"
