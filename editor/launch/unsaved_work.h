// The question before work is closed or replaced: save it first? Yes saves, No goes on without saving,
// and Cancel (also what Escape and the close box of the question answer) keeps everything as it is.
#pragma once

#include <string>
#include <string_view>

#include "editor/document/mission_document.h"
#include "editor/document/project_file.h"
#include "editor/document/user_interface.h"

namespace vyr::editor {

inline constexpr std::string_view kSaveQuestionTitle = "VYR Mission Editor";
inline constexpr std::string_view kSaveBeforeClosing = "Save current mission before closing?";
inline constexpr std::string_view kSaveBeforeNew = "Save current mission before starting a new one?";
inline constexpr std::string_view kSaveBeforeOpening = "Save current mission before opening another project?";
inline constexpr std::string_view kSaveBeforeImporting =
    "Save current mission before importing a mission script?";

// Asks `question` with Yes, No and Cancel. True when the caller may go on: No, or Yes and the project was
// saved completely; false for Cancel and for a save that failed or whose dialog was cancelled. A
// never-saved project's dialog starts in `new_project_directory` (the settings' project folder).
bool SaveFirstIfAsked(MissionDocument& document, UserInterface& ui, RecentFiles& recent,
                      std::string_view question, const std::string& new_project_directory = {});

// The same, asked only when the document holds work its files do not; with none, true without a word.
bool MayReplaceWork(MissionDocument& document, UserInterface& ui, RecentFiles& recent,
                    std::string_view question, const std::string& new_project_directory = {});

}  // namespace vyr::editor
