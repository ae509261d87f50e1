// The records of the mission document and their capacities.
//
// Text is kept as 8-bit code-page bytes exactly as the files hold them; conversion to wide text
// happens only at the GUI boundary.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace vyr::editor {

using Integer = std::int16_t;  // 16-bit signed, as every count and coordinate of the document
using Single = float;          // 32-bit IEEE

inline constexpr int kMaxLocations = 101;
inline constexpr int kMaxAreas = 101;
inline constexpr int kMaxForces = 101;
inline constexpr int kMaxOutcomes = 101;
inline constexpr int kMaxTeams = 21;   // per force
inline constexpr int kMaxActors = 21;  // per team

struct MissionInfo {
  std::string vyr_missionname;
  std::string vyr_author;
  std::string vyr_missiondescription;
  std::string vyr_mapname;
  std::string map_styles;  // item list: "urban?dark?"
  std::string annotation;  // may hold CR LF line breaks

  bool operator==(const MissionInfo&) const = default;
};

struct LocationRecord {
  std::string loc_name = "New location";
  std::string loc_desc;
  Integer loc_x = 0;
  Integer loc_y = 0;
  Integer loc_z = 0;

  bool operator==(const LocationRecord&) const = default;
};

struct AreaRecord {
  std::string area_name = "New area";
  std::string area_desc;
  std::string area_locations = "[none]";  // item list; the default lacks its final "?"
  std::string area_style = "open";        // item list; the default lacks its final "?"
  Integer area_radius = 0;

  bool operator==(const AreaRecord&) const = default;
};

struct ActorRecord {
  bool npc_player = false;
  std::string npc_name = "New Actor";
  Single npc_skill = 1.0f;
  std::string npc_skin = "terror/terror";
  std::array<bool, 6> weapon{};   // weapon1 .. weapon6
  std::array<Integer, 5> ammo{};  // ammo1 .. ammo5
  std::array<bool, 5> item{};     // item1 .. item5

  bool operator==(const ActorRecord&) const = default;
};

struct TeamRecord {
  std::string team_name = "New team";
  std::string team_desc;
  std::string plan;  // lines separated by CR LF
  Integer actor_count = 0;
  std::array<ActorRecord, kMaxActors> actors{};

  bool operator==(const TeamRecord&) const = default;
};

struct ForceRecord {
  std::string force_name = "New force";
  std::string force_desc;
  Integer team_count = 0;
  std::array<TeamRecord, kMaxTeams> teams{};

  bool operator==(const ForceRecord&) const = default;
};

struct OutcomeRecord {
  std::string outcome_type = "success";  // "success" or "failure"
  std::string outcome_force;
  std::string outcome_message;
  std::string outcome_reason;
  std::string nextmission;  // item list

  bool operator==(const OutcomeRecord&) const = default;
};

}  // namespace vyr::editor
