// Edit > Undo and Redo in the main window: texts, shortcuts and Ctrl+Z in a box (open windows following
// the steps are the window refresh test's; where the two sit in the menu, the command table's).
#include "editor/shell/undo_actions.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include "editor/gui/properties/property_window.h"
#include "editor/gui/properties/property_windows.h"
#include "editor/shell/main_window.h"
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
};

TEST_F(UndoActionsTest, EditMenuAndToolbarSayWhatTheyUndo) {
  EXPECT_FALSE(Action("mn_edit_undo")->isEnabled());
  EXPECT_EQ(Action("mn_edit_undo")->shortcuts(), QList<QKeySequence>{QKeySequence("Ctrl+Z")});
  EXPECT_EQ(Action("mn_edit_redo")->shortcuts(),
            (QList<QKeySequence>{QKeySequence("Ctrl+Shift+Z"), QKeySequence("Ctrl+Y")}));

  window_->RunCommand("loc_add");
  EXPECT_EQ(Action("mn_edit_undo")->text(), "&Undo Add location");
  PropertyWindow* location = OpenWindow(document_.tree().LocationNode(0));
  ASSERT_NE(location, nullptr);
  auto* name = location->findChild<QLineEdit*>("loc_name");
  QTest::keyClicks(name, "X");  // "New locationX", typed letter by letter: one step
  QTest::keyClicks(name, "Y");
  EXPECT_EQ(Action("mn_edit_undo")->text(), "&Undo Rename location");

  Action("mn_edit_undo")->trigger();
  EXPECT_EQ(Action("mn_edit_redo")->text(), "&Redo Rename location");
  EXPECT_EQ(Action("mn_edit_undo")->text(), "&Undo Add location");
  Action("mn_edit_redo")->trigger();
  EXPECT_EQ(document_.location(0).loc_name, "New locationXY");

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

TEST_F(UndoActionsTest, CtrlZInATextBoxUndoesTheDocumentStep) {
  window_->RunCommand("loc_add");
  window_->RunCommand("loc_add");
  window_->show();
  PropertyWindow* window = OpenWindow(document_.tree().LocationNode(1));
  ASSERT_NE(window, nullptr);
  auto* desc = window->findChild<QLineEdit*>("loc_desc");
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
  window->findChild<QLineEdit*>("loc_name")->setFocus();
  desc->setFocus();
  QTest::keyClicks(desc, "e");
  Action("mn_edit_undo")->trigger();
  EXPECT_EQ(document_.location(1).loc_desc, "abcd");
}

}  // namespace
}  // namespace vyr::gui
