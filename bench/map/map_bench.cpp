// The mission map of a full-capacity mission (101 locations, 101 areas, 2,121 plans) on the
// offscreen platform: building it from the document, drawing it, and following one edit.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include "bench/full_project.h"
#include "editor/gui/map_view/map_view.h"
#include "editor/map/mission_map.h"

namespace {

using namespace vyr::bench;

MissionDocument& FullDocument() {
  static MissionDocument* doc = [] {
    auto* d = new MissionDocument;
    FillToCapacity(*d);
    return d;
  }();
  return *doc;
}

void BM_BuildMissionMap(benchmark::State& state) {
  const MissionDocument& doc = FullDocument();
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

// What a repaint after a change costs: build, then draw into a 1200 x 900 picture.
void BM_BuildAndDrawMissionMap(benchmark::State& state) {
  const MissionDocument& doc = FullDocument();
  QImage image(1200, 900, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    const MissionMap map = BuildMissionMap(doc);
    QPainter painter(&image);
    vyr::gui::PaintMissionMap(painter, doc, map, vyr::gui::MapViewport::Fitting(map.bounds, 1200, 900), 1200,
                              900);
  }
}
BENCHMARK(BM_BuildAndDrawMissionMap)->Unit(benchmark::kMillisecond);

// A location's x typed in its window: the view rebuilds and paints (grabbed, as offscreen shows nothing).
void BM_ViewFollowsLocationEdit(benchmark::State& state) {
  MissionDocument& doc = FullDocument();
  vyr::gui::MapView view(doc);
  view.resize(1200, 900);
  view.show();
  (void)view.grab();
  const Integer original = doc.location(1).loc_x;
  Integer x = original;
  for (auto _ : state) {
    x = static_cast<Integer>((x + 7) % 1000);
    (void)doc.SetField(RecordRef::Location(1), Field::kLocX, x);
    benchmark::DoNotOptimize(view.grab());
  }
  (void)doc.SetField(RecordRef::Location(1), Field::kLocX, original);
}
BENCHMARK(BM_ViewFollowsLocationEdit)->Unit(benchmark::kMillisecond);

void BM_ExportPng(benchmark::State& state) {
  const MissionDocument& doc = FullDocument();
  const std::string path = SharedFullProject().folder + "map.png";
  for (auto _ : state) {
    if (!vyr::gui::ExportMissionMap(doc, path)) state.SkipWithError("export failed");
  }
}
BENCHMARK(BM_ExportPng)->Unit(benchmark::kMillisecond);

}  // namespace

#include "bench/offscreen_main.h"
