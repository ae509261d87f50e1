// The editor program killed with SIGKILL while it holds unsaved work: the next start offers the work
// back. The editor runs on Qt's offscreen platform with a private home, a one-second autosave interval
// and an imported mission script as its unsaved project.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "editor/launch/recovery.h"
#include "tests/editor_test_support.h"

namespace vyr::editor {
namespace {

using namespace testing;
namespace fs = std::filesystem;

pid_t Start(const std::vector<std::string>& command) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    std::vector<char*> argv;
    for (const std::string& part : command)
      argv.push_back(const_cast<char*>(part.c_str()));
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  return pid;
}

int Wait(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return status;
}

TEST(RecoveryAfterKill, AKilledEditorsImportedWorkIsOfferedAndRestored) {
  ScratchFolder home;
  ::setenv("HOME", home.str().c_str(), 1);
  ::setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
  ::setenv("VYR_REGISTRY_FILE", (home / "registry.reg").c_str(), 1);
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  ::unsetenv("VYR_EDITOR_DATA_DIR");
  Spit(home / "config/VYR Mission Editor/VYR Mission Editor.conf", "[Settings]\nAutosaveInterval=1\n");
  Spit(home / "mission.vyr", TestData("script/warehouse.vyr"));
  ASSERT_EQ(Wait(Start({VYR_BIN_DIR "/vyr-regsvr", "-s", VYR_LIB_DIR "/libvyrparser.so"})), 0);

  const std::string recovery = home / "data/VYR Mission Editor/recovery";
  const pid_t editor = Start({VYR_BIN_DIR "/vyr-mission-editor", home / "mission.vyr"});
  ASSERT_GT(editor, 0);
  bool copied = false;
  for (int i = 0; i < 600 && !copied; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::error_code ignored;
    for (const auto& session : fs::directory_iterator(recovery, ignored))
      copied = copied || fs::exists(session.path() / "manifest");
  }
  ::kill(editor, SIGKILL);
  const int status = Wait(editor);
  ASSERT_TRUE(copied) << "no recovery copy within a minute";
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

  MissionDocument document;
  ChoosingUi ui;
  ui.replies = {0};  // Restore
  RecordedRecent recent;
  RecoverySession session(recovery);
  ASSERT_EQ(OfferRecovery(document, ui, recent, recovery, session), RecoveryOutcome::kRestored);
  ASSERT_EQ(ui.asked.size(), 1u);
  EXPECT_NE(ui.asked[0].find("never saved"), std::string::npos);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_TRUE(document.project_file().unnamed());
  ASSERT_EQ(document.location_count(), 2);
  EXPECT_EQ(document.location(1).loc_name, "tower");
  EXPECT_EQ(document.info.vyr_author, "Kim");
  ASSERT_EQ(document.force_count(), 1);
  EXPECT_EQ(document.actor_count(0, 0), 2);
  EXPECT_TRUE(session.has_copy());  // this run keeps the work safe from here on
}

}  // namespace
}  // namespace vyr::editor
