// View > History: the list follows the edits, undo and redo; a click jumps to a row exactly as that many
// undos or redos would; dropped steps are owned up to; Escape and the close box only hide the dock.
#include "editor/shell/history_dock.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QTest>

#include "editor/script/generator.h"
#include "editor/shell/undo_actions.h"
#include "tests/shell/main_window_fixture.h"

namespace vyr::gui {
namespace {

using editor::Field;
using editor::RecordRef;

// What an undo must put back: every location whole and the script the rest of the records make.
struct Records {
  std::vector<editor::LocationRecord> locations;
  std::string script;
  bool operator==(const Records&) const = default;
};

Records RecordsOf(const editor::MissionDocument& document) {
  Records records;
  for (int i = 0; i < document.location_count(); ++i)
    records.locations.push_back(document.location(i));
  records.script = editor::GenerateScriptWithLines(document).text;
  return records;
}

// The rows' texts joined by " | ", readable when a comparison fails.
std::string Rows(const QListWidget& list) {
  QStringList rows;
  for (int i = 0; i < list.count(); ++i)
    rows << list.item(i)->text();
  return rows.join(" | ").toStdString();
}

// The one bold row, or -1 when none or several are.
int MarkedRow(const QListWidget& list) {
  int marked = -1;
  for (int i = 0; i < list.count(); ++i) {
    if (!list.item(i)->font().bold()) continue;
    if (marked >= 0) return -1;
    marked = i;
  }
  return marked;
}

class HistoryDockTest : public MainWindowFixture {
 protected:
  HistoryDockTest() {
    editor::testing::BuildWarehouse(document_);
    MakeWindow();
    dock_ = window_->history_dock();
    list_ = dock_->findChild<QListWidget*>("history_list");
  }

  void Click(int row) {
    const QRect rect = list_->visualItemRect(list_->item(row));
    ASSERT_FALSE(rect.isEmpty()) << "row " << row << " is not on screen";
    QTest::mouseClick(list_->viewport(), Qt::LeftButton, {}, rect.center());
  }

  HistoryDock* dock_ = nullptr;
  QListWidget* list_ = nullptr;
};

TEST_F(HistoryDockTest, TheListFollowsEditsUndoAndRedo) {
  ASSERT_NE(list_, nullptr);
  EXPECT_TRUE(dock_->isHidden());
  window_->RunCommand("mn_view_history");
  EXPECT_FALSE(dock_->isHidden());
  EXPECT_TRUE(Action("mn_view_history")->isChecked());
  EXPECT_EQ(Rows(*list_), "<empty>");
  EXPECT_EQ(MarkedRow(*list_), 0);

  window_->RunCommand("loc_add");
  ASSERT_TRUE(document_.SetField(RecordRef::Location(0), Field::kLocName, std::string("porch")));
  window_->undo()->history().CloseMerge();
  window_->RunCommand("loc_add");
  const std::string all = "<empty> | Add location | Rename location | Add location";
  EXPECT_EQ(Rows(*list_), all);
  EXPECT_EQ(MarkedRow(*list_), 3);
  EXPECT_EQ(list_->currentRow(), 3);

  // Undone steps stay listed below the mark, greyed, until a new edit takes their place.
  Action("mn_edit_undo")->trigger();
  Action("mn_edit_undo")->trigger();
  EXPECT_EQ(Rows(*list_), all);
  EXPECT_EQ(MarkedRow(*list_), 1);
  EXPECT_EQ(list_->item(0)->foreground(), list_->item(1)->foreground());
  EXPECT_NE(list_->item(2)->foreground(), list_->item(1)->foreground());
  Action("mn_edit_redo")->trigger();
  EXPECT_EQ(MarkedRow(*list_), 2);
  EXPECT_EQ(list_->item(2)->foreground(), list_->item(1)->foreground());
  ASSERT_TRUE(document_.SetField(RecordRef::Location(0), Field::kLocX, editor::Integer{7}));
  EXPECT_EQ(Rows(*list_), "<empty> | Add location | Rename location | Edit location x");
  EXPECT_EQ(MarkedRow(*list_), 3);

  // A new project starts a new history, and so does the list.
  ui_.replies = {editor::Answer::kNo};
  window_->RunCommand("mn_file_new");
  EXPECT_EQ(Rows(*list_), "<empty>");
  EXPECT_EQ(MarkedRow(*list_), 0);
}

TEST_F(HistoryDockTest, AClickJumpsToTheStateThatManyUndosGive) {
  window_->show();
  window_->RunCommand("mn_view_history");
  std::vector<Records> states{RecordsOf(document_)};
  window_->RunCommand("loc_add");
  states.push_back(RecordsOf(document_));
  ASSERT_TRUE(document_.SetField(RecordRef::Location(0), Field::kLocName, std::string("porch")));
  window_->undo()->history().CloseMerge();
  states.push_back(RecordsOf(document_));
  window_->RunCommand("mn_area_add");
  states.push_back(RecordsOf(document_));
  ASSERT_TRUE(document_.SetField(RecordRef::Location(1), Field::kLocY, editor::Integer{-40}));
  states.push_back(RecordsOf(document_));
  ASSERT_EQ(list_->count(), 5);
  const editor::EditHistory& history = window_->undo()->history();

  // Back, forward over several steps, to both ends, and onto the present row (nothing to do).
  for (int row : {1, 3, 0, 4, 2, 2}) {
    Click(row);
    EXPECT_TRUE(RecordsOf(document_) == states[static_cast<std::size_t>(row)]) << "row " << row;
    EXPECT_EQ(history.undo_count(), static_cast<std::size_t>(row));
    EXPECT_EQ(history.redo_count(), 4u - static_cast<std::size_t>(row));
    EXPECT_EQ(MarkedRow(*list_), row);
    EXPECT_EQ(list_->count(), 5);
  }
  // Enter on a row jumps as a click does.
  list_->setFocus();
  list_->setCurrentRow(4);
  QTest::keyClick(list_, Qt::Key_Return);
  EXPECT_TRUE(RecordsOf(document_) == states[4]);
  EXPECT_EQ(MarkedRow(*list_), 4);
}

TEST_F(HistoryDockTest, EscapeAndTheCloseBoxOnlyHideTheDock) {
  window_->show();
  window_->RunCommand("loc_add");
  const Records before = RecordsOf(document_);
  for (bool floating : {false, true}) {
    window_->RunCommand("mn_view_history");
    dock_->setFloating(floating);
    ASSERT_FALSE(dock_->isHidden());
    QTest::keyClick(list_, Qt::Key_Escape);
    EXPECT_TRUE(dock_->isHidden()) << "floating " << floating;
    EXPECT_FALSE(Action("mn_view_history")->isChecked());

    window_->RunCommand("mn_view_history");
    EXPECT_TRUE(Action("mn_view_history")->isChecked());
    EXPECT_TRUE(dock_->close());
    EXPECT_TRUE(dock_->isHidden());
    EXPECT_FALSE(Action("mn_view_history")->isChecked());
    EXPECT_EQ(window_->history_dock(), dock_);  // kept for the next time, not deleted
  }
  EXPECT_TRUE(RecordsOf(document_) == before);
  EXPECT_EQ(window_->undo()->history().undo_count(), 1u);
}

TEST(HistoryDockBoundsTest, TheDockSaysHowManyOldStepsWereDropped) {
  editor::MissionDocument document;
  editor::EditHistory history(document, {3, std::size_t{64} << 20});
  HistoryDock dock(history);
  auto* dropped = dock.findChild<QLabel*>("history_dropped");
  auto* list = dock.findChild<QListWidget*>("history_list");
  ASSERT_NE(dropped, nullptr);
  EXPECT_TRUE(dropped->isHidden());

  for (const char* name : {"a", "b", "c", "d"})
    history.Perform(std::string("Add ") + name, [&] { (void)document.AddLocation(name, "", 0, 0, 0); });
  EXPECT_FALSE(dropped->isHidden());
  EXPECT_EQ(dropped->text(), "1 older step was dropped");
  // The top row is no longer the empty start but the oldest state left to go back to.
  EXPECT_EQ(Rows(*list), "<oldest kept state> | Add b | Add c | Add d");
  history.Perform("Add e", [&] { (void)document.AddLocation("e", "", 0, 0, 0); });
  EXPECT_EQ(dropped->text(), "2 older steps were dropped");

  dock.JumpTo(0);
  EXPECT_EQ(document.location_count(), 2);  // a and b stay: their steps are gone
  EXPECT_EQ(MarkedRow(*list), 0);
  dock.JumpTo(-1);
  dock.JumpTo(4);
  EXPECT_EQ(document.location_count(), 2) << "rows out of range do nothing";

  history.Clear();
  EXPECT_TRUE(dropped->isHidden());
  EXPECT_EQ(Rows(*list), "<empty>");
}

}  // namespace
}  // namespace vyr::gui
