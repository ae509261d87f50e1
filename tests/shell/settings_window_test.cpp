#include "editor/shell/settings_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include "tests/shell/main_window_fixture.h"

namespace {

using vyr::editor::EditorSettings;
using vyr::editor::kSettingsSection;
using vyr::editor::MemorySettingsStore;
using vyr::gui::Control;

struct SettingsWindow : ::testing::Test {
  std::optional<std::string> Stored(const char* key) const { return store.GetSetting(kSettingsSection, key); }

  MemorySettingsStore store;
  vyr::editor::testing::ScriptedUi ui;
  int registrations = 0;
};

TEST_F(SettingsWindow, FirstStartShowsTheDefaultsAndWritesNothing) {
  EditorSettings settings = vyr::editor::LoadSettings(store, "/opt/vyr");
  frm_aq2settings window(store, settings, ui, [] {});
  EXPECT_EQ(window.windowTitle(), "ActionQuake2 Settings");
  EXPECT_TRUE(window.isModal());
  EXPECT_EQ(Control<QComboBox>(&window, "bholelimit")->currentText(), "40");
  EXPECT_EQ(Control<QComboBox>(&window, "splatlimit")->currentText(), "20");
  EXPECT_EQ(Control<QComboBox>(&window, "splatlimit")->count(), 6);
  for (const char* flag : {"Check1", "Check2", "Check3"})
    EXPECT_TRUE(Control<QCheckBox>(&window, flag)->isChecked()) << flag;
  EXPECT_EQ(Control<QLineEdit>(&window, "mcepath")->text(), "/opt/vyr");
  EXPECT_EQ(Control<QLineEdit>(&window, "txt_aq2path")->text(), "");
  EXPECT_EQ(Control<QSpinBox>(&window, "autosave_interval")->value(), 60);
  for (const char* key :
       {"AQ2Path", "bholelimit", "splatlimit", "EjectShells", "projectpath", "AutosaveInterval"})
    EXPECT_FALSE(Stored(key)) << key;
}

TEST_F(SettingsWindow, EditsAreSavedAsTheyHappen) {
  store.SaveSetting(kSettingsSection, "bholelimit", "abc");
  EditorSettings settings = vyr::editor::LoadSettings(store, "/opt/vyr");
  frm_aq2settings window(store, settings, ui, [this] { ++registrations; });
  EXPECT_EQ(Control<QComboBox>(&window, "bholelimit")->currentText(), "abc");

  Control<QComboBox>(&window, "splatlimit")->setCurrentIndex(4);
  EXPECT_EQ(Stored("splatlimit"), "10");
  EXPECT_EQ(settings.splatlimit, "10");

  auto* eject = Control<QCheckBox>(&window, "Check1");
  QTest::mouseClick(eject, Qt::LeftButton);
  EXPECT_EQ(Stored("EjectShells"), "0");
  EXPECT_FALSE(settings.eject_shells);
  QTest::mouseClick(eject, Qt::LeftButton);
  EXPECT_EQ(Stored("EjectShells"), "1");

  auto* folder = Control<QLineEdit>(&window, "mcepath");
  folder->clear();
  QTest::keyClicks(folder, "C:\\missions\\");
  EXPECT_EQ(Stored("projectpath"), "C:\\missions");
  EXPECT_EQ(settings.projectpath, "C:\\missions");
  QKeyEvent foreign(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUtf8("\u4E2D"));
  QApplication::sendEvent(folder, &foreign);  // a folder name is UTF-8, whatever the code page holds
  EXPECT_EQ(Stored("projectpath"), "C:\\missions\\\xE4\xB8\xAD");

  ui.Answer("/games/aq2/action/gamex86.dll");
  ui.Answer(std::nullopt);
  auto* browse = Control<QPushButton>(&window, "Command1");
  browse->click();
  EXPECT_EQ(Stored("AQ2Path"), "/games/aq2/action");
  EXPECT_EQ(ui.dialogs.at(0).request.title, "Locate your Action Quake2 folder");
  browse->click();  // cancelled
  EXPECT_EQ(Control<QLineEdit>(&window, "txt_aq2path")->text(), "/games/aq2/action");

  Control<QPushButton>(&window, "Command2")->click();
  EXPECT_EQ(registrations, 1);
  window.show();
  Control<QPushButton>(&window, "Command3")->click();
  EXPECT_FALSE(window.isVisible());
}

}  // namespace

TEST_F(SettingsWindow, TheAutosaveIntervalHasItsOwnLabelledBoxAndIsSavedAsItChanges) {
  EditorSettings settings = vyr::editor::LoadSettings(store, "/opt/vyr");
  frm_aq2settings window(store, settings, ui, [] {});
  auto* interval = Control<QSpinBox>(&window, "autosave_interval");
  ASSERT_NE(interval, nullptr);
  auto* group = Control<QGroupBox>(&window, "autosave_group");
  ASSERT_NE(group, nullptr);
  auto* form = qobject_cast<QFormLayout*>(group->layout());
  ASSERT_NE(form, nullptr);
  auto* label = qobject_cast<QLabel*>(form->labelForField(interval));
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->text(), "Copy unsaved work every:");

  interval->setValue(90);
  EXPECT_EQ(Stored("AutosaveInterval"), "90");
  EXPECT_EQ(settings.autosave_seconds, 90);
  interval->setValue(0);
  EXPECT_EQ(interval->text(), "Never");
  EXPECT_EQ(settings.autosave_seconds, 0);
}

TEST_F(SettingsWindow, EnterInABoxClosesTheWindowAndOpensNoDialog) {
  EditorSettings settings = vyr::editor::LoadSettings(store, "/opt/vyr");
  frm_aq2settings window(store, settings, ui, [this] { ++registrations; });
  window.show();
  QApplication::setActiveWindow(&window);
  for (const char* box : {"mcepath", "txt_aq2path"}) {
    window.show();
    QTest::keyClicks(Control<QLineEdit>(&window, box), "x");
    QTest::keyClick(Control<QLineEdit>(&window, box), Qt::Key_Return);
    EXPECT_FALSE(window.isVisible()) << box << ": Enter means Return";
  }
  EXPECT_TRUE(ui.dialogs.empty()) << "the folder dialog was opened";
  EXPECT_EQ(registrations, 0);
  EXPECT_EQ(Stored("AQ2Path"), "x");
}
