// One field of one record, as a property window edits it: which record, which field, the value before
// and after. Every edit of the windows is one such call on the document, which keeps what depends on
// the field in step and announces the edit, so views follow and the edit can be undone.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "editor/document/records.h"

namespace vyr::editor {

enum class RecordKind : std::uint8_t { kMission, kLocation, kArea, kForce, kTeam, kActor, kOutcome };

// A record by its indices; the indices that do not apply are -1.
struct RecordRef {
  RecordKind kind = RecordKind::kMission;
  int force = -1;  // a force, or the force of a team or actor
  int team = -1;   // a team, or the team of an actor
  int index = -1;  // a location, area, actor or outcome

  static RecordRef Mission() { return {}; }
  static RecordRef Location(int index) { return {RecordKind::kLocation, -1, -1, index}; }
  static RecordRef Area(int index) { return {RecordKind::kArea, -1, -1, index}; }
  static RecordRef Force(int force) { return {RecordKind::kForce, force, -1, -1}; }
  static RecordRef Team(int force, int team) { return {RecordKind::kTeam, force, team, -1}; }
  static RecordRef Actor(int force, int team, int actor) { return {RecordKind::kActor, force, team, actor}; }
  static RecordRef Outcome(int index) { return {RecordKind::kOutcome, -1, -1, index}; }

  bool operator==(const RecordRef&) const = default;
};

// The fields, named after the record members they write. kWeapon, kAmmo and kItem take an element:
// 0 to 5 for weapons, 0 to 4 for ammunition and items.
enum class Field : std::uint8_t {
  kMissionName,
  kAuthor,
  kMissionDescription,
  kMapName,
  kMapStyles,
  kAnnotation,
  kLocName,
  kLocDesc,
  kLocX,
  kLocY,
  kLocZ,
  kAreaName,
  kAreaDesc,
  kAreaLocations,
  kAreaStyle,
  kAreaRadius,
  kForceName,
  kForceDesc,
  kTeamName,
  kTeamDesc,
  kPlan,
  kNpcPlayer,
  kNpcName,
  kNpcSkill,
  kNpcSkin,
  kWeapon,
  kAmmo,
  kItem,
  kOutcomeType,
  kOutcomeForce,
  kOutcomeMessage,
  kOutcomeReason,
  kNextMission,
};

// Text fields hold std::string, coordinates, radius and ammunition Integer, the skill Single, and the
// flags (player, weapons, items) bool.
using FieldValue = std::variant<std::string, Integer, Single, bool>;

struct RecordEdit {
  RecordRef record;
  Field field = Field::kMissionName;
  int element = 0;
  FieldValue old_value;
  FieldValue new_value;
};

// The record kind a field belongs to.
RecordKind KindOf(Field field);

}  // namespace vyr::editor
