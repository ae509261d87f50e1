// What the build and import subcommands share: the editor core's document seen from the command line.
#pragma once

#include <iostream>
#include <string>

#include "editor/document/project_file.h"
#include "editor/document/user_interface.h"

namespace vyr::tool {

// Messages go to standard error as "vyr COMMAND: text"; no dialog is ever answered.
class ToolUserInterface : public editor::UserInterface {
 public:
  explicit ToolUserInterface(std::string command) : command_(std::move(command)) {}

  std::optional<std::string> AskOpenPath(const editor::FileDialogRequest&) override { return std::nullopt; }
  std::optional<std::string> AskSavePath(const editor::FileDialogRequest&) override { return std::nullopt; }
  void ShowMessage(const std::string&, const std::string& text, editor::MessageIcon) override {
    std::cerr << "vyr " << command_ << ": " << text << '\n';
  }
  editor::Answer AskQuestion(const std::string&, const std::string&, bool) override {
    return editor::Answer::kNo;
  }

 private:
  std::string command_;
};

// The command line keeps no recent-files list.
class NoRecentFiles : public editor::RecentFiles {
 public:
  void AddToRecent(const std::string&) override {}
};

// Makes the registered VYRMission class usable, registering the library this program was built with
// when the class is missing. False, after saying why on standard error, when that fails.
bool EnsureLibrary(const std::string& command);

}  // namespace vyr::tool
