// The document's one-field edits: where each field lives, the node that shows it, the announcement.
#include <type_traits>

#include "editor/document/mission_document.h"

namespace vyr::editor {

RecordKind KindOf(Field field) {
  if (field <= Field::kAnnotation) return RecordKind::kMission;
  if (field <= Field::kLocZ) return RecordKind::kLocation;
  if (field <= Field::kAreaRadius) return RecordKind::kArea;
  if (field <= Field::kForceDesc) return RecordKind::kForce;
  if (field <= Field::kPlan) return RecordKind::kTeam;
  if (field <= Field::kItem) return RecordKind::kActor;
  return RecordKind::kOutcome;
}

// Exactly one member points at the field's storage, or none when the field or element does not exist.
struct MissionDocument::FieldSlot {
  std::string* text = nullptr;
  Integer* integer = nullptr;
  Single* single = nullptr;
  bool* flag = nullptr;
};

bool MissionDocument::Exists(const RecordRef& r) const {
  switch (r.kind) {
    case RecordKind::kMission:
      return true;
    case RecordKind::kLocation:
      return r.index >= 0 && r.index < location_count_;
    case RecordKind::kArea:
      return r.index >= 0 && r.index < area_count_;
    case RecordKind::kForce:
      return ValidForce(r.force);
    case RecordKind::kTeam:
      return ValidTeam(r.force, r.team);
    case RecordKind::kActor:
      return ValidActor(r.force, r.team, r.index);
    case RecordKind::kOutcome:
      return r.index >= 0 && r.index < outcome_count_;
  }
  return false;
}

MissionDocument::FieldSlot MissionDocument::SlotOf(const RecordRef& r, Field field, int element) {
  FieldSlot slot;
  if (KindOf(field) != r.kind || !Exists(r)) return slot;
  const bool plain = element == 0;
  switch (field) {
    case Field::kMissionName:
      slot.text = &info.vyr_missionname;
      break;
    case Field::kAuthor:
      slot.text = &info.vyr_author;
      break;
    case Field::kMissionDescription:
      slot.text = &info.vyr_missiondescription;
      break;
    case Field::kMapName:
      slot.text = &info.vyr_mapname;
      break;
    case Field::kMapStyles:
      slot.text = &info.map_styles;
      break;
    case Field::kAnnotation:
      slot.text = &info.annotation;
      break;
    case Field::kLocName:
      slot.text = &writable_location(r.index).loc_name;
      break;
    case Field::kLocDesc:
      slot.text = &writable_location(r.index).loc_desc;
      break;
    case Field::kLocX:
      slot.integer = &writable_location(r.index).loc_x;
      break;
    case Field::kLocY:
      slot.integer = &writable_location(r.index).loc_y;
      break;
    case Field::kLocZ:
      slot.integer = &writable_location(r.index).loc_z;
      break;
    case Field::kAreaName:
      slot.text = &writable_area(r.index).area_name;
      break;
    case Field::kAreaDesc:
      slot.text = &writable_area(r.index).area_desc;
      break;
    case Field::kAreaLocations:
      slot.text = &writable_area(r.index).area_locations;
      break;
    case Field::kAreaStyle:
      slot.text = &writable_area(r.index).area_style;
      break;
    case Field::kAreaRadius:
      slot.integer = &writable_area(r.index).area_radius;
      break;
    case Field::kForceName:
      slot.text = &writable_force(r.force).force_name;
      break;
    case Field::kForceDesc:
      slot.text = &writable_force(r.force).force_desc;
      break;
    case Field::kTeamName:
      slot.text = &writable_team(r.force, r.team).team_name;
      break;
    case Field::kTeamDesc:
      slot.text = &writable_team(r.force, r.team).team_desc;
      break;
    case Field::kPlan:
      slot.text = &writable_team(r.force, r.team).plan;
      break;
    case Field::kNpcPlayer:
      slot.flag = &writable_actor(r.force, r.team, r.index).npc_player;
      break;
    case Field::kNpcName:
      slot.text = &writable_actor(r.force, r.team, r.index).npc_name;
      break;
    case Field::kNpcSkill:
      slot.single = &writable_actor(r.force, r.team, r.index).npc_skill;
      break;
    case Field::kNpcSkin:
      slot.text = &writable_actor(r.force, r.team, r.index).npc_skin;
      break;
    case Field::kWeapon: {
      auto& weapons = writable_actor(r.force, r.team, r.index).weapon;
      if (element >= 0 && element < static_cast<int>(weapons.size())) slot.flag = &weapons[element];
      return slot;
    }
    case Field::kAmmo: {
      auto& ammo = writable_actor(r.force, r.team, r.index).ammo;
      if (element >= 0 && element < static_cast<int>(ammo.size())) slot.integer = &ammo[element];
      return slot;
    }
    case Field::kItem: {
      auto& items = writable_actor(r.force, r.team, r.index).item;
      if (element >= 0 && element < static_cast<int>(items.size())) slot.flag = &items[element];
      return slot;
    }
    case Field::kOutcomeType:
      slot.text = &writable_outcome(r.index).outcome_type;
      break;
    case Field::kOutcomeForce:
      slot.text = &writable_outcome(r.index).outcome_force;
      break;
    case Field::kOutcomeMessage:
      slot.text = &writable_outcome(r.index).outcome_message;
      break;
    case Field::kOutcomeReason:
      slot.text = &writable_outcome(r.index).outcome_reason;
      break;
    case Field::kNextMission:
      slot.text = &writable_outcome(r.index).nextmission;
      break;
  }
  return plain ? slot : FieldSlot{};
}

namespace {

template <typename T>
bool Store(T* target, const FieldValue& value, FieldValue& old_value) {
  const T* wanted = std::get_if<T>(&value);
  if (target == nullptr || wanted == nullptr) return false;
  old_value = *target;
  *target = *wanted;
  return true;
}

}  // namespace

std::optional<FieldValue> MissionDocument::GetField(const RecordRef& record, Field field, int element) const {
  const FieldSlot slot = const_cast<MissionDocument*>(this)->SlotOf(record, field, element);
  if (slot.text != nullptr) return *slot.text;
  if (slot.integer != nullptr) return *slot.integer;
  if (slot.single != nullptr) return *slot.single;
  if (slot.flag != nullptr) return *slot.flag;
  return std::nullopt;
}

Status MissionDocument::SetField(const RecordRef& record, Field field, const FieldValue& value, int element) {
  const std::optional<FieldValue> current = GetField(record, field, element);
  if (!current) return Status::Error("There is no such record or field to change.");
  if (current->index() != value.index()) return Status::Error("The value does not fit the field.");
  if (*current == value) return Status::Ok();

  const FieldSlot slot = SlotOf(record, field, element);
  RecordEdit edit{record, field, element, {}, value};
  (void)(Store(slot.text, value, edit.old_value) || Store(slot.integer, value, edit.old_value) ||
         Store(slot.single, value, edit.old_value) || Store(slot.flag, value, edit.old_value));

  // The tree shows names and the kind of outcome; keep the node's label with the record.
  const std::string* text = std::get_if<std::string>(&value);
  switch (field) {
    case Field::kLocName:
      tree_.SetText(tree_.LocationNode(record.index), *text);
      break;
    case Field::kAreaName:
      tree_.SetText(tree_.AreaNode(record.index), *text);
      break;
    case Field::kForceName:
      tree_.SetText(tree_.ForceNode(record.force), *text);
      break;
    case Field::kTeamName:
      tree_.SetText(tree_.TeamNode(record.force, record.team), *text);
      break;
    case Field::kNpcName:
      tree_.SetText(tree_.ActorNode(record.force, record.team, record.index), *text);
      break;
    case Field::kOutcomeType:
      tree_.SetText(tree_.OutcomeNode(record.index), *text == "success" ? "Success" : "Failure");
      break;
    default:
      break;
  }
  edits_.Notify(edit);
  return Status::Ok();
}

}  // namespace vyr::editor
