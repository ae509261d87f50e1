// Finding records: every location, area, force, team, actor and outcome whose name, description,
// message, trigger or plan holds the searched text, and the records that name a location or area.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "editor/document/mission_document.h"

namespace vyr::editor {

// One field of one record that holds the text. Plan hits come one per plan line.
struct RecordMatch {
  NodeId node = kNoNode;
  RecordRef record;
  Field field = Field::kMissionName;  // kOutcomeType stands for an outcome's label ("Success")
  int line = 0;                       // 1-based plan line for kPlan, else 0
};

// Which kinds a search looks at: a set of bits over RecordKind.
using KindMask = std::uint32_t;
constexpr KindMask KindBit(RecordKind kind) {
  return KindMask{1} << static_cast<unsigned>(kind);
}
inline constexpr KindMask kAllKinds = ~KindMask{0};

// The text as searches compare it: letters in lower case without their accents, as Windows-1252 has
// them ("\xC9" -> "e"), ligatures and sharp s spelt out ("\xC6" -> "ae", "\xDF" -> "ss"); other bytes kept.
std::string FoldForSearch(std::string_view text);

// Every match in tree order: records as the project tree shows them, and within a record its name, then
// description (or an outcome's label, message and trigger), then its plan lines. Empty text (or only
// blanks) finds nothing. Nothing is left out however many match.
std::vector<RecordMatch> FindRecords(const MissionDocument& document, std::string_view text,
                                     KindMask kinds = kAllKinds);

// The areas, plans and outcome triggers that name the location or area of `node` (as the script names
// it: the whole name, letter case and all, outside comments and strings), in tree order. Nothing for any
// other node.
std::vector<RecordMatch> FindUsages(const MissionDocument& document, NodeId node);

// "Location", "Area", "Force", "Team", "Actor", "Outcome" (and "Mission").
std::string_view KindName(RecordKind kind);
// The names from the force down, as "Blue / Alpha / Bot"; an outcome's label and message.
std::string MatchPath(const MissionDocument& document, const RecordMatch& match);
// Where the text was found, as "Name", "Description", "Plan line 3: attack towards gate".
std::string MatchPlace(const MissionDocument& document, const RecordMatch& match);

}  // namespace vyr::editor
