// The Project menu's launch commands bound to the mission document: what the main window calls.
#pragma once

#include "editor/document/mission_document.h"
#include "editor/launch/game_launch.h"
#include "editor/script/generator.h"

namespace vyr::editor {

// The generator writing `document`, with its captions going to `progress`.
CompileFunction CompileWith(MissionDocument& document, CompileProgress progress = {});

// Asks for the script file in the project's script folder with its script name filled in, remembers
// the choice as the project's mission script, then builds. Cancelling changes nothing.
void BuildCommand(LaunchContext& context, MissionDocument& document);

// The quick run into the game's missions folder as MyMission.vyr, with the document's map.
void QuickRunCommand(LaunchContext& context, const EditorSettings& settings, const MissionDocument& document);

void ViewLogCommand(LaunchContext& context, const EditorSettings& settings, const MissionDocument& document);

}  // namespace vyr::editor
