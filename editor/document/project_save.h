// A project's five files are replaced as one set, even across a kill: the renames of a save are
// recorded beside the project file, and whoever next reads or writes the project finishes them (every
// file new) or undoes them (every file old).
#pragma once

#include <string>

#include "editor/document/status.h"
#include "platform/atomic_file.h"

namespace vyr::editor {

// Finishes or undoes a save of the project at `project_path` that a killed process left half-done, and
// removes the temporary files that ended processes left in the project's folder. An error names the
// file that could not be renamed or removed.
Status FinishInterruptedSave(const std::string& project_path);

// Makes `files` the save of the project at `project_path`: its commit record lies beside the project file.
void RecordProjectSave(platform::FileSetWriter& files, const std::string& project_path);

}  // namespace vyr::editor
