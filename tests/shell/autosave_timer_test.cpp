// Recovery copies from the main window: the interval chosen in the settings window is stored and takes
// effect, and a failed copy stays in the status bar until a later copy succeeds.
#include "editor/shell/autosave_timer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "editor/document/paths.h"
#include "editor/shell/main_window.h"
#include "editor/shell/settings_window.h"
#include "tests/shell/main_window_fixture.h"

namespace vyr::gui {
namespace {

using AutosaveTest = MainWindowFixture;

TEST_F(AutosaveTest, TheIntervalFromTheSettingsWindowIsStoredAndApplied) {
  store_.SaveSetting(editor::kSettingsSection, editor::kKeyAutosaveInterval, "45");
  MakeWindow();
  window_->StartUp("");
  EXPECT_EQ(window_->autosave()->seconds(), 45);

  // The window shows the stored interval; a new one is kept at once and runs when the window closes,
  // by Escape or the close box. Zero turns the copies off.
  int shown = 45;
  for (const int chosen : {300, 0}) {
    QTimer::singleShot(0, [shown, chosen] {
      auto* settings = qobject_cast<frm_aq2settings*>(QApplication::activeModalWidget());
      ASSERT_NE(settings, nullptr);
      auto* interval = settings->findChild<QSpinBox*>("autosave_interval");
      ASSERT_NE(interval, nullptr);
      EXPECT_EQ(interval->value(), shown);
      interval->setValue(chosen);
      if (chosen == 0)
        settings->close();
      else
        settings->reject();
    });
    window_->RunCommand("mn_options_aq2");
    EXPECT_EQ(store_.GetSetting(editor::kSettingsSection, editor::kKeyAutosaveInterval),
              std::to_string(chosen));
    EXPECT_EQ(window_->autosave()->seconds(), chosen);
    shown = chosen;
  }
  EXPECT_EQ(editor::LoadSettings(store_, "").autosave_seconds, 0);
}

TEST_F(AutosaveTest, AFailedCopyStaysVisibleUntilALaterCopySucceeds) {
  MakeWindow();
  window_->show();
  window_->StartUp("");
  auto* failed = window_->findChild<QLabel*>("autosave_failed");
  ASSERT_NE(failed, nullptr);
  EXPECT_TRUE(failed->isHidden());

  // A file where the recovery folder belongs stops every copy.
  const std::string blocker = editor::JoinPath(scratch_.str(), editor::kRecoveryFolderName);
  std::filesystem::remove_all(blocker);
  { std::ofstream(blocker) << "in the way"; }
  ASSERT_TRUE(document_.AddLocation("gate", "", 0, 0, 0));
  window_->autosave()->Tick();
  EXPECT_TRUE(failed->isVisible());
  EXPECT_TRUE(failed->toolTip().startsWith("No recovery copy could be written: "))
      << failed->toolTip().toStdString();
  EXPECT_FALSE(failed->pixmap().isNull());

  // Hovering the status bar or another message does not clear it; a tick with nothing new tries again.
  window_->statusBar()->showMessage("Something else", 10);
  window_->statusBar()->clearMessage();
  window_->autosave()->Tick();
  EXPECT_TRUE(failed->isVisible());

  std::filesystem::remove(blocker);
  window_->autosave()->Tick();
  EXPECT_TRUE(failed->isHidden());
  EXPECT_TRUE(window_->autosave()->session().has_copy());
}

}  // namespace
}  // namespace vyr::gui
