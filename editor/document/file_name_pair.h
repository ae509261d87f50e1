// The file name and directory the editor keeps for the project, each section file and the mission script.
#pragma once

#include <string>
#include <string_view>

namespace vyr::editor {

inline constexpr std::string_view kUnnamed = "unnamed";

struct FileNamePair {
  std::string name{kUnnamed};  // with extension, without directory
  std::string directory;       // ends with "\" or "/", or is empty

  bool unnamed() const { return name == kUnnamed; }  // never saved nor loaded
  std::string path() const { return directory + name; }
  bool operator==(const FileNamePair&) const = default;
};

// The directory is everything up to and including the last "\" or "/", the name everything after it.
FileNamePair SplitPath(std::string_view path);

}  // namespace vyr::editor
