#include "tools/vyr/editor_session.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "editor/script/mission_reader.h"

namespace vyr::tool {

namespace {

// The library beside this program: build/bin/vyr uses build/lib, an installed bin/vyr uses lib.
std::string LibraryPath() {
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    const std::filesystem::path beside = self.parent_path().parent_path() / "lib" / "libvyrparser.so";
    if (std::filesystem::exists(beside, ec)) return beside.string();
  }
  return VYR_PARSER_LIBRARY;
}

}  // namespace

bool EnsureLibrary(const std::string& command) {
  const editor::Status registered = editor::EnsureMissionLibraryRegistered(LibraryPath());
  if (registered) return true;
  std::cerr << "vyr " << command << ": " << registered.message << '\n';
  return false;
}

}  // namespace vyr::tool
