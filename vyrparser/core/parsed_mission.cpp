#include "vyrparser/core/parsed_mission.h"

#include <algorithm>
#include <string>

namespace vyr::parser {

const char* const kInstructionNames[kInstructionKindCount] = {
    "wait",
    "advance",
    "abort",
    "assemble",
    "attack",
    "continue",
    "defend",
    "freeze",
    "insert",
    "join",
    "moveup",
    "observe",
    "patrol",
    "phase",
    "pullback",
    "radio",
    "on",
    "signal",
    "signal",
    "snipe",
    "spawn",
    "split",
    "spread",
    "take cover",
    "wait until ready",
    "wait until assembled",
    "wait until code",
};

// Plans are most of a large script's model: an instruction must stay smaller than most statements.
static_assert(sizeof(PlanInstruction) <= 32);

const char* InstructionName(InstructionKind kind) {
  const auto i = static_cast<std::uint32_t>(kind);
  return i < kInstructionKindCount ? kInstructionNames[i] : "";
}

// ---------------------------------------------------------------- LocationTable

const MissionLocation* LocationTable::Find(std::string_view name) const {
  const std::uint32_t i = index_.Find(name);
  return i == NameIndex::kNotFound ? nullptr : by_position_[i];
}

const MissionLocation& LocationTable::Add(Text name, float x, float y, float z) {
  locations_.push_back(MissionLocation{name, x, y, z});
  by_position_.push_back(&locations_.back());
  const auto position = static_cast<std::uint32_t>(locations_.size() - 1);
  index_.Insert(name, position);
  return locations_.back();
}

// ---------------------------------------------------------------- the single model

namespace {
std::unique_ptr<ParsedMission>& TheModel() {
  static std::unique_ptr<ParsedMission> model;
  return model;
}
}  // namespace

ParsedMission::ParsedMission() = default;
ParsedMission::~ParsedMission() = default;

ParsedMission& ParsedMission::Obtain() {
  auto& model = TheModel();
  if (!model) model = std::make_unique<ParsedMission>();
  return *model;
}

void ParsedMission::Close() {
  TheModel().reset();
}

ParsedMission* ParsedMission::Current() {
  return TheModel().get();
}

// ---------------------------------------------------------------- general information

void ParsedMission::AppendAnnotation(std::string_view piece) {
  if (annotation.is_null()) {
    annotation = MakeText(piece);
    return;
  }
  std::string joined(annotation.view());
  joined.append(piece);
  annotation = MakeText(joined);
}

void ParsedMission::AddRule(std::string_view name, std::uint32_t value) {
  static constexpr std::string_view kRuleNames[] = {"respawn"};
  for (std::size_t i = 0; i < std::size(kRuleNames); ++i) {
    const std::string_view known = kRuleNames[i];
    const bool same = known.size() == name.size() &&
                      std::equal(known.begin(), known.end(), name.begin(), [](char a, char b) {
                        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; };
                        return lower(a) == lower(b);
                      });
    if (same) {
      rules.push_back(MissionRule{1u << i, value});
      return;
    }
  }
}

// ---------------------------------------------------------------- locations and areas

void ParsedMission::AddLocation(std::string_view name, float x, float y, float z) {
  locations.Add(MakeText(name), x, y, z);
}

MissionArea* ParsedMission::AddArea(std::string_view name) {
  auto area = std::make_unique<MissionArea>();
  area->name = MakeText(name);
  areas.push_back(std::move(area));
  area_index_.Insert(areas.back()->name, static_cast<std::uint32_t>(areas.size() - 1));
  return areas.back().get();
}

void ParsedMission::AddAreaStyle(std::uint32_t bit) {
  if (!areas.empty()) areas.back()->styles |= bit;
}

void ParsedMission::AddAreaName(AreaList list, std::string_view location_name) {
  if (areas.empty()) return;
  const MissionLocation* location = locations.Find(location_name);
  if (!location) return;
  MissionArea& area = *areas.back();
  switch (list) {
    case AreaList::kLocations:
      area.locations.push_back(location->name);
      break;
    case AreaList::kEntrances:
      area.entrances.push_back(location->name);
      break;
    case AreaList::kExits:
      area.exits.push_back(location->name);
      break;
    case AreaList::kWindows:
      area.windows.push_back(location->name);
      break;
  }
}

void ParsedMission::SetAreaRadius(std::int32_t radius) {
  if (!areas.empty()) areas.back()->radius = radius;
}

MissionArea* ParsedMission::FindArea(std::string_view name) const {
  const std::uint32_t i = area_index_.Find(name);
  return i == NameIndex::kNotFound ? nullptr : areas[i].get();
}

// ---------------------------------------------------------------- forces, teams, actors

MissionForce* ParsedMission::AddForce(std::string_view name) {
  auto force = std::make_unique<MissionForce>();
  force->name = MakeText(name);
  forces.push_back(std::move(force));
  current_force_ = forces.back().get();
  force_index_.Insert(current_force_->name, static_cast<std::uint32_t>(forces.size() - 1));
  return current_force_;
}

MissionTeam* ParsedMission::AddTeam(std::string_view name) {
  if (!current_force_) return nullptr;
  auto team = std::make_unique<MissionTeam>();
  team->name = MakeText(name);
  team->force = current_force_;
  current_team_ = team.get();
  current_force_->teams.push_back(std::move(team));
  all_teams.push_back(current_team_);
  const auto position = static_cast<std::uint32_t>(all_teams.size() - 1);
  team_index_.Insert(current_team_->name, position);
  team_index_ignoring_case_.Insert(current_team_->name, position);
  return current_team_;
}

MissionActor* ParsedMission::AddActor(std::uint32_t type, std::string_view name,
                                      std::string_view model_and_skin) {
  if (!current_team_) return nullptr;
  MissionActor& actor = *memory_.New<MissionActor>();
  actor.type = type;
  actor.name = MakeText(name);
  actor.model_and_skin = ShareText(model_and_skin, TextUse::kModel);
  actor.team = current_team_;
  current_actor_ = &actor;
  Append(current_team_->members, current_actor_);
  Append(all_actors, current_actor_);
  // Indexed at the first lookup: most scripts name few actors, and an index built at once needs no
  // regrowing.
  actor_index_stale_ = true;
  return current_actor_;
}

void ParsedMission::AddWeapon(std::string_view name) {
  if (current_actor_) Append(current_actor_->weapons, ShareText(name, TextUse::kEquipment));
}

void ParsedMission::AddAmmunition(std::string_view name, std::int32_t count) {
  if (current_actor_)
    Append(current_actor_->ammunition, AmmoEntry{ShareText(name, TextUse::kEquipment), count});
}

void ParsedMission::AddItem(std::string_view name) {
  if (current_actor_) Append(current_actor_->items, ShareText(name, TextUse::kEquipment));
}

void ParsedMission::SetSkill(float skill) {
  if (!current_actor_) return;
  if (skill > 5.0f) skill = 5.0f;
  if (skill < 1.0f) skill = 1.0f;
  current_actor_->skill = skill;
}

MissionTeam* ParsedMission::FindTeam(std::string_view name) const {
  const std::uint32_t i = team_index_.Find(name);
  return i == NameIndex::kNotFound ? nullptr : all_teams[i];
}

MissionTeam* ParsedMission::FindTeamIgnoringCase(std::string_view name) const {
  const std::uint32_t i = team_index_ignoring_case_.Find(name);
  return i == NameIndex::kNotFound ? nullptr : all_teams[i];
}

MissionForce* ParsedMission::FindForce(std::string_view name) const {
  const std::uint32_t i = force_index_.Find(name);
  return i == NameIndex::kNotFound ? nullptr : forces[i].get();
}

void ParsedMission::IndexActors() const {
  actor_index_.Clear();
  actor_index_.InsertAll(static_cast<std::uint32_t>(all_actors.size()),
                         [this](std::uint32_t p) { return all_actors[p]->name; });
  actor_index_stale_ = false;
}

Text ParsedMission::DeclaredMember(std::string_view name) const {
  // Teams and forces first: their indexes are small, the actors' may not be built yet.
  if (const Text team = team_index_.FindName(name)) return team;
  if (const Text force = force_index_.FindName(name)) return force;
  if (actor_index_stale_) IndexActors();
  return actor_index_.FindName(name);
}

MissionActor* ParsedMission::FindActor(std::string_view name) const {
  if (actor_index_stale_) IndexActors();
  const std::uint32_t i = actor_index_.Find(name);
  return i == NameIndex::kNotFound ? nullptr : all_actors[i];
}

std::pair<Text, Text> ParsedMission::ForceAndTeamOf(const MissionActor* actor) const {
  // A team never changes force and an actor never changes team, so the holders recorded when they
  // were added are the ones a scan of the force and team lists would find.
  if (actor == nullptr || actor->team == nullptr || actor->team->force == nullptr) return {};
  return {actor->team->force->name, actor->team->name};
}

void ParsedMission::RenameActor(MissionActor* actor, std::string_view new_name) {
  if (!actor) return;
  const Text renamed = MakeText(new_name);
  if (!actor->name.is_null()) {
    const std::string old_name(actor->name.view());
    for (const auto& objective : objectives) {
      if (!objective->condition) continue;
      // Walk the tree without recursion: conditions may nest thousands deep.
      std::vector<ConditionNode*> pending{objective->condition};
      while (!pending.empty()) {
        ConditionNode* node = pending.back();
        pending.pop_back();
        if (!node->name.is_null() && node->name.view() == old_name) node->name = renamed;
        if (node->first) pending.push_back(node->first);
        if (node->second) pending.push_back(node->second);
      }
    }
  }
  actor->name = renamed;
  actor_index_stale_ = true;
}

// ---------------------------------------------------------------- objectives and conditions

MissionObjective* ParsedMission::AddObjective(std::uint32_t type, std::string_view owner,
                                              std::string_view message) {
  auto objective = std::make_unique<MissionObjective>();
  objective->type = type;
  objective->owner = ShareText(owner, TextUse::kOwner);
  objective->message = ShareText(message, TextUse::kMessage);
  objectives.push_back(std::move(objective));
  current_objective_ = objectives.back().get();
  current_condition_ = nullptr;
  return current_objective_;
}

void ParsedMission::AttachToCursor(ConditionNode* node) {
  node->parent = current_condition_;
  if (!current_condition_) {
    current_condition_ = node;
  } else if (!current_condition_->first) {
    current_condition_->first = node;
  } else {
    current_condition_->second = node;
  }
}

void ParsedMission::AddConditionLeaf(std::uint32_t kind, std::string_view name) {
  AddConditionLeaf(kind, ShareText(name, TextUse::kMember));
}

void ParsedMission::AddConditionLeaf(std::uint32_t kind, Text name) {
  if (!current_objective_) return;
  ConditionNode& node = *memory_.New<ConditionNode>();
  node.kind = kind;
  node.name = name;
  AttachToCursor(&node);
  current_objective_->condition = current_condition_;
}

void ParsedMission::AddTimeoutLeaf(std::int32_t seconds) {
  if (!current_objective_) return;
  ConditionNode& node = *memory_.New<ConditionNode>();
  node.kind = kConditionTimeout;
  node.value = seconds;
  AttachToCursor(&node);
  current_objective_->condition = current_condition_;
}

void ParsedMission::OpenCompound() {
  if (!current_objective_) return;
  ConditionNode& node = *memory_.New<ConditionNode>();
  AttachToCursor(&node);
  current_condition_ = &node;
}

void ParsedMission::SetOperator(std::uint32_t kind) {
  if (current_condition_) current_condition_->kind = kind;
}

void ParsedMission::CloseCompound() {
  if (!current_condition_) return;
  if (!current_condition_->parent) {
    if (current_objective_) current_objective_->condition = current_condition_;
    current_condition_ = nullptr;
  } else {
    current_condition_ = current_condition_->parent;
  }
}

void ParsedMission::AbandonCondition() {
  if (current_objective_) current_objective_->condition = nullptr;
  current_condition_ = nullptr;
}

void ParsedMission::AddNextMission(std::string_view name) {
  if (current_objective_) current_objective_->next_missions.push_back(ShareText(name, TextUse::kNextMission));
}

// ---------------------------------------------------------------- plans

void ParsedMission::BeginPlan(std::string_view team) {
  MissionTeam* found = FindTeamIgnoringCase(team);
  plan_ = found ? &found->plan : nullptr;
  // Nesting left open by an earlier failed parse is dropped here, not carried into this plan.
  open_depth_ = 0;
  if (open_lists_.empty()) open_lists_.emplace_back();
  open_lists_[0].clear();
}

void ParsedMission::EndPlan() {
  if (plan_) {
    // The plan's list so far, then what this part appended.
    ModelList<PlanInstruction>& list = plan_->instructions;
    const std::vector<PlanInstruction>& added = open_lists_[0];
    const std::size_t count = list.size() + added.size();
    auto* data = count ? static_cast<PlanInstruction*>(plan_space_.Allocate(count * sizeof(PlanInstruction)))
                       : nullptr;
    std::copy(added.begin(), added.end(), std::copy(list.begin(), list.end(), data));
    plan_space_.Release(list.data_, list.capacity_ * sizeof(PlanInstruction));
    list.data_ = data;
    list.size_ = list.capacity_ = static_cast<std::uint32_t>(count);
  }
  plan_ = nullptr;
  open_depth_ = 0;
}

PlanInstruction* ParsedMission::AppendInstruction(InstructionKind kind, Text first, Text second, Text third,
                                                  float value) {
  if (!plan_) return nullptr;
  PlanInstruction& instruction = open_lists_[open_depth_].emplace_back();
  instruction.kind = kind;
  instruction.first = first;
  instruction.second = second;
  instruction.third_ = third;
  instruction.value = value;
  return &instruction;
}

PlanInstruction* ParsedMission::AppendOn(Text owner, std::uint16_t events, Text code) {
  PlanInstruction* on = AppendInstruction(InstructionKind::kOn, owner, code);
  if (on) {
    on->events = events;
    on->body_ = nullptr;
  }
  return on;
}

PlanInstruction* ParsedMission::AppendPatrol(Text owner) {
  PlanInstruction* patrol = AppendInstruction(InstructionKind::kPatrol, owner);
  if (patrol) {
    ModelList<Text>* areas = nullptr;
    if (!pending_patrol_areas_.empty()) {
      areas = memory_.New<ModelList<Text>>();
      AssignList(*areas, std::span<const Text>(pending_patrol_areas_));
    }
    patrol->patrol_areas_ = areas;
  }
  pending_patrol_areas_.clear();
  return patrol;
}

void ParsedMission::PushStatementList() {
  if (!plan_) return;
  if (++open_depth_ == open_lists_.size()) open_lists_.emplace_back();
  open_lists_[open_depth_].clear();
}

void ParsedMission::PopStatementList() {
  if (!plan_ || open_depth_ == 0) return;
  const std::vector<PlanInstruction>& list = open_lists_[open_depth_--];
  // The body joins the on it follows; the on keeps no body when something else came between.
  std::vector<PlanInstruction>& outer = open_lists_[open_depth_];
  if (outer.empty() || outer.back().kind != InstructionKind::kOn) return;
  InstructionList* body = memory_.New<InstructionList>();
  AssignList(body->instructions, std::span<const PlanInstruction>(list));
  outer.back().body_ = body;
}

}  // namespace vyr::parser
