#pragma once

// The in-memory form of one mission script. The parser fills it; the automation layer reads it,
// changes actors in it and hands it to the writer. All records are owned by the model and freed with
// it; all strings are Texts from the model's pool (a null Text is a missing string).

#include <algorithm>
#include <cstdint>
#include <deque>
#include <memory>
#include <span>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "vyrparser/core/name_index.h"
#include "vyrparser/core/text.h"

namespace vyr::parser {

// Map style bits.
inline constexpr std::uint32_t kMapStyleUrban = 1;
inline constexpr std::uint32_t kMapStyleDark = 2;
inline constexpr std::uint32_t kMapStyleOpen = 4;
inline constexpr std::uint32_t kMapStyleIndoor = 8;

// Area style bits.
inline constexpr std::uint32_t kAreaStyleOpen = 1;
inline constexpr std::uint32_t kAreaStyleClosed = 2;
inline constexpr std::uint32_t kAreaStyleRoof = 4;

// Rules: the bit of "respawn" and its values.
inline constexpr std::uint32_t kRuleRespawn = 1;
inline constexpr std::uint32_t kRespawnNone = 0;
inline constexpr std::uint32_t kRespawnTeam = 1;
inline constexpr std::uint32_t kRespawnIndividual = 2;

// Actor types and objective types.
inline constexpr std::uint32_t kActorNpc = 0;
inline constexpr std::uint32_t kActorPlayer = 1;
inline constexpr std::uint32_t kObjectiveSuccess = 0;
inline constexpr std::uint32_t kObjectiveFailure = 1;

// Event bits of an on instruction.
inline constexpr std::uint32_t kEventContact = 2;
inline constexpr std::uint32_t kEventUnderFire = 4;
inline constexpr std::uint32_t kEventCasualty = 8;
inline constexpr std::uint32_t kEventCode = 16;

// A wait "forever" is stored as this many seconds.
inline constexpr float kWaitForever = 100000.0f;

struct MissionRule {
  std::uint32_t rule_bit = 0;
  std::uint32_t value = 0;
};

struct MissionLocation {
  Text name;
  float x = 0, y = 0, z = 0;
};

struct MissionArea {
  Text name;
  std::uint32_t styles = 0;
  std::vector<Text> locations;
  std::vector<Text> entrances;
  std::vector<Text> exits;
  std::vector<Text> windows;
  std::int32_t radius = 0;
};

// Which of an area's four name lists an operation targets.
enum class AreaList { kLocations, kEntrances, kExits, kWindows };

struct AmmoEntry {
  Text name;
  std::int32_t count = 0;  // a 16-bit value from the script
};

struct MissionTeam;
struct MissionForce;

// A list held in the model's memory: read like a vector, changed only through the model
// (ParsedMission::Append and AssignList). 16 bytes, where a vector with its allocator takes 32.
template <class T>
class ModelList {
 public:
  static_assert(std::is_trivially_copyable_v<T>);
  const T* begin() const { return data_; }
  const T* end() const { return data_ + size_; }
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  const T& operator[](std::size_t i) const { return data_[i]; }
  operator std::span<const T>() const { return {data_, size_}; }

 private:
  friend class ParsedMission;
  T* data_ = nullptr;
  std::uint32_t size_ = 0;
  std::uint32_t capacity_ = 0;
};

struct MissionActor {
  std::uint32_t type = kActorNpc;
  float skill = 0.0f;  // stays 0 for a player declared without a skill clause
  Text name;
  Text model_and_skin;
  ModelList<Text> weapons;
  ModelList<AmmoEntry> ammunition;
  ModelList<Text> items;
  MissionTeam* team = nullptr;  // the team whose member list holds this actor; set when it is added
};

enum class InstructionKind : std::uint8_t {
  kWait = 0,
  kAdvance = 1,
  kAbort = 2,
  kAssemble = 3,
  kAttack = 4,
  kContinue = 5,
  kDefend = 6,
  kFreeze = 7,
  kInsert = 8,
  kJoin = 9,
  kMoveup = 10,
  kObserve = 11,
  kPatrol = 12,
  kPhase = 13,
  kPullback = 14,
  kRadio = 15,
  kOn = 16,
  kSignalTowards = 17,
  kSignalCode = 18,
  kSnipe = 19,
  kSpawn = 20,
  kSplit = 21,
  kSpread = 22,
  kTakeCover = 23,
  kWaitUntilReady = 24,
  kWaitUntilAssembled = 25,
  kWaitUntilCode = 26,
};
inline constexpr int kInstructionKindCount = 27;

// The instruction name table the printers use, indexed by kind.
extern const char* const kInstructionNames[kInstructionKindCount];
// The name of `kind`, or "" for a value outside the table.
const char* InstructionName(InstructionKind kind);

struct InstructionList;

struct PlanInstruction {
  InstructionKind kind = InstructionKind::kWait;
  std::uint16_t events = 0;  // on: kEvent* bits
  float value = 0.0f;        // wait and freeze time, spread distance, split count
  Text first;                // the owner team, or the phase name of a phase; null for a wait
  Text second;

  // The third name of advance, assemble, defend, insert, moveup, pullback, signal and snipe; null for
  // the other kinds.
  Text third() const { return HasBodyOrAreas() ? Text() : third_; }
  // An on's body (owned by the model); null when none, and for the other kinds.
  const InstructionList* body() const { return kind == InstructionKind::kOn ? body_ : nullptr; }
  InstructionList* body() { return kind == InstructionKind::kOn ? body_ : nullptr; }
  // A patrol's areas (owned by the model), or null for a patrol without a list and the other kinds.
  const ModelList<Text>* patrol_areas() const {
    return kind == InstructionKind::kPatrol ? patrol_areas_ : nullptr;
  }

 private:
  friend class ParsedMission;
  bool HasBodyOrAreas() const { return kind == InstructionKind::kOn || kind == InstructionKind::kPatrol; }
  // On and patrol use no third name, so their extra part shares its place: 32 bytes an instruction,
  // less than many a short statement's text.
  union {
    Text third_{};
    InstructionList* body_;
    const ModelList<Text>* patrol_areas_;
  };
};

struct InstructionList {
  ModelList<PlanInstruction> instructions;
};

struct MissionTeam {
  Text name;
  MissionForce* force = nullptr;     // the force whose team list holds this team; set when it is added
  ModelList<MissionActor*> members;  // owned by the model
  InstructionList plan;
};

struct MissionForce {
  Text name;
  std::vector<std::unique_ptr<MissionTeam>> teams;
};

enum ConditionKind : std::uint32_t {
  kConditionOpen = 0,  // a compound whose operator is not read yet
  kConditionAnd = 1,
  kConditionOr = 2,
  kConditionNot = 4,
  kConditionEliminated = 8,
  kConditionOccupied = 16,
  kConditionAlive = 32,
  kConditionTimeout = 64,
};

struct ConditionNode {
  std::uint32_t kind = kConditionOpen;
  ConditionNode* first = nullptr;   // and, or, not
  ConditionNode* second = nullptr;  // and, or
  ConditionNode* parent = nullptr;
  Text name;               // eliminated, alive: team, actor or force; occupied: area
  std::int32_t value = 0;  // timeout: seconds
};

struct MissionObjective {
  std::uint32_t type = kObjectiveSuccess;
  Text owner;
  Text message;
  ConditionNode* condition = nullptr;  // root of the tree (nodes owned by the model); null when none
  std::vector<Text> next_missions;
};

// Locations in the order of addition; several may share a name, and a lookup by name answers the
// first of them. References returned stay valid while the model lives.
class LocationTable {
 public:
  std::size_t size() const { return locations_.size(); }
  const MissionLocation& operator[](std::size_t i) const { return locations_[i]; }
  const MissionLocation* Find(std::string_view name) const;
  // The name of the first location named `name`, or a null Text.
  Text FindName(std::string_view name) const { return index_.FindName(name); }
  const MissionLocation& Add(Text name, float x, float y, float z);

  auto begin() const { return locations_.begin(); }
  auto end() const { return locations_.end(); }

 private:
  std::deque<MissionLocation> locations_;

  std::vector<const MissionLocation*> by_position_;  // the same records, found without deque arithmetic
  NameIndex index_;
};

// What a shared text is used for: each use learns on its own whether its texts repeat.
enum class TextUse : std::uint8_t {
  kModel,
  kEquipment,
  kOwner,
  kMessage,
  kMember,
  kNextMission,
  kEventCode,
  kMovement,
  kPhase,
  kRadio,
  kSignalCode,
  kSplit,
  kWaitCode,
  kCount
};

class ParsedMission {
 public:
  ParsedMission();
  virtual ~ParsedMission();
  ParsedMission(const ParsedMission&) = delete;
  ParsedMission& operator=(const ParsedMission&) = delete;

  // The process-wide model: Obtain creates an empty one when there is none; Close destroys it
  // with everything it owns, and the next Obtain starts afresh.
  static ParsedMission& Obtain();
  static void Close();
  // The current model, or null when none exists.
  static ParsedMission* Current();

  // A copy of `s` owned by this model.
  Text MakeText(std::string_view s) { return pool_.Make(s); }
  // The same, shared with every other record of this use that holds these bytes where such texts
  // repeat; a string no record may change in place.
  Text ShareText(std::string_view s, TextUse use) {
    return pool_.Share(s, sharing_[static_cast<std::size_t>(use)]);
  }
  // Puts a copy of `s` in `slot`, a string no other record shares, whose old bytes are reused.
  void ReplaceText(Text& slot, std::string_view s) {
    const Text old = slot;
    slot = pool_.Make(s);
    pool_.Release(old);
  }

  // Adds `value` at the end of `list`, a list of a record of this model.
  template <class T>
  void Append(ModelList<T>& list, const T& value) {
    if (list.size_ == list.capacity_) Reallocate(list, list.capacity_ ? 2 * list.capacity_ : 1);
    list.data_[list.size_++] = value;
  }
  // Makes `list`, a list of a record of this model, hold a copy of `values`.
  template <class T>
  void AssignList(ModelList<T>& list, std::span<const T> values) {
    if (values.size() > list.capacity_) Reallocate(list, static_cast<std::uint32_t>(values.size()));
    std::copy(values.begin(), values.end(), list.data_);
    list.size_ = static_cast<std::uint32_t>(values.size());
  }

  // --- general information
  void SetMissionName(std::string_view name) { mission_name = MakeText(name); }
  void SetAuthor(std::string_view text) { author = MakeText(text); }
  void SetDescription(std::string_view text) { description = MakeText(text); }
  void SetMapName(std::string_view name) { map_name = MakeText(name); }
  void AppendAnnotation(std::string_view piece);
  void AddMapStyle(std::uint32_t bit) { map_styles |= bit; }
  // Unknown rule names (matched ignoring case) add nothing.
  void AddRule(std::string_view name, std::uint32_t value);

  // --- locations and areas
  void AddLocation(std::string_view name, float x, float y, float z);
  MissionArea* AddArea(std::string_view name);
  // These change the last area added; without one they do nothing.
  void AddAreaStyle(std::uint32_t bit);
  // Appends only a declared location's name.
  void AddAreaName(AreaList list, std::string_view location_name);
  void SetAreaRadius(std::int32_t radius);

  // --- forces, teams, actors (each becomes the current one)
  virtual MissionForce* AddForce(std::string_view name);
  MissionTeam* AddTeam(std::string_view name);  // null without a current force
  MissionActor* AddActor(std::uint32_t type, std::string_view name, std::string_view model_and_skin);
  // These change the current actor; without one they do nothing.
  void AddWeapon(std::string_view name);
  void AddAmmunition(std::string_view name, std::int32_t count);
  void AddItem(std::string_view name);
  void SetSkill(float skill);  // clamped to 1.0..5.0

  // --- objectives and their conditions
  MissionObjective* AddObjective(std::uint32_t type, std::string_view owner, std::string_view message);
  void AddConditionLeaf(std::uint32_t kind, std::string_view name);  // eliminated, occupied, alive
  void AddConditionLeaf(std::uint32_t kind, Text name);              // `name` a Text of this model
  void AddTimeoutLeaf(std::int32_t seconds);
  void OpenCompound();
  void SetOperator(std::uint32_t kind);
  void CloseCompound();
  // Drops a condition left unfinished by a failed parse: the current objective has none.
  void AbandonCondition();
  void AddNextMission(std::string_view name);

  // --- plans
  // Makes the plan of the first team named `team` (ignoring case) the current statement list: what is
  // appended goes after the instructions the plan holds. The plan receives them at EndPlan.
  void BeginPlan(std::string_view team);
  void EndPlan();
  // Appends to the current statement list (nothing outside a plan) and returns the new instruction,
  // which stays where it is until the next one is appended to the same list.
  PlanInstruction* AppendInstruction(InstructionKind kind, Text first, Text second = {}, Text third = {},
                                     float value = 0.0f);
  PlanInstruction* AppendWait(float seconds) {
    return AppendInstruction(InstructionKind::kWait, {}, {}, {}, seconds);
  }
  PlanInstruction* AppendOn(Text owner, std::uint16_t events, Text code);
  // A patrol; it takes over the pending patrol areas when there are any.
  PlanInstruction* AppendPatrol(Text owner);
  void PushStatementList();
  void PopStatementList();
  void ClearPendingPatrolAreas() { pending_patrol_areas_.clear(); }
  void AddPendingPatrolArea(Text area) { pending_patrol_areas_.push_back(area); }
  const std::vector<Text>& pending_patrol_areas() const { return pending_patrol_areas_; }
  bool reading_plan() const { return plan_ != nullptr; }

  // --- queries (names compared exactly)
  bool HasLocation(std::string_view name) const { return locations.Find(name) != nullptr; }
  bool HasTeam(std::string_view name) const { return FindTeam(name) != nullptr; }
  bool HasForce(std::string_view name) const { return FindForce(name) != nullptr; }
  bool HasActor(std::string_view name) const { return FindActor(name) != nullptr; }
  const MissionLocation* FindLocation(std::string_view name) const { return locations.Find(name); }
  // The model's Text of the first location or area named `name`, or a null Text: what a statement
  // that names one keeps.
  Text DeclaredLocation(std::string_view name) const { return locations.FindName(name); }
  Text DeclaredArea(std::string_view name) const { return area_index_.FindName(name); }
  // The same for a team, force or actor named `name` (exactly), in that order.
  Text DeclaredMember(std::string_view name) const;
  MissionArea* FindArea(std::string_view name) const;
  MissionTeam* FindTeam(std::string_view name) const;
  MissionTeam* FindTeamIgnoringCase(std::string_view name) const;
  MissionForce* FindForce(std::string_view name) const;
  MissionActor* FindActor(std::string_view name) const;

  std::size_t LocationCount() const { return locations.size(); }
  const MissionLocation* LocationAt(std::size_t i) const {
    return i < locations.size() ? &locations[i] : nullptr;
  }
  std::size_t AreaCount() const { return areas.size(); }
  MissionArea* AreaAt(std::size_t i) const { return i < areas.size() ? areas[i].get() : nullptr; }
  std::size_t ObjectiveCount() const { return objectives.size(); }
  MissionObjective* ObjectiveAt(std::size_t i) const {
    return i < objectives.size() ? objectives[i].get() : nullptr;
  }
  std::size_t ActorCount() const { return all_actors.size(); }
  MissionActor* ActorAt(std::size_t i) const { return i < all_actors.size() ? all_actors[i] : nullptr; }

  // The names of the force and team whose member list holds `actor`, an actor of this model; two
  // null Texts for an actor that no team holds. Constant time: actors and teams know their holders.
  std::pair<Text, Text> ForceAndTeamOf(const MissionActor* actor) const;
  // Renames `actor`, first changing every condition node that names it (exactly) in every objective.
  void RenameActor(MissionActor* actor, std::string_view new_name);

  // --- the model's data, read by the writer and the automation layer
  Text mission_name;
  Text author;
  Text description;  // as written: line breaks are backslash and "n"
  Text map_name;
  Text annotation;  // null without an annotation clause
  std::vector<MissionRule> rules;
  LocationTable locations;
  std::vector<std::unique_ptr<MissionArea>> areas;
  std::uint32_t map_styles = 0;
  std::vector<std::unique_ptr<MissionForce>> forces;
  std::vector<std::unique_ptr<MissionObjective>> objectives;
  std::vector<MissionTeam*> all_teams;  // every team of every force, in declaration order
  ModelList<MissionActor*> all_actors;  // every member of every team; the automation's actor index

  // --- parse context
  // The on bodies open in the plan being read.
  std::size_t list_stack_depth() const { return open_depth_; }

 private:
  template <class T>
  void Reallocate(ModelList<T>& list, std::uint32_t capacity) {
    // The old storage stays with the model's memory until the model goes.
    T* data = static_cast<T*>(memory_.Allocate(capacity * sizeof(T), alignof(T)));
    std::copy(list.data_, list.data_ + list.size_, data);
    list.data_ = data;
    list.capacity_ = capacity;
  }
  void AttachToCursor(ConditionNode* node);
  void IndexActors() const;

  // Actors, condition nodes, instructions, lists and strings: a few large blocks rather than a heap
  // block per record or list.
  ModelMemory memory_;
  TextPool pool_{memory_};
  SharingSite sharing_[static_cast<std::size_t>(TextUse::kCount)];

  MissionForce* current_force_ = nullptr;
  MissionTeam* current_team_ = nullptr;
  MissionActor* current_actor_ = nullptr;
  MissionObjective* current_objective_ = nullptr;
  ConditionNode* current_condition_ = nullptr;
  // The plan being read, and its statement lists being read: [0] the plan's own, [d] the body of the
  // on at the end of [d - 1]. A list goes to the model in one piece when it is complete, so the
  // model's lists have no spare room; the vectors are reused from list to list.
  InstructionList* plan_ = nullptr;
  std::vector<std::vector<PlanInstruction>> open_lists_;
  std::size_t open_depth_ = 0;
  // Plans' own lists: a team's plan may be continued by a later part of the script, and its longer
  // list then replaces the one before.
  ReusableSpace plan_space_{memory_};
  std::vector<Text> pending_patrol_areas_;

  NameIndex area_index_;
  NameIndex force_index_;
  NameIndex team_index_;
  NameIndex team_index_ignoring_case_{true};
  mutable NameIndex actor_index_;
  mutable bool actor_index_stale_ = false;
};

}  // namespace vyr::parser
