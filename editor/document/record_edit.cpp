// The document's one-field edits: the field table, where each field lives, the node that shows it, the
// announcement.
#include <array>
#include <type_traits>
#include <utility>

#include "editor/document/mission_document.h"

namespace vyr::editor {

namespace {

template <auto Member>
struct MemberOf;
template <typename R, typename T, T R::*Member>
struct MemberOf<Member> {
  using Record = R;
};

FieldSlot SlotFor(std::string& text, int element) {
  return element == 0 ? FieldSlot{.text = &text} : FieldSlot{};
}
FieldSlot SlotFor(Integer& integer, int element) {
  return element == 0 ? FieldSlot{.integer = &integer} : FieldSlot{};
}
FieldSlot SlotFor(Single& single, int element) {
  return element == 0 ? FieldSlot{.single = &single} : FieldSlot{};
}
FieldSlot SlotFor(bool& flag, int element) {
  return element == 0 ? FieldSlot{.flag = &flag} : FieldSlot{};
}
template <std::size_t N>
FieldSlot SlotFor(std::array<bool, N>& flags, int element) {
  return element >= 0 && element < static_cast<int>(N) ? FieldSlot{.flag = &flags[element]} : FieldSlot{};
}
template <std::size_t N>
FieldSlot SlotFor(std::array<Integer, N>& integers, int element) {
  return element >= 0 && element < static_cast<int>(N) ? FieldSlot{.integer = &integers[element]}
                                                       : FieldSlot{};
}

template <auto Member>
FieldSlot SlotOfMember(void* record, int element) {
  using Record = typename MemberOf<Member>::Record;
  return SlotFor(static_cast<Record*>(record)->*Member, element);
}

template <typename T>
constexpr int kElements = 1;
template <typename T, std::size_t N>
constexpr int kElements<std::array<T, N>> = static_cast<int>(N);

template <typename Record>
constexpr RecordKind kKindOf = RecordKind::kMission;
template <>
constexpr RecordKind kKindOf<LocationRecord> = RecordKind::kLocation;
template <>
constexpr RecordKind kKindOf<AreaRecord> = RecordKind::kArea;
template <>
constexpr RecordKind kKindOf<ForceRecord> = RecordKind::kForce;
template <>
constexpr RecordKind kKindOf<TeamRecord> = RecordKind::kTeam;
template <>
constexpr RecordKind kKindOf<ActorRecord> = RecordKind::kActor;
template <>
constexpr RecordKind kKindOf<OutcomeRecord> = RecordKind::kOutcome;

template <auto Member>
constexpr FieldInfo Entry(Field field, std::string_view caption, std::string_view label) {
  using Record = typename MemberOf<Member>::Record;
  using Type = std::remove_cvref_t<decltype(std::declval<Record&>().*Member)>;
  return {field, kKindOf<Record>, caption, label, kElements<Type>, &SlotOfMember<Member>};
}

constexpr std::array kFields = {
    Entry<&MissionInfo::vyr_missionname>(Field::kMissionName, "Mission name", "Edit mission name"),
    Entry<&MissionInfo::vyr_author>(Field::kAuthor, "Author", "Edit author"),
    Entry<&MissionInfo::vyr_missiondescription>(Field::kMissionDescription, "Description",
                                                "Edit mission description"),
    Entry<&MissionInfo::vyr_mapname>(Field::kMapName, "Map name", "Edit map name"),
    Entry<&MissionInfo::map_styles>(Field::kMapStyles, "Map styles", "Edit map styles"),
    Entry<&MissionInfo::annotation>(Field::kAnnotation, "Annotation", "Edit annotation"),
    Entry<&LocationRecord::loc_name>(Field::kLocName, "Name", "Rename location"),
    Entry<&LocationRecord::loc_desc>(Field::kLocDesc, "Description", "Edit location description"),
    Entry<&LocationRecord::loc_x>(Field::kLocX, "X", "Edit location x"),
    Entry<&LocationRecord::loc_y>(Field::kLocY, "Y", "Edit location y"),
    Entry<&LocationRecord::loc_z>(Field::kLocZ, "Z", "Edit location z"),
    Entry<&AreaRecord::area_name>(Field::kAreaName, "Name", "Rename area"),
    Entry<&AreaRecord::area_desc>(Field::kAreaDesc, "Description", "Edit area description"),
    Entry<&AreaRecord::area_locations>(Field::kAreaLocations, "Locations", "Edit area locations"),
    Entry<&AreaRecord::area_style>(Field::kAreaStyle, "Style", "Edit area style"),
    Entry<&AreaRecord::area_radius>(Field::kAreaRadius, "Radius", "Edit area radius"),
    Entry<&ForceRecord::force_name>(Field::kForceName, "Name", "Rename force"),
    Entry<&ForceRecord::force_desc>(Field::kForceDesc, "Description", "Edit force description"),
    Entry<&TeamRecord::team_name>(Field::kTeamName, "Name", "Rename team"),
    Entry<&TeamRecord::team_desc>(Field::kTeamDesc, "Description", "Edit team description"),
    Entry<&TeamRecord::plan>(Field::kPlan, "Plan", "Edit plan"),
    Entry<&ActorRecord::npc_player>(Field::kNpcPlayer, "Player", "Edit actor type"),
    Entry<&ActorRecord::npc_name>(Field::kNpcName, "Name", "Rename actor"),
    Entry<&ActorRecord::npc_skill>(Field::kNpcSkill, "Skill", "Edit actor skill"),
    Entry<&ActorRecord::npc_skin>(Field::kNpcSkin, "Skin", "Edit actor skin"),
    Entry<&ActorRecord::weapon>(Field::kWeapon, "Weapons", "Edit actor weapons"),
    Entry<&ActorRecord::ammo>(Field::kAmmo, "Ammunition", "Edit actor ammunition"),
    Entry<&ActorRecord::item>(Field::kItem, "Items", "Edit actor items"),
    Entry<&OutcomeRecord::outcome_type>(Field::kOutcomeType, "Type", "Edit outcome type"),
    Entry<&OutcomeRecord::outcome_force>(Field::kOutcomeForce, "Team or force", "Edit outcome force"),
    Entry<&OutcomeRecord::outcome_message>(Field::kOutcomeMessage, "Message", "Edit outcome message"),
    Entry<&OutcomeRecord::outcome_reason>(Field::kOutcomeReason, "Condition", "Edit outcome condition"),
    Entry<&OutcomeRecord::nextmission>(Field::kNextMission, "Next missions", "Edit next missions"),
};

constexpr bool InEnumOrder() {
  for (std::size_t i = 0; i < kFields.size(); ++i) {
    if (static_cast<std::size_t>(kFields[i].field) != i) return false;
  }
  return true;
}
static_assert(InEnumOrder(), "the field table lists the fields in the order of Field");
static_assert(kFields.size() == static_cast<std::size_t>(Field::kNextMission) + 1);

FieldValue Read(const FieldSlot& slot) {
  if (slot.text != nullptr) return *slot.text;
  if (slot.integer != nullptr) return *slot.integer;
  if (slot.single != nullptr) return *slot.single;
  return *slot.flag;
}

}  // namespace

std::span<const FieldInfo> AllFields() {
  return kFields;
}

const FieldInfo& InfoOf(Field field) {
  return kFields[static_cast<std::size_t>(field)];
}

RecordKind KindOf(Field field) {
  return InfoOf(field).kind;
}

std::string_view EditLabel(Field field) {
  return InfoOf(field).label;
}

std::size_t HeapBytes(const std::string& text) {
  return text.capacity() > 15 ? text.capacity() + 1 : 0;  // short strings live inside the object
}

std::size_t HeapBytes(const FieldValue& value) {
  const auto* text = std::get_if<std::string>(&value);
  return text != nullptr ? HeapBytes(*text) : 0;
}

template <typename Record>
std::vector<FieldValue> SaveFields(const Record& record) {
  std::vector<FieldValue> values;
  auto* writable = const_cast<Record*>(&record);  // the slots are only read
  for (const FieldInfo& info : kFields) {
    if (info.kind != kKindOf<Record>) continue;
    for (int e = 0; e < info.elements; ++e)
      values.push_back(Read(info.slot(writable, e)));
  }
  return values;
}

template <typename Record>
void LoadFields(Record& record, const std::vector<FieldValue>& values) {
  std::size_t next = 0;
  for (const FieldInfo& info : kFields) {
    if (info.kind != kKindOf<Record>) continue;
    for (int e = 0; e < info.elements && next < values.size(); ++e, ++next) {
      const FieldSlot slot = info.slot(&record, e);
      const FieldValue& value = values[next];
      if (slot.text != nullptr) *slot.text = std::get<std::string>(value);
      if (slot.integer != nullptr) *slot.integer = std::get<Integer>(value);
      if (slot.single != nullptr) *slot.single = std::get<Single>(value);
      if (slot.flag != nullptr) *slot.flag = std::get<bool>(value);
    }
  }
}

template <typename Record>
std::size_t FieldHeapBytes(const Record& record) {
  std::size_t bytes = 0;
  auto* writable = const_cast<Record*>(&record);
  for (const FieldInfo& info : kFields) {
    if (info.kind != kKindOf<Record>) continue;
    for (int e = 0; e < info.elements; ++e) {
      if (const std::string* text = info.slot(writable, e).text) bytes += HeapBytes(*text);
    }
  }
  return bytes;
}

#define VYR_RECORD_FIELDS(Record)                                            \
  template std::vector<FieldValue> SaveFields<Record>(const Record&);        \
  template void LoadFields<Record>(Record&, const std::vector<FieldValue>&); \
  template std::size_t FieldHeapBytes<Record>(const Record&);
VYR_RECORD_FIELDS(MissionInfo)
VYR_RECORD_FIELDS(LocationRecord)
VYR_RECORD_FIELDS(AreaRecord)
VYR_RECORD_FIELDS(ForceRecord)
VYR_RECORD_FIELDS(TeamRecord)
VYR_RECORD_FIELDS(ActorRecord)
VYR_RECORD_FIELDS(OutcomeRecord)
#undef VYR_RECORD_FIELDS

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

void* MissionDocument::RecordOf(const RecordRef& r) {
  if (!Exists(r)) return nullptr;
  switch (r.kind) {
    case RecordKind::kMission:
      return &info;
    case RecordKind::kLocation:
      return &writable_location(r.index);
    case RecordKind::kArea:
      return &writable_area(r.index);
    case RecordKind::kForce:
      return &writable_force(r.force);
    case RecordKind::kTeam:
      return &writable_team(r.force, r.team);
    case RecordKind::kActor:
      return &writable_actor(r.force, r.team, r.index);
    case RecordKind::kOutcome:
      return &writable_outcome(r.index);
  }
  return nullptr;
}

FieldSlot MissionDocument::SlotOf(const RecordRef& r, Field field, int element) {
  if (KindOf(field) != r.kind) return {};
  void* record = RecordOf(r);
  return record != nullptr ? InfoOf(field).slot(record, element) : FieldSlot{};
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
