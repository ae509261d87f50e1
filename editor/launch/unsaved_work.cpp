#include "editor/launch/unsaved_work.h"

#include <string>

#include "editor/launch/recovery.h"

namespace vyr::editor {

bool SaveFirstIfAsked(MissionDocument& document, UserInterface& ui, RecentFiles& recent,
                      std::string_view question, const std::string& new_project_directory) {
  switch (ui.AskQuestion(std::string(kSaveQuestionTitle), std::string(question), /*with_cancel=*/true)) {
    case Answer::kYes:
      return SaveProject(document, ui, recent, new_project_directory).ok;
    case Answer::kNo:
      return true;
    case Answer::kCancel:
      break;
  }
  return false;
}

bool MayReplaceWork(MissionDocument& document, UserInterface& ui, RecentFiles& recent,
                    std::string_view question, const std::string& new_project_directory) {
  return !HasUnsavedChanges(document) ||
         SaveFirstIfAsked(document, ui, recent, question, new_project_directory);
}

}  // namespace vyr::editor
