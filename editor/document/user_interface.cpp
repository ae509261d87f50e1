#include "editor/document/user_interface.h"

namespace vyr::editor {

std::string FilterExtension(std::string_view filter) {
  // "Description|*.ext;*.other|...": the pattern part of the first pair, or the whole text without one.
  std::string_view patterns = filter;
  if (const auto bar = filter.find('|'); bar != std::string_view::npos) {
    patterns = filter.substr(bar + 1);
    patterns = patterns.substr(0, patterns.find('|'));
  }
  const std::string_view first = patterns.substr(0, patterns.find_first_of("; "));
  if (!first.starts_with("*.")) return {};
  const std::string_view extension = first.substr(1);
  if (extension.size() < 2 || extension.find_first_of("*?") != std::string_view::npos) return {};
  return std::string(extension);
}

std::string WithDefaultExtension(std::string path, std::string_view extension) {
  if (extension.empty()) return path;
  const std::size_t slash = path.find_last_of("\\/");
  const std::size_t name = slash == std::string::npos ? 0 : slash + 1;
  if (name == path.size() || path.find('.', name) != std::string::npos) return path;
  path += extension;
  return path;
}

std::optional<std::string> AskSaveFile(UserInterface& ui, const FileDialogRequest& request) {
  std::optional<std::string> path = ui.AskSavePath(request);
  if (path) *path = WithDefaultExtension(std::move(*path), FilterExtension(request.filter));
  return path;
}

}  // namespace vyr::editor
