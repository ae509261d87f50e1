// Helpers shared by the editor core's tests: scratch folders, whole-file reads and writes, a byte
// comparison that shows where two texts part, a scripted user, recent files and the small "Warehouse"
// mission.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "editor/document/file_name_pair.h"
#include "editor/document/mission_document.h"
#include "editor/document/project_file.h"
#include "editor/document/section_format.h"
#include "editor/document/user_interface.h"

namespace vyr::editor::testing {

// A fresh folder under the system's temporary folder, removed with the object.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vyr-editor-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  std::string str() const { return path_.string(); }
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

// Writes `bytes` as the whole file, making its folder first when needed.
inline void Spit(const std::string& path, const std::string& bytes) {
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

inline std::string TestData(const std::string& relative) {
  return Slurp(std::string(VYR_TEST_DATA_DIR) + "/" + relative);
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

// The line of `text` that holds byte `at`, with CR and LF made visible.
inline std::string VisibleLineAt(const std::string& text, std::size_t at) {
  std::size_t begin = std::min(at, text.size());
  while (begin > 0 && text[begin - 1] != '\n')
    --begin;
  const std::size_t end = text.find('\n', begin);
  std::string out;
  for (char c : text.substr(begin, end == std::string::npos ? std::string::npos : end + 1 - begin)) {
    out += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
  }
  return out.empty() ? "<end of text>" : out;
}

inline ::testing::AssertionResult SameBytes(const std::string& expected, const std::string& actual) {
  if (expected == actual) return ::testing::AssertionSuccess();
  std::size_t at = 0;
  while (at < expected.size() && at < actual.size() && expected[at] == actual[at])
    ++at;
  const auto line =
      1 + std::count(expected.begin(), expected.begin() + static_cast<std::ptrdiff_t>(at), '\n');
  return ::testing::AssertionFailure()
         << "texts differ at byte " << at << " (line " << line
         << ")\n  expected: " << VisibleLineAt(expected, at) << "\n  actual:   " << VisibleLineAt(actual, at);
}

struct Message {
  std::string title;
  std::string text;
  MessageIcon icon;
  std::string action = {};  // the extra button's label; empty for a plain message
  bool operator==(const Message&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Message& message) {
  return out << "[" << message.title << "] " << message.text << " (icon " << static_cast<int>(message.icon)
             << ")" << (message.action.empty() ? "" : " [" + message.action + "]");
}

// Answers file dialogs from a queue, in order, and records every dialog and message. A dialog nobody
// expected, or any question, fails the test.
class ScriptedUi : public UserInterface {
 public:
  struct Dialog {
    std::string kind;  // "open" or "save"
    FileDialogRequest request;
  };

  // The next dialog's answer; nothing stands for Cancel.
  void Answer(std::optional<std::string> path) { answers_.push_back(std::move(path)); }
  bool all_answered() const { return answers_.empty(); }

  std::optional<std::string> AskOpenPath(const FileDialogRequest& request) override {
    return Next("open", request);
  }
  std::optional<std::string> AskSavePath(const FileDialogRequest& request) override {
    return Next("save", request);
  }
  void ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) override {
    messages.push_back({title, text, icon});
  }
  bool ShowMessageWithAction(const std::string& title, const std::string& text, MessageIcon icon,
                             const std::string& action) override {
    messages.push_back({title, text, icon, action});
    return press_action;
  }
  vyr::editor::Answer AskQuestion(const std::string& title, const std::string&, bool) override {
    ADD_FAILURE() << "unexpected question \"" << title << "\"";
    return vyr::editor::Answer::kCancel;
  }

  std::vector<Dialog> dialogs;
  std::vector<Message> messages;
  bool press_action = false;  // the answer of every message with an extra button

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

// A scripted user that also answers the questions with several choices, from `replies` in order (nothing
// stands for closing the question); a question with no reply left fails the test.
class ChoosingUi : public ScriptedUi {
 public:
  std::optional<int> AskChoice(const std::string&, const std::string& text,
                               const std::vector<std::string>& choices,
                               const std::string& close_label) override {
    asked.push_back(text);
    offered = choices;
    offered.push_back(close_label);
    if (replies.empty()) {
      ADD_FAILURE() << "unexpected question: " << text;
      return std::nullopt;
    }
    const auto reply = replies.front();
    replies.pop_front();
    return reply;
  }
  std::deque<std::optional<int>> replies;
  std::vector<std::string> asked;
  std::vector<std::string> offered;  // the last question's choices, closing included
};

// Records what a load or save adds to the recent files.
class RecordedRecent : public RecentFiles {
 public:
  void AddToRecent(const std::string& path) override { paths.push_back(path); }
  std::vector<std::string> paths;
};

// Writes `doc` as the project `cme` with its four section files beside it, under the same stem (also
// when they had other names), and gives back `cme`.
inline std::string WriteProjectBeside(MissionDocument& doc, const std::string& cme) {
  const std::string stem = cme.substr(0, cme.rfind('.'));
  for (Section section : kAllSections)
    doc.SetSectionFile(section, SplitPath(stem + std::string(TextsOf(section).extension)));
  ScriptedUi ui;
  RecordedRecent recent;
  EXPECT_TRUE(WriteProject(doc, ui, recent, cme));
  return cme;
}

// The small example mission "Warehouse" by Kim, as the example project holds it: two locations, one
// area, one force with one team of a player and an npc, and one outcome.
inline void BuildWarehouse(MissionDocument& doc) {
  doc.info.vyr_missionname = "Warehouse";
  doc.info.vyr_author = "Kim";
  doc.info.vyr_missiondescription = "Clear the warehouse.";
  doc.info.vyr_mapname = "urban1";
  doc.info.map_styles = "urban?dark?";
  doc.info.annotation = "Night raid";
  ASSERT_TRUE(doc.AddLocation("gate", "", 100, -20, 0));
  ASSERT_TRUE(doc.AddLocation("tower", "", -5, 40, 128));
  ASSERT_TRUE(doc.AddArea("yard", "", "gate?tower?", 200, "open?"));
  ASSERT_TRUE(doc.AddForce("Blue", ""));
  ASSERT_TRUE(doc.AddTeam(0, "Alpha", "", "  insert at gate using \"column\";\r\n  wait until ready;"));
  ActorRecord lead;
  lead.npc_player = true;
  lead.npc_name = "Lead";
  lead.npc_skill = 1.0f;
  lead.weapon[0] = true;
  lead.item[1] = true;
  lead.ammo[0] = 2;
  ASSERT_TRUE(doc.AddActor(0, 0, lead));
  ActorRecord bot;
  bot.npc_name = "Bot";
  bot.npc_skill = 0.5f;
  bot.weapon[1] = true;
  bot.ammo[1] = 3;
  ASSERT_TRUE(doc.AddActor(0, 0, bot));
  ASSERT_TRUE(doc.AddOutcome("Blue", "Well done", "m2?m3?", "success", "timeout(300)"));
}

}  // namespace vyr::editor::testing
