// Helpers shared by the script tools' tests: test data, temporary folders, readable text diffs.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace vyr::editor {

inline std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string ReadTestData(const std::string& relative) {
  return ReadFileBytes(std::filesystem::path(VYR_TEST_DATA_DIR) / relative);
}

inline void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// Makes line ends visible so a failing comparison shows where CR LF went wrong.
inline std::vector<std::string> VisibleLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string current;
  for (char c : text) {
    if (c == '\r') {
      current += "<CR>";
    } else if (c == '\n') {
      lines.push_back(current + "<LF>");
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) lines.push_back(current);
  return lines;
}

// Compares two texts byte for byte, reporting the first differing line of each.
inline void ExpectSameText(const std::string& expected, const std::string& actual) {
  if (expected == actual) return;
  const std::vector<std::string> want = VisibleLines(expected);
  const std::vector<std::string> got = VisibleLines(actual);
  std::size_t i = 0;
  while (i < want.size() && i < got.size() && want[i] == got[i])
    ++i;
  ADD_FAILURE() << "texts differ at line " << (i + 1)
                << "\n  expected: " << (i < want.size() ? want[i] : "<end of text>")
                << "\n  actual:   " << (i < got.size() ? got[i] : "<end of text>");
}

// A fresh folder under the system's temporary folder, removed with the object.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vyr-script-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) != nullptr) path_ = buffer.data();
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

}  // namespace vyr::editor
