#include "editor/launch/error_check.h"

#include "editor/launch/paths.h"

namespace vyr::editor {

std::string ErrorCheckPath(const std::string& editor_folder) {
  return JoinPath(editor_folder, "errorcheck.vyr");
}

void ErrorCheck(LaunchContext& context) {
  if (Status made = EnsureFolder(context.editor_folder); !made) {
    context.ui.ShowMessage("Error", made.message, MessageIcon::kCritical);
    return;
  }
  switch (CompileAndParse(context, ErrorCheckPath(context.editor_folder))) {
    case CheckVerdict::kParsed:
      context.ui.ShowMessage("No errors found", "Build successful.", MessageIcon::kInformation);
      break;
    case CheckVerdict::kNotParsed:
      context.ui.ShowMessage("Errors found", "Build unsuccessful. Check the mission for errors.",
                             MessageIcon::kCritical);
      break;
    case CheckVerdict::kNotChecked:
      break;
  }
}

}  // namespace vyr::editor
