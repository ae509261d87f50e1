// The prefab files: the libraries "prefab_actors.dat" and "prefab_teams.dat", and the ".prb" exchange
// files that carry one group. Editor text files: CR LF, "True"/"False", sign-space numbers with a
// trailing blank, code-page bytes kept as they are.
//
// An actor block is 20 lines: npc_name, npc_skin, npc_skill, ammo1..5, weapon1..6, item1..5, npc_player.
// A group is its name, its members, and "END-OF-PREFAB-GROUP". An actor member is its block and the two
// fixed lines "Unused - description" and "Unused - divider"; a team member is team_name, team_desc, the
// last actor index (-1 without actors) and one block per actor. An exchange file starts with "[ACTORS]"
// or "[TEAMS]" and holds one group.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "editor/document/status.h"
#include "editor/document/text_file.h"
#include "editor/prefabs/prefab_tables.h"

namespace vyr::editor {

inline constexpr std::string_view kActorLibraryFileName = "prefab_actors.dat";
inline constexpr std::string_view kTeamLibraryFileName = "prefab_teams.dat";
inline constexpr std::string_view kEndOfPrefabGroup = "END-OF-PREFAB-GROUP";
inline constexpr std::string_view kActorsHeader = "[ACTORS]";
inline constexpr std::string_view kTeamsHeader = "[TEAMS]";
inline constexpr std::string_view kPrefabFilter = "Prefab (*.prb)|*.prb";

// Whether a value can be stored in a prefab file and read back as it is: a group name on one line
// without a line feed; a member named, on its lines, and not named like the end of a group.
Status CheckGroupName(const std::string& name);
Status CheckPrefab(const ActorRecord& actor);
Status CheckPrefab(const TeamRecord& team);

// A library file: every group in order. Refused, writing nothing, when a value fails the checks above.
template <class Record>
Status FormatPrefabLibrary(const PrefabGroups<Record>& groups, std::string& bytes);
// An exchange file of one group.
template <class Record>
Status FormatPrefabExchange(const PrefabGroups<Record>& groups, int group, std::string& bytes);

// Reads groups up to the end of the file and appends each to `groups` as it is read, each member as soon
// as it is whole. On a fault (the file ends inside a group, a bad number, a twelfth group, a 21st member,
// a member without a name) what was read stays, reading stops and the fault is returned with its line.
template <class Record>
std::optional<FileError> ReadPrefabGroups(TextReader& in, PrefabGroups<Record>& groups);

// The library an exchange file holds, from its first line: "[ACTORS]" is actors, any other line teams.
// Nothing, with the fault in `in`, for an empty file.
std::optional<PrefabMode> ReadExchangeHeader(TextReader& in);

}  // namespace vyr::editor
