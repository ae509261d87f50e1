// The error checker: would the script built from the current mission be accepted by the parser?
#pragma once

#include <string>

#include "editor/launch/game_launch.h"

namespace vyr::editor {

// The scratch file every check overwrites and leaves in place.
std::string ErrorCheckPath(const std::string& editor_folder);

// Generates the script into the scratch file, lets the library parse it and tells the verdict.
// The document is not changed.
void ErrorCheck(LaunchContext& context);

}  // namespace vyr::editor
