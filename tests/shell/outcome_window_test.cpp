#include "editor/gui/properties/outcome_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "tests/shell/main_window_fixture.h"

namespace {

using vyr::editor::MissionDocument;
using vyr::gui::Control;
using vyr::gui::frm_outcome_props;

class OutcomeWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    vyr::editor::testing::BuildWarehouse(doc_);
    ASSERT_TRUE(doc_.AddTeam(0, "Support", "", ""));
  }

  std::unique_ptr<frm_outcome_props> Open(int outcome = 0) {
    auto window = std::make_unique<frm_outcome_props>(doc_, doc_.tree().OutcomeNode(outcome));
    window->Load();
    return window;
  }

  // Clicks `button`; `answer` runs on the modal dialog it opens.
  static void ClickWithDialog(QPushButton* button, std::function<void(QDialog&)> answer) {
    QTimer::singleShot(0, [answer] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      answer(*dialog);
      if (dialog->isVisible()) dialog->reject();
    });
    button->click();
  }

  const vyr::editor::OutcomeRecord& outcome() const { return doc_.outcome(0); }

  MissionDocument doc_;
};

TEST_F(OutcomeWindow, InsertsAtTheCaretBeforeAnySelection) {
  auto window = Open();
  auto* reason = Control<QPlainTextEdit>(window.get(), "outcome_reason");
  auto caret_at = [reason](int position, int anchor = -1) {
    QTextCursor cursor = reason->textCursor();
    cursor.setPosition(anchor < 0 ? position : anchor);
    if (anchor >= 0) cursor.setPosition(position, QTextCursor::KeepAnchor);
    reason->setTextCursor(cursor);
  };

  caret_at(0);
  Control<QPushButton>(window.get(), "Command7")->click();
  EXPECT_EQ(outcome().outcome_reason, "! timeout(300)");
  EXPECT_EQ(reason->textCursor().position(), 2);

  caret_at(static_cast<int>(reason->toPlainText().size()));
  Control<QPushButton>(window.get(), "Command5")->click();
  EXPECT_EQ(outcome().outcome_reason, "! timeout(300)&& ");

  caret_at(13, 2);  // "timeout(300)" selected, caret at its end
  window->InsertAtCaret("(");
  EXPECT_EQ(outcome().outcome_reason, "! (timeout(300)&& ");
  EXPECT_EQ(reason->textCursor().position(), 3);
  EXPECT_FALSE(reason->textCursor().hasSelection());
}

TEST_F(OutcomeWindow, NextMissionsRebuildTheField) {
  // the last name lacks its "?"
  ASSERT_TRUE(doc_.SetField(vyr::editor::RecordRef::Outcome(0), vyr::editor::Field::kNextMission,
                            std::string("m2?m3")));
  auto window = Open();
  auto* list = Control<QListWidget>(window.get(), "nextmission");
  ASSERT_EQ(list->count(), 2);
  EXPECT_EQ(list->item(1)->text(), "m3");

  Control<QPushButton>(window.get(), "Command4")
      ->click();  // nothing selected: the field is rewritten as it stands
  EXPECT_EQ(outcome().nextmission, "m2?m3?");

  Control<QPushButton>(window.get(), "Command2")->click();  // an empty box adds no blank row
  EXPECT_EQ(list->count(), 2);
  EXPECT_EQ(outcome().nextmission, "m2?m3?");

  QTest::keyClicks(Control<QLineEdit>(window.get(), "outcome_next"), "m4");
  Control<QPushButton>(window.get(), "Command2")->click();
  list->item(0)->setSelected(true);
  Control<QPushButton>(window.get(), "Command4")->click();
  EXPECT_EQ(outcome().nextmission, "m3?m4?");
}

TEST_F(OutcomeWindow, ActivationsKeepOneForceEntryPerForce) {
  ASSERT_TRUE(doc_.AddForce("Red", ""));
  ASSERT_TRUE(doc_.AddOutcome("Nobody", "", "", "failure", ""));
  auto first = Open(0);
  auto second = Open(1);
  for (int round = 0; round < 2; ++round) {
    first->Activate();
    second->Activate();
  }
  auto* forces = Control<QComboBox>(first.get(), "combo_outcome_force");
  ASSERT_EQ(forces->count(), 2);
  EXPECT_EQ(forces->currentIndex(), 0);
  auto* other = Control<QComboBox>(second.get(), "combo_outcome_force");
  EXPECT_EQ(other->count(), 2);
  EXPECT_EQ(other->currentIndex(), -1);  // no such force: nothing selected, the field kept
  EXPECT_EQ(other->currentText(), "Nobody");
  EXPECT_EQ(doc_.outcome(1).outcome_force, "Nobody");

  forces->setCurrentIndex(1);
  EXPECT_EQ(outcome().outcome_force, "Red");
}

TEST_F(OutcomeWindow, ConditionDialogsInsertOnlyWhatOkConfirms) {
  ASSERT_TRUE(
      doc_.SetField(vyr::editor::RecordRef::Outcome(0), vyr::editor::Field::kOutcomeReason, std::string()));
  auto window = Open();
  auto* timeout = Control<QPushButton>(window.get(), "Command1");
  auto* elimination = Control<QPushButton>(window.get(), "Command3");

  ClickWithDialog(timeout, [](QDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), "Mission outcome properties");
    QTest::keyClicks(dialog.findChild<QLineEdit*>("timeout"), "300");
    dialog.findChild<QPushButton*>("Command1")->click();
  });
  EXPECT_EQ(outcome().outcome_reason, "timeout(300) ");

  ClickWithDialog(timeout, [](QDialog& dialog) { dialog.findChild<QPushButton*>("Command1")->click(); });
  ClickWithDialog(timeout, [](QDialog& dialog) {
    QTest::keyClicks(dialog.findChild<QLineEdit*>("timeout"), "5");
    dialog.reject();  // the close box
  });
  ClickWithDialog(elimination, [](QDialog&) {});
  EXPECT_EQ(outcome().outcome_reason, "timeout(300) ");

  ClickWithDialog(elimination, [](QDialog& dialog) {
    auto* who = dialog.findChild<QComboBox*>("el_who");
    EXPECT_EQ(who->currentText(), "Blue");
    dialog.findChild<QComboBox*>("el_type")->setCurrentIndex(1);
    ASSERT_EQ(who->count(), 2);
    who->setCurrentIndex(1);
    dialog.findChild<QPushButton*>("Command1")->click();
  });
  EXPECT_EQ(outcome().outcome_reason, "timeout(300) eliminated(\"Support\") ");
}

TEST_F(OutcomeWindow, EliminationWithNoForcesNamesNobody) {
  doc_.ClearForces();
  ASSERT_TRUE(
      doc_.SetField(vyr::editor::RecordRef::Outcome(0), vyr::editor::Field::kOutcomeReason, std::string()));
  auto window = Open();
  ClickWithDialog(Control<QPushButton>(window.get(), "Command3"), [](QDialog& dialog) {
    EXPECT_EQ(dialog.findChild<QComboBox*>("el_who")->count(), 0);
    dialog.findChild<QPushButton*>("Command1")->click();
  });
  EXPECT_EQ(outcome().outcome_reason, "eliminated(\"\") ");
}

TEST_F(OutcomeWindow, TriggerRefusesForeignCharactersAndLineBreaks) {
  auto window = Open();
  auto* reason = Control<QPlainTextEdit>(window.get(), "outcome_reason");
  auto* hint = Control<QLabel>(window.get(), "refusal_hint");
  reason->moveCursor(QTextCursor::End);
  reason->insertPlainText(QString::fromUtf8(" \u4E2D\u00E9"));
  EXPECT_EQ(outcome().outcome_reason, "timeout(300) \xE9");
  EXPECT_FALSE(hint->isHidden());
  EXPECT_TRUE(hint->text().contains(QString::fromUtf8("\u4E2D")));
  EXPECT_EQ(reason->textCursor().position(), 14);

  QTest::keyClick(reason, Qt::Key_Return);
  EXPECT_EQ(outcome().outcome_reason, "timeout(300) \xE9");

  Control<QCheckBox>(window.get(), "Check1")->setChecked(true);
  EXPECT_FALSE(window->findChild<QWidget*>("instructions")->isHidden());
  Control<QCheckBox>(window.get(), "Check1")->setChecked(false);
  EXPECT_TRUE(window->findChild<QWidget*>("instructions")->isHidden());
}

}  // namespace
