#include "editor/document/project_save.h"

#include "editor/document/file_name_pair.h"

namespace vyr::editor {

Status FinishInterruptedSave(const std::string& project_path) {
  return platform::FinishInterruptedWrites(SplitPath(project_path).directory);
}

void RecordProjectSave(platform::FileSetWriter& files, const std::string& project_path) {
  files.SetCommitRecord(platform::CommitRecordPath(project_path));
}

}  // namespace vyr::editor
