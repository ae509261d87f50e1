// Helpers shared by the launch tests: a temporary folder, a scripted user, a recording launcher and
// stand-ins for the generator and the parser library.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "editor/document/user_interface.h"
#include "editor/launch/game_launch.h"
#include "editor/launch/launcher.h"

namespace vyr::editor::launch_testing {

inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vyr-launch-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) != nullptr) path_ = buffer.data();
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  std::string str() const { return path_.string(); }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

struct Message {
  std::string title;
  std::string text;
  MessageIcon icon;
  bool operator==(const Message&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Message& message) {
  return out << "[" << message.title << "] " << message.text << " (icon " << static_cast<int>(message.icon)
             << ")";
}

class ScriptedUi : public UserInterface {
 public:
  std::optional<std::string> AskOpenPath(const FileDialogRequest& request) override {
    requests.push_back(request);
    return answer;
  }
  std::optional<std::string> AskSavePath(const FileDialogRequest& request) override {
    requests.push_back(request);
    return answer;
  }
  void ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) override {
    messages.push_back({title, text, icon});
  }
  Answer AskQuestion(const std::string&, const std::string&, bool) override { return Answer::kNo; }

  std::optional<std::string> answer;
  std::vector<FileDialogRequest> requests;
  std::vector<Message> messages;
};

struct Started {
  std::string program;
  std::vector<std::string> arguments;
  std::string working_folder;
};

class RecordingLauncher : public Launcher {
 public:
  Status OpenTextFile(const std::string& path) override {
    opened.push_back(path);
    return result;
  }
  Status StartProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::string& working_folder) override {
    started.push_back({program, arguments, working_folder});
    return result;
  }

  Status result = Status::Ok();
  std::vector<std::string> opened;
  std::vector<Started> started;
};

// Stands in for the generator (writes a marker text, or fails) and for the library (a fixed verdict),
// and records what they were asked.
struct FakeTools {
  Status compile_status = Status::Ok();
  ParseOutcome outcome{true, 0, ""};
  std::vector<std::string> compiled;
  std::vector<std::string> parsed;

  CompileFunction Compile() {
    return [this](const std::string& file) {
      compiled.push_back(file);
      if (!compile_status) return compile_status;
      WriteBytes(file, "mission\r\n{\r\n}\r\n");
      return Status::Ok();
    };
  }
  ParseFunction Parse() {
    return [this](const std::string& file) {
      parsed.push_back(file);
      return outcome;
    };
  }
};

}  // namespace vyr::editor::launch_testing
