// Whole-document snapshots: records are copied compactly (only the teams and actors in use), the tree
// with its node ids, so that a window's node is the same node after a restore.
#include <algorithm>
#include <array>
#include <optional>

#include "editor/document/mission_document.h"

namespace vyr::editor {

struct MissionDocument::Snapshot {
  struct Team {
    std::string name, desc, plan;
    std::vector<ActorRecord> actors;
  };
  struct Force {
    std::string name, desc;
    std::vector<Team> teams;
  };
  MissionInfo info;
  std::vector<LocationRecord> locations;
  std::vector<AreaRecord> areas;
  std::vector<Force> forces;
  std::vector<OutcomeRecord> outcomes;
  EditingState editing;
  std::array<FileNamePair, 4> section_files;
  std::array<std::optional<UnreadSection>, 4> unread_sections;
  ProjectTree::State tree;
  std::size_t bytes = 0;
};

namespace {

// Heap bytes of a string beyond the object itself (short strings live inside it).
std::size_t Heap(const std::string& text) {
  return text.capacity() > 15 ? text.capacity() + 1 : 0;
}

std::size_t Heap(const ActorRecord& actor) {
  return Heap(actor.npc_name) + Heap(actor.npc_skin);
}

std::size_t CountBytes(const MissionDocument::Snapshot& s) {
  std::size_t bytes = sizeof(s);
  bytes += Heap(s.info.vyr_missionname) + Heap(s.info.vyr_author) + Heap(s.info.vyr_missiondescription) +
           Heap(s.info.vyr_mapname) + Heap(s.info.map_styles) + Heap(s.info.annotation);
  for (const LocationRecord& r : s.locations)
    bytes += sizeof(r) + Heap(r.loc_name) + Heap(r.loc_desc);
  for (const AreaRecord& r : s.areas)
    bytes += sizeof(r) + Heap(r.area_name) + Heap(r.area_desc) + Heap(r.area_locations) + Heap(r.area_style);
  for (const OutcomeRecord& r : s.outcomes) {
    bytes += sizeof(r) + Heap(r.outcome_type) + Heap(r.outcome_force) + Heap(r.outcome_message) +
             Heap(r.outcome_reason) + Heap(r.nextmission);
  }
  for (const auto& force : s.forces) {
    bytes += sizeof(force) + Heap(force.name) + Heap(force.desc);
    for (const auto& team : force.teams) {
      bytes += sizeof(team) + Heap(team.name) + Heap(team.desc) + Heap(team.plan);
      for (const ActorRecord& actor : team.actors)
        bytes += sizeof(actor) + Heap(actor);
    }
  }
  for (const auto& [id, node] : s.tree.nodes)
    bytes += sizeof(id) + sizeof(node) + Heap(node.key) + Heap(node.text) +
             node.children.capacity() * sizeof(NodeId);
  return bytes;
}

}  // namespace

std::shared_ptr<const MissionDocument::Snapshot> MissionDocument::TakeSnapshot() const {
  auto s = std::make_shared<Snapshot>();
  s->locations.reserve(static_cast<std::size_t>(location_count_));
  s->areas.reserve(static_cast<std::size_t>(area_count_));
  s->outcomes.reserve(static_cast<std::size_t>(outcome_count_));
  s->info = info;
  for (int i = 0; i < location_count_; ++i)
    s->locations.push_back(location(i));
  for (int i = 0; i < area_count_; ++i)
    s->areas.push_back(area(i));
  for (int i = 0; i < outcome_count_; ++i)
    s->outcomes.push_back(outcome(i));
  s->forces.resize(static_cast<std::size_t>(force_count_));
  for (int f = 0; f < force_count_; ++f) {
    const ForceRecord& record = force(f);
    Snapshot::Force& copy = s->forces[static_cast<std::size_t>(f)];
    copy.name = record.force_name;
    copy.desc = record.force_desc;
    const int teams = std::clamp<int>(record.team_count, 0, kMaxTeams);
    copy.teams.resize(static_cast<std::size_t>(teams));
    for (int t = 0; t < teams; ++t) {
      const TeamRecord& team = record.teams[static_cast<std::size_t>(t)];
      Snapshot::Team& team_copy = copy.teams[static_cast<std::size_t>(t)];
      team_copy.name = team.team_name;
      team_copy.desc = team.team_desc;
      team_copy.plan = team.plan;
      team_copy.actors.assign(team.actors.begin(),
                              team.actors.begin() + std::clamp<int>(team.actor_count, 0, kMaxActors));
    }
  }
  s->editing = editing;
  s->section_files = section_files_;
  s->unread_sections = unread_sections_;
  s->tree = tree_.SaveState();
  s->bytes = CountBytes(*s);
  return s;
}

void MissionDocument::RestoreSnapshot(const Snapshot& s) {
  const bool info_changed = info.vyr_missionname != s.info.vyr_missionname ||
                            info.vyr_author != s.info.vyr_author ||
                            info.vyr_missiondescription != s.info.vyr_missiondescription ||
                            info.vyr_mapname != s.info.vyr_mapname || info.map_styles != s.info.map_styles ||
                            info.annotation != s.info.annotation;
  {
    ProjectTree::Batch batch(tree_);
    info = s.info;
    for (std::size_t i = 0; i < s.locations.size(); ++i)
      writable_location(static_cast<int>(i)) = s.locations[i];
    location_count_ = static_cast<int>(s.locations.size());
    for (std::size_t i = 0; i < s.areas.size(); ++i)
      writable_area(static_cast<int>(i)) = s.areas[i];
    area_count_ = static_cast<int>(s.areas.size());
    for (std::size_t i = 0; i < s.outcomes.size(); ++i)
      writable_outcome(static_cast<int>(i)) = s.outcomes[i];
    outcome_count_ = static_cast<int>(s.outcomes.size());
    for (std::size_t f = 0; f < s.forces.size(); ++f) {
      const Snapshot::Force& copy = s.forces[f];
      ForceRecord& record = writable_force(static_cast<int>(f));
      record.force_name = copy.name;
      record.force_desc = copy.desc;
      record.team_count = static_cast<Integer>(copy.teams.size());
      for (std::size_t t = 0; t < copy.teams.size(); ++t) {
        const Snapshot::Team& team_copy = copy.teams[t];
        TeamRecord& team = record.teams[t];
        team.team_name = team_copy.name;
        team.team_desc = team_copy.desc;
        team.plan = team_copy.plan;
        team.actor_count = static_cast<Integer>(team_copy.actors.size());
        std::copy(team_copy.actors.begin(), team_copy.actors.end(), team.actors.begin());
      }
    }
    force_count_ = static_cast<int>(s.forces.size());
    editing = s.editing;
    tree_.RestoreState(s.tree);
    // The texts that name files follow the names the document holds now; RestoreSectionFiles sets those.
    tree_.SetText(tree_.root(), "VYR (" + project_file_.name + ")");
    for (std::size_t i = 0; i < section_files_.size(); ++i) {
      const auto section = static_cast<Section>(i);
      tree_.SetText(tree_.category(section), CategoryTextOf(section));
    }
  }
  if (info_changed) Changed(DocumentChange::kMissionInfo);
  Changed(DocumentChange::kLocations);
  Changed(DocumentChange::kAreas);
  Changed(DocumentChange::kForces);
  Changed(DocumentChange::kOutcomes);
}

bool MissionDocument::RestoreSectionFiles(const Snapshot& from, const Snapshot& to) {
  for (std::size_t i = 0; i < section_files_.size(); ++i) {
    const bool changed =
        from.section_files[i] != to.section_files[i] || from.unread_sections[i] != to.unread_sections[i];
    const bool untouched_since =
        section_files_[i] == from.section_files[i] && unread_sections_[i] == from.unread_sections[i];
    if (!changed || !untouched_since) continue;
    const auto section = static_cast<Section>(i);
    SetSectionFile(section, to.section_files[i]);
    if (to.unread_sections[i]) SetUnreadSection(section, to.unread_sections[i]);
  }
  return section_files_ == to.section_files && unread_sections_ == to.unread_sections;
}

std::size_t MissionDocument::SnapshotBytes(const Snapshot& snapshot) {
  return snapshot.bytes;
}

}  // namespace vyr::editor
