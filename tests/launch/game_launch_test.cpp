#include "editor/launch/game_launch.h"

#include <gtest/gtest.h>

#include "editor/launch/error_check.h"
#include "tests/launch/launch_test_support.h"

namespace vyr::editor {
namespace {

using namespace vyr::editor::testing;

const Message kBuildFailed{"Message", "Build unsuccessful. Check the mission for errors.",
                           MessageIcon::kCritical};

TEST(GamePaths, DerivedFromTheGameFolder) {
  EXPECT_EQ(
      GameCommandLine(GameProgramFolder("C:\\Games\\Quake2\\action"), "quake2.exe",
                      GameModificationName("C:\\Games\\Quake2\\action")),
      "C:\\Games\\Quake2\\quake2.exe +set game action +set deathmatch 1 +set dedicated 0 +set maxclients 30 "
      "+set cheats 1 +exec quickrun.cfg");
  // A typed trailing separator would otherwise leave the modification name empty.
  const char* const folders[][3] = {{"/games/quake2/action//", "/games/quake2/", "action"},
                                    {"/games/quake2/action/", "/games/quake2/", "action"},
                                    {"action", "", "action"}};
  for (const auto& [game, program, modification] : folders) {
    EXPECT_EQ(GameProgramFolder(game), program) << game;
    EXPECT_EQ(GameModificationName(game), modification) << game;
  }
  EXPECT_EQ(QuickRunConfigPath("/g/action/"), "/g/action/quickrun.cfg");
}

TEST(QuickrunCfg, TenLinesWithCrLfAndShelloffInverted) {
  EditorSettings settings;
  settings.bholelimit = "40";
  settings.splatlimit = "twenty";
  settings.eject_shells = true;
  settings.breakable_glass = false;
  settings.developer = true;
  EXPECT_EQ(
      QuickrunCfgText(settings, "urban1", "MyMission.vyr"),
      "set deathmatch 1\r\nset teamplay 1\r\nset vyr 1\r\nset bholelimit 40\r\nset splatlimit twenty\r\n"
      "set shelloff 0\r\nset breakableglass 0\r\nset developer 1\r\ngamemap urban1\r\n"
      "mission MyMission.vyr\r\n");
  settings.eject_shells = false;
  settings.breakable_glass = true;
  settings.developer = false;
  const std::string text = QuickrunCfgText(settings, "", "x.vyr");
  EXPECT_NE(text.find("\r\nset shelloff 1\r\nset breakableglass 1\r\nset developer 0\r\ngamemap \r\n"),
            std::string::npos);
}

// A fake installation: <root>/quake2/action is the game folder, <root>/quake2 the program folder.
struct FakeGame {
  ScratchFolder root;
  std::string program_folder = root / "quake2/";
  std::string game_folder = root / "quake2/action";
  FakeGame() { std::filesystem::create_directories(game_folder + "/missions"); }
};

struct LaunchFixture : LaunchTest {
  LaunchContext context{ui, launcher, tools.Compile(), tools.Parse(), data / "VYR Mission Editor"};
  FakeGame game;
  EditorSettings settings;
  LaunchFixture() { settings.aq2_path = game.game_folder; }
};

using QuickRunTest = LaunchFixture;

TEST_F(QuickRunTest, WritesScriptAndConfigurationAndStartsTheGame) {
  settings.bholelimit = "35";
  settings.eject_shells = false;
  const std::string script = QuickRunScriptPath(settings.aq2_path);
  QuickRun(context, settings, "urban1", script);

  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(tools.compiled, std::vector<std::string>{game.game_folder + "/missions/MyMission.vyr"});
  EXPECT_EQ(tools.parsed, tools.compiled);
  EXPECT_EQ(Slurp(game.game_folder + "/quickrun.cfg"), QuickrunCfgText(settings, "urban1", "MyMission.vyr"));
  ASSERT_EQ(launcher.started.size(), 1u);
  // No quake2.exe in the program folder: the native program name.
  EXPECT_EQ(launcher.started[0].program, game.program_folder + "quake2");
  EXPECT_EQ(launcher.started[0].working_folder, game.program_folder);
  EXPECT_EQ(launcher.started[0].arguments, GameArguments("action"));

  Spit(game.program_folder + "quake2.exe", "MZ");
  QuickRun(context, settings, "urban1", script);
  ASSERT_EQ(launcher.started.size(), 2u);
  EXPECT_EQ(launcher.started[1].program, game.program_folder + "quake2.exe");
}

TEST_F(QuickRunTest, StopsWithoutGameFolder) {
  settings.aq2_path.clear();
  QuickRun(context, settings, "urban1", QuickRunScriptPath(settings.aq2_path));
  EXPECT_EQ(ui.messages,
            (std::vector<Message>{{"Error", "Please set you AQ2 folder first.", MessageIcon::kCritical}}));
  EXPECT_TRUE(tools.compiled.empty());
  EXPECT_TRUE(launcher.started.empty());
}

TEST_F(QuickRunTest, AScriptThatDoesNotParseIsNeverStartedAndSaysWhatToFix) {
  tools.outcome = {true, 2, ""};
  const std::string script = QuickRunScriptPath(settings.aq2_path);
  QuickRun(context, settings, "urban1", script);
  EXPECT_EQ(ui.messages, std::vector<Message>{kBuildFailed});
  EXPECT_FALSE(std::filesystem::exists(game.game_folder + "/quickrun.cfg"));
  EXPECT_TRUE(std::filesystem::exists(script));  // left for the author to look at

  tools.outcome = {true, 2, "", {{3, "x", "parse error"}}};
  context.describe = [](const std::vector<ScriptMessage>& messages) {
    return "Team Alpha, plan line " + std::to_string(messages.at(0).line) + ": x";
  };
  QuickRun(context, settings, "urban1", script);
  EXPECT_EQ(ui.messages.back(), (Message{"Message",
                                         "Build unsuccessful. Check the mission for errors.\n\n"
                                         "Team Alpha, plan line 3: x",
                                         MessageIcon::kCritical}));
  EXPECT_TRUE(launcher.started.empty());
}

TEST_F(QuickRunTest, FailuresBeforeTheGameAreTold) {
  // The generator cannot write: the library is not asked about an old file.
  tools.compile_status = Status::Error("Cannot write /x/MyMission.vyr: No such file or directory");
  QuickRun(context, settings, "urban1", QuickRunScriptPath(settings.aq2_path));
  EXPECT_TRUE(tools.parsed.empty());
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0], (Message{"Error", "Cannot write /x/MyMission.vyr: No such file or directory",
                                     MessageIcon::kCritical}));

  // The library cannot be created.
  tools.compile_status = Status::Ok();
  tools.outcome = {false, 0, "class VYRMission is not registered"};
  QuickRun(context, settings, "urban1", QuickRunScriptPath(settings.aq2_path));
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[1].title, "Error");
  EXPECT_NE(ui.messages[1].text.find("class VYRMission is not registered"), std::string::npos);

  // The configuration cannot be written: a folder stands in its place.
  tools.outcome = {true, 0, ""};
  std::filesystem::create_directories(game.game_folder + "/quickrun.cfg/x");
  QuickRun(context, settings, "urban1", QuickRunScriptPath(settings.aq2_path));
  ASSERT_EQ(ui.messages.size(), 3u);
  EXPECT_NE(ui.messages[2].text.find("quickrun.cfg"), std::string::npos) << ui.messages[2].text;
  EXPECT_TRUE(launcher.started.empty());

  // The game cannot be started.
  std::filesystem::remove_all(game.game_folder + "/quickrun.cfg");
  launcher.result = Status::Error("Cannot start quake2: Permission denied");
  QuickRun(context, settings, "urban1", QuickRunScriptPath(settings.aq2_path));
  ASSERT_EQ(ui.messages.size(), 4u);
  EXPECT_EQ(ui.messages[3],
            (Message{"Error", "Cannot start quake2: Permission denied", MessageIcon::kCritical}));
}

using BuildTest = LaunchFixture;

TEST_F(BuildTest, ReportsTheVerdictAndKeepsTheScript) {
  const std::string file = data / "out.vyr";
  BuildMission(context, file);
  tools.outcome = {true, 1, ""};
  BuildMission(context, file);
  EXPECT_EQ(ui.messages, (std::vector<Message>{{"Message", "Build successful. Click Ok to acknowledge.",
                                                MessageIcon::kInformation},
                                               kBuildFailed}));
  EXPECT_TRUE(std::filesystem::exists(file));
  EXPECT_TRUE(launcher.started.empty());
}

TEST_F(BuildTest, AFailedBuildAndQuickRunSayWhatToFixWhenTheContextCan) {
  tools.outcome = {true, 2, "", {{12, "gate", "use of undeclared location"}}};
  std::vector<ScriptMessage> described;
  context.describe = [&described](const std::vector<ScriptMessage>& messages) {
    described = messages;
    return std::string("Area yard, locations: no location named \"gate\"");
  };
  BuildMission(context, data / "out.vyr");
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text,
            "Build unsuccessful. Check the mission for errors.\n\nArea yard, locations: no location named "
            "\"gate\"");
  ASSERT_EQ(described.size(), 1u);
  EXPECT_EQ(described[0].line, 12);
  // Nothing to add: the verdict stands alone.
  context.describe = [](const std::vector<ScriptMessage>&) { return std::string(); };
  BuildMission(context, data / "out.vyr");
  EXPECT_EQ(ui.messages.back(), kBuildFailed);
}

// Build, Quick run and the error checker offer the problem list beside OK; the titles and texts stay.
TEST_F(BuildTest, FailuresOfferTheProblemListWhenThereIsOne) {
  tools.outcome = {true, 2, ""};
  int shown = 0;
  context.show_problems = [&shown] { ++shown; };
  BuildMission(context, data / "out.vyr");
  QuickRun(context, settings, "urban1", QuickRunScriptPath(settings.aq2_path));
  ErrorCheck(context);
  ASSERT_EQ(ui.messages.size(), 3u);
  Message expected = kBuildFailed;
  expected.action = kShowProblemsLabel;
  EXPECT_EQ(ui.messages[0], expected);
  EXPECT_EQ(ui.messages[1], expected);
  EXPECT_EQ(ui.messages[2],
            (Message{"Errors found", kBuildFailed.text, MessageIcon::kCritical, kShowProblemsLabel}));
  EXPECT_EQ(shown, 0) << "OK, Escape and the close box only close the message";
  EXPECT_TRUE(launcher.started.empty());

  ui.press_action = true;
  BuildMission(context, data / "out.vyr");
  ErrorCheck(context);
  EXPECT_EQ(shown, 2);

  // A success has nothing to show; without a list to open the message is a plain one.
  tools.outcome = {true, 0, ""};
  BuildMission(context, data / "out.vyr");
  EXPECT_EQ(ui.messages.back().action, "");
  EXPECT_EQ(shown, 2);
  tools.outcome = {true, 2, ""};
  context.show_problems = nullptr;
  ErrorCheck(context);
  EXPECT_EQ(ui.messages.back(), (Message{"Errors found", kBuildFailed.text, MessageIcon::kCritical}));
  BuildMission(context, data / "out.vyr");
  EXPECT_EQ(ui.messages.back(), kBuildFailed);
}

using PreviewAndLogTest = LaunchFixture;

TEST_F(PreviewAndLogTest, PreviewWritesIntoTheEditorFolderAndOpensItAndFailuresNameTheFile) {
  PreviewScript(context);
  const std::string preview = data / "VYR Mission Editor/preview.vyr";
  EXPECT_EQ(tools.compiled, std::vector<std::string>{preview});
  EXPECT_TRUE(tools.parsed.empty());
  EXPECT_EQ(launcher.opened, std::vector<std::string>{preview});
  EXPECT_TRUE(ui.messages.empty());

  tools.compile_status = Status::Error("Cannot write " + preview + ": disk full");
  PreviewScript(context);
  EXPECT_EQ(launcher.opened.size(), 1u);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Cannot write " + preview + ": disk full");

  tools.compile_status = Status::Ok();
  launcher.result = Status::Error("xdg-open ended with exit code 3");
  PreviewScript(context);
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[1].text,
            "No program could show the file " + preview + ".\n\nxdg-open ended with exit code 3");
  Spit(game.game_folder + "/vyr/log/urban1.log", "log\r\n");
  ViewLog(context, settings, "urban1");
  ASSERT_EQ(ui.messages.size(), 3u);
  EXPECT_NE(ui.messages[2].text.find(game.game_folder + "/vyr/log/urban1.log"), std::string::npos);
}

TEST_F(PreviewAndLogTest, ViewLogLooksUnderTheGameFolder) {
  ViewLog(context, settings, "");  // no map name: nothing at all
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_TRUE(launcher.opened.empty());

  ViewLog(context, settings, "urban1");
  const Message no_log{
      "View log",
      "No log available. Make sure to enable developer mode (AQ2 Setings) and run your mission "
      "at least once.",
      MessageIcon::kCritical};
  EXPECT_EQ(ui.messages, std::vector<Message>{no_log});

  Spit(game.game_folder + "/vyr/log/urban1.log", "log\r\n");
  ViewLog(context, settings, "urban1");
  EXPECT_EQ(launcher.opened, std::vector<std::string>{game.game_folder + "/vyr/log/urban1.log"});

  settings.aq2_path.clear();
  ViewLog(context, settings, "urban1");
  EXPECT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(launcher.opened.size(), 1u);
}

}  // namespace
}  // namespace vyr::editor
