#include "editor/document/file_name_pair.h"

namespace vyr::editor {

FileNamePair SplitPath(std::string_view path) {
  const std::size_t slash = path.find_last_of("\\/");
  if (slash == std::string_view::npos) return FileNamePair{std::string(path), ""};
  return FileNamePair{std::string(path.substr(slash + 1)), std::string(path.substr(0, slash + 1))};
}

}  // namespace vyr::editor
