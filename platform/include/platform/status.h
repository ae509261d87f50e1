// The outcome of an operation that can fail: no exceptions leave a library or module.
#pragma once

#include <string>
#include <utility>

namespace platform {

struct Status {
  bool ok = true;
  std::string message;     // readable, names the file and line where there is one
  bool cancelled = false;  // the user cancelled a dialog: not ok, yet nothing to tell them

  static Status Ok() { return {}; }
  static Status Error(std::string text) { return {false, std::move(text)}; }
  static Status Cancelled() { return {false, {}, true}; }
  explicit operator bool() const { return ok; }
};

}  // namespace platform
