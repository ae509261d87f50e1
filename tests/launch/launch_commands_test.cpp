#include "editor/launch/launch_commands.h"

#include <gtest/gtest.h>

#include "editor/launch/error_check.h"
#include "launch_test_support.h"

namespace vyr::editor {
namespace {

using launch_testing::FakeTools;
using launch_testing::ReadBytes;
using launch_testing::RecordingLauncher;
using launch_testing::ScriptedUi;
using launch_testing::TempFolder;

struct LaunchCommandsTest : ::testing::Test {
  TempFolder data;
  ScriptedUi ui;
  RecordingLauncher launcher;
  FakeTools tools;
  MissionDocument document;
  std::vector<std::string> captions;
  LaunchContext context{
      ui, launcher,
      CompileWith(document, [this](std::string_view caption) { captions.emplace_back(caption); }),
      tools.Parse(), data / "editor"};
};

TEST_F(LaunchCommandsTest, BuildRemembersTheChosenScript) {
  ui.answer.reset();
  BuildCommand(context, document);
  EXPECT_TRUE(document.mission_script_file().unnamed());
  EXPECT_TRUE(tools.parsed.empty());
  EXPECT_TRUE(ui.messages.empty());
  ASSERT_EQ(ui.requests.size(), 1u);
  EXPECT_EQ(ui.requests[0].title, "Save mission script as");
  EXPECT_EQ(ui.requests[0].filter, "VYR Mission script|*.vyr");
  EXPECT_EQ(ui.requests[0].file_name, "unnamed");

  ui.answer = data / "warehouse.vyr";
  document.info.vyr_missionname = "Warehouse";
  BuildCommand(context, document);
  EXPECT_EQ(document.mission_script_file(), (FileNamePair{"warehouse.vyr", data.str() + "/"}));
  EXPECT_EQ(tools.parsed, std::vector<std::string>{data / "warehouse.vyr"});
  EXPECT_NE(ReadBytes(data / "warehouse.vyr").find("Warehouse"), std::string::npos);
  EXPECT_FALSE(captions.empty());

  // The next build starts where the last one went.
  BuildCommand(context, document);
  EXPECT_EQ(ui.requests[2].directory, data.str() + "/");
  EXPECT_EQ(ui.requests[2].file_name, "warehouse.vyr");
}

TEST_F(LaunchCommandsTest, ErrorCheckOfANewMissionWritesTheSameFrameEachTime) {
  ErrorCheck(context);
  const std::string first = ReadBytes(data / "editor/errorcheck.vyr");
  ErrorCheck(context);
  EXPECT_EQ(ReadBytes(data / "editor/errorcheck.vyr"), first);
  ASSERT_GE(first.size(), 3u);
  EXPECT_EQ(first.substr(first.size() - 3), "}\r\n");
  EXPECT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0], ui.messages[1]);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(data / "editor"), {}), 1);
}

TEST_F(LaunchCommandsTest, QuickRunAndLogUseTheDocumentsMap) {
  EditorSettings settings;
  settings.aq2_path = data / "quake2/action";
  std::filesystem::create_directories(settings.aq2_path + "/missions");
  document.info.vyr_mapname = "urban1";
  QuickRunCommand(context, settings, document);
  EXPECT_NE(
      ReadBytes(settings.aq2_path + "/quickrun.cfg").find("\r\ngamemap urban1\r\nmission MyMission.vyr\r\n"),
      std::string::npos);
  EXPECT_EQ(launcher.started.size(), 1u);

  ViewLogCommand(context, settings, document);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].title, "View log");
}

}  // namespace
}  // namespace vyr::editor
