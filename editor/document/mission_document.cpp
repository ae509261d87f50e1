#include "editor/document/mission_document.h"

#include <algorithm>
#include <cassert>
#include <optional>

#include "editor/document/quoted.h"

namespace vyr::editor {

// Top-level records live in fixed slots, so an index below the capacity always names storage.
// Forces are large (21 teams of 21 actors), so their slots hold pointers and deleting one moves
// pointers, not records.
struct MissionDocument::Tables {
  std::array<LocationRecord, kMaxLocations> locations;
  std::array<AreaRecord, kMaxAreas> areas;
  std::array<std::unique_ptr<ForceRecord>, kMaxForces> forces;
  std::array<OutcomeRecord, kMaxOutcomes> outcomes;
};

namespace {

const ForceRecord& EmptyForce() {
  static const ForceRecord* const empty = new ForceRecord();
  return *empty;
}

}  // namespace

std::string CategoryText(Section section, std::string_view file_name) {
  static constexpr std::array<std::string_view, 4> kLabels = {"Locations (", "Areas (", "Forces (",
                                                              "Mission outcome ("};
  std::string text(kLabels[static_cast<std::size_t>(section)]);
  text += file_name;
  text += ')';
  return text;
}

MissionDocument::MissionDocument()
    : tables_(std::make_unique<Tables>()), team_clipboard_(std::make_unique<TeamRecord>()) {
  NewProject();
}

MissionDocument::~MissionDocument() = default;

// --- lifecycle ---

void MissionDocument::NewProject() {
  ProjectTree::Batch batch(tree_);
  InitIDE();
  tree_.Reset();
  editing = EditingState{};
  location_count_ = 0;
  area_count_ = 0;
  force_count_ = 0;
  outcome_count_ = 0;
  Changed(DocumentChange::kNewProject);
}

void MissionDocument::InitIDE() {
  SetProjectFile(FileNamePair{});
  for (int s = 0; s < 4; ++s)
    SetSectionFile(static_cast<Section>(s), FileNamePair{});
  SetMissionScriptFile(FileNamePair{});
}

// --- record access ---

const LocationRecord& MissionDocument::location(int index) const {
  assert(index >= 0 && index < kMaxLocations);
  return tables_->locations[static_cast<std::size_t>(index)];
}
LocationRecord& MissionDocument::writable_location(int index) {
  assert(index >= 0 && index < kMaxLocations);
  return tables_->locations[static_cast<std::size_t>(index)];
}
const AreaRecord& MissionDocument::area(int index) const {
  assert(index >= 0 && index < kMaxAreas);
  return tables_->areas[static_cast<std::size_t>(index)];
}
AreaRecord& MissionDocument::writable_area(int index) {
  assert(index >= 0 && index < kMaxAreas);
  return tables_->areas[static_cast<std::size_t>(index)];
}
const ForceRecord& MissionDocument::force(int index) const {
  assert(index >= 0 && index < kMaxForces);
  const auto& slot = tables_->forces[static_cast<std::size_t>(index)];
  return slot ? *slot : EmptyForce();
}
ForceRecord& MissionDocument::writable_force(int index) {
  assert(index >= 0 && index < kMaxForces);
  auto& slot = tables_->forces[static_cast<std::size_t>(index)];
  if (!slot) slot = std::make_unique<ForceRecord>();
  return *slot;
}
int MissionDocument::team_count(int force) const {
  return ValidForce(force) ? this->force(force).team_count : 0;
}
const TeamRecord& MissionDocument::team(int force, int team) const {
  assert(team >= 0 && team < kMaxTeams);
  return this->force(force).teams[static_cast<std::size_t>(team)];
}
TeamRecord& MissionDocument::writable_team(int force, int team) {
  assert(team >= 0 && team < kMaxTeams);
  return writable_force(force).teams[static_cast<std::size_t>(team)];
}
int MissionDocument::actor_count(int force, int team) const {
  return ValidTeam(force, team) ? this->team(force, team).actor_count : 0;
}
const ActorRecord& MissionDocument::actor(int force, int team, int actor) const {
  assert(actor >= 0 && actor < kMaxActors);
  return this->team(force, team).actors[static_cast<std::size_t>(actor)];
}
ActorRecord& MissionDocument::writable_actor(int force, int team, int actor) {
  assert(actor >= 0 && actor < kMaxActors);
  return writable_team(force, team).actors[static_cast<std::size_t>(actor)];
}
const OutcomeRecord& MissionDocument::outcome(int index) const {
  assert(index >= 0 && index < kMaxOutcomes);
  return tables_->outcomes[static_cast<std::size_t>(index)];
}
OutcomeRecord& MissionDocument::writable_outcome(int index) {
  assert(index >= 0 && index < kMaxOutcomes);
  return tables_->outcomes[static_cast<std::size_t>(index)];
}

bool MissionDocument::ValidTeam(int force, int team) const {
  return ValidForce(force) && team >= 0 && team < std::min<int>(this->force(force).team_count, kMaxTeams);
}

bool MissionDocument::ValidActor(int force, int team, int actor) const {
  return ValidTeam(force, team) && actor >= 0 &&
         actor < std::min<int>(this->team(force, team).actor_count, kMaxActors);
}

// --- adding ---

Status MissionDocument::AddLocation(const std::string& name, const std::string& desc, Integer x, Integer y,
                                    Integer z) {
  if (location_count_ >= kMaxLocations) {
    return Status::Error("Cannot add the location " + Quoted(name) +
                         ": the mission already has 101 locations.");
  }
  const int index = location_count_;
  WillChange({Section::kLocations, index});
  tables_->locations[static_cast<std::size_t>(index)] = LocationRecord{name, desc, x, y, z};
  ++location_count_;
  tree_.Select(
      tree_.AddRecordNode(tree_.category(Section::kLocations), name, NodeImage::kSubLocation, index));
  Changed(DocumentChange::kLocations);
  return Status::Ok();
}

Status MissionDocument::AddArea(const std::string& name, const std::string& desc,
                                const std::string& locations, Integer radius, const std::string& style) {
  if (area_count_ >= kMaxAreas) {
    return Status::Error("Cannot add the area " + Quoted(name) + ": the mission already has 101 areas.");
  }
  const int index = area_count_;
  WillChange({Section::kAreas, index});
  tables_->areas[static_cast<std::size_t>(index)] = AreaRecord{name, desc, locations, style, radius};
  ++area_count_;
  tree_.Select(tree_.AddRecordNode(tree_.category(Section::kAreas), name, NodeImage::kSubArea, index));
  Changed(DocumentChange::kAreas);
  return Status::Ok();
}

Status MissionDocument::AddForce(const std::string& name, const std::string& desc) {
  if (force_count_ >= kMaxForces) {
    return Status::Error("Cannot add the force " + Quoted(name) + ": the mission already has 101 forces.");
  }
  const int index = force_count_;
  WillChange({Section::kForces, index});
  // Only the fields are reset; the team slots beyond the count are never read.
  ForceRecord& record = writable_force(index);
  record.force_name = name;
  record.force_desc = desc;
  record.team_count = 0;
  ++force_count_;
  tree_.Select(tree_.AddRecordNode(tree_.category(Section::kForces), name, NodeImage::kSubForce, index));
  Changed(DocumentChange::kForces);
  return Status::Ok();
}

Status MissionDocument::AddTeam(int force, const std::string& name, const std::string& desc,
                                const std::string& plan) {
  if (!ValidForce(force))
    return Status::Error("Cannot add the team " + Quoted(name) + ": there is no force " +
                         std::to_string(force) + ".");
  ForceRecord& owner = writable_force(force);
  if (owner.team_count >= kMaxTeams) {
    return Status::Error("Cannot add the team " + Quoted(name) + ": the force " + Quoted(owner.force_name) +
                         " already has 21 teams.");
  }
  const int index = owner.team_count;
  WillChange({Section::kForces, force, true});
  TeamRecord& record = owner.teams[static_cast<std::size_t>(index)];
  record.team_name = name;
  record.team_desc = desc;
  record.plan = plan;
  record.actor_count = 0;
  ++owner.team_count;
  tree_.AddRecordNode(tree_.ForceNode(force), name, NodeImage::kTeam, index);
  Changed(DocumentChange::kForces);
  return Status::Ok();
}

Status MissionDocument::AddActor(int force, int team, const ActorRecord& actor) {
  if (!ValidTeam(force, team)) {
    return Status::Error("Cannot add the actor " + Quoted(actor.npc_name) + ": there is no team " +
                         std::to_string(team) + " in force " + std::to_string(force) + ".");
  }
  TeamRecord& owner = writable_team(force, team);
  if (owner.actor_count >= kMaxActors) {
    return Status::Error("Cannot add the actor " + Quoted(actor.npc_name) + ": the team " +
                         Quoted(owner.team_name) + " already has 21 actors.");
  }
  const int index = owner.actor_count;
  WillChange({Section::kForces, force, true});
  owner.actors[static_cast<std::size_t>(index)] = actor;
  ++owner.actor_count;
  tree_.AddRecordNode(tree_.TeamNode(force, team), actor.npc_name, NodeImage::kNpc, index);
  Changed(DocumentChange::kForces);
  return Status::Ok();
}

Status MissionDocument::AddOutcome(const std::string& force, const std::string& message,
                                   const std::string& next, const std::string& type,
                                   const std::string& reason) {
  if (outcome_count_ >= kMaxOutcomes) {
    return Status::Error("Cannot add the outcome: the mission already has 101 outcomes.");
  }
  const int index = outcome_count_;
  WillChange({Section::kOutcomes, index});
  tables_->outcomes[static_cast<std::size_t>(index)] = OutcomeRecord{type, force, message, reason, next};
  ++outcome_count_;
  const bool success = type == "success";
  tree_.Select(tree_.AddRecordNode(tree_.category(Section::kOutcomes), success ? "Success" : "Failure",
                                   success ? NodeImage::kPos : NodeImage::kNeg, index));
  Changed(DocumentChange::kOutcomes);
  return Status::Ok();
}

// --- deleting ---

namespace {

// Records after `index` move down one slot each, in ascending order; the freed last slot is stale.
template <typename Slots>
void MoveDown(Slots& slots, int index, int count) {
  std::move(slots.begin() + index + 1, slots.begin() + count, slots.begin() + index);
}

}  // namespace

Status MissionDocument::DeleteLocation(int index) {
  if (index < 0 || index >= location_count_)
    return Status::Error("There is no location " + std::to_string(index) + ".");
  WillChange({Section::kLocations, index});
  const NodeId node = tree_.LocationNode(index);
  MoveDown(tables_->locations, index, location_count_);
  tree_.RemoveRecordNode(node);
  --location_count_;
  Changed(DocumentChange::kLocations);
  return Status::Ok();
}

Status MissionDocument::DeleteArea(int index) {
  if (index < 0 || index >= area_count_)
    return Status::Error("There is no area " + std::to_string(index) + ".");
  WillChange({Section::kAreas, index});
  const NodeId node = tree_.AreaNode(index);
  MoveDown(tables_->areas, index, area_count_);
  tree_.RemoveRecordNode(node);
  --area_count_;
  Changed(DocumentChange::kAreas);
  return Status::Ok();
}

Status MissionDocument::DeleteOutcome(int index) {
  if (index < 0 || index >= outcome_count_)
    return Status::Error("There is no outcome " + std::to_string(index) + ".");
  WillChange({Section::kOutcomes, index});
  const NodeId node = tree_.OutcomeNode(index);
  MoveDown(tables_->outcomes, index, outcome_count_);
  tree_.RemoveRecordNode(node);
  --outcome_count_;
  Changed(DocumentChange::kOutcomes);
  return Status::Ok();
}

Status MissionDocument::DeleteForce(int index) {
  if (!ValidForce(index)) return Status::Error("There is no force " + std::to_string(index) + ".");
  WillChange({Section::kForces, index});
  const NodeId node = tree_.ForceNode(index);
  std::optional<ProjectTree::Batch> batch;  // a force with teams goes as one change
  if (team_count(index) > 0) batch.emplace(tree_);
  while (team_count(index) > 0) {
    tree_.Select(tree_.TeamNode(index, 0));
    DeleteTeam(index, 0);
  }
  tree_.Select(node);
  // The deleted force's record goes to the freed last slot, where it is stale.
  auto& slots = tables_->forces;
  std::rotate(slots.begin() + index, slots.begin() + index + 1, slots.begin() + force_count_);
  tree_.RemoveRecordNode(node);
  --force_count_;
  Changed(DocumentChange::kForces);
  return Status::Ok();
}

Status MissionDocument::DeleteTeam(int force, int team) {
  if (!ValidTeam(force, team)) {
    return Status::Error("There is no team " + std::to_string(team) + " in force " + std::to_string(force) +
                         ".");
  }
  WillChange({Section::kForces, force, true});
  const NodeId node = tree_.TeamNode(force, team);
  while (actor_count(force, team) > 0) {
    tree_.Select(tree_.ActorNode(force, team, 0));
    DeleteActor(force, team, 0);
  }
  tree_.Select(node);
  ForceRecord& owner = writable_force(force);
  MoveDown(owner.teams, team, owner.team_count);
  tree_.RemoveRecordNode(node);
  --owner.team_count;
  Changed(DocumentChange::kForces);
  return Status::Ok();
}

Status MissionDocument::DeleteActor(int force, int team, int actor) {
  if (!ValidActor(force, team, actor)) {
    return Status::Error("There is no actor " + std::to_string(actor) + " in team " + std::to_string(team) +
                         " of force " + std::to_string(force) + ".");
  }
  WillChange({Section::kForces, force, true});
  const NodeId node = tree_.ActorNode(force, team, actor);
  TeamRecord& owner = writable_team(force, team);
  MoveDown(owner.actors, actor, owner.actor_count);
  tree_.RemoveRecordNode(node);
  --owner.actor_count;
  Changed(DocumentChange::kForces);
  return Status::Ok();
}

// Walks the nodes by node index; a deleted node's successor moves into its index, so the walk stays put.
void MissionDocument::ClearKind(NodeImage image, NodeImage other_image) {
  ProjectTree::Batch batch(tree_);
  for (int node_index = 1; node_index <= tree_.node_count();) {
    const NodeId id = tree_.NodeAt(node_index);
    const TreeNode& node = tree_.node(id);
    if (node.image != image && node.image != other_image) {
      ++node_index;
      continue;
    }
    tree_.Select(id);
    const int binding = node.binding;
    switch (image) {
      case NodeImage::kSubLocation:
        DeleteLocation(binding);
        break;
      case NodeImage::kSubArea:
        DeleteArea(binding);
        break;
      case NodeImage::kSubForce:
        DeleteForce(binding);
        break;
      default:
        DeleteOutcome(binding);
        break;
    }
  }
}

void MissionDocument::ClearLocations() {
  WillChange({Section::kLocations, 0});
  ClearKind(NodeImage::kSubLocation, NodeImage::kSubLocation);
  location_count_ = 0;
}

void MissionDocument::ClearAreas() {
  WillChange({Section::kAreas, 0});
  ClearKind(NodeImage::kSubArea, NodeImage::kSubArea);
  area_count_ = 0;
}

void MissionDocument::ClearForces() {
  WillChange({Section::kForces, 0});
  ClearKind(NodeImage::kSubForce, NodeImage::kSubForce);
  force_count_ = 0;
}

void MissionDocument::ClearOutcomes() {
  WillChange({Section::kOutcomes, 0});
  ClearKind(NodeImage::kPos, NodeImage::kNeg);
  outcome_count_ = 0;
}

// --- clipboards ---

Status MissionDocument::CopyActor(int force, int team, int actor) {
  if (!ValidActor(force, team, actor)) {
    return Status::Error("There is no actor " + std::to_string(actor) + " in team " + std::to_string(team) +
                         " of force " + std::to_string(force) + ".");
  }
  actor_clipboard_ = this->actor(force, team, actor);
  actor_on_clipboard_ = true;
  team_on_clipboard_ = false;
  Changed(DocumentChange::kClipboard);
  return Status::Ok();
}

Status MissionDocument::CopyTeam(int force, int team) {
  if (!ValidTeam(force, team)) {
    return Status::Error("There is no team " + std::to_string(team) + " in force " + std::to_string(force) +
                         ".");
  }
  *team_clipboard_ = this->team(force, team);
  team_on_clipboard_ = true;
  actor_on_clipboard_ = false;
  Changed(DocumentChange::kClipboard);
  return Status::Ok();
}

Status MissionDocument::CutActor(int force, int team, int actor) {
  if (Status status = CopyActor(force, team, actor); !status) return status;
  return DeleteActor(force, team, actor);
}

Status MissionDocument::CutTeam(int force, int team) {
  if (Status status = CopyTeam(force, team); !status) return status;
  return DeleteTeam(force, team);
}

Status MissionDocument::PasteActor(int force, int team) {
  if (!actor_on_clipboard_) return Status::Error("There is no actor on the clipboard.");
  return AddActor(force, team, actor_clipboard_);
}

Status MissionDocument::PasteTeam(int force) {
  if (!team_on_clipboard_) return Status::Error("There is no team on the clipboard.");
  return AddTeamWithActors(force, *team_clipboard_);
}

Status MissionDocument::AddTeamWithActors(int force, const TeamRecord& source) {
  ProjectTree::Batch batch(tree_);
  if (Status status = AddTeam(force, source.team_name, source.team_desc, source.plan); !status) return status;
  const int team = team_count(force) - 1;
  tree_.Select(tree_.TeamNode(force, team));
  const int actors = std::clamp<int>(source.actor_count, 0, kMaxActors);
  for (int a = 0; a < actors; ++a)
    AddActor(force, team, source.actors[static_cast<std::size_t>(a)]);
  tree_.Select(tree_.ForceNode(force));
  return Status::Ok();
}

NodeAddress MissionDocument::MakeCurrent(NodeId node) {
  tree_.Select(node);
  const NodeAddress address = tree_.AddressOf(node);
  const auto index = static_cast<Integer>(address.index);
  switch (address.image) {
    case NodeImage::kSubLocation:
      editing.current_location = index;
      break;
    case NodeImage::kSubArea:
      editing.current_area = index;
      break;
    case NodeImage::kSubForce:
    case NodeImage::kTeam:
    case NodeImage::kNpc:
      editing.current_force = static_cast<Integer>(address.force);
      break;
    case NodeImage::kPos:
    case NodeImage::kNeg:
      editing.current_outcome = index;
      break;
    default:
      break;
  }
  return address;
}

// --- file names ---

const FileNamePair& MissionDocument::section_file(Section section) const {
  return section_files_[static_cast<std::size_t>(section)];
}

void MissionDocument::SetProjectFile(FileNamePair pair) {
  project_file_ = std::move(pair);
  caption_ = std::string(kCaptionPrefix) + project_file_.name + "]";
  tree_.SetText(tree_.root(), "VYR (" + project_file_.name + ")");
  Changed(DocumentChange::kFileNames);
}

void MissionDocument::SetSectionFile(Section section, FileNamePair pair) {
  FileNamePair& target = section_files_[static_cast<std::size_t>(section)];
  target = std::move(pair);
  unread_sections_[static_cast<std::size_t>(section)].reset();
  tree_.SetText(tree_.category(section), CategoryTextOf(section));
  Changed(DocumentChange::kFileNames);
}

// A section that was not read shows the file the project names, and that it was not loaded.
std::string MissionDocument::CategoryTextOf(Section section) const {
  const auto i = static_cast<std::size_t>(section);
  if (section_files_[i].unnamed() && unread_sections_[i])
    return CategoryText(section, unread_sections_[i]->file.name + ": not loaded");
  return CategoryText(section, section_files_[i].name);
}

const std::optional<UnreadSection>& MissionDocument::unread_section(Section section) const {
  return unread_sections_[static_cast<std::size_t>(section)];
}

void MissionDocument::SetUnreadSection(Section section, std::optional<UnreadSection> unread) {
  unread_sections_[static_cast<std::size_t>(section)] = std::move(unread);
  tree_.SetText(tree_.category(section), CategoryTextOf(section));
  Changed(DocumentChange::kFileNames);
}

void MissionDocument::SetMissionScriptFile(FileNamePair pair) {
  mission_script_file_ = std::move(pair);
  Changed(DocumentChange::kFileNames);
}

void MissionDocument::SetAnnotation(std::string text) {
  if (info.annotation == text) return;
  info.annotation = std::move(text);
  Changed(DocumentChange::kMissionInfo);
}

}  // namespace vyr::editor
