#include "tools/vyr/editor_session.h"

#include "editor/script/mission_reader.h"
#include "vyrparser/automation/ivyrmission.h"

namespace vyr::tool {

bool EnsureLibrary(const std::string& command) {
  const editor::Status registered =
      editor::EnsureMissionLibraryRegistered(automation::BuiltVYRMissionLibrary());
  if (registered) return true;
  std::cerr << "vyr " << command << ": " << registered.message << '\n';
  return false;
}

}  // namespace vyr::tool
