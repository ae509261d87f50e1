// The outcome of an editor-core operation that can fail: no exceptions leave the core.
#pragma once

#include <string>
#include <utility>

namespace vyr::editor {

struct Status {
  bool ok = true;
  std::string message;  // readable, names the file and line where there is one

  static Status Ok() { return {}; }
  static Status Error(std::string text) { return {false, std::move(text)}; }
  explicit operator bool() const { return ok; }
};

}  // namespace vyr::editor
