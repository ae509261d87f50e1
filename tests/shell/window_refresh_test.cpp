// Open property windows following the document on their own: an undo or redo from the Edit menu, a
// structural step taken back, and edits made by anything other than the window itself.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSlider>
#include <QTest>

#include "editor/gui/properties/property_window.h"
#include "editor/gui/properties/property_windows.h"
#include "editor/shell/main_window.h"
#include "tests/shell/main_window_fixture.h"

namespace vyr::gui {
namespace {

using editor::Field;
using editor::RecordRef;
using namespace editor::testing;

class WindowRefreshTest : public MainWindowFixture {
 protected:
  WindowRefreshTest() {
    MakeWindow();
    window_->StartUp("");
    BuildWarehouse(document_);
  }
  static QLineEdit* Box(QWidget* window, const char* name) { return Control<QLineEdit>(window, name); }
  static QStringList Entries(const QListWidget* list) {
    QStringList entries;
    for (int row = 0; row < list->count(); ++row)
      entries << list->item(row)->text() + (list->item(row)->isSelected() ? "*" : "");
    return entries;
  }
  void Undo() { Action("mn_edit_undo")->trigger(); }
  void Redo() { Action("mn_edit_redo")->trigger(); }
  int OpenCount() const { return window_->property_windows()->open_count(); }
  const editor::ProjectTree& tree() const { return document_.tree(); }
};

TEST_F(WindowRefreshTest, UndoAndRedoOfFieldEditsShowInTheOpenWindows) {
  PropertyWindow* gate = OpenWindow(tree().LocationNode(0));
  ASSERT_NE(gate, nullptr);
  QLineEdit* name = Box(gate, "loc_name");
  name->setCursorPosition(2);
  QTest::keyClicks(name, "X");
  EXPECT_EQ(document_.location(0).loc_name, "gaXte");
  EXPECT_EQ(name->cursorPosition(), 3) << "the window's own edit leaves the caret where the author typed";
  Undo();
  EXPECT_EQ(name->text(), "gate");
  EXPECT_EQ(gate->windowTitle(), "Location - gate");
  Redo();
  EXPECT_EQ(name->text(), "gaXte");
  EXPECT_EQ(gate->windowTitle(), "Location - gaXte");

  // A box's text that was not taken stays until an undo changes that field.
  QLineEdit* x = Box(gate, "loc_x");
  Retype(x, "7");
  QTest::keyClick(x, Qt::Key_Return);  // confirmed
  Retype(Box(gate, "loc_desc"), "d");
  Retype(x, "-");
  EXPECT_EQ(document_.location(0).loc_x, 7);
  Undo();  // the description
  EXPECT_EQ(Box(gate, "loc_desc")->text(), "");
  EXPECT_EQ(x->text(), "-");
  EXPECT_FALSE(x->property("taken").toBool());
  Undo();  // the x
  EXPECT_EQ(document_.location(0).loc_x, 100);
  EXPECT_EQ(x->text(), "100");
  EXPECT_TRUE(x->property("taken").toBool());
  Retype(x, "-");
  EXPECT_EQ(document_.location(0).loc_x, 100) << "the box confirmed the undone value";

  // The actor's skill with its slider, a weapon, and the team's plan.
  PropertyWindow* bot = OpenWindow(tree().ActorNode(0, 0, 1));
  Control<QSlider>(bot, "Slider1")->setValue(4);
  Control<QCheckBox>(bot, "Check3")->click();
  ASSERT_TRUE(document_.actor(0, 0, 1).weapon[2]);
  Undo();
  EXPECT_FALSE(Control<QCheckBox>(bot, "Check3")->isChecked());
  Redo();  // every weapon box follows its own weapon, not only the one that changed
  for (std::size_t i = 0; i < 6; ++i)
    EXPECT_EQ(Control<QCheckBox>(bot, ("Check" + std::to_string(i + 1)).c_str())->isChecked(),
              document_.actor(0, 0, 1).weapon[i])
        << i;
  Undo();
  Undo();
  EXPECT_EQ(Box(bot, "npc_skill")->text(), "0.5");
  EXPECT_EQ(Control<QSlider>(bot, "Slider1")->value(), 1);
  Redo();
  EXPECT_EQ(Box(bot, "npc_skill")->text(), "4");
  EXPECT_EQ(Control<QSlider>(bot, "Slider1")->value(), 4);

  PropertyWindow* alpha = OpenWindow(tree().TeamNode(0, 0));
  auto* plan = Control<QPlainTextEdit>(alpha, "rtfb");
  const QString before = plan->toPlainText();
  plan->moveCursor(QTextCursor::End);
  QTest::keyClicks(plan, "!");
  EXPECT_EQ(plan->textCursor().position(), before.size() + 1);
  Undo();
  EXPECT_EQ(plan->toPlainText(), before);

  PropertyWindow* outcome = OpenWindow(tree().OutcomeNode(0));
  QTest::keyClicks(Box(outcome, "outcome_message"), "!");
  Control<QComboBox>(outcome, "outcome_type")->setCurrentIndex(1);
  EXPECT_EQ(outcome->windowTitle(), "Outcome - failure");
  Undo();
  EXPECT_EQ(Control<QComboBox>(outcome, "outcome_type")->currentText(), "success");
  EXPECT_EQ(outcome->windowTitle(), "Outcome - success");
  Undo();
  EXPECT_EQ(Box(outcome, "outcome_message")->text(), "Well done");
}

TEST_F(WindowRefreshTest, StructuralUndoClosesWindowsWhoseRecordIsGoneAndRefreshesTheOthers) {
  for (const editor::NodeId node : {tree().ForceNode(0), tree().TeamNode(0, 0), tree().ActorNode(0, 0, 1)})
    ASSERT_NE(OpenWindow(node), nullptr);
  PropertyWindow* outcome = OpenWindow(tree().OutcomeNode(0));
  PropertyWindow* yard = OpenWindow(tree().AreaNode(0));
  PropertyWindow* tower = OpenWindow(tree().LocationNode(1));
  auto* forces = Control<QComboBox>(outcome, "combo_outcome_force");
  auto* locations = Control<QListWidget>(yard, "list_area_loc");
  ASSERT_EQ(OpenCount(), 6);
  EXPECT_EQ(forces->count(), 1);

  window_->RunCommand("mn_force_clear");
  EXPECT_EQ(OpenCount(), 3);
  EXPECT_EQ(forces->count(), 0);
  EXPECT_EQ(forces->currentText(), "Blue") << "the outcome's force stays shown";
  Undo();
  EXPECT_EQ(document_.force_count(), 1);
  EXPECT_EQ(OpenCount(), 3) << "a window closed with its record stays closed";
  EXPECT_EQ(forces->count(), 1);
  EXPECT_EQ(forces->currentIndex(), 0);

  // The area's list follows a delete and its undo; the later location's window its record.
  document_.MakeCurrent(tree().LocationNode(0));
  window_->RunCommand("mn_loc_delete1");
  EXPECT_EQ(Entries(locations), QStringList{"tower*"});
  EXPECT_EQ(tower->record(), RecordRef::Location(0));
  Undo();
  EXPECT_EQ(Entries(locations), (QStringList{"gate*", "tower*"}));
  EXPECT_EQ(tower->record(), RecordRef::Location(1));
  EXPECT_EQ(Box(tower, "loc_name")->text(), "tower");
  EXPECT_EQ(document_.area(0).area_locations, "gate?tower?") << "following the list stores nothing";

  // Undoing an add closes the added record's window; redoing it leaves the window closed.
  window_->RunCommand("loc_add");
  ASSERT_NE(OpenWindow(tree().LocationNode(2)), nullptr);
  EXPECT_EQ(locations->count(), 3);
  Undo();
  EXPECT_EQ(OpenCount(), 3);
  EXPECT_EQ(document_.tree().window_slots().used_count(), 3);
  EXPECT_EQ(locations->count(), 2);
  Redo();
  EXPECT_EQ(OpenCount(), 3);
  EXPECT_EQ(locations->count(), 3);
}

TEST_F(WindowRefreshTest, EditsMadeElsewhereShowInTheWindowsThatShowThem) {
  PropertyWindow* gate = OpenWindow(tree().LocationNode(0));
  PropertyWindow* tower = OpenWindow(tree().LocationNode(1));
  PropertyWindow* yard = OpenWindow(tree().AreaNode(0));
  PropertyWindow* outcome = OpenWindow(tree().OutcomeNode(0));
  PropertyWindow* alpha = OpenWindow(tree().TeamNode(0, 0));
  PropertyWindow* mission = OpenWindow(tree().root());
  QLineEdit* tower_x = Box(tower, "loc_x");
  Retype(tower_x, "-");
  QLineEdit* gate_desc = Box(gate, "loc_desc");
  Retype(gate_desc, "dusty");
  gate_desc->setCursorPosition(2);

  ASSERT_TRUE(document_.SetField(RecordRef::Location(0), Field::kLocName, std::string("Gate\xE9")));
  EXPECT_EQ(Box(gate, "loc_name")->text(), QStringLiteral("Gate\u00e9"));
  EXPECT_EQ(gate->windowTitle(), QStringLiteral("Location - Gate\u00e9"));
  EXPECT_EQ(Entries(Control<QListWidget>(yard, "list_area_loc")),
            (QStringList{QStringLiteral("Gate\u00e9"), "tower*"}));
  EXPECT_EQ(tower_x->text(), "-") << "another record's edit leaves the author's text alone";
  EXPECT_EQ(gate_desc->cursorPosition(), 2) << "a box that shows its field already keeps its caret";

  ASSERT_TRUE(document_.SetField(RecordRef::Area(0), Field::kAreaStyle, std::string("roof?closed?")));
  EXPECT_EQ(Entries(Control<QListWidget>(yard, "list_area_style")),
            (QStringList{"open", "closed*", "roof*"}));

  ASSERT_TRUE(document_.SetField(RecordRef::Force(0), Field::kForceName, std::string("Red")));
  auto* forces = Control<QComboBox>(outcome, "combo_outcome_force");
  EXPECT_EQ(forces->itemText(0), "Red");
  EXPECT_EQ(forces->currentText(), "Blue");
  EXPECT_EQ(document_.outcome(0).outcome_force, "Blue") << "following the list stores nothing";

  ASSERT_TRUE(document_.SetField(RecordRef::Team(0, 0), Field::kPlan, std::string("a\r\nb")));
  EXPECT_EQ(Control<QPlainTextEdit>(alpha, "rtfb")->toPlainText(), "a\nb");
  ASSERT_TRUE(document_.SetField(RecordRef::Mission(), Field::kMapStyles, std::string("dark?")));
  EXPECT_EQ(Control<QListWidget>(mission, "list_map_style")->selectedItems().size(), 1);
  EXPECT_EQ(Control<QListWidget>(mission, "list_map_style")->selectedItems()[0]->text(), "dark");
  ASSERT_TRUE(document_.SetField(RecordRef::Mission(), Field::kAuthor, std::string("Lee")));
  EXPECT_EQ(Box(mission, "vyr_author")->text(), "Lee");
}

}  // namespace
}  // namespace vyr::gui
