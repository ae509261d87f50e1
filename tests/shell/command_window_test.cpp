#include "editor/gui/properties/command_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "editor/gui/common/text_boxes.h"
#include "tests/shell/main_window_fixture.h"

namespace {

using vyr::gui::Control;
using vyr::gui::frm_command;

constexpr const char* kReady = "  wait until ready;\r\n";

class CommandWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(doc_.AddLocation("gate", "", 0, 0, 0));
    ASSERT_TRUE(doc_.AddLocation("tower", "", 0, 0, 0));
    ASSERT_TRUE(doc_.AddArea("yard", "", "", 0, ""));
    ASSERT_TRUE(doc_.AddArea("dock", "", "", 0, ""));
  }

  vyr::editor::MissionDocument doc_;
};

TEST_F(CommandWindow, EachPageBuildsItsStatement) {
  struct Case {
    int page;
    std::function<void(frm_command&)> set;
    std::string expected;
  };
  auto pick = [](const char* name, int index) {
    return [=](frm_command& w) { Control<QComboBox>(&w, name)->setCurrentIndex(index); };
  };
  auto type = [](const char* name, const char* text) {
    return [=](frm_command& w) { Control<QLineEdit>(&w, name)->setText(QString::fromUtf8(text)); };
  };
  auto none = [](frm_command&) {};
  const std::vector<Case> cases = {
      {0, none, std::string("  insert at gate using \"column\";\r\n") + kReady},
      {1, none, "  patrol;\r\n"},
      {1,
       [](frm_command& w) {
         auto* areas = Control<QListWidget>(&w, "patrol_list");
         areas->item(1)->setSelected(true);
         areas->item(0)->setSelected(true);
       },
       "  patrol (yard, dock);\r\n"},
      {2, pick("Snipe_to", 1), "  snipe from gate towards tower;\r\n"},
      {3, none, std::string("  attack towards gate;\r\n") + kReady},
      {4, pick("defend_pullback", 1), std::string("  defend towards gate from tower;\r\n") + kReady},
      {5, pick("advance_to", 1), std::string("  advance towards tower using \"column\";\r\n") + kReady},
      {6, none, std::string("  pullback to gate using \"column\";\r\n") + kReady},
      {7, none, std::string("  moveup to gate using \"column\";\r\n") + kReady},
      {8, type("spread_within", "30"), std::string("  spread towards gate within 30;\r\n") + kReady},
      {9, none, std::string("  assemble at gate using \"column\";\r\n") + kReady},
      {10, type("radio_message", "Caf\u00E9 "), "  radio \"Caf\xE9 \";\r\n"},
      {11, pick("code_color", 2), "  signal code \"Blue\";\r\n"},
      {12, none, "  wait 2;\r\n"},
      {12, pick("wait_type", 1), kReady},
      {12, pick("wait_type", 2), "  wait forever;\r\n"},
      {12,
       [](frm_command& w) {
         Control<QComboBox>(&w, "wait_type")->setCurrentIndex(3);
         Control<QComboBox>(&w, "wait_color")->setCurrentIndex(3);
       },
       "  wait until code(\"Yellow\");\r\n"},
      {13, none, "  on(contact)\r\n  {\r\n\r\n  };\r\n"},
      {13, pick("oncodecolor", 1), "  on(code \"Red\")\r\n  {\r\n\r\n  };\r\n"},
      {14, none, "  abort;\r\n"},
      {15, type("phasename", "two"), "  phase \"two\";\r\n"},
      {16, type("contname", ""), "  continue with phase \"\";\r\n"},
  };
  for (const Case& c : cases) {
    frm_command window(doc_, nullptr);
    window.ShowPage(c.page);
    c.set(window);
    ASSERT_TRUE(window.BuildCommand());
    EXPECT_EQ(window.CommandText(), c.expected) << "page " << c.page;
    ASSERT_TRUE(window.BuildCommand());  // building again gives the same text
    EXPECT_EQ(window.CommandText(), c.expected) << "page " << c.page;
  }
}

TEST_F(CommandWindow, WaitTypeEnablesItsFrameAndNoTypeBuildsNothing) {
  frm_command window(doc_, nullptr);
  window.ShowPage(12);
  auto enabled = [&window](const char* name) { return Control<QWidget>(&window, name)->isEnabled(); };
  EXPECT_TRUE(enabled("time_delay") && enabled("Label23") && enabled("txt_timedelay"));
  EXPECT_FALSE(enabled("wait_code") || enabled("wait_color"));

  auto* wait_type = Control<QComboBox>(&window, "wait_type");
  wait_type->setCurrentIndex(3);
  EXPECT_FALSE(enabled("time_delay") || enabled("Label23") || enabled("txt_timedelay"));
  EXPECT_TRUE(enabled("wait_code") && enabled("wait_color"));
  wait_type->setCurrentIndex(2);
  EXPECT_FALSE(enabled("time_delay") || enabled("wait_code"));

  window.ShowPage(14);
  ASSERT_TRUE(window.BuildCommand());
  window.ShowPage(12);
  wait_type->setCurrentIndex(-1);
  EXPECT_FALSE(window.BuildCommand());
  EXPECT_EQ(window.CommandText(), "  abort;\r\n");
}

TEST_F(CommandWindow, InsertPutsTheStatementAtThePlanCaretAndCloses) {
  QPlainTextEdit plan;
  plan.setPlainText("  phase \"a\";\n");
  QTextCursor cursor = plan.textCursor();
  cursor.setPosition(0);
  plan.setTextCursor(cursor);
  frm_command window(doc_, [&plan](const QString& text) { vyr::gui::InsertAtCaret(plan, text); });
  window.ShowPage(14);
  window.show();
  Control<QPushButton>(&window, "Command3")->click();
  EXPECT_EQ(plan.toPlainText(), "  abort;\n  phase \"a\";\n");
  EXPECT_EQ(plan.textCursor().position(), 9);
  EXPECT_FALSE(window.isVisible());
}

TEST_F(CommandWindow, CopyAndPreviewShowTheStatement) {
  frm_command window(doc_, nullptr);
  window.ShowPage(10);
  Control<QLineEdit>(&window, "radio_message")->setText("go");
  QTimer::singleShot(0, [] {
    auto* preview = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->windowTitle(), "Generated code");
    EXPECT_EQ(preview->findChild<QLabel*>("Label1")->text(), "Copy && paste this code:");
    EXPECT_EQ(preview->findChild<QPlainTextEdit*>("Text1")->toPlainText(), "  radio \"go\";\n");
    preview->reject();
  });
  Control<QPushButton>(&window, "Command1")->click();

  window.ShowPage(14);
  Control<QPushButton>(&window, "Command2")->click();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "  abort;\r\n");
}

}  // namespace
