#include "platform/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "scratch_folder.h"

using platform::Status;
using platform::WriteFileAtomically;

namespace {

namespace fs = std::filesystem;

unsigned ModeOf(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return ~0u;
  return info.st_mode & 07777;
}

std::vector<std::string> Entries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
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
  EXPECT_EQ(Entries(folder_), std::vector<std::string>{"a.mlc"}) << "no temporary file is left";
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

  EXPECT_EQ(Entries(folder_), std::vector<std::string>{"occupied"});
}

TEST_F(AtomicFile, AFolderThatCannotBeWrittenKeepsTheOldFile) {
  const std::string kept = At("kept.mlc");
  Spit("kept.mlc", "old\r\n");
  ASSERT_EQ(::chmod(folder_.c_str(), 0555), 0);
  // The write runs in a child that is nobody, since root may write in any folder.
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    if (::geteuid() == 0 && ::setuid(65534) != 0) ::_exit(2);
    const Status status = WriteFileAtomically(kept, "new\r\n");
    ::_exit(status.message == kept + ": cannot create a temporary file in its folder: Permission denied" ? 0
                                                                                                         : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the failure is reported with its reason";
  EXPECT_EQ(Slurp("kept.mlc"), "old\r\n");
}

TEST_F(AtomicFile, AWriteThatFailsPartWayKeepsTheOldFileAndRemovesTheTemporary) {
  const std::string path = At("registry.reg");
  Spit("registry.reg", "old contents");
  // A child whose files may not grow past 200 bytes: the write fails half way through.
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{200, 200};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const Status status = WriteFileAtomically(path, std::string(1000, 'x'));
    ::_exit(!status && status.message == path + ": cannot write the file: File too large" ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the failure is reported with its reason";
  EXPECT_EQ(Slurp("registry.reg"), "old contents");
  EXPECT_EQ(Entries(folder_), std::vector<std::string>{"registry.reg"});
}

TEST_F(AtomicFile, ABareNameIsWrittenInTheWorkingFolder) {
  const fs::path before = fs::current_path();
  fs::current_path(folder_);
  const Status status = WriteFileAtomically("bare.vyr", "x\r\n");
  fs::current_path(before);
  ASSERT_TRUE(status) << status.message;
  EXPECT_EQ(Slurp("bare.vyr"), "x\r\n");
  EXPECT_EQ(Entries(folder_), std::vector<std::string>{"bare.vyr"});
}

}  // namespace
