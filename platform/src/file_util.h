// Whole-file reads for the platform layer's own files.
#pragma once

#include <string>

#include "platform/status.h"

namespace platform {

// Reads the file into *text; a missing file is not an error (*exists is set to false).
Status ReadWholeFile(const std::string& path, std::string* text, bool* exists);

}  // namespace platform
