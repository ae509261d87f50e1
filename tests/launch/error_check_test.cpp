#include "editor/launch/error_check.h"

#include <gtest/gtest.h>

#include "launch_test_support.h"

namespace vyr::editor {
namespace {

using launch_testing::FakeTools;
using launch_testing::Message;
using launch_testing::RecordingLauncher;
using launch_testing::ScriptedUi;
using launch_testing::TempFolder;

struct ErrorCheckTest : ::testing::Test {
  TempFolder data;
  ScriptedUi ui;
  RecordingLauncher launcher;
  FakeTools tools;
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
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    left.push_back(entry.path().filename());
  EXPECT_EQ(left, std::vector<std::string>{"errorcheck.vyr"});
  EXPECT_TRUE(launcher.started.empty());
  EXPECT_TRUE(launcher.opened.empty());
}

TEST_F(ErrorCheckTest, AnyResultButZeroIsErrorsFound) {
  const Message failed{"Errors found", "Build unsuccessful. Check the mission for errors.",
                       MessageIcon::kCritical};
  tools.outcome = {true, 2, ""};
  ErrorCheck(context);
  tools.outcome = {true, 1, ""};  // the file could not be read
  ErrorCheck(context);
  EXPECT_EQ(ui.messages, (std::vector<Message>{failed, failed}));
}

TEST_F(ErrorCheckTest, NoVerdictOnAStaleFileOrWithoutTheLibrary) {
  ErrorCheck(context);
  tools.compile_status = Status::Error("Cannot write " + folder + "/errorcheck.vyr: Read-only file system");
  ErrorCheck(context);
  EXPECT_EQ(tools.parsed.size(), 1u);
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[1], (Message{"Error", tools.compile_status.message, MessageIcon::kCritical}));

  tools.compile_status = Status::Ok();
  tools.outcome = {false, 0, "libvyrparser.so: cannot open shared object file"};
  ErrorCheck(context);
  ASSERT_EQ(ui.messages.size(), 3u);
  EXPECT_EQ(ui.messages[2].title, "Error");
  EXPECT_EQ(ui.messages[2].icon, MessageIcon::kCritical);
  EXPECT_NE(ui.messages[2].text.find("libvyrparser.so"), std::string::npos);
}

TEST_F(ErrorCheckTest, EditorFolderThatCannotBeMadeIsTold) {
  launch_testing::WriteBytes(data / "blocked", "a file");
  context.editor_folder = data / "blocked/VYR Mission Editor";
  ErrorCheck(context);
  EXPECT_TRUE(tools.compiled.empty());
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_NE(ui.messages[0].text.find(data / "blocked"), std::string::npos);
}

}  // namespace
}  // namespace vyr::editor
