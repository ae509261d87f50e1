// A name or text between double quotes, as messages and mission scripts both write it: scripts
// have no escapes, so the value stands as it is.
#pragma once

#include <string>
#include <string_view>

namespace vyr::editor {

inline std::string Quoted(std::string_view value) {
  std::string out;
  out.reserve(value.size() + 2);
  out += '"';
  out += value;
  out += '"';
  return out;
}

}  // namespace vyr::editor
