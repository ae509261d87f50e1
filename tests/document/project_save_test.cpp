// A project save killed at any write or rename: the next open finds the project wholly old or wholly
// new, byte for byte, and no temporary file or commit record beside it.
#include "editor/document/project_save.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <map>
#include <string>

#include "editor/document/project_file.h"
#include "editor/document/section_files.h"
#include "platform/atomic_file.h"
#include "tests/editor_test_support.h"

namespace vyr::editor {
namespace {

using namespace vyr::editor::testing;
namespace fs = std::filesystem;

using Files = std::map<std::string, std::string>;  // every file of the folder, name to bytes

Files FolderFiles(const std::string& folder) {
  Files files;
  for (const auto& entry : fs::directory_iterator(folder))
    files[entry.path().filename().string()] = Slurp(entry.path().string());
  return files;
}

void PutFiles(const std::string& folder, const Files& files) {
  for (const auto& entry : fs::directory_iterator(folder))
    fs::remove_all(entry.path());
  for (const auto& [name, bytes] : files)
    ASSERT_TRUE(platform::WriteFileAtomically(folder + name, bytes));
}

// The child's fault hook: counts every step, and kills the process at step g_kill_at.
int g_steps = 0;
int g_kill_at = 0;
void CountOrKill(const char*) {
  if (++g_steps == g_kill_at) std::raise(SIGKILL);
}

struct ProjectSave : ::testing::Test {
  ScratchFolder folder;
  ScriptedUi ui;
  RecordedRecent recent;
  MissionDocument doc;
  Files old_set, new_set;

  // Saves the warehouse as w.cme with w.mlc to w.moc, then changes every one of the five files' contents.
  void SetUp() override {
    BuildWarehouse(doc);
    for (const char* extension : {".cme", ".mlc", ".mar", ".mfr", ".moc"})
      ui.Answer(folder.dir() + "w" + extension);
    ASSERT_TRUE(SaveProject(doc, ui, recent));
    old_set = FolderFiles(folder.dir());
    ASSERT_EQ(old_set.size(), 5u);

    doc.info.vyr_author = "Lee";
    ASSERT_TRUE(doc.AddLocation("annex", "", 1, 2, 3));
    ASSERT_TRUE(doc.AddArea("yard2", "", "annex?", 30, "open?"));
    ASSERT_TRUE(doc.AddForce("green", ""));
    ASSERT_TRUE(doc.AddOutcome("green", "won", "", "success", ""));
    ASSERT_TRUE(SaveProject(doc, ui, recent));
    new_set = FolderFiles(folder.dir());
    for (const auto& [name, bytes] : new_set)
      ASSERT_NE(bytes, old_set[name]) << name;
    PutFiles(folder.dir(), old_set);
  }

  // Runs the save of the changed document in a child killed at step `kill_at` (0: never); the steps it took.
  int SaveInChild(int kill_at) {
    int pipe_ends[2];
    EXPECT_EQ(::pipe(pipe_ends), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
      g_kill_at = kill_at;
      platform::testing::SetFaultHook(CountOrKill);
      const bool saved = SaveProject(doc, ui, recent).ok;
      (void)!::write(pipe_ends[1], &g_steps, sizeof g_steps);
      ::_exit(saved ? 0 : 1);
    }
    ::close(pipe_ends[1]);
    int steps = -1;
    if (::read(pipe_ends[0], &steps, sizeof steps) != static_cast<ssize_t>(sizeof steps)) steps = -1;
    ::close(pipe_ends[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (kill_at == 0) {
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    } else {
      EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "step " << kill_at;
    }
    return steps;
  }
};

TEST_F(ProjectSave, AKillAtAnyWriteOrRenameLeavesTheOldOrTheNewProjectAfterTheNextOpen) {
  const int steps = SaveInChild(0);
  // Five halves of files, the record's half, the record, six renames and the record's removal.
  ASSERT_EQ(steps, 14);
  ASSERT_EQ(FolderFiles(folder.dir()), new_set);

  int old_seen = 0, new_seen = 0;
  for (int kill_at = 1; kill_at <= steps; ++kill_at) {
    PutFiles(folder.dir(), old_set);
    SaveInChild(kill_at);
    MissionDocument opened;
    RecordedRecent no_recent;
    ASSERT_TRUE(LoadProject(opened, no_recent, folder / "w.cme")) << "step " << kill_at;
    const Files after = FolderFiles(folder.dir());
    if (after == old_set) {
      ++old_seen;
      EXPECT_EQ(opened.info.vyr_author, "Kim");
    } else {
      EXPECT_EQ(after, new_set) << "step " << kill_at << ": neither the old project nor the new";
      ++new_seen;
      EXPECT_EQ(opened.info.vyr_author, "Lee");
      EXPECT_EQ(opened.location_count(), doc.location_count());
    }
  }
  // Up to the record's rename the project stays old; from there on it is finished.
  EXPECT_EQ(old_seen, 8);
  EXPECT_EQ(new_seen, 6);
}

TEST_F(ProjectSave, AnInterruptedSaveIsFinishedByTheNextSaveToo) {
  const int steps = SaveInChild(0);
  PutFiles(folder.dir(), old_set);
  SaveInChild(steps - 3);  // two of the five files renamed
  ASSERT_TRUE(fs::exists(folder / ".w.cme.vyr-commit"));
  // A commit record is never read as a section file.
  const Status read = ReadSection(doc, Section::kLocations, folder / ".w.cme.vyr-commit");
  EXPECT_EQ(read.message, folder / ".w.cme.vyr-commit" +
                              ":1: the first line is not a version line such as \"[VERSION 0.2]\"; "
                              "the file was not read");

  ASSERT_TRUE(platform::WriteFileAtomically(folder / "notes.txt", "x"));
  Files expected = new_set;
  expected["notes.txt"] = "x";
  EXPECT_EQ(FolderFiles(folder.dir()), expected);
  EXPECT_TRUE(FinishInterruptedSave(folder / "w.cme"));
}

}  // namespace
}  // namespace vyr::editor
