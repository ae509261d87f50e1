// The commands that take the mission out of the editor: build, preview, view log and quick run, and
// the game paths, configuration file and command line they rely on.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "editor/document/status.h"
#include "editor/document/user_interface.h"
#include "editor/launch/launcher.h"
#include "editor/launch/settings.h"
#include "editor/script/mission_reader.h"

namespace vyr::editor {

// The verdict of the mission script library on one file: CloseMission, then TryParseMission.
struct ParseOutcome {
  bool library_reached = false;  // false: the library object could not be created; see `message`
  int result = 0;                // 0 parsed, 1 file problem, 2 parse problem
  std::string message;
  std::vector<ScriptMessage> messages = {};  // the parser's, when the library hands them over
};

using CompileFunction = std::function<Status(const std::string& file)>;      // writes the mission script
using ParseFunction = std::function<ParseOutcome(const std::string& file)>;  // asks the library
// The mistakes behind a failed parse with these messages, in the author's terms; "" when it has none.
using DescribeFunction = std::function<std::string(const std::vector<ScriptMessage>& messages)>;

// What the launch commands use of the rest of the editor.
struct LaunchContext {
  UserInterface& ui;
  Launcher& launcher;
  CompileFunction compile;
  ParseFunction parse;
  std::string editor_folder;       // where scratch files go; EditorDataFolder() in the program
  DescribeFunction describe = {};  // adds the mistakes to a failed build's message; none: the verdict alone
  std::function<void()> show_problems = {};  // opens the problem list; none: failures offer no button for it
};

// The label of the button a failed build's message offers for the problem list.
inline constexpr const char* kShowProblemsLabel = "Show problems";

// A failed build's or check's message, with the button that opens the problem list when there is one.
void TellBuildFailed(LaunchContext& context, const std::string& title, const std::string& text);

// ---- Names and paths. The game folder is the modification's folder (it holds gamex86.dll).

std::string PreviewPath(const std::string& editor_folder);
std::string QuickRunScriptPath(const std::string& game_folder);
std::string QuickRunConfigPath(const std::string& game_folder);
std::string MissionLogPath(const std::string& game_folder, const std::string& map_name);
// The folder above the game folder, with its trailing separator.
std::string GameProgramFolder(const std::string& game_folder);
// The last component of the game folder.
std::string GameModificationName(const std::string& game_folder);
// "quake2.exe" when the program folder holds it, else "quake2".
std::string GameProgramName(const std::string& program_folder);
// The game's arguments after the program: "+set game MOD +set deathmatch 1 ... +exec quickrun.cfg".
std::vector<std::string> GameArguments(const std::string& modification);
// The whole command line as one text: program folder + program + the arguments, blank-separated.
std::string GameCommandLine(const std::string& program_folder, const std::string& program,
                            const std::string& modification);

// The ten lines of quickrun.cfg, each ended by CR LF.
std::string QuickrunCfgText(const EditorSettings& settings, const std::string& map_name,
                            const std::string& script_file_name);
Status WriteQuickrunCfg(const std::string& config_file, const EditorSettings& settings,
                        const std::string& map_name, const std::string& script_file_name);

// ---- The commands. Each tells the user its outcome through the context's user interface.

enum class CheckVerdict { kParsed, kNotParsed, kNotChecked };

// Generates the script into `file` and lets the library parse it. kNotChecked: the script could not
// be written or the library not reached; the user has been told why. `messages`, when given, receives
// the parser's messages.
CheckVerdict CompileAndParse(LaunchContext& context, const std::string& file,
                             std::vector<ScriptMessage>* messages = nullptr);

// Asks where to write the built script, starting in `folder` with `name` filled in; nothing when the
// user cancels. The caller stores the chosen name and folder in the project.
std::optional<std::string> AskBuildPath(LaunchContext& context, const std::string& folder,
                                        const std::string& name);
void BuildMission(LaunchContext& context, const std::string& file);
void PreviewScript(LaunchContext& context);
void ViewLog(LaunchContext& context, const EditorSettings& settings, const std::string& map_name);
void QuickRun(LaunchContext& context, const EditorSettings& settings, const std::string& map_name,
              const std::string& script_file);

}  // namespace vyr::editor
