// The library's verdict on a generated script, asked the way every command asks it: a fresh VYRMission,
// CloseMission, then TryParseMission; the object is released afterwards.
#pragma once

#include <string>

#include "editor/launch/game_launch.h"

namespace vyr::editor {

// `library_path`, when given, is registered first if the class is not (as the command-line tool does);
// the editor leaves it empty because it registers the library at start-up.
ParseOutcome ParseWithLibrary(const std::string& file, const std::string& library_path = {});

inline ParseFunction LibraryParser(std::string library_path = {}) {
  return [library_path = std::move(library_path)](const std::string& file) {
    return ParseWithLibrary(file, library_path);
  };
}

}  // namespace vyr::editor
