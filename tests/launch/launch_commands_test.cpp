#include "editor/launch/launch_commands.h"

#include <gtest/gtest.h>

#include "tests/launch/launch_test_support.h"

namespace vyr::editor {
namespace {

using namespace vyr::editor::testing;

// The commands with the real generator writing the document, and a stand-in parser.
struct LaunchCommandsTest : LaunchTest {
  MissionDocument document;
  std::vector<std::string> captions;
  LaunchContext context{
      ui, launcher,
      CompileWith(document, [this](std::string_view caption) { captions.emplace_back(caption); }),
      tools.Parse(), data / "editor"};
};

TEST_F(LaunchCommandsTest, BuildRemembersTheChosenScript) {
  ui.Answer(std::nullopt);
  BuildCommand(context, document);
  EXPECT_TRUE(document.mission_script_file().unnamed());
  EXPECT_TRUE(tools.parsed.empty());
  EXPECT_TRUE(ui.messages.empty());
  ASSERT_EQ(ui.dialogs.size(), 1u);
  EXPECT_EQ(ui.dialogs[0].request.title, "Save mission script as");
  EXPECT_EQ(ui.dialogs[0].request.filter, "VYR Mission script|*.vyr");
  EXPECT_EQ(ui.dialogs[0].request.file_name, "unnamed");

  ui.Answer(data / "warehouse.vyr");
  document.info.vyr_missionname = "Warehouse";
  BuildCommand(context, document);
  EXPECT_EQ(document.mission_script_file(), (FileNamePair{"warehouse.vyr", data.dir()}));
  EXPECT_EQ(tools.parsed, std::vector<std::string>{data / "warehouse.vyr"});
  EXPECT_NE(Slurp(data / "warehouse.vyr").find("Warehouse"), std::string::npos);
  EXPECT_FALSE(captions.empty());

  // The next build starts where the last one went.
  ui.Answer(std::nullopt);
  BuildCommand(context, document);
  EXPECT_EQ(ui.dialogs[2].request.directory, data.dir());
  EXPECT_EQ(ui.dialogs[2].request.file_name, "warehouse.vyr");
}

TEST_F(LaunchCommandsTest, QuickRunAndLogUseTheDocumentsMap) {
  EditorSettings settings;
  settings.aq2_path = data / "quake2/action";
  std::filesystem::create_directories(settings.aq2_path + "/missions");
  document.info.vyr_mapname = "urban1";
  QuickRunCommand(context, settings, document);
  EXPECT_NE(
      Slurp(settings.aq2_path + "/quickrun.cfg").find("\r\ngamemap urban1\r\nmission MyMission.vyr\r\n"),
      std::string::npos);
  EXPECT_EQ(launcher.started.size(), 1u);

  ViewLogCommand(context, settings, document);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].title, "View log");
}

}  // namespace
}  // namespace vyr::editor
