// Finding records by name: every location, area, force, team, actor and outcome whose name holds the
// searched text, ignoring letter case, in the order the project tree shows them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "editor/document/mission_document.h"

namespace vyr::editor {

struct RecordMatch {
  NodeId node = kNoNode;
  std::string kind;  // "Location", "Area", "Force", "Team", "Actor" or "Outcome"
  std::string path;  // the names from the force down, as "Blue / Alpha / Bot"
};

// Outcomes have no name: their label ("Success", "Failure") and their message are searched, and the
// path shows both. Empty text (or only blanks) finds nothing; at most `limit` matches are returned.
std::vector<RecordMatch> FindRecords(const MissionDocument& document, std::string_view text,
                                     std::size_t limit = 1000);

}  // namespace vyr::editor
