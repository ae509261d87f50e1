// Comparison of a text with a golden file under tests/data, with a readable first difference.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace vyr::testing {

inline std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::string ShowLine(const std::string& line) {
  std::string shown;
  for (char c : line)
    shown += c == '\r' ? std::string("\\r") : c == '\t' ? std::string("\\t") : std::string(1, c);
  return "[" + shown + "]";
}

// Equal, or the line number and both versions of the first line that differs.
inline ::testing::AssertionResult SameText(const std::string& expected, const std::string& actual) {
  if (expected == actual) return ::testing::AssertionSuccess();
  std::istringstream e(expected), a(actual);
  std::string el, al;
  for (int line = 1;; ++line) {
    const bool more_e = static_cast<bool>(std::getline(e, el));
    const bool more_a = static_cast<bool>(std::getline(a, al));
    if (!more_e && !more_a) break;
    if (!more_e || !more_a || el != al) {
      return ::testing::AssertionFailure()
             << "first difference at line " << line << "\n  expected: " << (more_e ? ShowLine(el) : "<end>")
             << "\n  actual:   " << (more_a ? ShowLine(al) : "<end>") << "\n--- whole actual text ---\n"
             << actual;
    }
  }
  return ::testing::AssertionFailure() << "texts differ only in their final line end";
}

// Compares with tests/data/<name>; VYR_UPDATE_GOLDEN=1 rewrites the golden file instead.
inline ::testing::AssertionResult MatchesGolden(const std::string& name, const std::string& actual) {
  const std::filesystem::path path = std::filesystem::path(VYR_TEST_DATA_DIR) / name;
  if (std::getenv("VYR_UPDATE_GOLDEN")) {
    std::ofstream(path, std::ios::binary) << actual;
    return ::testing::AssertionSuccess();
  }
  if (!std::filesystem::exists(path)) return ::testing::AssertionFailure() << "missing golden file " << path;
  return SameText(ReadFileBytes(path), actual);
}

}  // namespace vyr::testing
