// The prefab library window in the main window: drops from the library onto the tree, the "+"/"-"
// toggle, the member menu's enabling, and prefab actor edits reaching the list and the team tree.
#include "editor/gui/prefab_windows/prefab_windows.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTreeView>
#include <QTreeWidget>
#include <fstream>
#include <memory>

#include "editor/gui/properties/property_window.h"
#include "editor/gui/properties/property_windows.h"
#include "editor/shell/main_window.h"
#include "editor/shell/project_tree_model.h"
#include "editor/shell/project_window.h"
#include "tests/shell/main_window_fixture.h"

namespace vyr::gui {
namespace {

using editor::PrefabMode;
using namespace editor::testing;

// The warehouse beside a library: actor "Bot" in group "Troops", team "Alpha" (plan dropped) in "Squads".
class PrefabWindowsTest : public MainWindowFixture {
 protected:
  PrefabWindowsTest() {
    BuildWarehouse(document_);
    MakeWindow();
    editor::PrefabLibrary& library = window_->prefab_library();
    EXPECT_TRUE(library.AddGroup("Troops"));
    EXPECT_TRUE(document_.CopyActor(0, 0, 1));
    EXPECT_TRUE(library.PasteAsPrefab(document_));
    library.SetMode(PrefabMode::kTeams);
    EXPECT_TRUE(library.AddGroup("Squads"));
    EXPECT_TRUE(document_.CopyTeam(0, 0));
    EXPECT_TRUE(library.PasteAsPrefab(document_));
    library.SetMode(PrefabMode::kActors);
    prefabs_ = window_->prefab_window();
    list_ = prefabs_->findChild<QListWidget*>("t_list");
  }

  // Drags a prefab over `node` and drops it, as the library's drag would; whether the tree took it.
  bool Drop(PrefabDrag::Kind kind, int member, editor::NodeId node) {
    window_->show();
    document_.tree().ExpandAll();
    QTreeView* view = window_->project_window()->tree();
    const QModelIndex index = window_->project_window()->model()->IndexOf(node);
    view->scrollTo(index);
    const std::unique_ptr<QMimeData> data(MakePrefabMimeData({kind, 0, member}));
    return DragAndDrop(view, data.get(), view->visualRect(index).center()).second;
  }
  QPoint ItemAt(int row) { return list_->visualItemRect(list_->item(row)).center(); }
  bool Enabled(const char* name) { return window_->findChild<QAction*>(name)->isEnabled(); }

  frm_template2* prefabs_ = nullptr;
  QListWidget* list_ = nullptr;
};

TEST_F(PrefabWindowsTest, EachKindDropsOnlyWhereItFitsAndAFullTeamRefuses) {
  const editor::ProjectTree& tree = document_.tree();
  EXPECT_FALSE(Drop(PrefabDrag::Kind::kActor, 0, tree.ForceNode(0)));
  EXPECT_FALSE(Drop(PrefabDrag::Kind::kTeam, 0, tree.TeamNode(0, 0)));
  EXPECT_EQ(document_.force(0).team_count, 1);
  EXPECT_EQ(document_.team(0, 0).actor_count, 2);

  editor::TeamRecord dropped_team = document_.team(0, 0);  // as copied into the library, without its plan
  dropped_team.plan.clear();
  EXPECT_TRUE(Drop(PrefabDrag::Kind::kActor, 0, tree.TeamNode(0, 0)));
  ASSERT_EQ(document_.team(0, 0).actor_count, 3);
  EXPECT_EQ(document_.actor(0, 0, 2), document_.actor(0, 0, 1));

  EXPECT_TRUE(Drop(PrefabDrag::Kind::kTeam, 0, tree.ForceNode(0)));
  ASSERT_EQ(document_.force(0).team_count, 2);
  EXPECT_EQ(document_.team(0, 1), dropped_team);
  EXPECT_TRUE(ui_.messages.empty());

  while (document_.team(0, 0).actor_count < editor::kMaxActors)
    ASSERT_TRUE(document_.AddActor(0, 0, editor::ActorRecord{}));
  Drop(PrefabDrag::Kind::kActor, 0, tree.TeamNode(0, 0));
  EXPECT_EQ(document_.team(0, 0).actor_count, editor::kMaxActors);
  EXPECT_EQ(ui_.messages.size(), 1u) << "a full team says why it refused";
}

TEST_F(PrefabWindowsTest, UndoingADropClosesTheDroppedActorsWindowOnly) {
  const editor::ProjectTree& tree = document_.tree();
  PropertyWindows& windows = *window_->property_windows();
  windows.Open(tree.ActorNode(0, 0, 1));
  ASSERT_TRUE(Drop(PrefabDrag::Kind::kActor, 0, tree.TeamNode(0, 0)));
  windows.Open(tree.ActorNode(0, 0, 2));
  ASSERT_EQ(windows.open_count(), 2);
  window_->findChild<QAction*>("mn_edit_undo")->trigger();
  EXPECT_EQ(document_.team(0, 0).actor_count, 2);
  EXPECT_EQ(windows.open_count(), 1);
  ASSERT_NE(windows.WindowInSlot(0), nullptr);
  EXPECT_EQ(windows.WindowInSlot(0)->record(), editor::RecordRef::Actor(0, 0, 1));
  window_->findChild<QAction*>("mn_edit_redo")->trigger();
  EXPECT_EQ(document_.team(0, 0).actor_count, 3);
  EXPECT_EQ(windows.open_count(), 1);
}

TEST_F(PrefabWindowsTest, PlusAndMinusCutOffAndBringBackTheGroupButtons) {
  window_->show();
  auto* toggle = prefabs_->findChild<QPushButton*>("Command1");
  auto* add = prefabs_->findChild<QPushButton*>("Command2");
  QWidget* frame = prefabs_->parentWidget();
  ASSERT_TRUE(qobject_cast<QMdiSubWindow*>(frame));
  EXPECT_EQ(toggle->text(), "-");

  toggle->click();
  EXPECT_EQ(toggle->text(), "+");
  EXPECT_EQ(toggle->toolTip(), "Show Prefab Controls");
  EXPECT_FALSE(add->isVisibleTo(prefabs_));
  EXPECT_EQ(frame->height(), 222);  // 3330 twips

  toggle->click();
  EXPECT_EQ(toggle->text(), "-");
  EXPECT_EQ(toggle->toolTip(), "Hide Prefab Controls");
  EXPECT_TRUE(add->isVisibleTo(prefabs_));
  EXPECT_EQ(frame->height(), 245);  // 3675 twips
}

TEST_F(PrefabWindowsTest, MemberMenuEnablesDeleteOverAnItemAndPasteWithAClipboardRecordOfItsMode) {
  ASSERT_EQ(list_->count(), 1);
  QMenu& actors = prefabs_->PrepareMemberMenu(ItemAt(0));
  EXPECT_EQ(actors.objectName(), "mn_prefab_actor");
  EXPECT_TRUE(Enabled("mn_prefab_actor_delete"));
  EXPECT_FALSE(Enabled("mn_prefab_actor_paste")) << "the clipboard holds a team";
  prefabs_->PrepareMemberMenu(QPoint(5, list_->viewport()->height() - 3));
  EXPECT_FALSE(Enabled("mn_prefab_actor_delete"));
  window_->RunCommand("mn_prefab_actor_delete");
  EXPECT_EQ(list_->count(), 1) << "no member under the mouse, nothing deleted";

  ASSERT_TRUE(document_.CopyActor(0, 0, 0));
  prefabs_->PrepareMemberMenu(ItemAt(0));
  EXPECT_TRUE(Enabled("mn_prefab_actor_paste"));
  window_->RunCommand("mn_prefab_actor_paste");
  ASSERT_EQ(list_->count(), 2);
  EXPECT_EQ(list_->item(1)->text(), "Lead");

  window_->prefab_library().SetMode(PrefabMode::kTeams);
  QMenu& teams = prefabs_->PrepareMemberMenu(ItemAt(0));
  EXPECT_EQ(teams.objectName(), "mn_prefab_team");
  EXPECT_TRUE(Enabled("mn_prefab_team_delete"));
  EXPECT_FALSE(Enabled("mn_prefab_team_paste")) << "the clipboard holds an actor";
  window_->RunCommand("mn_prefab_team_delete");
  EXPECT_EQ(list_->count(), 0);
}

TEST_F(PrefabWindowsTest, RenamingAPrefabActorRenamesItsListItemOrTreeNode) {
  prefabs_->PrepareMemberMenu(ItemAt(0));
  window_->RunCommand("mn_prefab_actor_edit");
  frm_prefab_actor_props* actor = prefabs_->actor_window();
  ASSERT_TRUE(actor->isVisible());
  auto* name = actor->findChild<QLineEdit*>("npc_name");
  EXPECT_EQ(name->text(), "Bot");
  name->setText("Scout");
  emit name->textEdited("Scout");
  EXPECT_EQ(list_->item(0)->text(), "Scout");
  EXPECT_EQ(actor->windowTitle(), "Prefab");

  // The prefab window reads the whole text: "12abc" is not taken, the count keeps its value.
  auto* ammo = actor->findChild<QLineEdit*>("ammo2");
  emit ammo->textEdited("12abc");
  EXPECT_EQ(window_->prefab_library().actors().member(0, 0).ammo[1], 3);
  emit ammo->textEdited("7");
  EXPECT_EQ(window_->prefab_library().actors().member(0, 0).ammo[1], 7);

  window_->prefab_library().SetMode(PrefabMode::kTeams);
  prefabs_->PrepareMemberMenu(ItemAt(0));
  window_->RunCommand("mn_prefab_team_view");
  auto* tree = prefabs_->team_window()->findChild<QTreeWidget*>("Tree");
  QTreeWidgetItem* lead = tree->topLevelItem(0)->child(0);
  ASSERT_NE(lead, nullptr);
  emit tree->itemClicked(lead, 0);
  EXPECT_EQ(actor->ref().team_actor, 0);
  emit name->textEdited("Chief");
  EXPECT_EQ(lead->text(0), "Chief");
  EXPECT_EQ(window_->prefab_library().teams().member(0, 0).actors[0].npc_name, "Chief");
}

TEST_F(PrefabWindowsTest, ADamagedLibraryFileIsNamedAndWhatWasReadIsListed) {
  std::ofstream(scratch_.str() + "/prefab_actors.dat", std::ios::binary | std::ios::trunc)
      << "Troops\r\nBot\r\nterror/terror\r\n";
  prefabs_->LoadLibrary();
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_NE(ui_.messages[0].text.find("prefab_actors.dat"), std::string::npos) << ui_.messages[0].text;
  EXPECT_EQ(prefabs_->findChild<QComboBox*>("t_combo")->currentText(), "Troops");
  EXPECT_EQ(prefabs_->findChild<QComboBox*>("t1_combo")->currentText(), "Squads");
}

}  // namespace
}  // namespace vyr::gui
