// One field of one record, as a property window edits it: which record, which field, the value before
// and after. Every edit of the windows is one such call on the document, which keeps what depends on
// the field in step and announces the edit, so views follow and the edit can be undone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

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

// Where one field (or one element of it) is stored: exactly one member is set, or none when the field or
// element does not exist.
struct FieldSlot {
  std::string* text = nullptr;
  Integer* integer = nullptr;
  Single* single = nullptr;
  bool* flag = nullptr;
};

// One record field, declared once: its kind of record, its caption where a list names it ("Name", "Plan"),
// the label of its undo step, how many elements it
// has (6 weapons, 5 ammunition counts, 5 items; 1 otherwise) and where a record of that kind stores it.
// `record` points at the record of `kind`: MissionInfo, LocationRecord, ... OutcomeRecord.
struct FieldInfo {
  Field field;
  RecordKind kind;
  std::string_view caption;
  std::string_view label;
  int elements;
  FieldSlot (*slot)(void* record, int element);
};

// Every field, in the order of the Field enumeration.
std::span<const FieldInfo> AllFields();
const FieldInfo& InfoOf(Field field);

// The record kind a field belongs to.
RecordKind KindOf(Field field);
// The label of a step that edits `field`: "Rename location", "Edit location x", "Edit plan"...
std::string_view EditLabel(Field field);

// The values of every field (each element in turn) of a record, in table order, and back: a copy made of
// these holds whatever the table declares, so a field cannot be left out of one.
template <typename Record>
std::vector<FieldValue> SaveFields(const Record& record);
template <typename Record>
void LoadFields(Record& record, const std::vector<FieldValue>& values);
// The heap memory of a record's text fields, roughly.
template <typename Record>
std::size_t FieldHeapBytes(const Record& record);
std::size_t HeapBytes(const std::string& text);
std::size_t HeapBytes(const FieldValue& value);

}  // namespace vyr::editor
