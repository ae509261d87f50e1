#include "platform/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <climits>
#include <csignal>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "scratch_folder.h"

using platform::FileSetWriter;
using platform::Status;
using platform::WriteFileAtomically;

namespace {

namespace fs = std::filesystem;

unsigned ModeOf(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return ~0u;
  return info.st_mode & 07777;
}

using AtomicFile = ScratchFolder;

TEST_F(AtomicFile, WritesEveryByteAndReplacesTheOldFileKeepingItsMode) {
  const std::string path = At("a.mlc");
  const std::string binary("second\0\xFF\r\n", 10);
  ASSERT_TRUE(WriteFileAtomically(path, "first\r\n"));
  EXPECT_EQ(Slurp("a.mlc"), "first\r\n");
  const mode_t mask = ::umask(022);
  ::umask(mask);
  EXPECT_EQ(ModeOf(path), 0666u & ~static_cast<unsigned>(mask)) << "a new file gets the usual mode";

  // A private file stays private, a read-only one stays read-only.
  for (const unsigned mode : {0600u, 0640u, 0444u}) {
    ASSERT_EQ(::chmod(path.c_str(), mode), 0);
    ASSERT_TRUE(WriteFileAtomically(path, binary));
    EXPECT_EQ(Slurp("a.mlc"), binary);
    EXPECT_EQ(ModeOf(path), mode);
  }
  ASSERT_TRUE(WriteFileAtomically(path, ""));
  EXPECT_EQ(fs::file_size(path), 0u);

  const std::string big(3 << 20, '\0');
  ASSERT_TRUE(WriteFileAtomically(path, big));
  EXPECT_EQ(Slurp("a.mlc"), big);
  EXPECT_EQ(Entries(), std::vector<std::string>{"a.mlc"}) << "no temporary file is left";
}

TEST_F(AtomicFile, FailuresNameThePathAndTheReasonAndLeaveNothingBehind) {
  const std::string missing = At("no-such-folder/a.mlc");
  Status status = WriteFileAtomically(missing, "x");
  EXPECT_FALSE(status);
  EXPECT_EQ(status.message,
            missing + ": cannot create a temporary file in its folder: No such file or directory");

  // A folder standing where the file should go is not replaced and keeps what it holds.
  const std::string occupied = At("occupied");
  fs::create_directories(occupied + "/inner");
  status = WriteFileAtomically(occupied, "x");
  EXPECT_FALSE(status);
  EXPECT_EQ(status.message.rfind(occupied + ": cannot replace the file: ", 0), 0u) << status.message;
  EXPECT_TRUE(fs::is_directory(occupied + "/inner"));

  status = WriteFileAtomically(folder_ + "/", "x");
  EXPECT_FALSE(status);
  EXPECT_EQ(status.message, folder_ + "/: cannot write the file: the name is empty");
  EXPECT_FALSE(WriteFileAtomically("", "x"));

  // A name one short of the limit still leaves room for the temporary file beside it.
  const std::string longest = At(std::string(NAME_MAX, 'n'));
  EXPECT_TRUE(WriteFileAtomically(longest, "x")) << "the temporary name does not grow with the target's";
  fs::remove(longest);
  status = WriteFileAtomically(At(std::string(NAME_MAX + 1, 'n')), "x");
  EXPECT_NE(status.message.find("File name too long"), std::string::npos) << status.message;

  EXPECT_EQ(Entries(), std::vector<std::string>{"occupied"});
}

TEST_F(AtomicFile, AFolderThatCannotBeWrittenKeepsTheOldFile) {
  const std::string kept = At("kept.mlc");
  Spit("kept.mlc", "old\r\n");
  ASSERT_EQ(::chmod(kept.c_str(), 0444), 0);  // a writable file would be rewritten in place
  ASSERT_EQ(::chmod(folder_.c_str(), 0555), 0);
  const int status = InChild(true, [&] {
    return WriteFileAtomically(kept, "new\r\n").message ==
           kept + ": cannot create a temporary file in its folder: Permission denied";
  });
  EXPECT_TRUE(ExitedWell(status)) << "the failure is reported with its reason";
  EXPECT_EQ(Slurp("kept.mlc"), "old\r\n");
}

TEST_F(AtomicFile, AWriteThatFailsPartWayKeepsTheOldFileAndRemovesTheTemporary) {
  const std::string path = At("registry.reg");
  Spit("registry.reg", "old contents");
  const int status = InChild(false, [&] {
    LimitFileSize(200);  // the write fails half way through
    const Status status = WriteFileAtomically(path, std::string(1000, 'x'));
    return !status && status.message == path + ": cannot write the file: File too large";
  });
  EXPECT_TRUE(ExitedWell(status)) << "the failure is reported with its reason";
  EXPECT_EQ(Slurp("registry.reg"), "old contents");
  EXPECT_EQ(Entries(), std::vector<std::string>{"registry.reg"});
}

TEST_F(AtomicFile, ABareNameIsWrittenInTheWorkingFolder) {
  const fs::path before = fs::current_path();
  fs::current_path(folder_);
  const Status status = WriteFileAtomically("bare.vyr", "x\r\n");
  fs::current_path(before);
  ASSERT_TRUE(status) << status.message;
  EXPECT_EQ(Slurp("bare.vyr"), "x\r\n");
  EXPECT_EQ(Entries(), std::vector<std::string>{"bare.vyr"});
}

TEST_F(AtomicFile, ALinkIsWrittenThroughAndStaysALink) {
  fs::create_directories(At("shared"));
  fs::create_directories(At("project"));
  Spit("shared/places.mlc", "old\r\n");
  fs::create_symlink("../shared/places.mlc", At("project/a.mlc"));
  fs::create_symlink(At("project/a.mlc"), At("script.vyr"));  // a link to a link
  ASSERT_TRUE(WriteFileAtomically(At("project/a.mlc"), "new\r\n"));
  ASSERT_TRUE(WriteFileAtomically(At("script.vyr"), "newer\r\n"));
  EXPECT_TRUE(fs::is_symlink(At("project/a.mlc")));
  EXPECT_TRUE(fs::is_symlink(At("script.vyr")));
  EXPECT_EQ(Slurp("shared/places.mlc"), "newer\r\n");
  EXPECT_EQ(Entries(At("shared")), std::vector<std::string>{"places.mlc"});

  // A link to nothing yet makes the file it names.
  fs::create_symlink("shared/fresh.moc", At("fresh.moc"));
  ASSERT_TRUE(WriteFileAtomically(At("fresh.moc"), "x"));
  EXPECT_EQ(Slurp("shared/fresh.moc"), "x");
}

TEST_F(AtomicFile, DevicesPipesAndStandardOutputAreWrittenIntoNeverReplaced) {
  ASSERT_TRUE(WriteFileAtomically("/dev/null", "gone"));
  struct stat info {};
  ASSERT_EQ(::stat("/dev/null", &info), 0);
  EXPECT_TRUE(S_ISCHR(info.st_mode));

  ASSERT_EQ(::mkfifo(At("pipe").c_str(), 0600), 0);
  std::string received;
  std::thread reader([&] { received = Slurp("pipe"); });
  const Status piped = WriteFileAtomically(At("pipe"), "through the pipe");
  reader.join();
  EXPECT_TRUE(piped) << piped.message;
  EXPECT_EQ(received, "through the pipe");
  ASSERT_EQ(::lstat(At("pipe").c_str(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));

  // Standard output appended to a file: the file is added to, not replaced by a new one.
  Spit("log", "before\n");
  const int status = InChild(false, [&] {
    const int fd = ::open(At("log").c_str(), O_WRONLY | O_APPEND);
    return fd >= 0 && ::dup2(fd, 1) == 1 && WriteFileAtomically("/dev/stdout", "after\n").ok;
  });
  EXPECT_TRUE(ExitedWell(status));
  EXPECT_EQ(Slurp("log"), "before\nafter\n");
  EXPECT_EQ(Entries(), (std::vector<std::string>{"log", "pipe"}));
}

TEST_F(AtomicFile, AWritableFileInAFolderThatTakesNoNewFileIsRewrittenInPlace) {
  Spit("script.vyr", "a longer old text\r\n");
  ASSERT_EQ(::chmod(At("script.vyr").c_str(), 0666), 0);
  ASSERT_EQ(::chmod(folder_.c_str(), 0555), 0);
  const auto inode = fs::status(At("script.vyr")).permissions();
  const int status = InChild(true, [&] { return WriteFileAtomically(At("script.vyr"), "new\r\n").ok; });
  EXPECT_TRUE(ExitedWell(status));
  EXPECT_EQ(Slurp("script.vyr"), "new\r\n") << "rewritten and cut to the new length";
  EXPECT_EQ(fs::status(At("script.vyr")).permissions(), inode);
  EXPECT_EQ(Entries(), std::vector<std::string>{"script.vyr"});
}

TEST_F(AtomicFile, ASetReplacesNothingUntilEveryFileWasWritten) {
  Spit("a.mlc", "old a");
  fs::create_directories(At("b.cme/inside"));
  {
    FileSetWriter files;
    ASSERT_TRUE(files.Add(At("a.mlc"), "new a"));
    const Status failed = files.Add(At("b.cme"), "new b");
    EXPECT_EQ(failed.message, At("b.cme") + ": cannot replace the file: Is a directory");
  }
  EXPECT_EQ(Slurp("a.mlc"), "old a");
  EXPECT_EQ(Entries(), (std::vector<std::string>{"a.mlc", "b.cme"})) << "the temporaries are gone";

  FileSetWriter files;
  ASSERT_TRUE(files.Add(At("a.mlc"), "new a"));
  ASSERT_TRUE(files.Add(At("c.moc"), "new c"));
  EXPECT_EQ(Slurp("a.mlc"), "old a");
  ASSERT_TRUE(files.Commit());
  EXPECT_EQ(Slurp("a.mlc") + Slurp("c.moc"), "new anew c");

  // Temporary names left by an earlier process with this process id are passed over, not fatal.
  std::string next;
  {
    FileSetWriter probe;
    ASSERT_TRUE(probe.Add(At("d.mar"), "d"));
    for (const std::string& name : Entries()) {
      if (name.starts_with(".vyr-save-")) next = name;
    }
  }
  ASSERT_FALSE(next.empty());
  const std::size_t dash = next.rfind('-');
  const unsigned used = static_cast<unsigned>(std::stoul(next.substr(dash + 1)));
  for (unsigned n = used + 1; n <= used + 5; ++n)
    Spit(next.substr(0, dash + 1) + std::to_string(n) + ".tmp", "leftover");
  ASSERT_TRUE(WriteFileAtomically(At("a.mlc"), "newer a"));
  EXPECT_EQ(Slurp("a.mlc"), "newer a");
  EXPECT_EQ(Slurp(next.substr(0, dash + 1) + std::to_string(used + 5) + ".tmp"), "leftover");
}

TEST_F(AtomicFile, ASignalDuringAWriteLeavesNoTemporaryFile) {
  for (const int signal_number : {SIGINT, SIGTERM, SIGPIPE}) {
    const int status = InChild(false, [&] {
      platform::RemoveTemporaryFilesOnSignals();
      FileSetWriter files;
      if (!files.Add(At("out.vyr"), "half way")) return false;
      std::raise(signal_number);
      return false;
    });
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal_number) << signal_number;
    EXPECT_TRUE(Entries().empty()) << signal_number;
  }
}

}  // namespace
