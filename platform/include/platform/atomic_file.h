// Whole-file writes that never leave a half-written target behind.
#pragma once

#include <string>
#include <string_view>

#include "platform/status.h"

namespace platform {

// Writes `bytes` to a new temporary file in the target's folder, flushes it to disk, renames it over
// `path` and flushes the folder. A file that is replaced keeps its permission bits; a new one gets
// 0666 less the umask. On any failure the old file is intact, the temporary file is removed and the
// message reads "<path>: <reason>", as in "a.mlc: cannot replace the file: Is a directory".
Status WriteFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace platform
