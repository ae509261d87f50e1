// The property windows over a full-capacity document on the offscreen platform, with the project tree
// shown: opening and closing every window slot, and typing a long name into a location window.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTreeView>

#include "bench/full_project.h"
#include "editor/gui/map_view/map_view.h"
#include "editor/gui/properties/property_window.h"
#include "editor/gui/properties/property_windows.h"
#include "editor/shell/problems_dock.h"
#include "editor/shell/project_window.h"
#include "tests/check/in_memory_parser.h"

namespace {

using namespace vyr::bench;

// A full document with its tree and a client area for the windows, all shown.
struct Desk {
  Desk() : tree(doc) {
    FillToCapacity(doc);
    tree.resize(285, 700);
    tree.show();
    area.resize(1000, 750);
    area.show();
    Settle();
  }
  void Settle() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    tree.tree()->viewport()->repaint();
  }
  NodeId Open(NodeId node) {
    doc.MakeCurrent(node);
    windows.Open(node);
    return node;
  }

  MissionDocument doc;
  vyr::gui::ProjectWindow tree;
  QMdiArea area;
  NoDialogs ui;
  QMenu plan_menu;
  vyr::gui::PropertyWindows windows{doc, area, ui, &plan_menu};
};

// 51 windows of every kind but the outcome (locations, areas, a force, teams and actors), then each
// closed by the author.
void BM_OpenAndClose51Windows(benchmark::State& state) {
  Desk desk;
  const ProjectTree& tree = desk.doc.tree();
  std::vector<NodeId> nodes = {tree.root(), tree.ForceNode(50), tree.LocationNode(100)};
  for (int i = 0; i < 9; ++i) {
    nodes.push_back(tree.LocationNode(i * 11));
    nodes.push_back(tree.AreaNode(i * 11));
  }
  for (int i = 0; i < 15; ++i) {
    nodes.push_back(tree.TeamNode(100, i));
    nodes.push_back(tree.ActorNode(100, 20, i));
  }
  for (auto _ : state) {
    for (NodeId node : nodes)
      desk.Open(node);
    desk.Settle();
    if (desk.windows.open_count() != 51) {
      state.SkipWithError("not every window opened");
      break;
    }
    for (int slot = 0; slot < 51; ++slot)
      desk.windows.WindowInSlot(slot)->parentWidget()->close();
    desk.Settle();
  }
}
BENCHMARK(BM_OpenAndClose51Windows)->Unit(benchmark::kMillisecond);

// One keystroke of a 200-character name: record, node label and caption, then the tree and the window
// repainted. The box starts again from empty every 200 keystrokes.
void BM_TypeLocationNameKeystroke(benchmark::State& state) {
  Desk desk;
  const NodeId node = desk.Open(desk.doc.tree().LocationNode(100));
  desk.Settle();
  auto* box = desk.area.findChild<QLineEdit*>("loc_name");
  QMdiSubWindow* sub = desk.area.activeSubWindow();
  int typed = 0;
  for (auto _ : state) {
    if (typed == 200) {
      state.PauseTiming();
      box->clear();
      typed = 0;
      state.ResumeTiming();
    }
    const QString letter(QChar(u'a' + typed % 26));
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A + typed % 26, Qt::NoModifier, letter);
    QCoreApplication::sendEvent(box, &press);
    ++typed;
    desk.Settle();
    sub->repaint();
  }
  if (desk.doc.tree().node(node).text != box->text().toStdString() ||
      sub->windowTitle() != "Location - " + box->text())
    state.SkipWithError("the node label or the caption did not follow the name");
}
BENCHMARK(BM_TypeLocationNameKeystroke)->Unit(benchmark::kMicrosecond);

// One keystroke in a team's plan box with the Problems list shown: the check itself waits for a quiet
// moment, so the keystroke pays only for restarting its timers.
void BM_TypePlanKeystrokeWithProblemList(benchmark::State& state) {
  Desk desk;
  vyr::gui::ProblemsDock dock(desk.doc, vyr::editor::testing::ParseInMemory);
  dock.resize(1000, 200);
  dock.show();
  desk.Open(desk.doc.tree().TeamNode(100, 20));
  desk.Settle();
  auto* box = desk.area.findChild<QPlainTextEdit*>("rtfb");
  box->moveCursor(QTextCursor::End);
  QMdiSubWindow* sub = desk.area.activeSubWindow();
  for (auto _ : state) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x");
    QCoreApplication::sendEvent(box, &press);
    desk.Settle();
    sub->repaint();
  }
}
BENCHMARK(BM_TypePlanKeystrokeWithProblemList)->Unit(benchmark::kMicrosecond);

// The same keystroke with the map shown beside the list: the map rebuilds at its next paint, scanning the
// changed plan; range 1: then the quiet moment's check too, which finds that plan already scanned.
void BM_TypePlanKeystrokeWithMapAndProblemList(benchmark::State& state) {
  Desk desk;
  vyr::gui::ProblemsDock dock(desk.doc, vyr::editor::testing::ParseInMemory);
  dock.resize(1000, 200);
  dock.show();
  vyr::gui::MapView map(desk.doc);
  map.SharePlanScans(dock.plan_scans());
  map.resize(420, 420);
  map.show();
  desk.Open(desk.doc.tree().TeamNode(100, 20));
  desk.Settle();
  auto* box = desk.area.findChild<QPlainTextEdit*>("rtfb");
  box->moveCursor(QTextCursor::End);
  QMdiSubWindow* sub = desk.area.activeSubWindow();
  const long scans_before = dock.plan_scans()->scan_count();
  for (auto _ : state) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x");
    QCoreApplication::sendEvent(box, &press);
    desk.Settle();
    sub->repaint();
    map.repaint();
    if (state.range(0) == 1) dock.Refresh();
  }
  state.counters["scans_per_key"] = static_cast<double>(dock.plan_scans()->scan_count() - scans_before) /
                                    static_cast<double>(state.iterations());
}
BENCHMARK(BM_TypePlanKeystrokeWithMapAndProblemList)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// What runs once the author pauses: the list's refresh (rules, then the parser when they find no error)
// and an open window's own check, on the full mission.
void BM_ProblemListRefresh(benchmark::State& state) {
  Desk desk;
  for (int i = 0; i < desk.doc.area_count(); ++i)  // valid, so the parser reads the whole script
    (void)desk.doc.SetField(RecordRef::Area(i), Field::kAreaStyle, std::string("open?"));
  desk.doc.info = {"Full", "Bench", "Every table full.", "urban1", "urban?", "Full"};
  vyr::gui::ProblemsDock dock(desk.doc, vyr::editor::testing::ParseInMemory);
  dock.resize(1000, 200);
  dock.show();
  for (auto _ : state) {
    dock.Refresh();
    desk.Settle();
  }
  state.counters["problems"] = static_cast<double>(dock.problems().size());
}
BENCHMARK(BM_ProblemListRefresh)->Unit(benchmark::kMillisecond);

void BM_TeamWindowCheck(benchmark::State& state) {
  Desk desk;
  desk.Open(desk.doc.tree().TeamNode(100, 20));
  desk.Settle();
  auto* window = desk.area.findChild<vyr::gui::PropertyWindow*>("frm_team_props");
  for (auto _ : state)
    window->CheckNow();
}
BENCHMARK(BM_TeamWindowCheck)->Unit(benchmark::kMillisecond);

}  // namespace

#include "bench/offscreen_main.h"
