#include "editor/shell/startup.h"

#include <QProcess>
#include <QStringList>
#include <filesystem>
#include <system_error>
#include <vector>

#include "editor/document/paths.h"
#include "editor/gui/common/code_page_text.h"
#include "editor/launch/user_registry.h"
#include "vyrparser/automation/ivyrmission.h"

namespace vyr::gui {

namespace {

// The desktop databases are refreshed in the background so a start is never held up by them.
class DetachedToolRunner : public editor::ToolRunner {
 public:
  editor::RunResult Run(const std::string& program, const std::vector<std::string>& arguments) override {
    QStringList list;
    for (const std::string& argument : arguments)
      list << FromPath(argument);
    editor::RunResult result;
    result.started = QProcess::startDetached(FromPath(program), list);
    result.exit_code = result.started ? 0 : -1;
    if (!result.started) result.message = program + " could not be started";
    return result;
  }
};

template <typename Register>
void RegisterFor(const std::string& program_path, Register&& register_types) {
  editor::UserRegistryWriter registry(platform::Registry::Default());
  DetachedToolRunner tools;
  editor::AssociationTargets targets{
      registry, editor::DropTrailingSeparator(editor::FolderWithSeparator(program_path)),
      editor::DesktopIntegration{editor::XdgDataHome(), program_path, "vyr-mission-editor"}, tools};
  (void)register_types(targets, nullptr);
}

}  // namespace

std::string LibraryBesideProgram(const std::string& program_folder) {
  std::string beside = editor::JoinPath(program_folder, VYR_PARSER_LIBRARY_RELATIVE_PATH);
  std::error_code error;
  if (std::filesystem::is_regular_file(beside, error)) return beside;
  return automation::BuiltVYRMissionLibrary();
}

void RegisterLibraryDetached(const std::string& program_folder) {
  QProcess::startDetached(FromPath(editor::JoinPath(program_folder, "vyr-regsvr")),
                          {"-s", FromPath(LibraryBesideProgram(program_folder))});
}

void RegisterProjectFileType(const std::string& program_path) {
  RegisterFor(program_path, editor::RegisterProjectFileType);
}

void RegisterMissionFileTypes(const std::string& program_path) {
  RegisterFor(program_path, editor::RegisterMissionFileTypes);
}

}  // namespace vyr::gui
