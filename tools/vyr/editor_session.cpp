#include "tools/vyr/editor_session.h"

#include <filesystem>
#include <system_error>

#include "editor/script/mission_reader.h"

namespace vyr::tool {

namespace {

// The library this program was built with, or the installed one when the build tree is gone.
std::string LibraryPath() {
  std::error_code ec;
  if (std::filesystem::exists(VYR_PARSER_LIBRARY_BUILD_PATH, ec)) return VYR_PARSER_LIBRARY_BUILD_PATH;
  return VYR_PARSER_LIBRARY_INSTALL_PATH;
}

}  // namespace

bool EnsureLibrary(const std::string& command) {
  const editor::Status registered = editor::EnsureMissionLibraryRegistered(LibraryPath());
  if (registered) return true;
  std::cerr << "vyr " << command << ": " << registered.message << '\n';
  return false;
}

}  // namespace vyr::tool
