// The core's questions answered with Qt's dialogs: file dialogs, message boxes, yes/no questions.
#pragma once

#include <QString>

#include "editor/document/user_interface.h"

class QWidget;

namespace vyr::gui {

// "Description (*.ext)|*.ext|Other|*.a;*.b" as Qt's name filters "Description (*.ext)", "Other (*.a *.b)".
QString QtNameFilters(const std::string& filter);

class QtUserInterface : public editor::UserInterface {
 public:
  explicit QtUserInterface(QWidget* parent) : parent_(parent) {}

  std::optional<std::string> AskOpenPath(const editor::FileDialogRequest& request) override;
  std::optional<std::string> AskSavePath(const editor::FileDialogRequest& request) override;
  void ShowMessage(const std::string& title, const std::string& text, editor::MessageIcon icon) override;
  bool ShowMessageWithAction(const std::string& title, const std::string& text, editor::MessageIcon icon,
                             const std::string& action) override;
  editor::Answer AskQuestion(const std::string& title, const std::string& text, bool with_cancel) override;
  // The close button is also what Escape and the close box answer: no choice.
  std::optional<int> AskChoice(const std::string& title, const std::string& text,
                               const std::vector<std::string>& choices,
                               const std::string& close_label) override;

 private:
  QWidget* parent_;
};

}  // namespace vyr::gui
