#include "editor/prefabs/prefab_files.h"

#include <algorithm>
#include <type_traits>

#include "editor/document/section_format.h"
#include "platform/read_file.h"

namespace vyr::editor {

namespace {

constexpr std::string_view kFixedDescriptionLine = "Unused - description";
constexpr std::string_view kFixedDividerLine = "Unused - divider";

// A line feed, alone or after a carriage return, would end the value's line.
Status CheckOneLine(const std::string& value, std::string_view field, const std::string& owner) {
  if (value.find('\n') == std::string::npos) return Status::Ok();
  return Status::Error(owner + ": " + std::string(field) +
                       " holds a line break, which a prefab file cannot carry");
}

Status CheckBlock(const ActorRecord& actor, const std::string& owner) {
  if (Status s = CheckOneLine(actor.npc_name, "npc_name", owner); !s) return s;
  return CheckOneLine(actor.npc_skin, "npc_skin", owner);
}

// A member's first line is its name; a name equal to the end line would end the group early.
Status CheckMemberName(const std::string& name, const std::string& owner) {
  if (name.empty()) return Status::Error(owner + ": a prefab needs a name");
  if (name == kEndOfPrefabGroup) {
    return Status::Error(owner + ": a prefab cannot be named \"" + std::string(kEndOfPrefabGroup) + "\"");
  }
  return Status::Ok();
}

int ActorsOf(const TeamRecord& team) {
  return std::clamp<int>(team.actor_count, 0, kMaxActors);
}

void WriteBlock(TextWriter& out, const ActorRecord& actor) {
  out.Line(actor.npc_name);
  out.Line(actor.npc_skin);
  out.Single(actor.npc_skill);
  WriteActorEquipment(out, actor);
}

void WriteMember(TextWriter& out, const ActorRecord& actor) {
  WriteBlock(out, actor);
  out.Line(kFixedDescriptionLine);
  out.Line(kFixedDividerLine);
}

void WriteMember(TextWriter& out, const TeamRecord& team) {
  out.Line(team.team_name);
  out.Line(team.team_desc);
  out.Integer(ActorsOf(team) - 1);
  for (int a = 0; a < ActorsOf(team); ++a)
    WriteBlock(out, team.actors[static_cast<std::size_t>(a)]);
}

template <class Record>
Status WriteGroup(TextWriter& out, const PrefabGroups<Record>& groups, int group) {
  const std::string& name = groups.group_name(group);
  if (Status s = CheckGroupName(name); !s) return s;
  out.Line(name);
  for (int m = 0, count = groups.member_count(group); m < count; ++m) {
    const Record& member = groups.member(group, m);
    if (Status s = CheckPrefab(member); !s)
      return Status::Error("prefab group \"" + platform::Excerpt(name) + "\", " + s.message);
    WriteMember(out, member);
  }
  out.Line(kEndOfPrefabGroup);
  return Status::Ok();
}

// The 20 lines of an actor block after its name.
bool ReadBlockAfterName(TextReader& in, ActorRecord& actor) {
  return in.Line(actor.npc_skin, "npc_skin") && in.Single(actor.npc_skill, "npc_skill") &&
         ReadActorEquipment(in, actor);
}

bool ReadMemberAfterName(TextReader& in, ActorRecord& actor, std::optional<FileError>&) {
  std::string ignored;
  return ReadBlockAfterName(in, actor) && in.Line(ignored, "the line \"Unused - description\"") &&
         in.Line(ignored, "the line \"Unused - divider\"");
}

bool ReadMemberAfterName(TextReader& in, TeamRecord& team, std::optional<FileError>& fault) {
  Integer last = 0;
  if (!in.Line(team.team_desc, "team_desc") || !in.Integer(last, "last actor index")) return false;
  if (last < -1 || last >= kMaxActors) {
    fault = FileError{in.path(), in.line_number(),
                      "the last actor index " + std::to_string(last) + " of the team \"" +
                          platform::Excerpt(team.team_name) + "\" is out of range (-1 to " +
                          std::to_string(kMaxActors - 1) + ")"};
    return false;
  }
  team.plan.clear();
  team.actor_count = static_cast<Integer>(last + 1);
  for (int a = 0; a < team.actor_count; ++a) {
    ActorRecord& actor = team.actors[static_cast<std::size_t>(a)];
    if (!in.Line(actor.npc_name, "npc_name") || !ReadBlockAfterName(in, actor)) return false;
  }
  return true;
}

}  // namespace

Status CheckGroupName(const std::string& name) {
  // A line feed in the file's first line would make a reader take lone line feeds as line ends.
  if (name.find('\n') == std::string::npos) return Status::Ok();
  return Status::Error("prefab group \"" + platform::Excerpt(name) +
                       "\": the name holds a line break, which a prefab file cannot carry");
}

Status CheckPrefab(const ActorRecord& actor) {
  const std::string owner = "prefab \"" + platform::Excerpt(actor.npc_name) + "\"";
  if (Status s = CheckMemberName(actor.npc_name, owner); !s) return s;
  return CheckBlock(actor, owner);
}

Status CheckPrefab(const TeamRecord& team) {
  const std::string owner = "prefab \"" + platform::Excerpt(team.team_name) + "\"";
  if (Status s = CheckMemberName(team.team_name, owner); !s) return s;
  if (Status s = CheckOneLine(team.team_name, "team_name", owner); !s) return s;
  if (Status s = CheckOneLine(team.team_desc, "team_desc", owner); !s) return s;
  for (int a = 0; a < ActorsOf(team); ++a) {
    const ActorRecord& actor = team.actors[static_cast<std::size_t>(a)];
    if (Status s = CheckBlock(actor, owner + ", actor \"" + platform::Excerpt(actor.npc_name) + "\""); !s)
      return s;
  }
  return Status::Ok();
}

template <class Record>
Status FormatPrefabLibrary(const PrefabGroups<Record>& groups, std::string& bytes) {
  TextWriter out;
  for (int g = 0; g < groups.group_count(); ++g) {
    if (Status s = WriteGroup(out, groups, g); !s) return s;
  }
  bytes = out.bytes();
  return Status::Ok();
}

template <class Record>
Status FormatPrefabExchange(const PrefabGroups<Record>& groups, int group, std::string& bytes) {
  TextWriter out;
  out.Line(std::is_same_v<Record, ActorRecord> ? kActorsHeader : kTeamsHeader);
  if (Status s = WriteGroup(out, groups, group); !s) return s;
  bytes = out.bytes();
  return Status::Ok();
}

template <class Record>
std::optional<FileError> ReadPrefabGroups(TextReader& in, PrefabGroups<Record>& groups) {
  std::optional<FileError> fault;
  const auto stop = [&](std::string reason) {
    return FileError{in.path(), in.line_number(), std::move(reason)};
  };
  while (!in.AtEnd()) {
    std::string name;
    in.Line(name, "group name");
    if (groups.group_count() >= kMaxPrefabGroups) {
      return stop("more than " + std::to_string(kMaxPrefabGroups) +
                  " prefab groups; the rest of the file was not read");
    }
    in.set_context("the prefab group \"" + platform::Excerpt(name) + "\"");
    const int group = groups.group_count();
    (void)groups.AppendGroup(name);
    for (int slot = 0;; ++slot) {
      Record member;
      std::string& member_name = PrefabName(member);
      if (!in.Line(member_name, "a prefab or END-OF-PREFAB-GROUP")) return in.error();
      if (member_name == kEndOfPrefabGroup) break;
      if (slot == kMaxPrefabMembers) {
        return stop("the prefab group \"" + platform::Excerpt(name) + "\" holds more than " +
                    std::to_string(kMaxPrefabMembers) + " prefabs; the rest of the file was not read");
      }
      if (member_name.empty()) return stop("a prefab without a name; the rest of the file was not read");
      if (!ReadMemberAfterName(in, member, fault)) return fault ? fault : in.error();
      (void)groups.AppendMember(group, member);
    }
  }
  return std::nullopt;
}

std::optional<PrefabMode> ReadExchangeHeader(TextReader& in) {
  std::string header;
  if (!in.Line(header, "[ACTORS] or [TEAMS]")) return std::nullopt;
  return header == kActorsHeader ? PrefabMode::kActors : PrefabMode::kTeams;
}

template Status FormatPrefabLibrary(const PrefabActors&, std::string&);
template Status FormatPrefabLibrary(const PrefabTeams&, std::string&);
template Status FormatPrefabExchange(const PrefabActors&, int, std::string&);
template Status FormatPrefabExchange(const PrefabTeams&, int, std::string&);
template std::optional<FileError> ReadPrefabGroups(TextReader&, PrefabActors&);
template std::optional<FileError> ReadPrefabGroups(TextReader&, PrefabTeams&);

}  // namespace vyr::editor
