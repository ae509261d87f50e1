// Helpers shared by the file tests: a scratch folder per test and whole-file reads and writes.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "editor/document/user_interface.h"

namespace vyr::editor::testing {

class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& tag = "") {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ =
        std::filesystem::temp_directory_path() / ("vyr-files-" + std::string(info->test_suite_name()) + "-" +
                                                  info->name() + tag + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // The folder with a final "/", as the editor keeps directories.
  std::string dir() const { return path_.string() + "/"; }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

inline std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void Spit(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// "stem" followed by the number (spelled out this way to keep GCC 12's -Wrestrict quiet).
inline std::string Numbered(const char* stem, long long number) {
  std::string out(stem);
  out += std::to_string(number);
  return out;
}

// Joins lines with CR LF after each, so expected files read like the files themselves.
inline std::string Lines(std::initializer_list<std::string> lines) {
  std::string out;
  for (const auto& line : lines)
    out += line + "\r\n";
  return out;
}

// Shows CR and LF, so a failed byte comparison says where the files part.
inline std::string Visible(const std::string& bytes) {
  std::string out;
  for (char c : bytes) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n\n";
    } else {
      out += c;
    }
  }
  return out;
}

inline ::testing::AssertionResult SameBytes(const std::string& expected, const std::string& actual) {
  if (expected == actual) return ::testing::AssertionSuccess();
  std::size_t at = 0;
  while (at < expected.size() && at < actual.size() && expected[at] == actual[at])
    ++at;
  return ::testing::AssertionFailure() << "files differ at byte " << at << "\n--- expected:\n"
                                       << Visible(expected) << "\n--- actual:\n"
                                       << Visible(actual);
}

// Answers file dialogs from a script, in order, and records every request and message.
class ScriptedUi : public UserInterface {
 public:
  struct Dialog {
    std::string kind;  // "open" or "save"
    FileDialogRequest request;
  };

  // The next dialog's answer; nothing stands for Cancel.
  void Answer(std::optional<std::string> path) { answers_.push_back(std::move(path)); }

  std::optional<std::string> AskOpenPath(const FileDialogRequest& request) override {
    return Next("open", request);
  }
  std::optional<std::string> AskSavePath(const FileDialogRequest& request) override {
    return Next("save", request);
  }
  void ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) override {
    messages.push_back(title + "|" + text);
    icons.push_back(icon);
  }
  vyr::editor::Answer AskQuestion(const std::string&, const std::string&, bool) override {
    ADD_FAILURE() << "no question is expected";
    return vyr::editor::Answer::kCancel;
  }

  std::vector<Dialog> dialogs;
  std::vector<std::string> messages;
  std::vector<MessageIcon> icons;
  bool all_answered() const { return answers_.empty(); }

 private:
  std::optional<std::string> Next(const char* kind, const FileDialogRequest& request) {
    dialogs.push_back({kind, request});
    if (answers_.empty()) {
      ADD_FAILURE() << "unexpected dialog \"" << request.title << "\" (" << request.filter << ")";
      return std::nullopt;
    }
    auto answer = std::move(answers_.front());
    answers_.pop_front();
    return answer;
  }

  std::deque<std::optional<std::string>> answers_;
};

}  // namespace vyr::editor::testing
