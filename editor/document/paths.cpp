#include "editor/document/paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace vyr::editor {

namespace {

std::string EnvOrEmpty(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}

std::string HomeFolder() {
  std::string home = EnvOrEmpty("HOME");
  if (!home.empty()) return home;
  if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir) return entry->pw_dir;
  return "/tmp";
}

}  // namespace

std::string XdgDataHome() {
  std::string data_home = EnvOrEmpty("XDG_DATA_HOME");
  // Relative values are invalid by the XDG rules and must be ignored.
  if (data_home.empty() || data_home.front() != '/') return JoinPath(HomeFolder(), ".local/share");
  return TrimTrailingSeparators(data_home);
}

std::string EditorDataFolder() {
  std::string overridden = EnvOrEmpty("VYR_EDITOR_DATA_DIR");
  if (!overridden.empty()) return TrimTrailingSeparators(overridden);
  return JoinPath(XdgDataHome(), "VYR Mission Editor");
}

std::string DropTrailingSeparator(std::string_view path) {
  if (!path.empty() && IsPathSeparator(path.back())) path.remove_suffix(1);
  return std::string(path);
}

std::string TrimTrailingSeparators(std::string_view path) {
  while (path.size() > 1 && IsPathSeparator(path.back()))
    path.remove_suffix(1);
  return std::string(path);
}

std::string FolderWithSeparator(std::string_view path) {
  for (std::size_t i = path.size(); i > 0; --i) {
    if (IsPathSeparator(path[i - 1])) return std::string(path.substr(0, i));
  }
  return {};
}

std::string LastComponent(std::string_view path) {
  return std::string(path.substr(FolderWithSeparator(path).size()));
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  if (folder.empty()) return std::string(name);
  std::string joined(folder);
  if (!IsPathSeparator(joined.back())) joined += '/';
  joined += name;
  return joined;
}

Status EnsureFolder(const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) return Status::Error("Cannot create the folder " + folder + ": " + error.message());
  return Status::Ok();
}

}  // namespace vyr::editor
