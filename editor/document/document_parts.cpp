// The parts of the document an undo step saves: the records of a span with their tree nodes, and the
// small state kept whole. Force and team copies hold only the teams and actors in use.
#include <algorithm>
#include <array>
#include <iterator>
#include <type_traits>
#include <utility>

#include "editor/document/mission_document.h"

namespace vyr::editor {

namespace {

struct TeamCopy {
  std::vector<FieldValue> fields;
  std::vector<ActorRecord> actors;
};

struct ForceCopy {
  std::vector<FieldValue> fields;
  std::vector<TeamCopy> teams;
};

std::size_t BytesOf(const std::vector<FieldValue>& fields) {
  std::size_t bytes = fields.capacity() * sizeof(FieldValue);
  for (const FieldValue& value : fields)
    bytes += HeapBytes(value);
  return bytes;
}

template <typename Record>
std::size_t BytesOf(const std::vector<Record>& records) {
  std::size_t bytes = records.capacity() * sizeof(Record);
  for (const Record& record : records)
    bytes += FieldHeapBytes(record);
  return bytes;
}

// A copy of the force's teams and actors in use; `take` moves the actors out instead.
template <typename Force>
ForceCopy CopyOf(Force& force, bool take) {
  ForceCopy copy;
  copy.fields = SaveFields<ForceRecord>(force);
  const int teams = std::clamp<int>(force.team_count, 0, kMaxTeams);
  copy.teams.resize(static_cast<std::size_t>(teams));
  for (int t = 0; t < teams; ++t) {
    auto& team = force.teams[static_cast<std::size_t>(t)];
    TeamCopy& team_copy = copy.teams[static_cast<std::size_t>(t)];
    team_copy.fields = SaveFields<TeamRecord>(team);
    const auto end = team.actors.begin() + std::clamp<int>(team.actor_count, 0, kMaxActors);
    if constexpr (std::is_const_v<Force>) {
      team_copy.actors.assign(team.actors.begin(), end);
    } else if (take) {
      team_copy.actors.assign(std::make_move_iterator(team.actors.begin()), std::make_move_iterator(end));
    } else {
      team_copy.actors.assign(team.actors.begin(), end);
    }
  }
  return copy;
}

// Moves the copy's teams and actors into the force.
void Load(ForceRecord& force, ForceCopy& copy) {
  LoadFields(force, copy.fields);
  force.team_count = static_cast<Integer>(copy.teams.size());
  for (std::size_t t = 0; t < copy.teams.size(); ++t) {
    TeamRecord& team = force.teams[t];
    LoadFields(team, copy.teams[t].fields);
    team.actor_count = static_cast<Integer>(copy.teams[t].actors.size());
    std::move(copy.teams[t].actors.begin(), copy.teams[t].actors.end(), team.actors.begin());
  }
}

std::size_t BytesOf(const ForceCopy& force) {
  std::size_t bytes = sizeof(force) + BytesOf(force.fields) + force.teams.capacity() * sizeof(TeamCopy);
  for (const TeamCopy& team : force.teams)
    bytes += BytesOf(team.fields) + BytesOf(team.actors);
  return bytes;
}

std::size_t BytesOf(const ProjectTree::Branch& branch) {
  std::size_t bytes =
      branch.tops.capacity() * sizeof(NodeId) + branch.nodes.capacity() * sizeof(std::pair<NodeId, TreeNode>);
  for (const auto& [id, node] : branch.nodes)
    bytes += HeapBytes(node.key) + HeapBytes(node.text) + node.children.capacity() * sizeof(NodeId);
  return bytes;
}

}  // namespace

struct MissionDocument::Part {
  Span span;
  int count = 0;  // the section's record count
  std::vector<LocationRecord> locations;
  std::vector<AreaRecord> areas;
  std::vector<ForceCopy> forces;
  std::vector<OutcomeRecord> outcomes;
  ProjectTree::Branch nodes;
};

void MissionDocument::PartDeleter::operator()(Part* part) const {
  delete part;
}

MissionDocument::PartPtr MissionDocument::SavePart(const Span& span) const {
  PartPtr part(new Part);
  part->span = span;
  part->count = record_count(span.section);
  const int end = span.single ? std::min(span.first + 1, part->count) : part->count;
  for (int i = span.first; i < end; ++i) {
    switch (span.section) {
      case Section::kLocations:
        part->locations.push_back(location(i));
        break;
      case Section::kAreas:
        part->areas.push_back(area(i));
        break;
      case Section::kForces:
        part->forces.push_back(CopyOf(force(i), false));
        break;
      case Section::kOutcomes:
        part->outcomes.push_back(outcome(i));
        break;
    }
  }
  part->nodes = tree_.SaveBranch(tree_.category(span.section), span.first, span.single ? 1 : -1);
  return part;
}

void MissionDocument::SwapPart(Part& part) {
  // The records there now move out into `now`, the part's move in; the nodes trade places in the tree.
  const Span span = part.span;
  PartPtr now(new Part);
  now->span = span;
  now->count = record_count(span.section);
  const int end = span.single ? std::min(span.first + 1, now->count) : now->count;
  for (int i = span.first; i < end; ++i) {
    switch (span.section) {
      case Section::kLocations:
        now->locations.push_back(std::move(writable_location(i)));
        break;
      case Section::kAreas:
        now->areas.push_back(std::move(writable_area(i)));
        break;
      case Section::kForces:
        now->forces.push_back(CopyOf(writable_force(i), true));
        break;
      case Section::kOutcomes:
        now->outcomes.push_back(std::move(writable_outcome(i)));
        break;
    }
  }
  for (int i = 0; i < static_cast<int>(part.locations.size()); ++i)
    writable_location(span.first + i) = std::move(part.locations[static_cast<std::size_t>(i)]);
  for (int i = 0; i < static_cast<int>(part.areas.size()); ++i)
    writable_area(span.first + i) = std::move(part.areas[static_cast<std::size_t>(i)]);
  for (int i = 0; i < static_cast<int>(part.forces.size()); ++i)
    Load(writable_force(span.first + i), part.forces[static_cast<std::size_t>(i)]);
  for (int i = 0; i < static_cast<int>(part.outcomes.size()); ++i)
    writable_outcome(span.first + i) = std::move(part.outcomes[static_cast<std::size_t>(i)]);
  switch (span.section) {
    case Section::kLocations:
      location_count_ = part.count;
      break;
    case Section::kAreas:
      area_count_ = part.count;
      break;
    case Section::kForces:
      force_count_ = part.count;
      break;
    case Section::kOutcomes:
      outcome_count_ = part.count;
      break;
  }
  tree_.SwapBranch(part.nodes, span.single ? 1 : -1);
  now->nodes = std::move(part.nodes);
  part = std::move(*now);
  static constexpr std::array<DocumentChange, 4> kChangeOf = {
      DocumentChange::kLocations, DocumentChange::kAreas, DocumentChange::kForces, DocumentChange::kOutcomes};
  Changed(kChangeOf[static_cast<std::size_t>(span.section)]);
}

std::size_t MissionDocument::PartBytes(const Part& part) {
  std::size_t bytes = sizeof(part) + BytesOf(part.locations) + BytesOf(part.areas) + BytesOf(part.outcomes) +
                      BytesOf(part.nodes);
  for (const ForceCopy& force : part.forces)
    bytes += BytesOf(force);
  return bytes;
}

MissionDocument::Globals MissionDocument::SaveGlobals() const {
  return {info, editing, section_files_, unread_sections_, tree_.selected(), tree_.last_added()};
}

void MissionDocument::RestoreGlobals(const Globals& from, const Globals& to) {
  const bool info_changed = info != to.info;
  info = to.info;
  editing = to.editing;
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
  tree_.last_added_ = tree_.Contains(to.last_added) ? to.last_added : kNoNode;
  tree_.Select(to.selected);
  if (info_changed) Changed(DocumentChange::kMissionInfo);
}

}  // namespace vyr::editor
