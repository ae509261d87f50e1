// Sets of files replaced together, when the writer is killed part-way: the commit record lets whoever
// comes next finish the set (all new) or undo it (all old), and temporaries of ended writers go.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/atomic_file.h"
#include "scratch_folder.h"

namespace {

namespace fs = std::filesystem;
using platform::FileSetOutcome;
using platform::FileSetWriter;

// The child's fault hook: `signal` at the `occurrence`-th step named `step`.
const char* g_step = "";
int g_occurrence = 0;
int g_signal = SIGKILL;

void SignalAtStep(const char* step) {
  if (std::strcmp(step, g_step) == 0 && --g_occurrence == 0) std::raise(g_signal);
}

class FileSet : public ScratchFolder {
 protected:
  void SetUp() override {
    ScratchFolder::SetUp();
    for (const char* name : {"a.mlc", "b.mar", "w.cme"})
      Spit(name, std::string("old ") + name);
    record_ = platform::CommitRecordPath(At("w.cme"));
  }

  // Saves the new set in a child that `signal` stops at that step; returns the child.
  pid_t SaveInChild(const char* step, int occurrence, int signal = SIGKILL) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      g_step = step;
      g_occurrence = occurrence;
      g_signal = signal;
      platform::testing::SetFaultHook(SignalAtStep);
      platform::RemoveTemporaryFilesOnSignals();
      FileSetWriter files;
      files.SetCommitRecord(record_);
      bool ok = true;
      for (const char* name : {"a.mlc", "b.mar", "w.cme"})
        ok = ok && files.Add(At(name), std::string("new ") + name + std::string(100, '!'));
      ::_exit(ok && files.Commit() ? 0 : 1);
    }
    return pid;
  }
  void KilledAt(const char* step, int occurrence, int signal = SIGKILL) {
    int status = 0;
    ::waitpid(SaveInChild(step, occurrence, signal), &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << step << occurrence;
  }

  std::string Contents() const { return Slurp("a.mlc") + "|" + Slurp("b.mar") + "|" + Slurp("w.cme"); }
  static std::string NewContents() {
    const std::string tail(100, '!');
    return "new a.mlc" + tail + "|new b.mar" + tail + "|new w.cme" + tail;
  }
  std::vector<std::string> Leftovers() const {
    std::vector<std::string> names = Entries();
    std::erase_if(names, [](const std::string& n) { return n == "a.mlc" || n == "b.mar" || n == "w.cme"; });
    return names;
  }
  std::vector<std::string> Temporaries() const {
    std::vector<std::string> names = Leftovers();
    std::erase_if(names, [](const std::string& n) { return !n.starts_with(".vyr-save-"); });
    return names;
  }

  std::string record_;
};

TEST(CommitRecord, LiesHiddenBesideTheFileWithANameNoSectionHas) {
  EXPECT_EQ(platform::CommitRecordPath("/p/w.cme"), "/p/.w.cme.vyr-commit");
  EXPECT_EQ(platform::CommitRecordPath("w.cme"), ".w.cme.vyr-commit");
}

// The record's own rename comes first: the set's renames are the second to the fourth.
TEST_F(FileSet, ARecordIsWrittenBeforeTheFirstRenameAndRemovedAfterTheLast) {
  KilledAt("rename", 2);
  ASSERT_TRUE(fs::exists(record_));
  EXPECT_EQ(Contents(), "old a.mlc|old b.mar|old w.cme");
  const std::string record = Slurp(fs::path(record_).filename());
  EXPECT_TRUE(record.starts_with("VYR FILE SET 1\npid ")) << record;
  EXPECT_NE(record.find("\nfiles 3\n"), std::string::npos);
  EXPECT_NE(record.find(At("b.mar") + "\n"), std::string::npos);
  EXPECT_TRUE(record.ends_with("\nend\n"));
  EXPECT_EQ(Temporaries().size(), 3u);

  // A whole set finished by the next writer of the folder.
  FileSetOutcome outcome = FileSetOutcome::kNone;
  ASSERT_TRUE(platform::FinishFileSet(record_, &outcome));
  EXPECT_EQ(outcome, FileSetOutcome::kCompleted);
  EXPECT_EQ(Contents(), NewContents());
  EXPECT_TRUE(Leftovers().empty());
  ASSERT_TRUE(platform::FinishFileSet(record_, &outcome));
  EXPECT_EQ(outcome, FileSetOutcome::kNone);
}

TEST_F(FileSet, RenamesAlreadyDoneCountAsWholeAndTheRestAreFinished) {
  KilledAt("rename", 4);  // two of three renamed
  EXPECT_EQ(Slurp("w.cme"), "old w.cme");
  ASSERT_TRUE(platform::FinishInterruptedWrites(folder_));
  EXPECT_EQ(Contents(), NewContents());
  EXPECT_TRUE(Leftovers().empty());

  KilledAt("unrecord", 1);  // all renamed, the record still there
  ASSERT_TRUE(fs::exists(record_));
  ASSERT_TRUE(platform::FinishInterruptedWrites(folder_ + "/"));
  EXPECT_EQ(Contents(), NewContents());
  EXPECT_TRUE(Leftovers().empty());
}

TEST_F(FileSet, AnInterruptBeforeTheRecordTakesTheTemporariesAlongAndAfterItLeavesThemForTheNext) {
  KilledAt("record", 1, SIGTERM);
  EXPECT_TRUE(Leftovers().empty());
  EXPECT_EQ(Contents(), "old a.mlc|old b.mar|old w.cme");

  KilledAt("rename", 3, SIGINT);  // one of the three renamed
  EXPECT_EQ(Temporaries().size(), 2u);
  ASSERT_TRUE(platform::FinishInterruptedWrites(folder_));
  EXPECT_EQ(Contents(), NewContents());
  EXPECT_TRUE(Leftovers().empty());
}

TEST_F(FileSet, ASetMissingOrDamagingATemporaryIsDiscardedWholeAndTheOldFilesStay) {
  for (const bool truncate : {false, true}) {
    KilledAt("rename", 2);
    const std::vector<std::string> temporaries = Temporaries();
    ASSERT_EQ(temporaries.size(), 3u);
    if (truncate) {
      fs::resize_file(At(temporaries[1]), 5);
    } else {
      fs::remove(At(temporaries[1]));
    }
    FileSetOutcome outcome = FileSetOutcome::kNone;
    ASSERT_TRUE(platform::FinishFileSet(record_, &outcome));
    EXPECT_EQ(outcome, FileSetOutcome::kDiscarded) << truncate;
    EXPECT_EQ(Contents(), "old a.mlc|old b.mar|old w.cme") << truncate;
    EXPECT_TRUE(Leftovers().empty()) << truncate;
  }
  // A record that cannot be read as one names nothing: it goes, and the files stay.
  Spit(fs::path(record_).filename(), "VYR FILE SET 1\npid 1\nfiles 2\n");
  FileSetOutcome outcome = FileSetOutcome::kNone;
  ASSERT_TRUE(platform::FinishFileSet(record_, &outcome));
  EXPECT_EQ(outcome, FileSetOutcome::kDiscarded);
  EXPECT_TRUE(Leftovers().empty());
}

TEST_F(FileSet, TheSetOfAWriterStillRunningIsLeftAlone) {
  const pid_t writer = SaveInChild("rename", 3, SIGSTOP);
  int status = 0;
  ASSERT_EQ(::waitpid(writer, &status, WUNTRACED), writer);
  ASSERT_TRUE(WIFSTOPPED(status));
  FileSetOutcome outcome = FileSetOutcome::kNone;
  ASSERT_TRUE(platform::FinishFileSet(record_, &outcome));
  EXPECT_EQ(outcome, FileSetOutcome::kInProgress);
  // Its temporary files are no leftovers either.
  ASSERT_TRUE(platform::WriteFileAtomically(At("other.moc"), "x"));
  EXPECT_EQ(Temporaries().size(), 2u);
  EXPECT_EQ(Slurp("a.mlc"), "new a.mlc" + std::string(100, '!'));

  ::kill(writer, SIGKILL);
  ::waitpid(writer, &status, 0);
  ASSERT_TRUE(platform::FinishFileSet(record_, &outcome));
  EXPECT_EQ(outcome, FileSetOutcome::kCompleted);
  EXPECT_EQ(Contents(), NewContents());
}

TEST_F(FileSet, TemporariesOfEndedWritersGoWhenTheFolderIsNextWritten) {
  KilledAt("write", 2);  // a whole temporary and a half-written one, no record
  EXPECT_FALSE(fs::exists(record_));
  EXPECT_EQ(Temporaries().size(), 2u);
  EXPECT_EQ(Contents(), "old a.mlc|old b.mar|old w.cme");
  // Names that only look alike stay, and so do temporaries of processes that still run.
  const std::string live = ".vyr-save-" + std::to_string(::getppid()) + "-7.tmp";
  for (const std::string& name : {std::string(".vyr-save-x-1.tmp"), std::string(".vyr-save-12.tmp"),
                                  std::string("vyr-save-999999-1.tmp"), live})
    Spit(name, "keep");
  ASSERT_TRUE(platform::WriteFileAtomically(At("w.cme"), "newer"));
  std::vector<std::string> kept{live, ".vyr-save-12.tmp", ".vyr-save-x-1.tmp", "vyr-save-999999-1.tmp"};
  std::sort(kept.begin(), kept.end());
  EXPECT_EQ(Leftovers(), kept);
  EXPECT_EQ(Slurp("w.cme"), "newer");
}

}  // namespace
