// Saving, opening and importing through the main window's commands, as an author's first hour goes: the
// save dialogs answered with Enter, an import that fails, the modified mark. The Qt save dialog itself
// is driven once, for its default extension.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <memory>

#include "editor/gui/common/qt_user_interface.h"
#include "editor/shell/main_window.h"
#include "editor/shell/undo_actions.h"
#include "tests/launch/launch_test_support.h"
#include "tests/shell/main_window_fixture.h"

namespace vyr::gui {
namespace {

using namespace editor::testing;
namespace fs = std::filesystem;

// File dialogs from a queue; a save dialog with none queued is accepted as it opens, as Enter does.
class EnterUi : public FixtureUi {
 public:
  std::optional<std::string> AskSavePath(const editor::FileDialogRequest& request) override {
    if (!all_answered()) return ScriptedUi::AskSavePath(request);
    dialogs.push_back({"save", request});
    std::string folder = request.directory;
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder + request.file_name;
  }
};

class ProjectSaveTest : public ::testing::Test {
 protected:
  void MakeWindow() {
    fs::create_directories(scratch_ / "program");
    window_ = std::make_unique<MainWindow>(MainWindowServices{document_, store_, launcher_, tools_.Parse(),
                                                              scratch_ / "data", scratch_ / "program", [] {},
                                                              [] {}, &ui_, false});
    window_->StartUp("");
  }
  // The warehouse saved as project/w.cme with its four sections beside it.
  std::string SaveWarehouse() {
    editor::MissionDocument source;
    BuildWarehouse(source);
    fs::create_directories(scratch_ / "project");
    WriteProjectBeside(source, scratch_ / "project/w.cme");
    return scratch_ / "project/w.cme";
  }

  ScratchFolder scratch_;
  editor::MissionDocument document_;
  editor::MemorySettingsStore store_;
  RecordingLauncher launcher_;
  FakeTools tools_;
  EnterUi ui_;
  std::unique_ptr<MainWindow> window_;
};

TEST_F(ProjectSaveTest, ANewProjectSavedWithEnterInEveryDialogKeepsEveryRecord) {
  fs::create_directories(scratch_ / "missions");
  store_.SaveSetting(editor::kSettingsSection, editor::kKeyProjectPath, scratch_ / "missions");
  MakeWindow();
  window_->RunCommand("mn_file_new");
  window_->RunCommand("loc_add");
  window_->RunCommand("mn_area_add");
  window_->RunCommand("mn_file_save");

  ASSERT_EQ(ui_.dialogs.size(), 5u);
  EXPECT_EQ(ui_.dialogs[0].request.title, "Save project as");
  EXPECT_EQ(ui_.dialogs[0].request.directory, scratch_ / "missions");
  EXPECT_EQ(ui_.dialogs[1].request.title, "Save locations as");
  EXPECT_EQ(ui_.dialogs[1].request.directory, scratch_ / "missions/");
  EXPECT_EQ(ui_.dialogs[1].request.file_name, "unnamed.mlc");
  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_EQ(window_->windowTitle(), "Marrowdell's VYR Mission Editor - [unnamed.cme][*]");
  for (const char* name : {"unnamed.cme", "unnamed.mlc", "unnamed.mar", "unnamed.mfr", "unnamed.moc"})
    EXPECT_TRUE(fs::exists(scratch_ / (std::string("missions/") + name))) << name;
  EXPECT_NE(Slurp(scratch_ / "missions/unnamed.mlc").find("New location"), std::string::npos);
  EXPECT_NE(Slurp(scratch_ / "missions/unnamed.mar").find("New area"), std::string::npos);
  EXPECT_FALSE(fs::exists(scratch_ / "program/unnamed"));

  // It opens again whole, without a word.
  ui_.Answer(scratch_ / "missions/unnamed.cme");
  window_->RunCommand("mn_file_open");
  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_EQ(document_.location_count(), 1);
  EXPECT_EQ(document_.area_count(), 1);
}

TEST_F(ProjectSaveTest, AFailedImportKeepsTheProjectAndItsUndo) {
  MakeWindow();
  window_->RunCommand("loc_add");
  Spit(scratch_ / "bad.vyr", "this is no mission\r\n");
  ui_.replies.push_back(editor::Answer::kNo);  // go on without saving the new location
  ui_.Answer(scratch_ / "bad.vyr");
  window_->RunCommand("mn_file_import");
  EXPECT_TRUE(ui_.replies.empty()) << "the unsaved location was asked about";
  ASSERT_EQ(ui_.messages.size(), 1u);  // the script does not parse, or the library is not there
  EXPECT_EQ(ui_.messages[0].title, "Error");
  EXPECT_EQ(document_.location_count(), 1);
  ASSERT_TRUE(window_->undo()->history().CanUndo());
  window_->undo()->Undo();
  EXPECT_EQ(document_.location_count(), 0);
}

// The window is marked modified only while its content differs from the saved files.
TEST_F(ProjectSaveTest, TheModifiedMarkFollowsTheSavedFiles) {
  const std::string project = SaveWarehouse();
  MakeWindow();
  const auto settled_modified = [this] {
    auto* check = window_->findChild<QTimer*>("modified_check");
    EXPECT_TRUE(QTest::qWaitFor([check] { return !check->isActive(); }));
    return window_->isWindowModified();
  };
  EXPECT_FALSE(settled_modified()) << "an empty new project";
  EXPECT_TRUE(window_->windowTitle().endsWith("[unnamed][*]"));
  ui_.Answer(project);
  window_->RunCommand("mn_file_open");
  EXPECT_FALSE(settled_modified());
  EXPECT_EQ(window_->windowTitle(), "Marrowdell's VYR Mission Editor - [w.cme][*]");

  window_->RunCommand("loc_add");
  EXPECT_TRUE(settled_modified());
  window_->undo()->Undo();
  EXPECT_FALSE(settled_modified()) << "undone back to the saved state";
  window_->undo()->Redo();
  EXPECT_TRUE(settled_modified());
  window_->RunCommand("mn_file_save");
  EXPECT_FALSE(settled_modified()) << "saved";
  EXPECT_EQ(document_.location_count(), 3);

  ASSERT_TRUE(
      document_.SetField(editor::RecordRef::Location(0), editor::Field::kLocName, std::string("gates")));
  EXPECT_TRUE(settled_modified());
  ASSERT_TRUE(
      document_.SetField(editor::RecordRef::Location(0), editor::Field::kLocName, std::string("gate")));
  EXPECT_FALSE(settled_modified()) << "typed back to what the file holds";

  // A file changed behind the editor's back makes the content differ from it.
  Spit(scratch_ / "project/w.mlc", "[VERSION 0.2]\r\n");
  window_->RunCommand("mn_edit_find");
  EXPECT_TRUE(settled_modified());
}

// The real save dialog: a name typed without an extension comes back with the filter's.
TEST(QtSaveDialog, ANameWithoutExtensionGetsTheFiltersAndEscapeCancels) {
  ScratchFolder folder;
  QtUserInterface ui(nullptr);
  const editor::FileDialogRequest request{"Save locations as", "Mission locations (*.mlc)|*.mlc",
                                          folder.str(), "unnamed.mlc"};
  QString title;
  QTimer::singleShot(0, [&title] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    title = dialog->windowTitle();
    dialog->selectFile("harbour");
    QMetaObject::invokeMethod(dialog, "accept");  // the Save button
  });
  EXPECT_EQ(ui.AskSavePath(request), folder / "harbour.mlc");
  EXPECT_EQ(title, "Save locations as");

  QTimer::singleShot(0, [] {
    if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget()))
      QTest::keyClick(dialog, Qt::Key_Escape);
  });
  EXPECT_EQ(ui.AskSavePath(request), std::nullopt);

  // Another file type chosen in the dialog brings its own extension.
  QTimer::singleShot(0, [] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    dialog->selectNameFilter("SVG drawing (*.svg)");
    emit dialog->filterSelected("SVG drawing (*.svg)");
    dialog->selectFile("map");
    QMetaObject::invokeMethod(dialog, "accept");
  });
  EXPECT_EQ(ui.AskSavePath({"Export map as image", "PNG image (*.png)|*.png|SVG drawing (*.svg)|*.svg",
                            folder.str(), "map.png"}),
            folder / "map.svg");
}

}  // namespace
}  // namespace vyr::gui
