// Writing a whole file safely: into a temporary file in the same folder, then renamed over the target,
// so the old file stays intact whatever goes wrong.
#pragma once

#include <string>
#include <string_view>

#include "editor/document/status.h"

namespace vyr::editor {

// On failure the message names the path and the reason, and the target is unchanged.
Status WriteFileAtomically(const std::string& path, std::string_view contents);

}  // namespace vyr::editor
