// Edit > Find: the menu item opens the box, typing lists matches that follow edits, the kind filter and
// the count, choosing one selects its node and opens its window (a plan hit on its line), and Find usages
// on a location or area node lists what names it.
#include "editor/shell/find_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QTreeView>

#include "bench/full_project.h"
#include "editor/gui/properties/property_window.h"
#include "editor/gui/properties/property_windows.h"
#include "editor/shell/main_window.h"
#include "tests/shell/main_window_fixture.h"

namespace vyr::gui {
namespace {

using namespace editor::testing;

QStringList Rows(QTreeView* results) {
  QStringList rows;
  const QAbstractItemModel* model = results->model();
  for (int i = 0; i < model->rowCount(); ++i) {
    rows << model->index(i, 0).data().toString() + " " + model->index(i, 1).data().toString() + " | " +
                model->index(i, 2).data().toString();
  }
  return rows;
}

class FindWindowTest : public MainWindowFixture {
 protected:
  void Open() {
    MakeWindow();
    window_->show();
    window_->StartUp("");
    window_->findChild<QAction*>("mn_edit_find")->trigger();
    box_ = window_->findChild<QLineEdit*>("find_box");
    results_ = window_->findChild<QTreeView*>("find_results");
    kind_ = window_->findChild<QComboBox*>("find_kind");
    count_ = window_->findChild<QLabel*>("find_count");
    ASSERT_TRUE(box_ && results_ && kind_ && count_);
  }

  QLineEdit* box_ = nullptr;
  QTreeView* results_ = nullptr;
  QComboBox* kind_ = nullptr;
  QLabel* count_ = nullptr;
};

TEST_F(FindWindowTest, ListsMatchesFollowsEditsAndOpensTheChosenRecord) {
  Open();
  BuildWarehouse(document_);
  EXPECT_TRUE(window_->find_window()->isVisible());
  box_->insert(QString(QChar(0xF6)));  // o with diaeresis finds every o
  EXPECT_EQ(Rows(results_),
            (QStringList{"Location tower | Name",
                         "Team Blue / Alpha | Plan line 1: insert at gate using \"column\";",
                         "Actor Blue / Alpha / Bot | Name", "Outcome Success: Well done | Message",
                         "Outcome Success: Well done | Trigger: timeout(300)"}));
  EXPECT_EQ(count_->text(), "5 matches");

  // A rename elsewhere shows after a pause in the typing; a deletion at once.
  ASSERT_TRUE(
      document_.SetField(editor::RecordRef::Location(1), editor::Field::kLocName, std::string("gate")));
  auto* refresh = window_->findChild<QTimer*>("find_refresh");
  ASSERT_NE(refresh, nullptr);
  EXPECT_TRUE(refresh->isActive());
  EXPECT_TRUE(QTest::qWaitFor([refresh] { return !refresh->isActive(); }));
  EXPECT_EQ(Rows(results_).size(), 4);
  EXPECT_EQ(count_->text(), "4 matches");
  ASSERT_TRUE(document_.DeleteOutcome(0));
  EXPECT_EQ(count_->text(), "2 matches");

  // The kind filter.
  kind_->setCurrentText("Actors");
  EXPECT_EQ(Rows(results_), (QStringList{"Actor Blue / Alpha / Bot | Name"}));
  EXPECT_EQ(count_->text(), "1 match");

  // Enter in the box opens the first match: its node selected, its window open.
  QTest::keyClick(box_, Qt::Key_Return);
  EXPECT_EQ(document_.tree().selected(), document_.tree().ActorNode(0, 0, 1));
  EXPECT_EQ(window_->property_windows()->open_count(), 1);
  EXPECT_EQ(document_.tree().node(document_.tree().ActorNode(0, 0, 1)).key[0], 'P');

  box_->clear();
  EXPECT_TRUE(Rows(results_).isEmpty());
  EXPECT_EQ(count_->text(), "");
}

TEST_F(FindWindowTest, APlanHitOpensTheTeamWindowWithTheCaretOnItsLine) {
  Open();
  BuildWarehouse(document_);
  ASSERT_TRUE(
      document_.SetField(editor::RecordRef::Team(0, 0), editor::Field::kPlan,
                         std::string("insert at gate;\r\nwait until ready;\r\n\r\nattack towards tower;")));
  QTest::keyClicks(box_, "TOWARDS");
  ASSERT_EQ(Rows(results_), (QStringList{"Team Blue / Alpha | Plan line 4: attack towards tower;"}));
  QTest::keyClick(box_, Qt::Key_Down);
  QTest::keyClick(results_, Qt::Key_Return);
  const editor::TreeNode& team = document_.tree().node(document_.tree().TeamNode(0, 0));
  ASSERT_EQ(team.key[0], 'P');
  auto* window = window_->property_windows()->WindowInSlot(std::atoi(team.key.c_str() + 1));
  ASSERT_NE(window, nullptr);
  auto* plan = window->findChild<QPlainTextEdit*>("rtfb");
  ASSERT_NE(plan, nullptr);
  EXPECT_EQ(plan->textCursor().blockNumber(), 3);
  EXPECT_EQ(plan->textCursor().positionInBlock(), 0);
  EXPECT_EQ(plan->textCursor().block().text(), "attack towards tower;");
}

TEST_F(FindWindowTest, EveryMatchOfAFullMissionIsListedAndCounted) {
  Open();
  bench::FillToCapacity(document_);
  QTest::keyClicks(box_, "actor20");
  EXPECT_EQ(results_->model()->rowCount(), 2121);
  EXPECT_EQ(count_->text(), "2,121 matches");
  EXPECT_EQ(results_->model()->index(2120, 1).data().toString(), "force100 / team20 / actor20");
  box_->setText("a");
  EXPECT_GT(results_->model()->rowCount(), 44541);
  kind_->setCurrentText("Teams and plans");
  EXPECT_EQ(results_->model()->rowCount(), 2121 * 4);  // every team name and plan line holds an "a"
}

TEST_F(FindWindowTest, FindUsagesOnALocationOrAreaNodeListsWhatNamesIt) {
  Open();
  BuildWarehouse(document_);
  ASSERT_TRUE(document_.SetField(editor::RecordRef::Outcome(0), editor::Field::kOutcomeReason,
                                 std::string("occupied(yard) && timeout(300)")));
  window_->find_window()->hide();
  box_->setText("tower");

  // The right click makes the node current before its menu shows.
  document_.MakeCurrent(document_.tree().LocationNode(0));
  QAction* location_usages = window_->findChild<QAction*>("mn_loc_delete_usages");
  ASSERT_NE(location_usages, nullptr);
  EXPECT_TRUE(window_->menu("mn_loc_delete")->actions().contains(location_usages));
  location_usages->trigger();
  EXPECT_TRUE(window_->find_window()->isVisible());
  EXPECT_EQ(box_->text(), "");
  EXPECT_EQ(Rows(results_),
            (QStringList{"Area yard | Locations",
                         "Team Blue / Alpha | Plan line 1: insert at gate using \"column\";"}));
  EXPECT_EQ(count_->text(), "Used by 2 records: gate");

  // The list follows edits while it shows usages, and choosing a row opens the record.
  ASSERT_TRUE(
      document_.SetField(editor::RecordRef::Area(0), editor::Field::kAreaLocations, std::string("tower?")));
  auto* refresh = window_->findChild<QTimer*>("find_refresh");
  EXPECT_TRUE(QTest::qWaitFor([refresh] { return !refresh->isActive(); }));
  EXPECT_EQ(Rows(results_),
            (QStringList{"Team Blue / Alpha | Plan line 1: insert at gate using \"column\";"}));
  results_->setCurrentIndex(results_->model()->index(0, 0));
  emit results_->activated(results_->currentIndex());
  EXPECT_EQ(document_.tree().selected(), document_.tree().TeamNode(0, 0));

  document_.MakeCurrent(document_.tree().AreaNode(0));
  window_->findChild<QAction*>("mn_area_delete_usages")->trigger();
  EXPECT_EQ(Rows(results_),
            (QStringList{"Outcome Success: Well done | Trigger: occupied(yard) && timeout(300)"}));
  EXPECT_EQ(count_->text(), "Used by 1 record: yard");

  // Typing goes back to searching.
  QTest::keyClicks(box_, "yard");
  EXPECT_EQ(count_->text(), "2 matches");
}

}  // namespace
}  // namespace vyr::gui
