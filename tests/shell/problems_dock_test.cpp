// The problem list and the plan box's marks, wired into the main window: a planted fault shows on its
// record, Enter takes the author to the plan's line, and fixing the fault clears it.
#include "editor/shell/problems_dock.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QLabel>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "editor/gui/common/qt_user_interface.h"
#include "editor/gui/map_view/map_view.h"
#include "editor/gui/properties/force_windows.h"
#include "editor/gui/properties/plan_completer.h"
#include "editor/gui/properties/plan_highlighter.h"
#include "editor/gui/properties/property_window.h"
#include "editor/gui/properties/property_windows.h"
#include "tests/shell/main_window_fixture.h"

namespace vyr::gui {
namespace {

using editor::Field;
using editor::RecordRef;

class ProblemsDockTest : public MainWindowFixture {
 protected:
  ProblemsDockTest() {
    editor::testing::BuildWarehouse(document_);
    EXPECT_TRUE(
        document_.SetField(RecordRef::Team(0, 0), Field::kPlan,
                           std::string("  insert at gate using \"column\";\r\n  attack towards Nowhere;")));
    MakeWindow();
    dock_ = window_->problems_dock();
    list_ = dock_->findChild<QTreeWidget*>("problem_list");
  }

  QString Count() const { return dock_->count_label()->text(); }
  // The generated script's line that the team's plan line `text_line` became; 0 when none did.
  int ScriptLineOf(int text_line) const {
    const editor::GeneratedScript script = editor::GenerateScriptWithLines(document_);
    for (std::size_t i = 0; i < script.lines.size(); ++i)
      if (script.lines[i].record == RecordRef::Team(0, 0) && script.lines[i].text_line == text_line)
        return static_cast<int>(i) + 1;
    return 0;
  }

  ProblemsDock* dock_ = nullptr;
  QTreeWidget* list_ = nullptr;
};

TEST_F(ProblemsDockTest, APlantedFaultIsListedAndFixingItClearsIt) {
  ASSERT_NE(list_, nullptr);
  EXPECT_TRUE(dock_->isHidden());
  window_->RunCommand("mn_view_problems");
  EXPECT_FALSE(dock_->isHidden());
  EXPECT_TRUE(Action("mn_view_problems")->isChecked());

  ASSERT_EQ(list_->topLevelItemCount(), 1);
  const QTreeWidgetItem* row = list_->topLevelItem(0);
  EXPECT_EQ(row->text(1), "Forces / Blue / Alpha");
  EXPECT_EQ(row->text(2), "Plan, line 2");
  EXPECT_EQ(row->text(3), "no location named \"Nowhere\"");
  EXPECT_EQ(Count(), "1 error, 0 warnings");

  // The list waits for a quiet moment instead of checking on every keystroke.
  ASSERT_TRUE(
      document_.SetField(RecordRef::Team(0, 0), Field::kPlan,
                         std::string("  insert at gate using \"column\";\r\n  attack towards tower;")));
  EXPECT_EQ(list_->topLevelItemCount(), 1);
  QTest::qWait(ProblemsDock::kRefreshDelayMs + 200);
  EXPECT_EQ(list_->topLevelItemCount(), 0);
  EXPECT_EQ(Count(), "No problems");

  // A new mistake elsewhere shows again, with a warning beside it.
  ASSERT_TRUE(document_.SetField(RecordRef::Area(0), Field::kAreaStyle, std::string("open?roof?")));
  ASSERT_TRUE(document_.AddLocation("spare", "", 0, 0, 0));
  QTest::qWait(ProblemsDock::kRefreshDelayMs + 200);
  ASSERT_EQ(list_->topLevelItemCount(), 2);
  EXPECT_EQ(list_->topLevelItem(0)->text(1), "Areas / yard");
  EXPECT_EQ(Count(), "1 error, 1 warning");
  window_->RunCommand("mn_view_problems");
  EXPECT_TRUE(dock_->isHidden());
}

TEST_F(ProblemsDockTest, TheLibraryIsAskedOnlyWhileTheListIsShownAndTheRulesFindNothing) {
  ASSERT_TRUE(document_.SetField(
      RecordRef::Team(0, 0), Field::kPlan,
      std::string("  insert at gate using \"column\";\r\n  wait until\r\n  ready ready;")));
  dock_->Refresh();
  EXPECT_TRUE(tools_.parsed.empty()) << "hidden: the rules alone";
  EXPECT_EQ(Count(), "No problems");

  tools_.outcome = {true, 2, "", {{ScriptLineOf(3), "ready", "parse error"}}};
  window_->show();
  window_->RunCommand("mn_view_problems");
  ASSERT_EQ(tools_.parsed.size(), 1u);
  EXPECT_EQ(editor::testing::Slurp(tools_.parsed[0]), editor::GenerateScriptWithLines(document_).text);
  ASSERT_EQ(list_->topLevelItemCount(), 1);
  EXPECT_EQ(list_->topLevelItem(0)->text(2), "Plan, line 3");
  EXPECT_EQ(list_->topLevelItem(0)->text(3), "the mission script language does not take \"ready\" here");
  EXPECT_EQ(Count(), "1 error, 0 warnings");
}

TEST_F(ProblemsDockTest, EnterOpensTheTeamWindowWithTheCaretOnThePlansLine) {
  window_->RunCommand("mn_view_problems");
  list_->setCurrentItem(list_->topLevelItem(0));
  QTest::keyClick(list_, Qt::Key_Return);
  QTest::qWait(50);  // the window's first check runs once it has loaded
  auto* team = window_->mdi_area()->findChild<frm_team_props*>("frm_team_props");
  ASSERT_NE(team, nullptr);
  auto* plan = team->findChild<QPlainTextEdit*>("rtfb");
  EXPECT_EQ(plan->textCursor().blockNumber(), 1);
  EXPECT_EQ(plan->textCursor().positionInBlock(), 0);

  // The plan box underlines that line, with the message as tooltip.
  auto* marks = team->findChild<PlanHighlighter*>("plan_highlighter");
  ASSERT_NE(marks, nullptr);
  EXPECT_EQ(marks->problems(), (std::map<int, QString>{{2, "no location named \"Nowhere\""}}));
  const QTextBlock second = plan->document()->findBlockByNumber(1);
  ASSERT_FALSE(second.layout()->formats().isEmpty());
  EXPECT_EQ(second.layout()->formats().back().format.underlineStyle(), QTextCharFormat::WaveUnderline);

  // Fixing it in the box clears the mark a moment later; the colours never touch the stored text.
  QTextCursor caret = plan->textCursor();
  caret.movePosition(QTextCursor::EndOfBlock);
  caret.movePosition(QTextCursor::Left, QTextCursor::MoveAnchor, 1);  // before the ";"
  caret.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, 7);
  plan->setTextCursor(caret);
  QTest::keyClicks(plan, "gate");
  EXPECT_EQ(document_.team(0, 0).plan, "  insert at gate using \"column\";\r\n  attack towards gate;");
  QTest::qWait(frm_team_props::kCheckDelayMs + 200);
  EXPECT_TRUE(marks->problems().empty());
  EXPECT_EQ(document_.team(0, 0).plan, "  insert at gate using \"column\";\r\n  attack towards gate;");
}

TEST_F(ProblemsDockTest, AFieldWithAProblemIsFramedWithItsMessage) {
  ASSERT_TRUE(document_.SetField(RecordRef::Area(0), Field::kAreaStyle, std::string("open?roof?")));
  window_->property_windows()->Open(document_.tree().AreaNode(0));
  auto* area = window_->mdi_area()->findChild<PropertyWindow*>("frm_area_props");
  ASSERT_NE(area, nullptr);
  QTest::qWait(50);  // the first check runs once the window has loaded
  auto* styles = area->findChild<QWidget*>("list_area_style");
  ASSERT_NE(styles, nullptr);
  EXPECT_EQ(styles->toolTip(), "a mission script takes one style; 2 are selected");
  EXPECT_TRUE(styles->styleSheet().contains("#c00000"));
  EXPECT_TRUE(area->findChild<QWidget*>("area_name")->toolTip().isEmpty());

  ASSERT_TRUE(document_.SetField(RecordRef::Area(0), Field::kAreaStyle, std::string("roof?")));
  area->CheckNow();
  EXPECT_TRUE(styles->toolTip().isEmpty());
  EXPECT_TRUE(styles->styleSheet().isEmpty());
}

TEST_F(ProblemsDockTest, CompletionOffersTheNamesThatFitTheCaret) {
  window_->show();
  window_->property_windows()->Open(document_.tree().TeamNode(0, 0));
  auto* team = window_->mdi_area()->findChild<frm_team_props*>("frm_team_props");
  ASSERT_NE(team, nullptr);
  auto* plan = team->findChild<QPlainTextEdit*>("rtfb");
  auto* completion = team->findChild<PlanCompleter*>("plan_completer");
  ASSERT_NE(completion, nullptr);
  QApplication::setActiveWindow(window_.get());
  plan->setFocus();
  plan->moveCursor(QTextCursor::End);
  QTest::keyClick(plan, Qt::Key_Return);
  QTest::keyClicks(plan, "  observe ");
  EXPECT_EQ(completion->Candidates(), (QStringList{"gate", "tower"}));  // only locations follow "observe"

  // Two letters offer what they start; Enter takes it instead of breaking the line.
  QTest::keyClicks(plan, "to");
  ASSERT_TRUE(completion->completer()->popup()->isVisible());
  EXPECT_EQ(completion->completer()->currentCompletion(), "tower");
  QTest::keyClick(completion->completer()->popup(), Qt::Key_Return);
  EXPECT_FALSE(completion->completer()->popup()->isVisible());
  EXPECT_EQ(document_.team(0, 0).plan,
            "  insert at gate using \"column\";\r\n  attack towards Nowhere;\r\n  observe tower");

  // Inside a patrol's list only areas fit; elsewhere the statement words and every name.
  QTest::keyClicks(plan, ";");
  QTest::keyClick(plan, Qt::Key_Return);
  QTest::keyClicks(plan, "  patrol (");
  EXPECT_EQ(completion->Candidates(), QStringList{"yard"});
  QTest::keyClicks(plan, "yard, tower);");
  QTest::keyClick(plan, Qt::Key_Return);
  const QStringList anything = completion->Candidates();
  EXPECT_TRUE(anything.contains("patrol") && anything.contains("gate") && anything.contains("Alpha"));
  // Ctrl+Space asks without a prefix; Escape closes the list and leaves the text alone.
  QTest::keyClick(plan, Qt::Key_Space, Qt::ControlModifier);
  EXPECT_TRUE(completion->completer()->popup()->isVisible());
  QTest::keyClick(completion->completer()->popup(), Qt::Key_Escape);
  EXPECT_FALSE(completion->completer()->popup()->isVisible());
  EXPECT_EQ(document_.team(0, 0).plan,
            "  insert at gate using \"column\";\r\n  attack towards Nowhere;\r\n  observe tower;\r\n"
            "  patrol (yard, tower);\r\n");
}

TEST_F(ProblemsDockTest, TheErrorCheckerNamesTheRecordBeforeTheScriptsLine) {
  // The library's message names the script line that the plan's second line became.
  const int line = ScriptLineOf(2);
  ASSERT_GT(line, 0);
  tools_.outcome = {true, 2, "", {{line, "Nowhere", "use of undeclared location"}}};
  window_->RunCommand("mn_project_errorchecker");
  ASSERT_FALSE(ui_.messages.empty());
  EXPECT_EQ(ui_.messages.back().title, "Errors found");
  EXPECT_EQ(ui_.messages.back().text,
            "Build unsuccessful. Check the mission for errors.\n\n"
            "Team Alpha, plan line 2: no location named \"Nowhere\"\n\n"
            "In the generated script: Line " +
                std::to_string(line) + ", near 'Nowhere': use of undeclared location");
}

// The error checker's message opens the list with its extra button; closing the message leaves it shut.
TEST_F(ProblemsDockTest, AFailedCheckOpensTheListFromItsMessage) {
  tools_.outcome = {true, 2, "", {{1, "x", "parse error"}}};
  window_->RunCommand("mn_project_errorchecker");
  ASSERT_FALSE(ui_.messages.empty());
  EXPECT_EQ(ui_.messages.back().action, "Show problems");
  EXPECT_TRUE(dock_->isHidden());

  ui_.press_action = true;
  window_->RunCommand("mn_project_errorchecker");
  EXPECT_EQ(ui_.messages.back().title, "Errors found");
  EXPECT_FALSE(dock_->isHidden());
  EXPECT_TRUE(Action("mn_view_problems")->isChecked());
  ASSERT_EQ(list_->topLevelItemCount(), 1);
  EXPECT_EQ(list_->topLevelItem(0)->text(3), "no location named \"Nowhere\"");

  // Asked again with the list already shown, it stays shown.
  window_->RunCommand("mn_project_errorchecker");
  EXPECT_FALSE(dock_->isHidden());
}

// The map and the list read a plan once after it changes, whichever reads it first.
TEST_F(ProblemsDockTest, TheMapAndTheListShareEachPlansScan) {
  window_->RunCommand("mn_view_problems");
  MapView* map = window_->findChild<MapView*>();
  ASSERT_NE(map, nullptr);
  const editor::PlanScans& scans = *dock_->plan_scans();
  const long before = scans.scan_count();
  ASSERT_EQ(map->map().warnings.size(), 1u);
  EXPECT_EQ(scans.scan_count(), before) << "the map rescanned a plan the check had read";

  ASSERT_TRUE(document_.SetField(RecordRef::Team(0, 0), Field::kPlan,
                                 std::string("insert at gate;\nobserve Elsewhere;\nobserve Nowhere;")));
  ASSERT_EQ(map->map().warnings.size(), 2u);
  dock_->Refresh();
  EXPECT_EQ(scans.scan_count(), before + 1);
  EXPECT_EQ(dock_->problems().size(), 2u);
}

// The real message: its extra button answers true; Escape and the close box answer false.
TEST(QtMessageWithAction, OnlyTheExtraButtonChoosesIt) {
  QtUserInterface ui(nullptr);
  const auto press = [](const char* button) {
    QTimer::singleShot(0, [button] {
      QWidget* box = QApplication::activeModalWidget();
      ASSERT_NE(box, nullptr);
      ASSERT_EQ(box->objectName(), "message_with_action");
      if (QString(button) == "escape") {
        QTest::keyClick(box, Qt::Key_Escape);
      } else if (QString(button) == "close") {
        box->close();
      } else {
        auto* clicked = box->findChild<QPushButton*>(button);
        ASSERT_NE(clicked, nullptr);
        EXPECT_EQ(clicked->text(), "Show problems");
        clicked->click();
      }
    });
  };
  const std::pair<const char*, bool> presses[] = {
      {"message_action", true}, {"escape", false}, {"close", false}};
  for (const auto& [button, chosen] : presses) {
    press(button);
    EXPECT_EQ(ui.ShowMessageWithAction("Errors found", "Build unsuccessful.", editor::MessageIcon::kCritical,
                                       "Show problems"),
              chosen)
        << button;
  }
}

}  // namespace
}  // namespace vyr::gui
