#include "editor/launch/error_check.h"

#include "editor/document/paths.h"
#include "editor/script/import.h"

namespace vyr::editor {

std::string ErrorCheckPath(const std::string& editor_folder) {
  return JoinPath(editor_folder, "errorcheck.vyr");
}

void ErrorCheck(LaunchContext& context) {
  if (Status made = EnsureFolder(context.editor_folder); !made) {
    context.ui.ShowMessage("Error", made.message, MessageIcon::kCritical);
    return;
  }
  std::vector<ScriptMessage> messages;
  switch (CompileAndParse(context, ErrorCheckPath(context.editor_folder), &messages)) {
    case CheckVerdict::kParsed:
      context.ui.ShowMessage("No errors found", "Build successful.", MessageIcon::kInformation);
      break;
    case CheckVerdict::kNotParsed: {
      // The verdict's text stays; what the parser said follows, so the author knows what to fix and where.
      const std::string details =
          context.describe ? context.describe(messages) : DescribeParseMessages(messages);
      TellBuildFailed(context, "Errors found",
                      "Build unsuccessful. Check the mission for errors." +
                          (details.empty() ? std::string() : "\n\n" + details));
      break;
    }
    case CheckVerdict::kNotChecked:
      break;
  }
}

}  // namespace vyr::editor
