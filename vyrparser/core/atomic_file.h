// Whole-file writes that never leave a half-written target behind.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vyr::parser {

// Writes `bytes` to a fresh temporary file in the target's folder and renames it over `path`.
// Returns an empty string on success, else a readable reason naming the path; the old file is then intact.
std::string WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

}  // namespace vyr::parser
