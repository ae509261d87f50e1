// Path helpers shared by the launch commands, the import, the prefab tables and the windows. The editor
// accepts both "\" and "/" as separators in paths the user typed or stored; the paths it builds itself
// use "/".
#pragma once

#include <string>
#include <string_view>

#include "editor/document/status.h"

namespace vyr::editor {

// The XDG data home: $XDG_DATA_HOME when it is an absolute path, else ~/.local/share.
std::string XdgDataHome();

// The editor's own folder for the files it writes (scratch scripts, prefab tables): the environment
// variable VYR_EDITOR_DATA_DIR when set, else the XDG data home + "/VYR Mission Editor". No trailing "/".
std::string EditorDataFolder();

inline bool IsPathSeparator(char c) {
  return c == '/' || c == '\\';
}

// Drops one trailing separator, if there is one.
std::string DropTrailingSeparator(std::string_view path);

// Drops every trailing separator but never empties a path that is only separators.
std::string TrimTrailingSeparators(std::string_view path);

// The text up to and including the last separator ("" when there is none).
std::string FolderWithSeparator(std::string_view path);

// The text after the last separator (the whole text when there is none).
std::string LastComponent(std::string_view path);

// `folder` + "/" + `name`, without doubling a separator that `folder` already ends with.
std::string JoinPath(std::string_view folder, std::string_view name);

// Creates the folder and its parents; succeeds when it already exists.
Status EnsureFolder(const std::string& folder);

}  // namespace vyr::editor
