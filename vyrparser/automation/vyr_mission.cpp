#include "vyrparser/automation/vyr_mission.h"

#include <algorithm>
#include <iostream>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "vyrparser/automation/actor_operations.h"
#include "vyrparser/automation/module.h"
#include "vyrparser/automation/serial_call.h"
#include "vyrparser/automation/values.h"
#include "vyrparser/core/parse_messages.h"
#include "vyrparser/core/parser.h"
#include "vyrparser/core/tactical_experience.h"
#include "vyrparser/core/writer.h"

namespace vyr::automation {
namespace {

using parser::ParsedMission;
using parser::Text;
using namespace platform;

constexpr std::string_view kIncorrectMission = "incorrect mission";

// Counts travel as 16-bit numbers: anything bigger reads as the largest.
std::int16_t Count16(std::size_t n) {
  return static_cast<std::int16_t>(std::min<std::size_t>(n, std::numeric_limits<std::int16_t>::max()));
}
std::int16_t Clamp16(std::int64_t n) {
  return static_cast<std::int16_t>(std::clamp<std::int64_t>(n, std::numeric_limits<std::int16_t>::min(),
                                                            std::numeric_limits<std::int16_t>::max()));
}

std::string_view OrIncorrect(const Text& text) {
  return text.is_null() ? kIncorrectMission : text.view();
}

parser::MissionActor* ActorAt(std::int16_t index) {
  if (index < 0) return nullptr;
  return ParsedMission::Obtain().ActorAt(static_cast<std::size_t>(index));
}

}  // namespace

std::uint64_t OutputsWritten() {
  return outputs_written;
}

std::vector<parser::ParseMessage>& VYRMission::LastParseMessages() {
  static std::vector<parser::ParseMessage> messages;  // like the model, one for the whole library
  return messages;
}

VYRMission::VYRMission() {
  LockModule();
}

VYRMission::~VYRMission() {
  UnlockModule();
}

platform::HRESULT VYRMission::Create(platform::REFIID iid, void** object) {
  auto* mission = new (std::nothrow) VYRMission;
  if (mission == nullptr) {
    *object = nullptr;
    return E_OUTOFMEMORY;
  }
  // Held at 1 while querying, so that a refused interface destroys the object.
  mission->AddRef();
  const HRESULT hr = mission->QueryInterface(iid, object);
  mission->Release();
  return hr;
}

HRESULT VYRMission::QueryInterface(platform::REFIID riid, void** object) {
  const SerialCall serial;
  if (object == nullptr) return E_POINTER;
  if (riid == platform::IID_IUnknown || riid == platform::IID_IDispatch || riid == IID_IVYRMission ||
      riid == IID_IVYRMission2) {
    *object = static_cast<IVYRMission2*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

platform::ULONG VYRMission::AddRef() {
  const SerialCall serial;
  return ++refs_;
}

platform::ULONG VYRMission::Release() {
  const SerialCall serial;
  const platform::ULONG left = --refs_;
  if (left == 0) delete this;  // the parsed mission lives on
  return left;
}

// ---- general information ----

HRESULT VYRMission::MissionTitle(BSTR* aTitle) {
  const SerialCall serial;
  Put(aTitle, OrIncorrect(ParsedMission::Obtain().mission_name));
  return S_OK;
}

HRESULT VYRMission::MissionDescription(BSTR* aDescription) {
  const SerialCall serial;
  const Text& raw = ParsedMission::Obtain().description;
  if (raw.is_null()) {
    Put(aDescription, kIncorrectMission);
    return S_OK;
  }
  const std::string_view text = raw.view();
  std::string converted;
  converted.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
      converted += ' ';
      ++i;
    } else {
      converted += text[i];
    }
  }
  Put(aDescription, converted);
  return S_OK;
}

HRESULT VYRMission::MissionAuthor(BSTR* anAuthor) {
  const SerialCall serial;
  Put(anAuthor, OrIncorrect(ParsedMission::Obtain().author));
  return S_OK;
}

HRESULT VYRMission::MissionMap(BSTR* aMap) {
  const SerialCall serial;
  Put(aMap, OrIncorrect(ParsedMission::Obtain().map_name));
  return S_OK;
}

HRESULT VYRMission::GetRawMissionDescription(BSTR* aRawMissionDescription) {
  const SerialCall serial;
  Put(aRawMissionDescription, OrIncorrect(ParsedMission::Obtain().description));
  return S_OK;
}

HRESULT VYRMission::GetMapAnnotation(BSTR* aMapAnnotation) {
  const SerialCall serial;
  Put(aMapAnnotation, ParsedMission::Obtain().annotation.view());
  return S_OK;
}

HRESULT VYRMission::GetMapStyles(std::int16_t* theMapStyles) {
  const SerialCall serial;
  Put(theMapStyles, static_cast<std::int16_t>(ParsedMission::Obtain().map_styles & 0x7FFF));
  return S_OK;
}

// ---- parsing and writing ----

HRESULT VYRMission::TryParseMission(BSTR aFileName, std::int16_t* bSuccess) {
  const SerialCall serial;
  const std::string path = FileName(aFileName);
  ParsedMission& model = ParsedMission::Obtain();  // an earlier mission is not closed here
  // The messages still go to the error stream, and are kept for GetParseMessage.
  const auto result = static_cast<std::int16_t>(
      parser::ParseMissionFileWithMessages(path, model, std::cerr, LastParseMessages()));
  Put(bSuccess, result);
  return S_OK;
}

HRESULT VYRMission::CloseMission() {
  const SerialCall serial;
  ParsedMission::Close();
  LastParseMessages().clear();
  return S_OK;
}

HRESULT VYRMission::GenerateMission(BSTR aFileName) {
  const SerialCall serial;
  const std::string path = FileName(aFileName);
  // Nothing is reported when the file cannot be written; the old file then stays as it was.
  if (!path.empty()) parser::WriteMission(ParsedMission::Obtain(), path);
  return S_OK;
}

// ---- actors ----

HRESULT VYRMission::ActorCount(std::int16_t* anActorCount) {
  const SerialCall serial;
  Put(anActorCount, Count16(ParsedMission::Obtain().ActorCount()));
  return S_OK;
}

HRESULT VYRMission::ActorInfo(std::int16_t anActorIdx, BSTR* theActorType, BSTR* theActorName,
                              BSTR* theActorModelAndSkin, float* theActorSkill) {
  const SerialCall serial;
  const parser::MissionActor* actor = ActorAt(anActorIdx);
  if (actor != nullptr)
    DescribeActor(*actor, theActorType, theActorName, theActorModelAndSkin, theActorSkill);
  return S_OK;
}

HRESULT VYRMission::get_OverallSkill(float* pVal) {
  const SerialCall serial;
  float sum = 0.0f;
  int npcs = 0;
  for (const parser::MissionActor* actor : ParsedMission::Obtain().all_actors) {
    if (actor->type != parser::kActorNpc) continue;
    sum += actor->skill;
    ++npcs;
  }
  Put(pVal, npcs == 0 ? 0.0f : sum / static_cast<float>(npcs));
  return S_OK;
}

HRESULT VYRMission::put_OverallSkill(float newVal) {
  const SerialCall serial;
  for (parser::MissionActor* actor : ParsedMission::Obtain().all_actors)
    actor->skill = newVal;
  return S_OK;
}

HRESULT VYRMission::GetActorItemCount(std::int16_t anActorIdx, BSTR anItemName, std::int16_t* anItemCount) {
  const SerialCall serial;
  Put(anItemCount, std::int16_t{0});
  const parser::MissionActor* actor = ActorAt(anActorIdx);
  if (actor != nullptr) Put(anItemCount, Clamp16(CountActorItems(*actor, Bytes(anItemName))));
  return S_OK;
}

HRESULT VYRMission::SetActorItemCount(std::int16_t anActorIdx, BSTR anItemName, std::int16_t anItemCount) {
  const SerialCall serial;
  parser::MissionActor* actor = ActorAt(anActorIdx);
  if (actor != nullptr) ChangeActorItemCount(ParsedMission::Obtain(), *actor, Bytes(anItemName), anItemCount);
  return S_OK;
}

HRESULT VYRMission::SetActorModelSkin(std::int16_t anActorIdx, BSTR anActorModelSkin) {
  const SerialCall serial;
  parser::MissionActor* actor = ActorAt(anActorIdx);
  if (actor != nullptr) ChangeActorModelSkin(ParsedMission::Obtain(), *actor, Bytes(anActorModelSkin));
  return S_OK;
}

HRESULT VYRMission::SetActorSkill(std::int16_t anActorIdx, float anActorSkill) {
  const SerialCall serial;
  parser::MissionActor* actor = ActorAt(anActorIdx);
  if (actor != nullptr) actor->skill = anActorSkill;
  return S_OK;
}

HRESULT VYRMission::GetActorForceAndTeam(std::int16_t anActorIdx, BSTR* theActorForce, BSTR* theActorTeam) {
  const SerialCall serial;
  const parser::MissionActor* actor = ActorAt(anActorIdx);
  if (actor == nullptr) return S_OK;
  const auto [force, team] = ParsedMission::Obtain().ForceAndTeamOf(actor);
  Put(theActorForce, force.view());
  Put(theActorTeam, team.view());
  return S_OK;
}

HRESULT VYRMission::SetActorName(std::int16_t anActorIdx, BSTR anActorName) {
  const SerialCall serial;
  parser::MissionActor* actor = ActorAt(anActorIdx);
  if (actor != nullptr) ParsedMission::Obtain().RenameActor(actor, Bytes(anActorName));
  return S_OK;
}

HRESULT VYRMission::SetActorType(std::int16_t anActorIdx, BSTR anActorType) {
  const SerialCall serial;
  parser::MissionActor* actor = ActorAt(anActorIdx);
  if (actor != nullptr) ChangeActorType(*actor, Bytes(anActorType));
  return S_OK;
}

// ---- tactical experience ----

HRESULT VYRMission::NeedToIncorporateMissionExperiences(BSTR aPartialFileName,
                                                        std::int32_t* theMissionsRecorded,
                                                        std::int32_t* theMissionsStudied,
                                                        std::int16_t* theAdvice) {
  const SerialCall serial;
  const parser::ExperienceAdvice advice =
      parser::NeedToIncorporateMissionExperiences(FileName(aPartialFileName));
  Put(theMissionsRecorded, advice.missions_recorded);
  Put(theMissionsStudied, advice.missions_studied);
  Put(theAdvice, static_cast<std::int16_t>(advice.advice));
  return S_OK;
}

HRESULT VYRMission::IncorporateMissionExperiences(BSTR aPartialFileName) {
  const SerialCall serial;
  parser::IncorporateMissionExperiences(FileName(aPartialFileName));
  return S_OK;
}

// ---- locations and areas ----

HRESULT VYRMission::GetLocationCount(std::int16_t* aLocationCount) {
  const SerialCall serial;
  Put(aLocationCount, Count16(ParsedMission::Obtain().LocationCount()));
  return S_OK;
}

HRESULT VYRMission::GetLocationData(std::int16_t aLocationIdx, BSTR* aLocationLabel, float* aLocX,
                                    float* aLocY, float* aLocZ) {
  const SerialCall serial;
  if (aLocationIdx < 0) return S_OK;
  const parser::MissionLocation* location =
      ParsedMission::Obtain().LocationAt(static_cast<std::size_t>(aLocationIdx));
  if (location == nullptr) return S_OK;
  Put(aLocationLabel, location->name.view());
  Put(aLocX, location->x);
  Put(aLocY, location->y);
  Put(aLocZ, location->z);
  return S_OK;
}

HRESULT VYRMission::GetAreaCount(std::int16_t* anAreaCount) {
  const SerialCall serial;
  Put(anAreaCount, Count16(ParsedMission::Obtain().AreaCount()));
  return S_OK;
}

HRESULT VYRMission::GetAreaData(std::int16_t anAreaIdx, BSTR* anAreaName, std::int16_t* theAreaStyles,
                                std::int16_t* aLocationCount, std::int16_t* anEntranceCount,
                                std::int16_t* anExitCount, std::int16_t* aWindowCount, float* aRadius) {
  const SerialCall serial;
  if (anAreaIdx < 0) return S_OK;
  const parser::MissionArea* area = ParsedMission::Obtain().AreaAt(static_cast<std::size_t>(anAreaIdx));
  if (area == nullptr) return S_OK;
  Put(anAreaName, area->name.view());
  Put(theAreaStyles, static_cast<std::int16_t>(area->styles & 0x7FFF));
  Put(aLocationCount, Count16(area->locations.size()));
  Put(anEntranceCount, Count16(area->entrances.size()));
  Put(anExitCount, Count16(area->exits.size()));
  Put(aWindowCount, Count16(area->windows.size()));
  Put(aRadius, static_cast<float>(area->radius));
  return S_OK;
}

HRESULT VYRMission::GetAreaLocationLabel(std::int16_t anAreaIdx, std::int16_t aLocationIdx,
                                         BSTR* aLocationLabel) {
  const SerialCall serial;
  if (anAreaIdx < 0) return S_OK;
  const parser::MissionArea* area = ParsedMission::Obtain().AreaAt(static_cast<std::size_t>(anAreaIdx));
  if (area == nullptr) return S_OK;
  const bool inside = aLocationIdx >= 0 && static_cast<std::size_t>(aLocationIdx) < area->locations.size();
  Put(aLocationLabel,
      inside ? area->locations[static_cast<std::size_t>(aLocationIdx)].view() : std::string_view());
  return S_OK;
}

// ---- plans and objectives ----

HRESULT VYRMission::GetTeamPlan(BSTR aTeamName, BSTR* aTeamPlan) {
  const SerialCall serial;
  const std::string name = Bytes(aTeamName);
  for (const parser::MissionTeam* team : ParsedMission::Obtain().all_teams) {
    if (team->name.view() == name) {
      Put(aTeamPlan, parser::PrintStatements(team->plan, 2));  // whole, however long
      return S_OK;
    }
  }
  Put(aTeamPlan, std::string_view());
  return S_OK;
}

HRESULT VYRMission::GetObjectiveCount(std::int16_t* anObjectiveCount) {
  const SerialCall serial;
  Put(anObjectiveCount, Count16(ParsedMission::Obtain().ObjectiveCount()));
  return S_OK;
}

HRESULT VYRMission::GetObjectiveData(std::int16_t anObjectiveIdx, BSTR* aType, BSTR* anOwner, BSTR* aMessage,
                                     BSTR* theConditions, std::int16_t* aNextMissionCount) {
  const SerialCall serial;
  if (anObjectiveIdx < 0) return S_OK;
  const parser::MissionObjective* objective =
      ParsedMission::Obtain().ObjectiveAt(static_cast<std::size_t>(anObjectiveIdx));
  if (objective == nullptr) return S_OK;
  Put(aType, objective->type == parser::kObjectiveFailure ? "failure" : "success");
  Put(anOwner, objective->owner.view());
  Put(aMessage, objective->message.view());
  Put(theConditions, parser::PrintCondition(objective->condition));
  Put(aNextMissionCount, Count16(objective->next_missions.size()));
  return S_OK;
}

HRESULT VYRMission::GetObjectiveNextMission(std::int16_t anObjectiveIdx, std::int16_t aNextMissionIdx,
                                            BSTR* aNextMissionName) {
  const SerialCall serial;
  if (anObjectiveIdx < 0 || aNextMissionIdx < 0) return S_OK;
  const parser::MissionObjective* objective =
      ParsedMission::Obtain().ObjectiveAt(static_cast<std::size_t>(anObjectiveIdx));
  if (objective == nullptr || static_cast<std::size_t>(aNextMissionIdx) >= objective->next_missions.size()) {
    return S_OK;
  }
  Put(aNextMissionName, objective->next_missions[static_cast<std::size_t>(aNextMissionIdx)].view());
  return S_OK;
}

}  // namespace vyr::automation
