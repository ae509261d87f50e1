// A fresh folder under /tmp for each test of files, removed with everything in it afterwards.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

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

  std::string folder_;
};
