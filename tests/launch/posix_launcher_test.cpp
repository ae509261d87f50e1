#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <thread>

#include "editor/launch/game_launch.h"
#include "editor/launch/launcher.h"
#include "tests/launch/launch_test_support.h"

namespace vyr::editor {
namespace {

using namespace vyr::editor::testing;

// A stand-in program that records its working folder and arguments, one per line, in PROGRAM.out.
void WriteRecorder(const std::string& path) {
  Spit(path,
       "#!/bin/sh\n"
       "{ pwd -P; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > \"$0.tmp\" && mv \"$0.tmp\" "
       "\"$0.out\"\n");
  chmod(path.c_str(), 0755);
}

// The started program runs on its own; give it a while to leave its record.
std::string WaitForFile(const std::string& path) {
  for (int i = 0; i < 200 && !std::filesystem::exists(path); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  return Slurp(path);
}

TEST(PosixLauncher, QuickRunStartsTheGameInItsProgramFolder) {
  ScratchFolder root;
  const std::string program_folder = root / "Quake 2/";
  const std::string game_folder = root / "Quake 2/action";
  std::filesystem::create_directories(game_folder + "/missions");
  WriteRecorder(program_folder + "quake2");

  ScriptedUi ui;
  PosixLauncher launcher;
  FakeTools tools;
  LaunchContext context{ui, launcher, tools.Compile(), tools.Parse(), root / "data"};
  EditorSettings settings;
  settings.aq2_path = game_folder;
  QuickRun(context, settings, "urban1", QuickRunScriptPath(game_folder));
  ASSERT_TRUE(ui.messages.empty()) << ui.messages[0];

  std::string expected = std::filesystem::canonical(program_folder).string() + "\n";
  for (const std::string& argument : GameArguments("action"))
    expected += argument + "\n";
  EXPECT_EQ(WaitForFile(program_folder + "quake2.out"), expected);
  EXPECT_TRUE(std::filesystem::exists(game_folder + "/quickrun.cfg"));
}

TEST(PosixLauncher, TextFilesOpenWithTheViewerAndOneThatFindsNoProgramIsReported) {
  ScratchFolder root;
  WriteRecorder(root / "viewer");
  ASSERT_TRUE(PosixLauncher(root / "viewer").OpenTextFile("/some/preview file.vyr"));
  const std::string record = WaitForFile(root / "viewer.out");
  EXPECT_NE(record.find("\n/some/preview file.vyr\n"), std::string::npos) << record;

  // What xdg-open does on a desktop without a program for the file.
  Spit(root / "no-viewer", "#!/bin/sh\necho \"no method available for opening '$1'\" >&2\nexit 3\n");
  chmod((root / "no-viewer").c_str(), 0755);
  const Status failed = PosixLauncher(root / "no-viewer").OpenTextFile("/some/preview.vyr");
  EXPECT_FALSE(failed);
  EXPECT_EQ(failed.message, root / "no-viewer" + " ended with exit code 3");

  EXPECT_FALSE(PosixLauncher(root / "none").OpenTextFile("/some/preview.vyr"));
  // A viewer that stays open past the first look is taken as working, and fails no more after that.
  Spit(root / "slow-viewer", "#!/bin/sh\nsleep 2\nexit 1\n");
  chmod((root / "slow-viewer").c_str(), 0755);
  EXPECT_TRUE(PosixLauncher(root / "slow-viewer").OpenTextFile("/some/preview.vyr"));
}

TEST(PosixLauncher, ProgramsThatCannotStartAreReported) {
  ScratchFolder root;
  PosixLauncher launcher;
  Status missing = launcher.StartProgram(root / "no-such-game", {}, root.str());
  EXPECT_FALSE(missing);
  EXPECT_NE(missing.message.find("no-such-game"), std::string::npos) << missing.message;

  WriteRecorder(root / "game");
  Status no_folder = launcher.StartProgram(root / "game", {}, root / "gone");
  EXPECT_FALSE(no_folder);
  EXPECT_NE(no_folder.message.find(root / "gone"), std::string::npos) << no_folder.message;

  Spit(root / "not-executable", "#!/bin/sh\n");
  EXPECT_FALSE(launcher.StartProgram(root / "not-executable", {}, ""));
}

TEST(RunAndWait, ExitCodesAndMissingPrograms) {
  RunResult three = RunAndWait("sh", {"-c", "exit 3"});
  EXPECT_TRUE(three.started);
  EXPECT_EQ(three.exit_code, 3);
  EXPECT_NE(three.message.find("3"), std::string::npos);
  RunResult missing = RunAndWait("vyr-no-such-tool", {});
  EXPECT_FALSE(missing.started);
  EXPECT_NE(missing.message.find("vyr-no-such-tool"), std::string::npos);
}

}  // namespace
}  // namespace vyr::editor
