// Edit > Undo and Redo in the main window: texts, shortcuts, and open windows following the steps (where
// the two sit in the menu and on the toolbar is the command table's test).
#include "editor/shell/undo_actions.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include "editor/gui/properties/property_window.h"
#include "editor/gui/properties/property_windows.h"
#include "editor/shell/main_window.h"
#include "editor/shell/project_window.h"
#include "tests/shell/main_window_fixture.h"

namespace vyr::gui {
namespace {

using namespace editor::testing;

class UndoActionsTest : public MainWindowFixture {
 protected:
  UndoActionsTest() {
    MakeWindow();
    window_->StartUp("");
  }
  PropertyWindow* OpenWindowOf(editor::NodeId node) {
    document_.MakeCurrent(node);
    emit window_->project_window()->nodeClicked(node);
    const editor::TreeNode& opened = document_.tree().node(node);
    return opened.key[0] == 'P' ? window_->property_windows()->WindowInSlot(std::stoi(opened.key.substr(1)))
                                : nullptr;
  }
};

TEST_F(UndoActionsTest, EditMenuAndToolbarSayWhatTheyUndo) {
  EXPECT_FALSE(Action("mn_edit_undo")->isEnabled());
  EXPECT_EQ(Action("mn_edit_undo")->shortcuts(), QList<QKeySequence>{QKeySequence("Ctrl+Z")});
  EXPECT_EQ(Action("mn_edit_redo")->shortcuts(),
            (QList<QKeySequence>{QKeySequence("Ctrl+Shift+Z"), QKeySequence("Ctrl+Y")}));

  window_->RunCommand("loc_add");
  EXPECT_EQ(Action("mn_edit_undo")->text(), "&Undo Add location");
  PropertyWindow* location = OpenWindowOf(document_.tree().LocationNode(0));
  ASSERT_NE(location, nullptr);
  auto* name = location->findChild<QLineEdit*>("loc_name");
  QTest::keyClicks(name, "X");  // "New locationX", typed letter by letter: one step
  QTest::keyClicks(name, "Y");
  EXPECT_EQ(Action("mn_edit_undo")->text(), "&Undo Rename location");

  Action("mn_edit_undo")->trigger();
  EXPECT_EQ(name->text(), "New location");
  EXPECT_EQ(location->windowTitle(), "Location - New location");
  EXPECT_EQ(Action("mn_edit_redo")->text(), "&Redo Rename location");
  EXPECT_EQ(Action("mn_edit_undo")->text(), "&Undo Add location");
  Action("mn_edit_redo")->trigger();
  EXPECT_EQ(name->text(), "New locationXY");
  EXPECT_EQ(document_.tree().node(document_.tree().LocationNode(0)).text, "New locationXY");

  // A new project starts a new history.
  ui_.replies = {editor::Answer::kNo};  // the unsaved location goes
  window_->RunCommand("mn_file_new");
  EXPECT_FALSE(Action("mn_edit_undo")->isEnabled());
  EXPECT_EQ(Action("mn_edit_undo")->text(), "&Undo");
}

// Once the bound has dropped the oldest steps, the menu says how many are left.
TEST_F(UndoActionsTest, EditMenuSaysHowManyStepsAreLeftOnceOldOnesAreDropped) {
  for (int i = 0; i < 100; ++i)
    window_->RunCommand("loc_add");
  EXPECT_EQ(Action("mn_edit_undo")->text(), "&Undo Add location");
  window_->RunCommand("loc_add");
  EXPECT_EQ(Action("mn_edit_undo")->text(), "&Undo Add location (100 steps left)");
  Action("mn_edit_undo")->trigger();
  EXPECT_EQ(Action("mn_edit_undo")->text(), "&Undo Add location (99 steps left)");
}

TEST_F(UndoActionsTest, OpenWindowsFollowUndoAndCloseWithTheirRecord) {
  window_->RunCommand("loc_add");
  window_->RunCommand("loc_add");
  (void)document_.SetField(editor::RecordRef::Location(1), editor::Field::kLocX, editor::Integer{42});
  const editor::NodeId second = document_.tree().LocationNode(1);
  PropertyWindow* window = OpenWindowOf(second);
  ASSERT_NE(window, nullptr);

  document_.MakeCurrent(document_.tree().LocationNode(0));
  window_->RunCommand("mn_loc_delete1");
  EXPECT_EQ(window->address().index, 0);
  Action("mn_edit_undo")->trigger();
  EXPECT_EQ(window->address().index, 1);
  EXPECT_EQ(window->tag(), document_.tree().NodeIndex(second));
  EXPECT_EQ(document_.tree().selected(), document_.tree().LocationNode(0));

  // Undoing the add of the window's record closes the window; its slot is free again.
  Action("mn_edit_undo")->trigger();  // the x
  EXPECT_EQ(window->findChild<QLineEdit*>("loc_x")->text(), "0");
  Action("mn_edit_undo")->trigger();
  EXPECT_EQ(document_.location_count(), 1);
  EXPECT_EQ(window_->property_windows()->open_count(), 0);
  EXPECT_EQ(document_.tree().window_slots().used_count(), 0);
  Action("mn_edit_redo")->trigger();
  EXPECT_EQ(document_.location_count(), 2);

  // Ctrl+Z in a text box goes to the document's history, not to the box's own undo.
  window_->show();
  PropertyWindow* reopened = OpenWindowOf(document_.tree().LocationNode(1));
  ASSERT_NE(reopened, nullptr);
  auto* desc = reopened->findChild<QLineEdit*>("loc_desc");
  QApplication::setActiveWindow(window_.get());
  desc->setFocus();
  QTest::keyClicks(desc, "abc");
  EXPECT_EQ(document_.location(1).loc_desc, "abc");
  QTest::keyClick(desc, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(document_.location(1).loc_desc, "");
  EXPECT_EQ(desc->text(), "");
  EXPECT_EQ(Action("mn_edit_redo")->text(), "&Redo Edit location description");  // not the box's own undo
  QTest::keyClick(desc, Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(document_.location(1).loc_desc, "abc");

  // Leaving the box ends its step: typing there again is a step of its own.
  QTest::keyClicks(desc, "d");
  reopened->findChild<QLineEdit*>("loc_name")->setFocus();
  desc->setFocus();
  QTest::keyClicks(desc, "e");
  Action("mn_edit_undo")->trigger();
  EXPECT_EQ(document_.location(1).loc_desc, "abcd");
}

}  // namespace
}  // namespace vyr::gui
