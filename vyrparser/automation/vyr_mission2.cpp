// The operations of IVYRMission2: the model read by force and team, as the script declares them, with
// 32-bit indexes and counts, and the messages of the last parse.
#include <algorithm>
#include <limits>

#include "vyrparser/automation/actor_operations.h"
#include "vyrparser/automation/serial_call.h"
#include "vyrparser/automation/values.h"
#include "vyrparser/automation/vyr_mission.h"
#include "vyrparser/core/writer.h"

namespace vyr::automation {
namespace {

using parser::MissionActor;
using parser::MissionForce;
using parser::MissionTeam;
using parser::ParsedMission;
using namespace platform;

std::int32_t Count32(std::size_t n) {
  return static_cast<std::int32_t>(std::min<std::size_t>(n, std::numeric_limits<std::int32_t>::max()));
}

// The record at `index` of a list of owning or plain pointers, or null outside it.
template <typename List>
auto At(const List& list, std::int32_t index) -> decltype(&*list[0]) {
  if (index < 0 || static_cast<std::size_t>(index) >= list.size()) return nullptr;
  return &*list[static_cast<std::size_t>(index)];
}

MissionForce* ForceAt(std::int32_t force) {
  return At(ParsedMission::Obtain().forces, force);
}

MissionTeam* TeamAt(std::int32_t force, std::int32_t team) {
  const MissionForce* owner = ForceAt(force);
  return owner == nullptr ? nullptr : At(owner->teams, team);
}

MissionActor* ActorAt(std::int32_t force, std::int32_t team, std::int32_t actor) {
  const MissionTeam* owner = TeamAt(force, team);
  return owner == nullptr ? nullptr : At(owner->members, actor);
}

}  // namespace

// ---- forces and teams. The script language gives forces and teams no description: it reads "".

HRESULT VYRMission::GetForceCount(std::int32_t* aForceCount) {
  const SerialCall serial;
  Put(aForceCount, Count32(ParsedMission::Obtain().forces.size()));
  return S_OK;
}

HRESULT VYRMission::GetForceData(std::int32_t aForceIdx, BSTR* aForceName, BSTR* aForceDescription,
                                 std::int32_t* aTeamCount) {
  const SerialCall serial;
  const MissionForce* force = ForceAt(aForceIdx);
  if (force == nullptr) return S_OK;
  Put(aForceName, force->name.view());
  Put(aForceDescription, std::string_view());
  Put(aTeamCount, Count32(force->teams.size()));
  return S_OK;
}

HRESULT VYRMission::GetTeamCount(std::int32_t aForceIdx, std::int32_t* aTeamCount) {
  const SerialCall serial;
  const MissionForce* force = ForceAt(aForceIdx);
  if (force != nullptr) Put(aTeamCount, Count32(force->teams.size()));
  return S_OK;
}

HRESULT VYRMission::GetTeamData(std::int32_t aForceIdx, std::int32_t aTeamIdx, BSTR* aTeamName,
                                BSTR* aTeamDescription, std::int32_t* anActorCount) {
  const SerialCall serial;
  const MissionTeam* team = TeamAt(aForceIdx, aTeamIdx);
  if (team == nullptr) return S_OK;
  Put(aTeamName, team->name.view());
  Put(aTeamDescription, std::string_view());
  Put(anActorCount, Count32(team->members.size()));
  return S_OK;
}

HRESULT VYRMission::GetForceTeamPlan(std::int32_t aForceIdx, std::int32_t aTeamIdx, BSTR* aTeamPlan) {
  const SerialCall serial;
  const MissionTeam* team = TeamAt(aForceIdx, aTeamIdx);
  if (team != nullptr) Put(aTeamPlan, parser::PrintStatements(team->plan, 2));  // as GetTeamPlan prints it
  return S_OK;
}

// ---- actors of a team

HRESULT VYRMission::TeamActorCount(std::int32_t aForceIdx, std::int32_t aTeamIdx,
                                   std::int32_t* anActorCount) {
  const SerialCall serial;
  const MissionTeam* team = TeamAt(aForceIdx, aTeamIdx);
  if (team != nullptr) Put(anActorCount, Count32(team->members.size()));
  return S_OK;
}

HRESULT VYRMission::TeamActorInfo(std::int32_t aForceIdx, std::int32_t aTeamIdx, std::int32_t anActorIdx,
                                  BSTR* theActorType, BSTR* theActorName, BSTR* theActorModelAndSkin,
                                  float* theActorSkill) {
  const SerialCall serial;
  const MissionActor* actor = ActorAt(aForceIdx, aTeamIdx, anActorIdx);
  if (actor != nullptr)
    DescribeActor(*actor, theActorType, theActorName, theActorModelAndSkin, theActorSkill);
  return S_OK;
}

HRESULT VYRMission::GetTeamActorItemCount(std::int32_t aForceIdx, std::int32_t aTeamIdx,
                                          std::int32_t anActorIdx, BSTR anItemName,
                                          std::int32_t* anItemCount) {
  const SerialCall serial;
  const MissionActor* actor = ActorAt(aForceIdx, aTeamIdx, anActorIdx);
  if (actor == nullptr) return S_OK;
  const std::int64_t count = CountActorItems(*actor, Bytes(anItemName));
  Put(anItemCount,
      static_cast<std::int32_t>(std::clamp<std::int64_t>(count, std::numeric_limits<std::int32_t>::min(),
                                                         std::numeric_limits<std::int32_t>::max())));
  return S_OK;
}

HRESULT VYRMission::SetTeamActorItemCount(std::int32_t aForceIdx, std::int32_t aTeamIdx,
                                          std::int32_t anActorIdx, BSTR anItemName,
                                          std::int16_t anItemCount) {
  const SerialCall serial;
  MissionActor* actor = ActorAt(aForceIdx, aTeamIdx, anActorIdx);
  if (actor != nullptr) ChangeActorItemCount(ParsedMission::Obtain(), *actor, Bytes(anItemName), anItemCount);
  return S_OK;
}

HRESULT VYRMission::SetTeamActorModelSkin(std::int32_t aForceIdx, std::int32_t aTeamIdx,
                                          std::int32_t anActorIdx, BSTR anActorModelSkin) {
  const SerialCall serial;
  MissionActor* actor = ActorAt(aForceIdx, aTeamIdx, anActorIdx);
  if (actor != nullptr) ChangeActorModelSkin(ParsedMission::Obtain(), *actor, Bytes(anActorModelSkin));
  return S_OK;
}

HRESULT VYRMission::SetTeamActorSkill(std::int32_t aForceIdx, std::int32_t aTeamIdx, std::int32_t anActorIdx,
                                      float anActorSkill) {
  const SerialCall serial;
  MissionActor* actor = ActorAt(aForceIdx, aTeamIdx, anActorIdx);
  if (actor != nullptr) actor->skill = anActorSkill;
  return S_OK;
}

HRESULT VYRMission::SetTeamActorName(std::int32_t aForceIdx, std::int32_t aTeamIdx, std::int32_t anActorIdx,
                                     BSTR anActorName) {
  const SerialCall serial;
  MissionActor* actor = ActorAt(aForceIdx, aTeamIdx, anActorIdx);
  if (actor != nullptr) ParsedMission::Obtain().RenameActor(actor, Bytes(anActorName));
  return S_OK;
}

HRESULT VYRMission::SetTeamActorType(std::int32_t aForceIdx, std::int32_t aTeamIdx, std::int32_t anActorIdx,
                                     BSTR anActorType) {
  const SerialCall serial;
  MissionActor* actor = ActorAt(aForceIdx, aTeamIdx, anActorIdx);
  if (actor != nullptr) ChangeActorType(*actor, Bytes(anActorType));
  return S_OK;
}

// ---- counts beyond 16 bits

HRESULT VYRMission::ActorCount32(std::int32_t* anActorCount) {
  const SerialCall serial;
  Put(anActorCount, Count32(ParsedMission::Obtain().ActorCount()));
  return S_OK;
}

HRESULT VYRMission::GetLocationCount32(std::int32_t* aLocationCount) {
  const SerialCall serial;
  Put(aLocationCount, Count32(ParsedMission::Obtain().LocationCount()));
  return S_OK;
}

HRESULT VYRMission::GetAreaCount32(std::int32_t* anAreaCount) {
  const SerialCall serial;
  Put(anAreaCount, Count32(ParsedMission::Obtain().AreaCount()));
  return S_OK;
}

HRESULT VYRMission::GetObjectiveCount32(std::int32_t* anObjectiveCount) {
  const SerialCall serial;
  Put(anObjectiveCount, Count32(ParsedMission::Obtain().ObjectiveCount()));
  return S_OK;
}

// ---- messages of the last parse

HRESULT VYRMission::GetParseMessageCount(std::int32_t* aMessageCount) {
  const SerialCall serial;
  Put(aMessageCount, Count32(LastParseMessages().size()));
  return S_OK;
}

HRESULT VYRMission::GetParseMessage(std::int32_t aMessageIdx, std::int32_t* aLine, BSTR* aNearText,
                                    BSTR* aCause) {
  const SerialCall serial;
  const std::vector<parser::ParseMessage>& messages = LastParseMessages();
  if (aMessageIdx < 0 || static_cast<std::size_t>(aMessageIdx) >= messages.size()) return S_OK;
  const parser::ParseMessage& message = messages[static_cast<std::size_t>(aMessageIdx)];
  Put(aLine, message.line);
  Put(aNearText, message.near_text);
  Put(aCause, message.cause);
  return S_OK;
}

}  // namespace vyr::automation
