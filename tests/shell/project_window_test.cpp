#include "editor/shell/project_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>
#include <memory>
#include <tuple>

#include "editor/document/project_file.h"
#include "editor/shell/project_tree_model.h"
#include "tests/editor_test_support.h"
#include "tests/shell/main_window_fixture.h"

namespace vyr::gui {
namespace {

using namespace vyr::editor;

std::tuple<PrefabDrag::Kind, int, int> Fields(const PrefabDrag& drag) {
  return {drag.kind, drag.group, drag.index};
}

class RecordingDropTarget : public PrefabDropTarget {
 public:
  void DropPrefab(const PrefabDrag& drag, NodeId node) override { drops.push_back({drag, node}); }
  std::vector<std::pair<PrefabDrag, NodeId>> drops;
};

// The warehouse mission, every node opened out, in a shown project window.
struct ProjectWindowTest : ::testing::Test {
  MissionDocument doc;
  std::unique_ptr<ProjectWindow> window;
  QTreeView* view = nullptr;

  void SetUp() override {
    vyr::editor::testing::BuildWarehouse(doc);
    doc.tree().ExpandAll();
    window = std::make_unique<ProjectWindow>(doc);
    window->resize(285, 500);
    window->show();
    view = window->tree();
  }

  QRect RectOf(NodeId node) {
    const QModelIndex index = window->model()->IndexOf(node);
    view->scrollTo(index);
    return view->visualRect(index);
  }
  void Click(NodeId node, Qt::MouseButton button) {
    QTest::mouseClick(view->viewport(), button, {}, RectOf(node).center());
  }
  NodeId Current() { return ProjectTreeModel::NodeOf(view->currentIndex()); }
  // Drags a prefab over `node` (or empty space) and drops it; whether the move and the drop were accepted.
  std::pair<bool, bool> Drop(const PrefabDrag& drag, std::optional<NodeId> node) {
    const std::unique_ptr<QMimeData> data(MakePrefabMimeData(drag));
    return DragAndDrop(view, data.get(),
                       node ? RectOf(*node).center() : QPoint(5, view->viewport()->height() - 2));
  }
};

TEST_F(ProjectWindowTest, ClicksSelectTheNodeAndReportTheButton) {
  QSignalSpy clicked(window.get(), &ProjectWindow::nodeClicked);
  QSignalSpy menu(window.get(), &ProjectWindow::contextMenuRequested);
  const ProjectTree& tree = doc.tree();
  EXPECT_EQ(view->objectName(), "force_tree");
  EXPECT_EQ(Current(), tree.selected());

  const NodeId bot = tree.ActorNode(0, 0, 1);
  Click(bot, Qt::LeftButton);
  ASSERT_EQ(clicked.count(), 1);
  EXPECT_EQ(clicked[0][0].value<NodeId>(), bot);
  EXPECT_EQ(tree.selected(), bot);
  EXPECT_EQ(Current(), bot);
  EXPECT_EQ(doc.editing.current_force, 0);

  Click(tree.root(), Qt::RightButton);
  ASSERT_EQ(menu.count(), 1);
  EXPECT_EQ(menu[0][0].value<NodeId>(), tree.root());
  EXPECT_EQ(menu[0][1].toPoint(), view->viewport()->mapToGlobal(RectOf(tree.root()).center()));
  EXPECT_EQ(Current(), tree.root()) << "the right-clicked node is highlighted";
  Click(bot, Qt::RightButton);
  EXPECT_EQ(menu.count(), 2);
  Click(tree.category(Section::kAreas), Qt::MiddleButton);
  EXPECT_EQ(clicked.count(), 2) << "every button but the right one is a click";

  // Empty space and the expand control do nothing but expand or collapse.
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(20, view->viewport()->height() - 2));
  const NodeId blue = tree.ForceNode(0);
  const QRect blue_rect = RectOf(blue);
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                    QPoint(blue_rect.left() - view->indentation() / 2, blue_rect.center().y()));
  EXPECT_FALSE(tree.node(blue).expanded);
  EXPECT_FALSE(view->isExpanded(window->model()->IndexOf(blue)));
  EXPECT_EQ(clicked.count(), 2);
  EXPECT_EQ(menu.count(), 2);
  EXPECT_EQ(tree.selected(), tree.category(Section::kAreas));
}

TEST_F(ProjectWindowTest, KeysMoveTheSelectionAndActOnTheCurrentNode) {
  QSignalSpy clicked(window.get(), &ProjectWindow::nodeClicked);
  QSignalSpy menu(window.get(), &ProjectWindow::contextMenuRequested);
  QSignalSpy deletes(window.get(), &ProjectWindow::deleteRequested);
  ProjectTree& tree = doc.tree();
  tree.Select(tree.root());
  QTest::keyClick(view, Qt::Key_Down);
  EXPECT_EQ(tree.selected(), tree.category(Section::kLocations));
  QTest::keyClick(view, Qt::Key_Return);
  ASSERT_EQ(clicked.count(), 1);
  EXPECT_EQ(clicked[0][0].value<NodeId>(), tree.category(Section::kLocations));
  QTest::keyClick(view, Qt::Key_Delete);
  EXPECT_EQ(deletes.count(), 0) << "a category is not a record";

  const NodeId lead = tree.ActorNode(0, 0, 0);
  tree.Select(lead);
  QTest::keyClick(view, Qt::Key_Delete);
  ASSERT_EQ(deletes.count(), 1);
  EXPECT_EQ(deletes[0][0].value<NodeId>(), lead);
  QContextMenuEvent key_menu(QContextMenuEvent::Keyboard, QPoint(), QPoint());
  QApplication::sendEvent(view, &key_menu);
  ASSERT_EQ(menu.count(), 1);
  EXPECT_EQ(menu[0][0].value<NodeId>(), lead);
  EXPECT_TRUE(RectOf(lead).contains(view->viewport()->mapFromGlobal(menu[0][1].toPoint()) - QPoint(0, 1)));
}

TEST_F(ProjectWindowTest, TheViewFollowsTheDocument) {
  ProjectTree& tree = doc.tree();
  ASSERT_TRUE(doc.AddLocation("yard gate", "", 0, 0, 0));
  EXPECT_EQ(Current(), tree.LocationNode(2));
  const NodeId alpha = tree.TeamNode(0, 0);
  tree.SetExpanded(alpha, false);
  EXPECT_FALSE(view->isExpanded(window->model()->IndexOf(alpha)));

  // A loaded project shows every node opened out and the root current.
  vyr::editor::testing::ScratchFolder folder;
  vyr::editor::testing::WriteProjectBeside(doc, folder / "w.cme");
  vyr::editor::testing::RecordedRecent recent;
  ASSERT_TRUE(LoadProject(doc, recent, folder / "w.cme"));
  for (int i = 1; i <= tree.node_count(); ++i) {
    const NodeId node = tree.NodeAt(i);
    if (!tree.node(node).children.empty()) {
      EXPECT_TRUE(view->isExpanded(window->model()->IndexOf(node))) << i;
    }
  }
  EXPECT_EQ(Current(), tree.root());
}

TEST_F(ProjectWindowTest, PrefabsDropOnNodesThatCanTakeThem) {
  RecordingDropTarget target;
  const ProjectTree& tree = doc.tree();
  const NodeId alpha = tree.TeamNode(0, 0);
  const NodeId blue = tree.ForceNode(0);
  const PrefabDrag actor{PrefabDrag::Kind::kActor, 2, 7};
  EXPECT_EQ(Drop(actor, alpha), std::make_pair(false, false)) << "nothing is dropped before a target is set";

  window->SetPrefabDropTarget(&target);
  EXPECT_EQ(Drop(actor, blue), std::make_pair(false, false));
  EXPECT_EQ(Drop({PrefabDrag::Kind::kTeam, 0, 0}, alpha), std::make_pair(false, false));
  EXPECT_EQ(Drop(actor, std::nullopt), std::make_pair(false, false));
  EXPECT_TRUE(target.drops.empty());

  EXPECT_EQ(Drop(actor, alpha), std::make_pair(true, true));
  EXPECT_EQ(Drop({PrefabDrag::Kind::kTeam, 10, 20}, blue), std::make_pair(true, true));
  ASSERT_EQ(target.drops.size(), 2u);
  EXPECT_EQ(Fields(target.drops[0].first), Fields(actor));
  EXPECT_EQ(target.drops[0].second, alpha);
  EXPECT_EQ(Fields(target.drops[1].first), Fields({PrefabDrag::Kind::kTeam, 10, 20}));
  EXPECT_EQ(target.drops[1].second, blue);
  EXPECT_EQ(tree.selected(), blue) << "the node that took the drop is selected";
}

TEST(PrefabMimeData, RoundTripsAndRefusesAnythingElse) {
  const PrefabDrag team{PrefabDrag::Kind::kTeam, 10, 20};
  const std::unique_ptr<QMimeData> made(MakePrefabMimeData(team));
  const auto read = ReadPrefabMimeData(made.get());
  ASSERT_TRUE(read);
  EXPECT_EQ(Fields(*read), Fields(team));
  EXPECT_FALSE(ReadPrefabMimeData(nullptr));
  for (const char* bad : {"", "actor", "actor 1", "npc 1 2", "actor 1 2 3", "actor -1 2", "team 1 x",
                          "actor 1  2", "actor 99999999999 1"}) {
    QMimeData data;
    data.setData(kPrefabMimeType, bad);
    EXPECT_FALSE(ReadPrefabMimeData(&data)) << bad;
  }
}

TEST(ProjectWindowGeometry, TopLeftAtFourThousandTwoHundredSeventyFiveTwipsWide) {
  EXPECT_EQ(ProjectWindowGeometry(QSize(1000, 700), 30), QRect(0, 0, 285, 620));
  EXPECT_EQ(ProjectWindowGeometry(QSize(200, 60), 30), QRect(0, 0, 285, 0)) << "never a negative height";

  MissionDocument doc;
  ProjectWindow window(doc);
  window.resize(285, 600);
  window.show();
  EXPECT_EQ(window.tree()->size(), QSize(285 - 8, 600 - 23));
}

}  // namespace
}  // namespace vyr::gui
