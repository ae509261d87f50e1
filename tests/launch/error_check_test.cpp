#include "editor/launch/error_check.h"

#include <gtest/gtest.h>

#include "tests/launch/launch_test_support.h"

namespace vyr::editor {
namespace {

using namespace vyr::editor::testing;

struct ErrorCheckTest : LaunchTest {
  std::string folder = data / "nested/VYR Mission Editor";  // not there yet
  LaunchContext context{ui, launcher, tools.Compile(), tools.Parse(), folder};
};

TEST_F(ErrorCheckTest, TwiceGivesTheSameVerdictAndOneScratchFile) {
  ErrorCheck(context);
  ErrorCheck(context);
  const Message ok{"No errors found", "Build successful.", MessageIcon::kInformation};
  EXPECT_EQ(ui.messages, (std::vector<Message>{ok, ok}));
  EXPECT_EQ(tools.compiled,
            (std::vector<std::string>{folder + "/errorcheck.vyr", folder + "/errorcheck.vyr"}));
  EXPECT_EQ(tools.parsed, tools.compiled);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
  EXPECT_TRUE(launcher.started.empty() && launcher.opened.empty());
}

// A parse error (2) is BuildTest's; a file that could not be read (1) is errors found too.
TEST_F(ErrorCheckTest, AnyResultButZeroIsErrorsFound) {
  tools.outcome = {true, 1, ""};
  ErrorCheck(context);
  EXPECT_EQ(ui.messages,
            (std::vector<Message>{{"Errors found", "Build unsuccessful. Check the mission for errors.",
                                   MessageIcon::kCritical}}));
}

TEST_F(ErrorCheckTest, TheMistakesTakeThePlaceOfTheScriptsLines) {
  tools.outcome = {true, 2, "", {{101, "}", "parse error"}}};
  ErrorCheck(context);
  context.describe = [](const std::vector<ScriptMessage>&) {
    return std::string("Team Alpha, plan line 3: x");
  };
  ErrorCheck(context);
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].text,
            "Build unsuccessful. Check the mission for errors.\n\nLine 101, near '}': parse error");
  EXPECT_EQ(ui.messages[1].text,
            "Build unsuccessful. Check the mission for errors.\n\nTeam Alpha, plan line 3: x");
}

TEST_F(ErrorCheckTest, NoVerdictOnAStaleFileOrWithoutTheLibrary) {
  ErrorCheck(context);
  tools.compile_status = Status::Error("Cannot write " + folder + "/errorcheck.vyr: Read-only file system");
  ErrorCheck(context);
  EXPECT_EQ(tools.parsed.size(), 1u) << "the old scratch file is not parsed again";
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[1], (Message{"Error", tools.compile_status.message, MessageIcon::kCritical}));

  tools.compile_status = Status::Ok();
  tools.outcome = {false, 0, "libvyrparser.so: cannot open shared object file"};
  ErrorCheck(context);
  ASSERT_EQ(ui.messages.size(), 3u);
  EXPECT_EQ(ui.messages[2].title, "Error");
  EXPECT_NE(ui.messages[2].text.find("libvyrparser.so"), std::string::npos);

  // The editor's folder cannot be made: a file stands in its place.
  Spit(data / "blocked", "a file");
  context.editor_folder = data / "blocked/VYR Mission Editor";
  ErrorCheck(context);
  EXPECT_EQ(tools.compiled.size(), 3u);
  ASSERT_EQ(ui.messages.size(), 4u);
  EXPECT_NE(ui.messages[3].text.find(data / "blocked"), std::string::npos);
}

}  // namespace
}  // namespace vyr::editor
