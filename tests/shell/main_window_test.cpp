// The main window's wiring: start-up state, commands by name, paste enabling, context menus, the
// recent-files list, the start-up argument and the closing question.
#include "editor/shell/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <array>
#include <filesystem>

#include "editor/gui/properties/property_windows.h"
#include "editor/launch/recovery.h"
#include "editor/shell/autosave_timer.h"
#include "editor/shell/project_window.h"
#include "editor/shell/recent_files_menu.h"
#include "tests/launch/launch_test_support.h"
#include "tests/shell/main_window_fixture.h"

namespace vyr::gui {
namespace {

using namespace editor::testing;

class MainWindowTest : public MainWindowFixture {
 protected:
  MainWindowTest() { MakeWindow(); }
  bool Enabled(const char* name) const { return Action(name)->isEnabled(); }
  void Click(editor::NodeId node) { (void)OpenWindow(node); }
  void Select(editor::NodeId node) { document_.MakeCurrent(node); }
};

TEST_F(MainWindowTest, StartsWithEditButtonsOffHiddenMenusHiddenAndTheStandardKeys) {
  window_->StartUp("");
  EXPECT_EQ(library_registrations_, 1);
  EXPECT_EQ(window_->windowTitle(), "Marrowdell's VYR Mission Editor - [unnamed][*]");
  for (const char* name : {"copy", "cut", "paste", "mn_force_paste", "mn_team_paste", "mn_edit_search"})
    EXPECT_FALSE(Enabled(name)) << name;
  for (const char* name : {"open", "save", "create", "play", "mn_file_save", "mn_plan_wait"})
    EXPECT_TRUE(Enabled(name)) << name;
  EXPECT_TRUE(Action("mn_edit_menu")->isVisible());  // it holds Undo, Redo and Find
  EXPECT_TRUE(Action("mn_edit_find")->isVisible());
  EXPECT_FALSE(Action("mn_edit_search")->isVisible());
  const std::pair<const char*, QKeySequence> keys[] = {{"mn_edit_find", QKeySequence::Find},
                                                       {"mn_file_new", QKeySequence("Ctrl+N")},
                                                       {"mn_file_open", QKeySequence("Ctrl+O")},
                                                       {"mn_file_save", QKeySequence("Ctrl+S")},
                                                       {"mn_file_save_as", QKeySequence("Ctrl+Shift+S")},
                                                       {"mn_file_quit", QKeySequence("Ctrl+Q")}};
  for (const auto& [name, key] : keys)
    EXPECT_TRUE(Action(name)->shortcuts().contains(key)) << name;
  EXPECT_FALSE(Action("mn_window_menu")->isVisible());
  EXPECT_TRUE(Action("mn_project_menu")->isVisible());
  EXPECT_FALSE(Action("mn_options_ide")->isVisible());
  for (int i = 0; i <= 5; ++i)
    EXPECT_FALSE(Action(QString("mnuRecentFile(%1)").arg(i).toUtf8())->isVisible());
}

TEST_F(MainWindowTest, CopyingEnablesTheMatchingPasteAndNodeClicksSetTheToolbar) {
  window_->StartUp("");
  ASSERT_TRUE(window_->RunCommand("mn_force_Add"));
  const auto force = document_.tree().ForceNode(0);
  Select(force);
  window_->RunCommand("mn_team_add");
  Select(document_.tree().TeamNode(0, 0));
  window_->RunCommand("mn_addnpc_npc");
  ASSERT_EQ(document_.actor_count(0, 0), 1);

  Click(document_.tree().ActorNode(0, 0, 0));
  EXPECT_TRUE(Enabled("copy"));
  EXPECT_FALSE(Enabled("paste"));
  window_->RunCommand("copy");
  EXPECT_TRUE(Enabled("mn_team_paste"));
  EXPECT_FALSE(Enabled("mn_force_paste"));

  Click(document_.tree().TeamNode(0, 0));
  EXPECT_TRUE(Enabled("paste"));
  window_->RunCommand("paste");
  EXPECT_EQ(document_.actor_count(0, 0), 2);

  window_->RunCommand("mn_team_copy");
  EXPECT_FALSE(Enabled("mn_team_paste"));
  EXPECT_TRUE(Enabled("mn_force_paste"));
  Click(document_.tree().TeamNode(0, 0));  // the clipboard holds a team; a team node wants an actor
  EXPECT_FALSE(Enabled("paste"));
  Click(force);
  EXPECT_TRUE(Enabled("paste"));
  EXPECT_FALSE(Enabled("copy"));
  window_->RunCommand("paste");
  EXPECT_EQ(document_.team_count(0), 2);
  EXPECT_EQ(document_.actor_count(0, 1), 2);

  // A category node leaves the toolbar as it was; the root turns it off.
  Click(document_.tree().category(editor::Section::kForces));
  EXPECT_TRUE(Enabled("paste"));
  Click(document_.tree().root());
  EXPECT_FALSE(Enabled("paste"));
}

TEST_F(MainWindowTest, ContextMenuFollowsTheNodeKindAndDeleteKeyDeletes) {
  window_->StartUp("");
  window_->RunCommand("loc_add");
  window_->RunCommand("loc_add");
  window_->RunCommand("mn_outcome_failure");
  EXPECT_EQ(document_.outcome(0).outcome_type, "failure");

  auto* view = window_->project_window();
  emit view->contextMenuRequested(document_.tree().root(), QPoint(10, 10));
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);

  const std::pair<editor::NodeId, const char*> menus[] = {
      {document_.tree().OutcomeNode(0), "mn_outcome_delete"},
      {document_.tree().category(editor::Section::kLocations), "loc"}};
  for (const auto& [node, name] : menus) {
    emit view->contextMenuRequested(node, QPoint(10, 10));
    QMenu* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(popup, nullptr) << name;
    EXPECT_EQ(popup->objectName(), name);
    popup->close();
  }

  const auto first = document_.tree().LocationNode(0);
  Select(first);
  emit view->deleteRequested(first);
  EXPECT_EQ(document_.location_count(), 1);
}

TEST_F(MainWindowTest, PlanItemsOpenTheBuilderOnTheirPage) {
  std::vector<int> pages;
  window_->SetPlanBuilderOpener([&pages](int page) { pages.push_back(page); });
  for (const char* item :
       {"mn_plan_insert", "mn_plan_wait", "mn_plan_oncontact", "mn_plan_oncode", "mn_plan_continue"})
    Action(item)->trigger();
  EXPECT_EQ(pages, (std::vector<int>{0, 12, 13, 13, 16}));
}

TEST_F(MainWindowTest, ANodeClickOpensItsWindowAndThePlanMenuInsertsIntoIt) {
  window_->StartUp("");
  window_->RunCommand("loc_add");
  window_->RunCommand("mn_force_Add");
  Select(document_.tree().ForceNode(0));
  window_->RunCommand("mn_team_add");
  Click(document_.tree().TeamNode(0, 0));
  ASSERT_EQ(window_->property_windows()->open_count(), 1);

  QTimer::singleShot(0, [] {
    QWidget* builder = QApplication::activeModalWidget();
    ASSERT_NE(builder, nullptr);
    EXPECT_EQ(builder->objectName(), "frm_command");
    builder->findChild<QPushButton*>("Command3")->click();
  });
  Action("mn_plan_attack")->trigger();
  EXPECT_EQ(document_.team(0, 0).plan, "  attack towards New location;\r\n  wait until ready;\r\n");
}

TEST(RecentFilesMenuTest, KeepsFourNewestFirstAndAListedPathInPlace) {
  editor::MemorySettingsStore store;
  QMenu menu;
  std::array<QAction*, RecentFilesMenu::kEntryCount> entries{};
  for (auto& entry : entries) {
    entry = menu.addAction("RecentFile");
    entry->setVisible(false);
  }
  RecentFilesMenu recent(store, entries);
  recent.LoadRecentMenu();
  EXPECT_FALSE(entries[0]->isVisible());  // nothing stored: the separator stays hidden too

  for (const char* path : {"/m/a.cme", "/m/b.cme", "/m/c.cme", "/m/d.cme", "/m/e&f.cme"})
    recent.AddToRecent(path);
  recent.AddToRecent("/m/c.cme");
  EXPECT_TRUE(entries[0]->isVisible());
  EXPECT_EQ(recent.PathOf(entries[1]), "/m/e&f.cme");
  EXPECT_EQ(entries[1]->text(), "/m/e&&f.cme");
  EXPECT_EQ(recent.PathOf(entries[2]), "/m/d.cme");
  EXPECT_EQ(recent.PathOf(entries[4]), "/m/b.cme");
  EXPECT_FALSE(entries[5]->isVisible());
  EXPECT_TRUE(recent.IsInRecentMenu("/m/c.cme"));
  EXPECT_FALSE(recent.IsInRecentMenu("/m/a.cme"));
  EXPECT_EQ(store.GetSetting("Recent", "RecentFile5"), std::nullopt);
}

TEST_F(MainWindowTest, AVanishedRecentFileIsNotOpenedAndMayBeTakenOffTheList) {
  store_.SaveSetting("Recent", "RecentFile1", scratch_ / "gone.cme");
  store_.SaveSetting("Recent", "RecentFile2", scratch_ / "kept.cme");
  window_->StartUp("");
  QAction* entry = Action("mnuRecentFile(1)");
  ASSERT_TRUE(entry->isVisible());
  window_->RunCommand("loc_add");
  ui_.replies = {editor::Answer::kNo};
  entry->trigger();
  ASSERT_EQ(ui_.questions.size(), 1u);
  EXPECT_NE(ui_.questions[0].find("gone.cme no longer exists"), std::string::npos) << ui_.questions[0];
  EXPECT_EQ(document_.location_count(), 1);
  EXPECT_EQ(store_.GetSetting("Recent", "RecentFile1"), scratch_ / "gone.cme");

  ui_.replies = {editor::Answer::kYes};
  entry->trigger();
  EXPECT_EQ(store_.GetSetting("Recent", "RecentFile1"), scratch_ / "kept.cme");
  EXPECT_EQ(store_.GetSetting("Recent", "RecentFile2"), "");
  EXPECT_EQ(entry->data().toString().toStdString(), scratch_ / "kept.cme");
  EXPECT_FALSE(Action("mnuRecentFile(2)")->isVisible());
  EXPECT_EQ(document_.location_count(), 1);

  ui_.replies = {editor::Answer::kYes};  // the last one goes: the list and its separator go too
  std::filesystem::remove(scratch_ / "kept.cme");
  entry->trigger();
  EXPECT_FALSE(Action("mnuRecentFile(0)")->isVisible());
  EXPECT_FALSE(entry->isVisible());
}

TEST_F(MainWindowTest, OnlyAProjectThatOpenedJoinsTheRecentFiles) {
  store_.SaveSetting("Recent", "RecentFile1", scratch_ / "real.cme");
  window_->StartUp("");
  std::filesystem::create_directory(scratch_ / "folder.cme");
  ui_.replies = {editor::Answer::kNo};  // the second open asks about what the failed first one left
  for (const char* unreadable : {"none.cme", "folder.cme"}) {
    ui_.Answer(scratch_ / unreadable);
    window_->RunCommand("mn_file_open");
  }
  EXPECT_EQ(ui_.messages.size(), 2u);
  EXPECT_EQ(store_.GetSetting("Recent", "RecentFile1"), scratch_ / "real.cme");
  EXPECT_EQ(store_.GetSetting("Recent", "RecentFile2"), std::nullopt);
  EXPECT_FALSE(Action("mnuRecentFile(2)")->isVisible());
}

TEST_F(MainWindowTest, StartUpArgumentOpensAProjectWhateverTheCaseOfItsEnding) {
  editor::MissionDocument source;
  BuildWarehouse(source);
  WriteProjectBeside(source, scratch_ / "w.cme");
  std::filesystem::rename(scratch_ / "w.cme", scratch_ / "W.CME");

  window_->StartUp(scratch_ / "W.CME");
  EXPECT_EQ(document_.location_count(), 2);
  EXPECT_EQ(window_->windowTitle(), "Marrowdell's VYR Mission Editor - [W.CME][*]");
  EXPECT_TRUE(Action("mnuRecentFile(1)")->isVisible());

  window_->StartUp(scratch_ / "notes.txt");  // any other ending is ignored
  EXPECT_EQ(document_.location_count(), 0);
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(MainWindowTest, ClosingAsksAndOnlyACompletedSaveLetsTheWindowGo) {
  window_->StartUp("");
  window_->RunCommand("loc_add");
  window_->show();

  ui_.replies = {editor::Answer::kYes};
  ui_.Answer(scratch_ / "p.cme");
  ui_.Answer(scratch_ / "missing-folder/p.mlc");  // the locations cannot be written there
  for (const char* name : {"p.mar", "p.mfr", "p.moc"})
    ui_.Answer(scratch_ / name);
  EXPECT_FALSE(window_->close());
  EXPECT_EQ(ui_.questions,
            (std::vector<std::string>{"VYR Mission Editor: Save current mission before closing?"}));
  EXPECT_FALSE(ui_.messages.empty());

  ui_.replies = {editor::Answer::kYes};
  ui_.Answer(std::nullopt);  // a cancelled project dialog is no completed save either
  EXPECT_FALSE(window_->close());

  ui_.replies = {editor::Answer::kNo};
  EXPECT_TRUE(window_->close());
  EXPECT_TRUE(std::filesystem::is_empty(scratch_.str()));
}

TEST_F(MainWindowTest, NewAndOpenAskBeforeReplacingUnsavedWork) {
  window_->StartUp("");
  window_->RunCommand("mn_file_new");  // nothing unsaved: nothing asked
  EXPECT_TRUE(ui_.questions.empty());

  window_->RunCommand("loc_add");
  window_->autosave()->Tick();
  ASSERT_TRUE(window_->autosave()->session().has_copy());
  for (const char* command : {"mn_file_new", "mn_file_open", "open", "mn_file_import"}) {
    ui_.replies = {editor::Answer::kCancel};
    window_->RunCommand(command);
    EXPECT_EQ(document_.location_count(), 1) << command;
  }
  EXPECT_TRUE(ui_.dialogs.empty()) << "Cancel keeps everything, the open dialog included";
  EXPECT_EQ(ui_.questions,
            (std::vector<std::string>{
                "VYR Mission Editor: Save current mission before starting a new one?",
                "VYR Mission Editor: Save current mission before opening another project?",
                "VYR Mission Editor: Save current mission before opening another project?",
                "VYR Mission Editor: Save current mission before importing a mission script?"}));
  EXPECT_TRUE(Action("mn_edit_undo")->isEnabled()) << "the history is kept too";
  window_->autosave()->Tick();
  EXPECT_TRUE(window_->autosave()->session().has_copy()) << "and the recovery copy";

  // Yes saves first; a save whose dialog is cancelled keeps the work.
  ui_.replies = {editor::Answer::kYes};
  ui_.Answer(std::nullopt);
  window_->RunCommand("mn_file_new");
  EXPECT_EQ(document_.location_count(), 1);
  ui_.replies = {editor::Answer::kYes};
  for (const char* name : {"w.cme", "w.mlc", "w.mar", "w.mfr", "w.moc"})
    ui_.Answer(scratch_ / name);
  window_->RunCommand("mn_file_new");
  EXPECT_EQ(document_.location_count(), 0);
  EXPECT_NE(Slurp(scratch_ / "w.mlc").find("New location"), std::string::npos);

  // A saved project that is unchanged is no unsaved work; a change to it is.
  ui_.questions.clear();
  ui_.Answer(scratch_ / "w.cme");
  window_->RunCommand("mn_file_open");
  ASSERT_EQ(document_.location_count(), 1);
  window_->RunCommand("mn_file_new");
  EXPECT_TRUE(ui_.questions.empty());
  ui_.Answer(scratch_ / "w.cme");
  window_->RunCommand("mn_file_open");
  window_->RunCommand("loc_add");
  ui_.replies = {editor::Answer::kNo};
  window_->RunCommand("mn_file_new");
  EXPECT_EQ(ui_.questions.size(), 1u);
  EXPECT_EQ(document_.location_count(), 0);
  EXPECT_TRUE(ui_.all_answered());
}

TEST_F(MainWindowTest, ATeamOrActorAddedUnderACollapsedNodeIsShownAndSelected) {
  window_->StartUp("");
  window_->RunCommand("mn_force_Add");
  const auto force = document_.tree().ForceNode(0);
  document_.tree().SetExpanded(force, false);
  Select(force);
  window_->RunCommand("mn_team_add");
  const auto team = document_.tree().TeamNode(0, 0);
  EXPECT_TRUE(document_.tree().node(force).expanded);
  EXPECT_EQ(document_.tree().selected(), team);
  window_->RunCommand("mn_addnpc_npc");  // the new team is the selected node
  EXPECT_TRUE(document_.tree().node(team).expanded);
  EXPECT_EQ(document_.tree().selected(), document_.tree().ActorNode(0, 0, 0));
}

TEST_F(MainWindowTest, TheFirstStartFitsTheScreen) {
  const QRect free = window_->screen()->availableGeometry();
  EXPECT_LE(window_->width(), free.width());
  EXPECT_LE(window_->height(), free.height());
  EXPECT_GE(window_->width(), free.width() / 2);
}

using MainWindowClosing = MainWindowFixture;

TEST_F(MainWindowClosing, EscapeAndTheCloseBoxOfTheQuestionKeepTheEditorOpen) {
  MakeWindow(nullptr, true);
  MainWindow& window = *window_;
  window.StartUp("");
  window.RunCommand("loc_add");
  window.autosave()->Tick();
  ASSERT_TRUE(window.autosave()->session().has_copy());
  window.show();

  QStringList asked;
  const auto answer = [&asked](std::function<void(QMessageBox&)> how) {
    QTimer::singleShot(0, [&asked, how] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) return;  // the close then goes on, and the expectations below say so
      asked << box->text();
      how(*box);
    });
  };
  answer([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); });
  EXPECT_FALSE(window.close());
  answer([](QMessageBox& box) { box.close(); });
  EXPECT_FALSE(window.close());
  EXPECT_EQ(asked, QStringList(2, "Save current mission before closing?"));
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(document_.location_count(), 1);
  EXPECT_TRUE(window.autosave()->session().has_copy()) << "the recovery copy stays";

  answer([](QMessageBox& box) { box.button(QMessageBox::No)->click(); });
  EXPECT_TRUE(window.close());
  EXPECT_FALSE(window.autosave()->session().has_copy());
}

TEST_F(MainWindowTest, AKilledRunsWorkIsOfferedAtStartAndANormalExitLeavesNoCopy) {
  editor::MissionDocument lost;
  ASSERT_TRUE(lost.AddLocation("depot", "", 1, 2, 3));
  {
    editor::RecoverySession killed(scratch_ / "recovery");
    ASSERT_TRUE(killed.Autosave(lost));
  }
  ui_.choice = 0;                                // Restore
  window_->StartUp(scratch_ / "elsewhere.cme");  // the restored work wins over the argument
  ASSERT_EQ(ui_.questions.size(), 1u);
  ASSERT_EQ(document_.location_count(), 1);
  EXPECT_EQ(document_.location(0).loc_name, "depot");
  EXPECT_TRUE(window_->autosave()->session().has_copy());

  ui_.replies = {editor::Answer::kNo};
  EXPECT_TRUE(window_->close());
  EXPECT_FALSE(window_->autosave()->session().has_copy());
  EXPECT_TRUE(editor::FindRecoveryCopies(scratch_ / "recovery").empty());
  EXPECT_TRUE(std::filesystem::is_empty(scratch_ / "recovery"));
}

}  // namespace
}  // namespace vyr::gui
