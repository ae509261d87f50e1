// Helpers shared by the test programs: a scratch folder per test, whole-file reads and writes, a text
// comparison that names the first line that differs, and environment variables set for one test.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <string>

namespace vyr::testing {

inline std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// An empty folder named after the running test and the process, removed with the object.
class ScratchDir {
 public:
  ScratchDir() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = "vyr-lib-";
    if (info) name += std::string(info->test_suite_name()) + "-" + info->name() + "-";
    name += std::to_string(::getpid());
    path_ = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// Sets environment variables for one test (nullptr unsets one) and puts the old values back.
class ScopedEnv {
 public:
  ScopedEnv() = default;
  ScopedEnv(const char* name, const std::string& value) { Set(name, value.c_str()); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;
  ~ScopedEnv() {
    for (const auto& [name, value] : saved_)
      Put(name.c_str(), value ? value->c_str() : nullptr);
  }
  void Set(const char* name, const char* value) {
    const char* old = std::getenv(name);
    if (!saved_.contains(name)) saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
    Put(name, value);
  }

 private:
  static void Put(const char* name, const char* value) {
    value ? ::setenv(name, value, 1) : ::unsetenv(name);
  }
  std::map<std::string, std::optional<std::string>> saved_;
};

// Equal, or the line number and both versions of the first line that differs (CR and tab shown).
inline ::testing::AssertionResult SameText(const std::string& expected, const std::string& actual) {
  if (expected == actual) return ::testing::AssertionSuccess();
  auto show = [](bool present, const std::string& line) {
    if (!present) return std::string("<end>");
    std::string shown = "[";
    for (char c : line)
      shown += c == '\r' ? std::string("\\r") : c == '\t' ? std::string("\\t") : std::string(1, c);
    return shown + "]";
  };
  std::istringstream e(expected), a(actual);
  std::string el, al;
  for (int line = 1;; ++line) {
    const bool more_e = static_cast<bool>(std::getline(e, el));
    const bool more_a = static_cast<bool>(std::getline(a, al));
    if (!more_e && !more_a) break;
    if (!more_e || !more_a || el != al) {
      return ::testing::AssertionFailure()
             << "first difference at line " << line << "\n  expected: " << show(more_e, el)
             << "\n  actual:   " << show(more_a, al) << "\n--- whole actual text ---\n"
             << actual;
    }
  }
  return ::testing::AssertionFailure() << "texts differ only in their final line end";
}

}  // namespace vyr::testing
