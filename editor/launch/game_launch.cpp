#include "editor/launch/game_launch.h"

#include <filesystem>
#include <system_error>

#include "editor/document/paths.h"
#include "platform/atomic_file.h"
#include "platform/read_file.h"

namespace vyr::editor {

namespace {

constexpr const char* kBuildFailed = "Build unsuccessful. Check the mission for errors.";

bool IsRegularFile(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

// The game folder as the user stored it, less any trailing separator, which would otherwise leave
// the modification name empty.
std::string GameFolder(const std::string& game_folder) {
  return TrimTrailingSeparators(game_folder);
}

void TellStartFailure(LaunchContext& context, const Status& started) {
  if (!started) context.ui.ShowMessage("Error", started.message, MessageIcon::kCritical);
}

// The file is there but nothing shows it: the author can still open it by hand, so name it.
void TellViewerFailure(LaunchContext& context, const std::string& file, const Status& shown) {
  if (shown) return;
  context.ui.ShowMessage(
      "Error", "No program could show the file " + platform::PathExcerpt(file) + ".\n\n" + shown.message,
      MessageIcon::kCritical);
}

}  // namespace

std::string PreviewPath(const std::string& editor_folder) {
  return JoinPath(editor_folder, "preview.vyr");
}

std::string QuickRunScriptPath(const std::string& game_folder) {
  return JoinPath(GameFolder(game_folder), "missions/MyMission.vyr");
}

std::string QuickRunConfigPath(const std::string& game_folder) {
  return JoinPath(GameFolder(game_folder), "quickrun.cfg");
}

std::string MissionLogPath(const std::string& game_folder, const std::string& map_name) {
  return JoinPath(GameFolder(game_folder), "vyr/log/" + map_name + ".log");
}

std::string GameProgramFolder(const std::string& game_folder) {
  return FolderWithSeparator(GameFolder(game_folder));
}

std::string GameModificationName(const std::string& game_folder) {
  return LastComponent(GameFolder(game_folder));
}

std::string GameProgramName(const std::string& program_folder) {
  return IsRegularFile(program_folder + "quake2.exe") ? "quake2.exe" : "quake2";
}

std::vector<std::string> GameArguments(const std::string& modification) {
  return {"+set", "game",       modification, "+set", "deathmatch", "1", "+set",  "dedicated",   "0",
          "+set", "maxclients", "30",         "+set", "cheats",     "1", "+exec", "quickrun.cfg"};
}

std::string GameCommandLine(const std::string& program_folder, const std::string& program,
                            const std::string& modification) {
  std::string line = program_folder + program;
  for (const std::string& argument : GameArguments(modification))
    line += " " + argument;
  return line;
}

std::string QuickrunCfgText(const EditorSettings& settings, const std::string& map_name,
                            const std::string& script_file_name) {
  const std::vector<std::string> lines = {
      "set deathmatch 1",
      "set teamplay 1",
      "set vyr 1",
      "set bholelimit " + settings.bholelimit,
      "set splatlimit " + settings.splatlimit,
      // The game's switch is the inverse of the setting.
      std::string("set shelloff ") + (settings.eject_shells ? "0" : "1"),
      std::string("set breakableglass ") + (settings.breakable_glass ? "1" : "0"),
      std::string("set developer ") + (settings.developer ? "1" : "0"),
      "gamemap " + map_name,
      "mission " + script_file_name,
  };
  std::string text;
  for (const std::string& line : lines)
    text += line + "\r\n";
  return text;
}

Status WriteQuickrunCfg(const std::string& config_file, const EditorSettings& settings,
                        const std::string& map_name, const std::string& script_file_name) {
  return platform::WriteFileAtomically(config_file, QuickrunCfgText(settings, map_name, script_file_name));
}

CheckVerdict CompileAndParse(LaunchContext& context, const std::string& file,
                             std::vector<ScriptMessage>* messages) {
  // Parsing a script left from an earlier run would give a verdict on the wrong mission.
  if (Status compiled = context.compile(file); !compiled) {
    context.ui.ShowMessage("Error", compiled.message, MessageIcon::kCritical);
    return CheckVerdict::kNotChecked;
  }
  ParseOutcome outcome = context.parse(file);
  if (!outcome.library_reached) {
    context.ui.ShowMessage("Error", "The mission script library is not available: " + outcome.message,
                           MessageIcon::kCritical);
    return CheckVerdict::kNotChecked;
  }
  if (messages != nullptr) *messages = std::move(outcome.messages);
  return outcome.result == 0 ? CheckVerdict::kParsed : CheckVerdict::kNotParsed;
}

std::optional<std::string> AskBuildPath(LaunchContext& context, const std::string& folder,
                                        const std::string& name) {
  return context.ui.AskSavePath({"Save mission script as", "VYR Mission script|*.vyr", folder, name});
}

namespace {

// The failed build's verdict, then what the author must fix when the context can say it.
std::string BuildFailedText(const LaunchContext& context, const std::vector<ScriptMessage>& messages) {
  const std::string details = context.describe ? context.describe(messages) : std::string();
  return details.empty() ? std::string(kBuildFailed) : std::string(kBuildFailed) + "\n\n" + details;
}

}  // namespace

void TellBuildFailed(LaunchContext& context, const std::string& title, const std::string& text) {
  if (!context.show_problems) {
    context.ui.ShowMessage(title, text, MessageIcon::kCritical);
  } else if (context.ui.ShowMessageWithAction(title, text, MessageIcon::kCritical, kShowProblemsLabel)) {
    context.show_problems();
  }
}

void BuildMission(LaunchContext& context, const std::string& file) {
  std::vector<ScriptMessage> messages;
  switch (CompileAndParse(context, file, &messages)) {
    case CheckVerdict::kParsed:
      context.ui.ShowMessage("Message", "Build successful. Click Ok to acknowledge.",
                             MessageIcon::kInformation);
      break;
    case CheckVerdict::kNotParsed:
      TellBuildFailed(context, "Message", BuildFailedText(context, messages));
      break;
    case CheckVerdict::kNotChecked:
      break;
  }
}

void PreviewScript(LaunchContext& context) {
  if (Status made = EnsureFolder(context.editor_folder); !made) {
    context.ui.ShowMessage("Error", made.message, MessageIcon::kCritical);
    return;
  }
  const std::string file = PreviewPath(context.editor_folder);
  if (Status compiled = context.compile(file); !compiled) {
    context.ui.ShowMessage("Error", compiled.message, MessageIcon::kCritical);
    return;
  }
  TellViewerFailure(context, file, context.launcher.OpenTextFile(file));
}

void ViewLog(LaunchContext& context, const EditorSettings& settings, const std::string& map_name) {
  if (map_name.empty()) return;
  // Without a game folder there is no log to look for.
  const std::string log = MissionLogPath(settings.aq2_path, map_name);
  if (settings.aq2_path.empty() || !IsRegularFile(log)) {
    context.ui.ShowMessage("View log",
                           "No log available. Make sure to enable developer mode (AQ2 Setings) and run your "
                           "mission at least once.",
                           MessageIcon::kCritical);
    return;
  }
  TellViewerFailure(context, log, context.launcher.OpenTextFile(log));
}

void QuickRun(LaunchContext& context, const EditorSettings& settings, const std::string& map_name,
              const std::string& script_file) {
  if (settings.aq2_path.empty()) {
    context.ui.ShowMessage("Error", "Please set you AQ2 folder first.", MessageIcon::kCritical);
    return;
  }
  const std::string program_folder = GameProgramFolder(settings.aq2_path);
  const std::string modification = GameModificationName(settings.aq2_path);

  std::vector<ScriptMessage> messages;
  switch (CompileAndParse(context, script_file, &messages)) {
    case CheckVerdict::kNotChecked:
      return;
    case CheckVerdict::kNotParsed:
      TellBuildFailed(context, "Message", BuildFailedText(context, messages));
      return;
    case CheckVerdict::kParsed:
      break;
  }

  // A game started with last run's configuration would run the wrong map.
  if (Status written = WriteQuickrunCfg(QuickRunConfigPath(settings.aq2_path), settings, map_name,
                                        LastComponent(script_file));
      !written) {
    context.ui.ShowMessage("Error", written.message, MessageIcon::kCritical);
    return;
  }
  // The game runs in its program folder; the editor's own current folder is left alone.
  const std::string program = program_folder + GameProgramName(program_folder);
  TellStartFailure(context,
                   context.launcher.StartProgram(program, GameArguments(modification), program_folder));
}

}  // namespace vyr::editor
