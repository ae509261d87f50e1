#include "editor/launch/library_parse.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "editor/launch/error_check.h"
#include "editor/launch/launch_commands.h"
#include "tests/launch/launch_test_support.h"
#include "tests/lib_test_support.h"

namespace vyr::editor {
namespace {

using namespace vyr::editor::testing;

const std::string kLibrary = std::string(VYR_LIB_DIR) + "/libvyrparser.so";

// Each test gets a registry file of its own, so nothing is registered for the user running the tests.
struct LibraryParseTest : ::testing::Test {
  ScratchFolder folder;
  const ::vyr::testing::ScopedEnv registry{"VYR_REGISTRY_FILE", folder / "registry.reg"};
};

TEST_F(LibraryParseTest, ResultCodesOfTheLibrary) {
  const std::string good = folder / "warehouse.vyr";
  Spit(good, TestData("script/warehouse.vyr"));
  ParseOutcome parsed = ParseWithLibrary(good, kLibrary);
  ASSERT_TRUE(parsed.library_reached) << parsed.message;
  EXPECT_EQ(parsed.result, 0);

  // Registered now: no library path needed, and an earlier model does not leak into the next parse.
  const std::string bad = folder / "bad mission.vyr";
  Spit(bad, "mission\r\n{\r\n    title = \r\n");
  EXPECT_EQ(ParseWithLibrary(bad).result, 2);
  EXPECT_EQ(ParseWithLibrary(folder / "missing.vyr").result, 1);
  EXPECT_EQ(ParseWithLibrary(good).result, 0);
}

TEST_F(LibraryParseTest, UnreachableLibraryOrUnnamableFileIsNoVerdict) {
  // Not registered, a module that is not there, a file name that is not UTF-8.
  for (const auto& [file, library, says] : {std::tuple{folder / "x.vyr", std::string(), ""},
                                            {folder / "x.vyr", folder / "libmissing.so", ""},
                                            {folder / "bad\xff.vyr", kLibrary, "UTF-8"}}) {
    const ParseOutcome outcome = ParseWithLibrary(file, library);
    EXPECT_FALSE(outcome.library_reached) << library;
    EXPECT_FALSE(outcome.message.empty()) << library;
    EXPECT_NE(outcome.message.find(says), std::string::npos) << outcome.message;
  }
}

TEST_F(LibraryParseTest, ErrorCheckWithTheRealGeneratorAndLibrary) {
  ScriptedUi ui;
  RecordingLauncher launcher;
  MissionDocument document;
  LaunchContext context{ui, launcher, CompileWith(document), LibraryParser(kLibrary), folder / "editor"};
  ErrorCheck(context);
  ErrorCheck(context);
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0], ui.messages[1]);
  EXPECT_NE(ui.messages[0].title, "Error") << ui.messages[0];

  // A plan the parser cannot read makes the verdict "Errors found", and the parser's message follows it.
  document.info.vyr_missionname = document.info.vyr_author = document.info.vyr_missiondescription = "x";
  document.info.vyr_mapname = "city";
  ASSERT_TRUE(document.AddForce("Blue", ""));
  ASSERT_TRUE(document.AddTeam(0, "Alpha", "", "this is not a plan {{{"));
  ErrorCheck(context);
  ASSERT_EQ(ui.messages.size(), 3u);
  const std::string script = Slurp(ErrorCheckPath(folder / "editor"));
  const std::string line =
      std::to_string(std::count(script.begin(), script.begin() + script.find("this is"), '\n') + 1);
  EXPECT_EQ(ui.messages[2], (Message{"Errors found",
                                     "Build unsuccessful. Check the mission for errors.\n\nLine " + line +
                                         ", near 'this': parse error",
                                     MessageIcon::kCritical}));
}

}  // namespace
}  // namespace vyr::editor
