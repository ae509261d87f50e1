#include "editor/script/import.h"

#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "editor/document/mission_document.h"
#include "editor/document/paths.h"
#include "editor/document/user_interface.h"
#include "editor/script/mission_reader.h"
#include "editor/script/vocabulary.h"
#include "platform/read_file.h"

namespace vyr::editor {

std::string MapStylesToList(int bits) {
  std::string list;
  if (bits & 8) list += "indoor?";
  if (bits & 4) list += "open?";
  if (bits & 2) list += "dark?";
  if (bits & 1) list += "urban?";
  return list.empty() ? "none?" : list;
}

std::string AreaStylesToList(int bits) {
  std::string list;
  if (bits & 4) list += "roof?";
  if (bits & 2) list += "closed?";
  if (bits & 1) list += "open?";
  return list.empty() ? "none?" : list;
}

std::string LfToCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    // A line feed that already follows a carriage return is left alone, so no CR is ever doubled.
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  return out;
}

std::int16_t RoundToInteger(float value) {
  if (std::isnan(value)) return 0;
  const double rounded = std::nearbyint(static_cast<double>(value));  // default mode: half to even
  if (rounded > std::numeric_limits<std::int16_t>::max()) return std::numeric_limits<std::int16_t>::max();
  if (rounded < std::numeric_limits<std::int16_t>::min()) return std::numeric_limits<std::int16_t>::min();
  return static_cast<std::int16_t>(rounded);
}

std::string DescribeParseMessages(const std::vector<ScriptMessage>& messages, std::size_t most) {
  std::string text;
  for (std::size_t i = 0; i < messages.size() && i < most; ++i) {
    const ScriptMessage& message = messages[i];
    if (!text.empty()) text += "\n";
    if (message.line > 0) text += "Line " + std::to_string(message.line) + ", ";
    // A line feed (a piece of a literal) or an endless name would break the box's layout.
    std::string near_text;
    for (char c : message.near_text.substr(0, 40))
      near_text += c == '\n' ? std::string("\\n") : std::string(1, c);
    if (message.near_text.size() > 40) near_text += "...";
    if (!message.near_text.empty()) text += "near '" + near_text + "': ";
    text += message.cause;
  }
  if (messages.size() > most) text += "\n(" + std::to_string(messages.size() - most) + " more)";
  return text;
}

namespace {

// The library tells only that it could not read the script; the system tells why.
std::string UnreadableScript(const std::string& file_name) {
  platform::FileReader script;
  const platform::ReadResult opened = script.Open(file_name, ~std::uint64_t{0});
  return "The mission script " + platform::Excerpt(file_name, platform::kPathExcerpt) +
         " cannot be imported: " + (opened ? "the mission script library cannot read it" : opened.reason) +
         ".";
}

// Counts what did not fit the document's tables, for one warning at the end.
struct LeftOut {
  int locations = 0;
  int areas = 0;
  int forces = 0;  // read by force and team only: before, a force was met through its actors
  int teams = 0;
  int actors = 0;  // including those of forces or teams that did not fit
  int outcomes = 0;
  bool actors_capped = false;  // the library counted as many actors as its 16-bit interface can

  std::string Message() const {
    std::string message = TablesMessage();
    if (actors_capped) {
      if (!message.empty()) message += "\n";
      message +=
          "The script holds at least 32767 actors, the most the mission script library can hand over; "
          "any further actors were not imported.";
    }
    return message;
  }

  std::string TablesMessage() const {
    std::string parts;
    const auto add = [&parts](int count, const char* what) {
      if (count == 0) return;
      if (!parts.empty()) parts += ", ";
      parts += std::to_string(count) + " " + what;
    };
    add(locations, locations == 1 ? "location" : "locations");
    add(areas, areas == 1 ? "area" : "areas");
    add(forces, forces == 1 ? "force" : "forces");
    add(teams, teams == 1 ? "team" : "teams");
    add(actors, actors == 1 ? "actor" : "actors");
    add(outcomes, outcomes == 1 ? "outcome" : "outcomes");
    if (parts.empty()) return {};
    return "The mission is larger than the editor's tables (101 locations, areas, forces and outcomes, "
           "21 teams per force, 21 actors per team). Left out: " +
           parts + ".";
  }
};

void ImportGeneral(MissionDocument& doc, MissionReader& reader) {
  doc.info.vyr_author = reader.MissionAuthor();
  doc.info.vyr_mapname = reader.MissionMap();
  doc.info.vyr_missiondescription = reader.GetRawMissionDescription();  // keeps its line feeds
  doc.info.vyr_missionname = reader.MissionTitle();
  doc.info.annotation = LfToCrLf(reader.GetMapAnnotation());
  doc.info.map_styles = MapStylesToList(reader.GetMapStyles());
}

void ImportLocations(MissionDocument& doc, MissionReader& reader, LeftOut& left_out) {
  const int count = reader.GetLocationCount();
  for (int i = 0; i < count; ++i) {
    const ScriptLocation loc = reader.GetLocationData(i);
    if (!doc.AddLocation(loc.label, "", RoundToInteger(loc.x), RoundToInteger(loc.y),
                         RoundToInteger(loc.z))) {
      ++left_out.locations;
    }
  }
}

void ImportAreas(MissionDocument& doc, MissionReader& reader, LeftOut& left_out) {
  const int count = reader.GetAreaCount();
  for (int i = 0; i < count; ++i) {
    const ScriptArea area = reader.GetAreaData(i);
    std::string locations;
    for (int j = 0; j < area.location_count; ++j)
      locations += reader.GetAreaLocationLabel(i, j) + "?";
    if (!doc.AddArea(area.name, "", locations, RoundToInteger(area.radius), AreaStylesToList(area.styles))) {
      ++left_out.areas;
    }
  }
}

// `count_of` answers the library's item count of the actor for an item name.
template <typename CountOf>
ActorRecord ReadActor(const ScriptActor& info, CountOf count_of) {
  ActorRecord actor;
  actor.npc_name = info.name;
  actor.npc_skin = info.model_and_skin;
  actor.npc_skill = info.skill;
  actor.npc_player = info.type == "player";  // exactly: "Player" is an npc
  // The library is asked in this order: the weapons, the ammunition, then the items.
  for (std::size_t w = 0; w < kWeaponNames.size(); ++w)
    actor.weapon[w] = count_of(kWeaponNames[w]) != 0;
  for (std::size_t a = 0; a < kAmmoNames.size(); ++a)
    actor.ammo[a] = static_cast<Integer>(count_of(kAmmoNames[a]));
  for (std::size_t t = 0; t < kItemNames.size(); ++t)
    actor.item[t] = count_of(kItemNames[t]) != 0;
  return actor;
}

// Forces and teams appear in the order of their first actor. Names are looked up in hash maps so
// the import stays linear in the number of actors.
void ImportActors(MissionDocument& doc, MissionReader& reader, LeftOut& left_out) {
  std::unordered_map<std::string, int> force_index;
  std::vector<std::unordered_map<std::string, int>> team_index;
  const int count = reader.ActorCount();
  left_out.actors_capped = count >= std::numeric_limits<std::int16_t>::max();
  for (int i = 0; i < count; ++i) {
    const ScriptActor info = reader.ActorInfo(i);
    std::string force_name;
    std::string team_name;
    reader.GetActorForceAndTeam(i, force_name, team_name);

    auto force_it = force_index.find(force_name);
    if (force_it == force_index.end()) {
      if (!doc.AddForce(force_name, "")) {
        ++left_out.actors;
        continue;
      }
      force_it = force_index.emplace(force_name, doc.force_count() - 1).first;
      team_index.emplace_back();
    }
    const int force = force_it->second;
    // The force's own node is made current, so the team lands under the force it belongs to even
    // when another node carries the same text.
    doc.tree().Select(doc.tree().ForceNode(force));

    auto& teams = team_index[static_cast<std::size_t>(force)];
    auto team_it = teams.find(team_name);
    if (team_it == teams.end()) {
      if (!doc.AddTeam(force, team_name, "", LfToCrLf(reader.GetTeamPlan(team_name)))) {
        ++left_out.actors;
        continue;
      }
      team_it = teams.emplace(team_name, doc.team_count(force) - 1).first;
    }
    const int team = team_it->second;
    doc.tree().Select(doc.tree().TeamNode(force, team));

    const auto count_of = [&](std::string_view item) {
      return reader.GetActorItemCount(i, std::string(item));
    };
    if (!doc.AddActor(force, team, ReadActor(info, count_of))) ++left_out.actors;
  }
}

// Through the wider interface: every force, team and actor as the script declares them, teams without
// actors and each team's own plan included.
void ImportForcesAndTeams(MissionDocument& doc, MissionReader& reader, LeftOut& left_out) {
  const int forces = reader.GetForceCount();
  for (int f = 0; f < forces; ++f) {
    const ScriptForce force = reader.GetForceData(f);
    if (!doc.AddForce(force.name, force.description)) {
      ++left_out.forces;
      left_out.teams += force.team_count;
      for (int t = 0; t < force.team_count; ++t)
        left_out.actors += reader.GetTeamData(f, t).actor_count;
      continue;
    }
    const int doc_force = doc.force_count() - 1;
    for (int t = 0; t < force.team_count; ++t) {
      const ScriptTeam team = reader.GetTeamData(f, t);
      doc.tree().Select(doc.tree().ForceNode(doc_force));
      if (!doc.AddTeam(doc_force, team.name, team.description, LfToCrLf(reader.GetForceTeamPlan(f, t)))) {
        ++left_out.teams;
        left_out.actors += team.actor_count;
        continue;
      }
      const int doc_team = doc.team_count(doc_force) - 1;
      doc.tree().Select(doc.tree().TeamNode(doc_force, doc_team));
      for (int a = 0; a < team.actor_count; ++a) {
        const auto count_of = [&](std::string_view item) {
          return reader.GetTeamActorItemCount(f, t, a, std::string(item));
        };
        if (!doc.AddActor(doc_force, doc_team, ReadActor(reader.TeamActorInfo(f, t, a), count_of))) {
          ++left_out.actors;
        }
      }
    }
  }
}

void ImportObjectives(MissionDocument& doc, MissionReader& reader, LeftOut& left_out) {
  const int count = reader.GetObjectiveCount();
  for (int i = 0; i < count; ++i) {
    const ScriptObjective objective = reader.GetObjectiveData(i);
    std::string next;
    for (int j = 0; j < objective.next_mission_count; ++j)
      next += reader.GetObjectiveNextMission(i, j) + "?";
    if (!doc.AddOutcome(objective.owner, objective.message, next, objective.type, objective.conditions)) {
      ++left_out.outcomes;
    }
  }
}

}  // namespace

Status ImportMission(MissionDocument& document, const std::string& file_name, UserInterface& ui,
                     MissionReader& reader) {
  const auto failed = [&ui](const std::string& text) {
    ui.ShowMessage(std::string(kImportErrorTitle), text, MessageIcon::kCritical);
    return Status::Error(text);
  };
  reader.CloseMission();
  switch (reader.TryParseMission(file_name)) {
    case 0:
      break;
    case 1:  // a script that cannot be read is no script with errors: say why
      return failed(UnreadableScript(file_name));
    default: {
      // What the parser said, when the library hands it over, tells the author what to fix and where.
      const std::string details = DescribeParseMessages(reader.ParseMessages());
      return failed(std::string(kImportParseError) + (details.empty() ? "" : "\n\n" + details));
    }
  }
  // Only a script that parsed replaces the open project.
  document.NewProject();
  LeftOut left_out;
  ImportGeneral(document, reader);
  ImportLocations(document, reader, left_out);
  ImportAreas(document, reader, left_out);
  if (reader.ReadsForcesAndTeams()) {
    ImportForcesAndTeams(document, reader, left_out);
  } else {
    ImportActors(document, reader, left_out);
  }
  ImportObjectives(document, reader, left_out);
  document.tree().Select(document.tree().root());

  std::string warning = left_out.Message();
  if (!warning.empty()) ui.ShowMessage("Import", warning, MessageIcon::kExclamation);
  return Status{true, std::move(warning)};
}

FileDialogRequest ImportMissionRequest(const std::string& start_folder) {
  const std::string folder =
      start_folder.empty() ? std::string() : JoinPath(TrimTrailingSeparators(start_folder), "missions");
  return FileDialogRequest{std::string(kImportDialogTitle), std::string(kImportFilter), folder, ""};
}

Status ImportMissionCommand(MissionDocument& document, UserInterface& ui, const std::string& start_folder) {
  const std::optional<std::string> path = ui.AskOpenPath(ImportMissionRequest(start_folder));
  if (!path) return Status::Cancelled();
  return ImportMission(document, *path, ui);
}

Status ImportMission(MissionDocument& document, const std::string& file_name, UserInterface& ui) {
  Status created;
  std::unique_ptr<MissionReader> reader = CreateMissionReader(created);
  if (!reader) {
    const std::string text =
        "The mission script library could not be loaded, so the mission cannot be imported.\n" +
        created.message;
    ui.ShowMessage(std::string(kImportErrorTitle), text, MessageIcon::kCritical);
    return Status::Error(text);
  }
  return ImportMission(document, file_name, ui, *reader);
}

}  // namespace vyr::editor
