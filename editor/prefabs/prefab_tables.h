// The prefab libraries' tables: 11 groups of 21 member slots, one table of actors and one of teams.
// The members of a group are its leading slots with a non-empty name, so a group holds at most 20
// members and the slot after the last one stays free. Nothing is ever stored past these bounds.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "editor/document/records.h"
#include "editor/document/status.h"

namespace vyr::editor {

inline constexpr int kMaxPrefabGroups = 11;
inline constexpr int kPrefabSlots = 21;
inline constexpr int kMaxPrefabMembers = kPrefabSlots - 1;

// Which library: the positions of c_combo ("Actors", "Teams").
enum class PrefabMode : std::uint8_t { kActors = 0, kTeams = 1 };

// The name that makes a slot a member.
inline const std::string& PrefabName(const ActorRecord& actor) {
  return actor.npc_name;
}
inline const std::string& PrefabName(const TeamRecord& team) {
  return team.team_name;
}
inline std::string& PrefabName(ActorRecord& actor) {
  return actor.npc_name;
}
inline std::string& PrefabName(TeamRecord& team) {
  return team.team_name;
}

// Record is ActorRecord or TeamRecord. Group and member indices passed in must be in use.
template <class Record>
class PrefabGroups {
 public:
  PrefabGroups();
  ~PrefabGroups();
  PrefabGroups(PrefabGroups&&) noexcept;
  PrefabGroups& operator=(PrefabGroups&&) noexcept;

  int group_count() const { return static_cast<int>(names_.size()); }
  const std::vector<std::string>& group_names() const { return names_; }
  const std::string& group_name(int group) const { return names_[static_cast<std::size_t>(group)]; }
  bool ValidGroup(int group) const { return group >= 0 && group < group_count(); }
  bool ValidMember(int group, int member) const {
    return ValidGroup(group) && member >= 0 && member < member_count(group);
  }

  int member_count(int group) const;
  const Record& member(int group, int member) const { return Slot(group, member); }
  Record& member(int group, int member) { return Slot(group, member); }
  // The member names in slot order: the items the library window lists.
  std::vector<std::string> MemberNames(int group) const;

  // Appends an empty group; refused when all 11 are in use.
  Status AppendGroup(std::string name);
  void RenameGroup(int group, std::string name) { names_[static_cast<std::size_t>(group)] = std::move(name); }
  // Later groups move up one position, slots and all; the freed last position is emptied.
  void DeleteGroup(int group);
  // Stores `record` after the last member (its name must not be empty); refused when the group holds 20.
  Status AppendMember(int group, const Record& record);
  // Later members move up one slot.
  void DeleteMember(int group, int member);

 private:
  using Group = std::array<Record, kPrefabSlots>;
  Record& Slot(int group, int slot) {
    return (*groups_)[static_cast<std::size_t>(group)][static_cast<std::size_t>(slot)];
  }
  const Record& Slot(int group, int slot) const {
    return (*groups_)[static_cast<std::size_t>(group)][static_cast<std::size_t>(slot)];
  }
  void EmptyGroup(int group);

  std::vector<std::string> names_;
  std::unique_ptr<std::array<Group, kMaxPrefabGroups>> groups_;
};

using PrefabActors = PrefabGroups<ActorRecord>;
using PrefabTeams = PrefabGroups<TeamRecord>;

extern template class PrefabGroups<ActorRecord>;
extern template class PrefabGroups<TeamRecord>;

}  // namespace vyr::editor
