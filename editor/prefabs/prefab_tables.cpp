#include "editor/prefabs/prefab_tables.h"

#include <type_traits>

#include "platform/read_file.h"

namespace vyr::editor {

namespace {

template <class Record>
Record EmptySlot() {
  Record record;
  if constexpr (std::is_same_v<Record, ActorRecord>) {
    record.npc_name.clear();
  } else {
    record.team_name.clear();
    for (ActorRecord& actor : record.actors)
      actor.npc_name.clear();
  }
  return record;
}

}  // namespace

template <class Record>
PrefabGroups<Record>::PrefabGroups() : groups_(std::make_unique<std::array<Group, kMaxPrefabGroups>>()) {
  for (int g = 0; g < kMaxPrefabGroups; ++g)
    EmptyGroup(g);
}

template <class Record>
PrefabGroups<Record>::~PrefabGroups() = default;
template <class Record>
PrefabGroups<Record>::PrefabGroups(PrefabGroups&&) noexcept = default;
template <class Record>
PrefabGroups<Record>& PrefabGroups<Record>::operator=(PrefabGroups&&) noexcept = default;

template <class Record>
void PrefabGroups<Record>::EmptyGroup(int group) {
  const Record empty = EmptySlot<Record>();
  for (int s = 0; s < kPrefabSlots; ++s)
    Slot(group, s) = empty;
}

template <class Record>
int PrefabGroups<Record>::member_count(int group) const {
  int count = 0;
  while (count < kMaxPrefabMembers && !PrefabName(Slot(group, count)).empty())
    ++count;
  return count;
}

template <class Record>
std::vector<std::string> PrefabGroups<Record>::MemberNames(int group) const {
  std::vector<std::string> names;
  for (int m = 0, count = member_count(group); m < count; ++m)
    names.push_back(PrefabName(Slot(group, m)));
  return names;
}

template <class Record>
Status PrefabGroups<Record>::AppendGroup(std::string name) {
  if (group_count() >= kMaxPrefabGroups) {
    return Status::Error("Cannot add the prefab group \"" + platform::Excerpt(name) +
                         "\": the library already holds " + std::to_string(kMaxPrefabGroups) +
                         " groups, the most it can hold.");
  }
  EmptyGroup(group_count());
  names_.push_back(std::move(name));
  return Status::Ok();
}

template <class Record>
void PrefabGroups<Record>::DeleteGroup(int group) {
  for (int g = group; g + 1 < kMaxPrefabGroups; ++g)
    (*groups_)[static_cast<std::size_t>(g)] = (*groups_)[static_cast<std::size_t>(g + 1)];
  EmptyGroup(kMaxPrefabGroups - 1);
  names_.erase(names_.begin() + group);
}

template <class Record>
Status PrefabGroups<Record>::AppendMember(int group, const Record& record) {
  const int count = member_count(group);
  if (count >= kMaxPrefabMembers) {
    return Status::Error("Cannot add the prefab \"" + platform::Excerpt(PrefabName(record)) +
                         "\": the group \"" + platform::Excerpt(group_name(group)) + "\" already holds " +
                         std::to_string(kMaxPrefabMembers) + " prefabs, the most a group can hold.");
  }
  Slot(group, count) = record;
  return Status::Ok();
}

template <class Record>
void PrefabGroups<Record>::DeleteMember(int group, int member) {
  for (int s = member; s + 1 < kPrefabSlots; ++s)
    Slot(group, s) = Slot(group, s + 1);
  Slot(group, kPrefabSlots - 1) = EmptySlot<Record>();
}

template class PrefabGroups<ActorRecord>;
template class PrefabGroups<TeamRecord>;

}  // namespace vyr::editor
