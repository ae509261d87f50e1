// The project window over a full-capacity project (about 47,000 nodes), shown on the offscreen
// platform: each timed region includes the view's layout and paint after the document change.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <QLineEdit>
#include <QTreeView>
#include <memory>

#include "bench/full_project.h"
#include "editor/document/edit_history.h"
#include "editor/launch/launcher.h"
#include "editor/shell/find_window.h"
#include "editor/shell/main_window.h"
#include "editor/shell/project_window.h"

namespace {

using namespace vyr::bench;

// Lets the view catch up: the delayed layout, then a paint of what is visible.
void Settle(vyr::gui::ProjectWindow& window) {
  QCoreApplication::processEvents();
  window.tree()->viewport()->repaint();
}

struct ShownProject {
  ShownProject() : window(doc) {
    window.resize(285, 700);
    window.show();
    Load();
  }
  void Load() {
    if (const Status status = LoadProject(doc, SharedFullProject().recent, path); !status) {
      fprintf(stderr, "%s\n", status.message.c_str());
      abort();
    }
    Settle(window);
  }
  std::string path = SharedFullProject().folder + "full.cme";
  MissionDocument doc;
  vyr::gui::ProjectWindow window;
};

void BM_LoadProjectAndShowTree(benchmark::State& state) {
  ShownProject shown;
  for (auto _ : state)
    shown.Load();
  state.counters["nodes"] = shown.doc.tree().node_count();
}
BENCHMARK(BM_LoadProjectAndShowTree)->Unit(benchmark::kMillisecond);

void BM_ClearForces(benchmark::State& state) {
  ShownProject shown;
  for (auto _ : state) {
    state.PauseTiming();
    shown.Load();
    state.ResumeTiming();
    shown.doc.ClearForces();
    Settle(shown.window);
  }
}
BENCHMARK(BM_ClearForces)->Unit(benchmark::kMillisecond);

// Undoing a full ClearForces: the document, the tree and the view back to 47,000 nodes. The step's
// saved forces and what the history holds are reported as counters.
void BM_UndoClearForces(benchmark::State& state) {
  ShownProject shown;
  vyr::editor::EditHistory history(shown.doc);
  history.Perform("Clear forces", [&] { shown.doc.ClearForces(); });
  int restored = 0;
  for (auto _ : state) {
    history.Undo();
    Settle(shown.window);
    state.PauseTiming();
    restored = shown.doc.tree().node_count();
    history.Redo();
    Settle(shown.window);
    state.ResumeTiming();
  }
  state.counters["history_MB"] = static_cast<double>(history.bytes()) / (1 << 20);
  state.counters["nodes_restored"] = restored;
}
BENCHMARK(BM_UndoClearForces)->Unit(benchmark::kMillisecond);

void BM_RedoClearForces(benchmark::State& state) {
  ShownProject shown;
  vyr::editor::EditHistory history(shown.doc);
  history.Perform("Clear forces", [&] { shown.doc.ClearForces(); });
  for (auto _ : state) {
    state.PauseTiming();
    history.Undo();
    Settle(shown.window);
    state.ResumeTiming();
    history.Redo();
    Settle(shown.window);
  }
}
BENCHMARK(BM_RedoClearForces)->Unit(benchmark::kMillisecond);

// What recording a full ClearForces costs on top of the operation: a copy of every force and its nodes.
void BM_ClearForcesRecorded(benchmark::State& state) {
  ShownProject shown;
  vyr::editor::EditHistory history(shown.doc);
  for (auto _ : state) {
    state.PauseTiming();
    shown.Load();
    state.ResumeTiming();
    history.Perform("Clear forces", [&] { shown.doc.ClearForces(); });
    Settle(shown.window);
  }
}
BENCHMARK(BM_ClearForcesRecorded)->Unit(benchmark::kMillisecond);

// The middle force, so the forces after it are renumbered; a copy goes back at the end untimed.
void BM_DeleteFullForce(benchmark::State& state) {
  ShownProject shown;
  MissionDocument& doc = shown.doc;
  doc.CopyTeam(0, 0);
  for (auto _ : state) {
    doc.DeleteForce(kMaxForces / 2);
    Settle(shown.window);
    state.PauseTiming();
    doc.AddForce("force", "");
    for (int t = 0; t < kMaxTeams; ++t)
      doc.PasteTeam(kMaxForces - 1);
    Settle(shown.window);
    state.ResumeTiming();
  }
  state.counters["nodes"] = doc.tree().node_count();
}
BENCHMARK(BM_DeleteFullForce)->Unit(benchmark::kMillisecond);

void BM_PasteFullTeam(benchmark::State& state) {
  ShownProject shown;
  MissionDocument& doc = shown.doc;
  const int force = kMaxForces / 2;
  doc.CopyTeam(force, 0);
  for (auto _ : state) {
    state.PauseTiming();
    doc.DeleteTeam(force, kMaxTeams - 1);
    Settle(shown.window);
    state.ResumeTiming();
    if (const Status status = doc.PasteTeam(force); !status) state.SkipWithError(status.message.c_str());
    Settle(shown.window);
  }
  state.counters["actors_pasted"] = doc.actor_count(force, kMaxTeams - 1);
}
BENCHMARK(BM_PasteFullTeam)->Unit(benchmark::kMillisecond);

// From an empty main window to its start-up steps done and the window shown: what the author waits
// for after the splash.
void BM_StartUpToMainWindowShown(benchmark::State& state) {
  vyr::editor::MemorySettingsStore settings;
  vyr::editor::PosixLauncher launcher;
  const std::string folder = SharedFullProject().folder;
  for (auto _ : state) {
    MissionDocument doc;
    vyr::gui::MainWindow window(vyr::gui::MainWindowServices{
        doc, settings, launcher, [](const std::string&) { return vyr::editor::ParseOutcome{}; }, folder,
        folder, [] {}, [] {}, nullptr, false});
    bool finished = false;
    QObject::connect(&window, &vyr::gui::MainWindow::startUpFinished, [&finished] { finished = true; });
    window.show();
    window.StartUp("");
    while (!finished)
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    window.repaint();
  }
}
BENCHMARK(BM_StartUpToMainWindowShown)->Unit(benchmark::kMillisecond);

// The Find dock over a full mission: typing the search text, and following one edit elsewhere while it
// lists every actor (44,541 rows and more), layout and paint of the visible rows included.
void BM_FindDockTypesASearch(benchmark::State& state) {
  MissionDocument doc;
  FillToCapacity(doc);
  vyr::gui::FindWindow find(doc, [](NodeId, int) {});
  find.resize(400, 600);
  find.Start();
  auto* box = find.findChild<QLineEdit*>("find_box");
  for (auto _ : state) {
    box->setText("actor2");
    QCoreApplication::processEvents();
    find.repaint();
    box->setText("actor20");
    QCoreApplication::processEvents();
    find.repaint();
  }
}
BENCHMARK(BM_FindDockTypesASearch)->Unit(benchmark::kMillisecond);

void BM_FindDockFollowsAnEdit(benchmark::State& state) {
  MissionDocument doc;
  FillToCapacity(doc);
  vyr::gui::FindWindow find(doc, [](NodeId, int) {});
  find.resize(400, 600);
  find.Start();
  find.findChild<QLineEdit*>("find_box")->setText("a");
  bool flip = false;
  for (auto _ : state) {
    flip = !flip;
    (void)doc.SetField(RecordRef::Location(0), Field::kLocName, std::string(flip ? "gate" : "location0"));
    QCoreApplication::processEvents();
    find.repaint();
  }
}
BENCHMARK(BM_FindDockFollowsAnEdit)->Unit(benchmark::kMillisecond);

}  // namespace

#include "bench/offscreen_main.h"
