// Whole-file reads and atomic whole-file writes for the platform layer's own files.
#pragma once

#include <string>

#include "platform/registry.h"

namespace platform {

// Reads the file into *text; a missing file is not an error (*exists is set to false).
Status ReadWholeFile(const std::string& path, std::string* text, bool* exists);

// Writes a temporary file in the same folder, flushes it to disk and renames it over the target,
// so the old file stays whole on any failure.
Status WriteFileAtomically(const std::string& path, const std::string& text);

}  // namespace platform
