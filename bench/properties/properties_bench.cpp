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
#include <QTreeView>

#include "bench/full_project.h"
#include "editor/gui/properties/property_window.h"
#include "editor/gui/properties/property_windows.h"
#include "editor/shell/project_window.h"

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

}  // namespace

#include "bench/offscreen_main.h"
