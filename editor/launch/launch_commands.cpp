#include "editor/launch/launch_commands.h"

#include <utility>

namespace vyr::editor {

CompileFunction CompileWith(MissionDocument& document, CompileProgress progress) {
  return [&document, progress = std::move(progress)](const std::string& file) {
    return CompileMission(document, file, progress);
  };
}

void BuildCommand(LaunchContext& context, MissionDocument& document) {
  const FileNamePair& script = document.mission_script_file();
  std::optional<std::string> chosen = AskBuildPath(context, script.directory, script.name);
  if (!chosen) return;
  document.SetMissionScriptFile(SplitPath(*chosen));
  BuildMission(context, *chosen);
}

void QuickRunCommand(LaunchContext& context, const EditorSettings& settings,
                     const MissionDocument& document) {
  QuickRun(context, settings, document.info.vyr_mapname, QuickRunScriptPath(settings.aq2_path));
}

void ViewLogCommand(LaunchContext& context, const EditorSettings& settings, const MissionDocument& document) {
  ViewLog(context, settings, document.info.vyr_mapname);
}

}  // namespace vyr::editor
