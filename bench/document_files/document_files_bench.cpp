// Loading and saving a project whose tables are all full: 101 locations, 101 areas, 101 forces of
// 21 teams of 21 actors (44,541 actors) and 101 outcomes.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "bench/full_project.h"
#include "editor/launch/recovery.h"

namespace {

using namespace vyr::bench;

void BM_SaveProject(benchmark::State& state) {
  SavedFullProject& f = SharedFullProject();
  for (auto _ : state) {
    const Status status = WriteProject(f.doc, f.ui, f.recent, f.folder + "full.cme");
    if (!status) state.SkipWithError(status.message.c_str());
  }
  state.counters["forces_file_bytes"] =
      static_cast<double>(std::filesystem::file_size(f.folder + "full.mfr"));
}
BENCHMARK(BM_SaveProject)->Unit(benchmark::kMillisecond);

void BM_LoadProject(benchmark::State& state) {
  SavedFullProject& f = SharedFullProject();
  MissionDocument doc;
  for (auto _ : state) {
    const Status status = LoadProject(doc, f.recent, f.folder + "full.cme");
    if (!status) state.SkipWithError(status.message.c_str());
  }
  state.counters["actors"] = [&] {
    double actors = 0;
    for (int i = 0; i < doc.force_count(); ++i) {
      for (int t = 0; t < doc.team_count(i); ++t)
        actors += doc.actor_count(i, t);
    }
    return actors;
  }();
}
BENCHMARK(BM_LoadProject)->Unit(benchmark::kMillisecond);

// The text work alone, without the disk.
void BM_FormatForces(benchmark::State& state) {
  SavedFullProject& f = SharedFullProject();
  std::string bytes;
  for (auto _ : state) {
    FormatSection(f.doc, Section::kForces, bytes);
    benchmark::DoNotOptimize(bytes.data());
  }
}
BENCHMARK(BM_FormatForces)->Unit(benchmark::kMillisecond);

// The autosave timer's tick on the UI thread: with nothing unsaved it only compares what saving would
// write with the files; after an edit it writes a whole recovery copy.
void BM_AutosaveTickUnchanged(benchmark::State& state) {
  SavedFullProject& f = SharedFullProject();
  for (auto _ : state)
    benchmark::DoNotOptimize(vyr::editor::HasUnsavedChanges(f.doc));
}
BENCHMARK(BM_AutosaveTickUnchanged)->Unit(benchmark::kMillisecond);

void BM_AutosaveTickAfterEdit(benchmark::State& state) {
  SavedFullProject& f = SharedFullProject();
  vyr::editor::RecoverySession session(f.folder + "recovery");
  const std::string name = f.doc.location(0).loc_name;
  int edits = 0;
  for (auto _ : state) {
    (void)f.doc.SetField(vyr::editor::RecordRef::Location(0), vyr::editor::Field::kLocName,
                         name + std::to_string(++edits));
    const Status status = session.Autosave(f.doc);
    if (!status) state.SkipWithError(status.message.c_str());
  }
  (void)f.doc.SetField(vyr::editor::RecordRef::Location(0), vyr::editor::Field::kLocName, name);
  session.Discard();
}
BENCHMARK(BM_AutosaveTickAfterEdit)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
