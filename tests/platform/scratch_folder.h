// A fresh folder under /tmp for each test of files, removed with everything in it afterwards.
#pragma once

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

class ScratchFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vyr-files-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    folder_ = pattern;
  }
  void TearDown() override {
    ::chmod(folder_.c_str(), 0700);  // a test may have taken the write permission away
    std::filesystem::remove_all(folder_);
  }

  std::string At(const std::string& name) const { return folder_ + "/" + name; }
  void Spit(const std::string& name, const std::string& bytes) const {
    std::ofstream(At(name), std::ios::binary | std::ios::trunc) << bytes;
  }
  std::string Slurp(const std::string& name) const {
    std::ifstream in(At(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  // The sorted names in a folder, the scratch folder by default.
  std::vector<std::string> Entries(const std::string& folder = "") const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.empty() ? folder_ : folder))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  std::string folder_;
};

// Runs `body` in a child process (as nobody when `as_nobody`, since root may write in any folder) and
// returns its wait status.
template <class Body>
int InChild(bool as_nobody, Body body) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (as_nobody && ::geteuid() == 0 && ::setuid(65534) != 0) ::_exit(3);
    ::_exit(body() ? 0 : 1);
  }
  int status = -1;
  ::waitpid(pid, &status, 0);
  return status;
}

inline bool ExitedWell(int status) {
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// In a child: files may not grow past `bytes`, and a write beyond fails instead of killing the process.
inline void LimitFileSize(rlim_t bytes) {
  ::signal(SIGXFSZ, SIG_IGN);
  const rlimit limit{bytes, bytes};
  ::setrlimit(RLIMIT_FSIZE, &limit);
}
