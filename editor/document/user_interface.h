// What the editor core asks of the person in front of it. The GUI answers with Qt dialogs;
// tests answer with scripted replies. Texts are 8-bit code-page bytes like the rest of the core.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/document/status.h"

namespace vyr::editor {

enum class MessageIcon { kInformation, kExclamation, kCritical, kQuestion };
enum class Answer { kYes, kNo, kCancel };

// A file dialog request. `filter` keeps the editor's "Description (*.ext)|*.ext" form; the GUI translates it.
struct FileDialogRequest {
  std::string title;
  std::string filter;
  std::string directory;
  std::string file_name;
};

class UserInterface {
 public:
  virtual ~UserInterface() = default;

  // The chosen full path, or nothing when the user cancels the dialog.
  virtual std::optional<std::string> AskOpenPath(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> AskSavePath(const FileDialogRequest& request) = 0;

  virtual void ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) = 0;

  // A message with one more button, `action`, beside OK: true when that button was pressed. OK, Escape
  // and the close box answer false, and so does a front end without such messages (it shows the text).
  virtual bool ShowMessageWithAction(const std::string& title, const std::string& text, MessageIcon icon,
                                     const std::string& /*action*/) {
    ShowMessage(title, text, icon);
    return false;
  }

  // A question with Yes and No buttons, and Cancel when `with_cancel` is set.
  virtual Answer AskQuestion(const std::string& title, const std::string& text, bool with_cancel) = 0;

  // A question with one button per choice and one more, `close_label`, that chooses nothing: the index of
  // the one chosen, or nothing when the person closes the question without choosing (also what Escape,
  // the close box and a front end without such questions answer).
  virtual std::optional<int> AskChoice(const std::string& /*title*/, const std::string& /*text*/,
                                       const std::vector<std::string>& /*choices*/,
                                       const std::string& /*close_label*/) {
    return std::nullopt;
  }
};

// The extension of a filter's first pattern, with its dot: ".mlc" for "Mission locations (*.mlc)|*.mlc";
// empty when the pattern names none ("*.*", "*").
std::string FilterExtension(std::string_view filter);

// `path` with `extension` added when its file name has no extension of its own (no dot), as a save
// dialog's default suffix does: "harbour" becomes "harbour.mlc", "harbour.v2" stays.
std::string WithDefaultExtension(std::string path, std::string_view extension);

// A save dialog whose answer carries the filter's extension, so the file is one the matching open
// dialog lists.
std::optional<std::string> AskSaveFile(UserInterface& ui, const FileDialogRequest& request);

// Shows a failed command's message under `what`, titled with the program's name; a success or a cancelled
// dialog shows nothing. Returns the status as it came.
inline Status Told(UserInterface& ui, Status status, std::string_view what) {
  if (!status && !status.cancelled) {
    ui.ShowMessage("VYR Mission Editor", std::string(what) + "\n\n" + status.message, MessageIcon::kCritical);
  }
  return status;
}

}  // namespace vyr::editor
