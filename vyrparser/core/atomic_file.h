// Whole-file writes that never leave a half-written target behind.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vyr::parser {

struct WriteResult {
  bool ok = true;
  std::string message;  // on failure: the path and the reason
  explicit operator bool() const { return ok; }
};

// Writes `bytes` to a fresh temporary file in the target's folder and renames it over `path`.
// On failure the old file (if any) is intact and no temporary file is left behind.
WriteResult WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

}  // namespace vyr::parser
