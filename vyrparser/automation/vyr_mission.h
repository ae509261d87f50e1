// VYRMission: the automation object. It holds nothing but its reference count; every operation works on
// the library's one parsed mission, whichever object it is called on.
#pragma once

#include <vector>

#include "vyrparser/automation/ivyrmission.h"
#include "vyrparser/core/parse_messages.h"

namespace vyr::automation {

class VYRMission final : public IVYRMission2 {
 public:
  // A new object with reference count 0, queried for `iid` (which raises it to 1).
  static platform::HRESULT Create(platform::REFIID iid, void** object);

  // IUnknown
  HRESULT QueryInterface(platform::REFIID riid, void** object) override;
  platform::ULONG AddRef() override;
  platform::ULONG Release() override;

  // IDispatch, from the type library compiled in; it answers only while the type library is registered.
  HRESULT GetTypeInfoCount(platform::UINT* count) override;
  HRESULT GetTypeInfo(platform::UINT index, platform::LCID lcid, platform::ITypeInfo** info) override;
  HRESULT GetIDsOfNames(platform::REFIID riid, platform::LPOLESTR* names, platform::UINT name_count,
                        platform::LCID lcid, platform::DISPID* dispids) override;
  HRESULT Invoke(platform::DISPID member, platform::REFIID riid, platform::LCID lcid, platform::WORD flags,
                 platform::DISPPARAMS* params, platform::VARIANT* result, platform::EXCEPINFO* exception,
                 platform::UINT* arg_error) override;

  // IVYRMission
  HRESULT MissionTitle(BSTR* aTitle) override;
  HRESULT MissionDescription(BSTR* aDescription) override;
  HRESULT MissionAuthor(BSTR* anAuthor) override;
  HRESULT MissionMap(BSTR* aMap) override;
  HRESULT TryParseMission(BSTR aFileName, std::int16_t* bSuccess) override;
  HRESULT CloseMission() override;
  HRESULT ActorCount(std::int16_t* anActorCount) override;
  HRESULT ActorInfo(std::int16_t anActorIdx, BSTR* theActorType, BSTR* theActorName,
                    BSTR* theActorModelAndSkin, float* theActorSkill) override;
  HRESULT get_OverallSkill(float* pVal) override;
  HRESULT put_OverallSkill(float newVal) override;
  HRESULT GenerateMission(BSTR aFileName) override;
  HRESULT GetActorItemCount(std::int16_t anActorIdx, BSTR anItemName, std::int16_t* anItemCount) override;
  HRESULT SetActorItemCount(std::int16_t anActorIdx, BSTR anItemName, std::int16_t anItemCount) override;
  HRESULT SetActorModelSkin(std::int16_t anActorIdx, BSTR anActorModelSkin) override;
  HRESULT SetActorSkill(std::int16_t anActorIdx, float anActorSkill) override;
  HRESULT GetActorForceAndTeam(std::int16_t anActorIdx, BSTR* theActorForce, BSTR* theActorTeam) override;
  HRESULT SetActorName(std::int16_t anActorIdx, BSTR anActorName) override;
  HRESULT NeedToIncorporateMissionExperiences(BSTR aPartialFileName, std::int32_t* theMissionsRecorded,
                                              std::int32_t* theMissionsStudied,
                                              std::int16_t* theAdvice) override;
  HRESULT IncorporateMissionExperiences(BSTR aPartialFileName) override;
  HRESULT GetLocationCount(std::int16_t* aLocationCount) override;
  HRESULT GetLocationData(std::int16_t aLocationIdx, BSTR* aLocationLabel, float* aLocX, float* aLocY,
                          float* aLocZ) override;
  HRESULT GetAreaCount(std::int16_t* anAreaCount) override;
  HRESULT GetAreaData(std::int16_t anAreaIdx, BSTR* anAreaName, std::int16_t* theAreaStyles,
                      std::int16_t* aLocationCount, std::int16_t* anEntranceCount, std::int16_t* anExitCount,
                      std::int16_t* aWindowCount, float* aRadius) override;
  HRESULT GetAreaLocationLabel(std::int16_t anAreaIdx, std::int16_t aLocationIdx,
                               BSTR* aLocationLabel) override;
  HRESULT GetTeamPlan(BSTR aTeamName, BSTR* aTeamPlan) override;
  HRESULT GetMapAnnotation(BSTR* aMapAnnotation) override;
  HRESULT SetActorType(std::int16_t anActorIdx, BSTR anActorType) override;
  HRESULT GetRawMissionDescription(BSTR* aRawMissionDescription) override;
  HRESULT GetMapStyles(std::int16_t* theMapStyles) override;
  HRESULT GetObjectiveCount(std::int16_t* anObjectiveCount) override;
  HRESULT GetObjectiveData(std::int16_t anObjectiveIdx, BSTR* aType, BSTR* anOwner, BSTR* aMessage,
                           BSTR* theConditions, std::int16_t* aNextMissionCount) override;
  HRESULT GetObjectiveNextMission(std::int16_t anObjectiveIdx, std::int16_t aNextMissionIdx,
                                  BSTR* aNextMissionName) override;

  // IVYRMission2
  HRESULT GetForceCount(std::int32_t* aForceCount) override;
  HRESULT GetForceData(std::int32_t aForceIdx, BSTR* aForceName, BSTR* aForceDescription,
                       std::int32_t* aTeamCount) override;
  HRESULT GetTeamCount(std::int32_t aForceIdx, std::int32_t* aTeamCount) override;
  HRESULT GetTeamData(std::int32_t aForceIdx, std::int32_t aTeamIdx, BSTR* aTeamName, BSTR* aTeamDescription,
                      std::int32_t* anActorCount) override;
  HRESULT GetForceTeamPlan(std::int32_t aForceIdx, std::int32_t aTeamIdx, BSTR* aTeamPlan) override;
  HRESULT TeamActorCount(std::int32_t aForceIdx, std::int32_t aTeamIdx, std::int32_t* anActorCount) override;
  HRESULT TeamActorInfo(std::int32_t aForceIdx, std::int32_t aTeamIdx, std::int32_t anActorIdx,
                        BSTR* theActorType, BSTR* theActorName, BSTR* theActorModelAndSkin,
                        float* theActorSkill) override;
  HRESULT GetTeamActorItemCount(std::int32_t aForceIdx, std::int32_t aTeamIdx, std::int32_t anActorIdx,
                                BSTR anItemName, std::int32_t* anItemCount) override;
  HRESULT SetTeamActorItemCount(std::int32_t aForceIdx, std::int32_t aTeamIdx, std::int32_t anActorIdx,
                                BSTR anItemName, std::int16_t anItemCount) override;
  HRESULT SetTeamActorModelSkin(std::int32_t aForceIdx, std::int32_t aTeamIdx, std::int32_t anActorIdx,
                                BSTR anActorModelSkin) override;
  HRESULT SetTeamActorSkill(std::int32_t aForceIdx, std::int32_t aTeamIdx, std::int32_t anActorIdx,
                            float anActorSkill) override;
  HRESULT SetTeamActorName(std::int32_t aForceIdx, std::int32_t aTeamIdx, std::int32_t anActorIdx,
                           BSTR anActorName) override;
  HRESULT SetTeamActorType(std::int32_t aForceIdx, std::int32_t aTeamIdx, std::int32_t anActorIdx,
                           BSTR anActorType) override;
  HRESULT ActorCount32(std::int32_t* anActorCount) override;
  HRESULT GetLocationCount32(std::int32_t* aLocationCount) override;
  HRESULT GetAreaCount32(std::int32_t* anAreaCount) override;
  HRESULT GetObjectiveCount32(std::int32_t* anObjectiveCount) override;
  HRESULT GetParseMessageCount(std::int32_t* aMessageCount) override;
  HRESULT GetParseMessage(std::int32_t aMessageIdx, std::int32_t* aLine, BSTR* aNearText,
                          BSTR* aCause) override;

 private:
  // The messages of the last TryParseMission; CloseMission empties them with the model.
  static std::vector<parser::ParseMessage>& LastParseMessages();

  VYRMission();
  ~VYRMission();
  VYRMission(const VYRMission&) = delete;
  VYRMission& operator=(const VYRMission&) = delete;

  // A plain count: every call holds the library's lock (serial_call.h).
  platform::ULONG refs_ = 0;
};

// Out-parameters the operations have written on this thread. Invoke compares it around a call: an
// operation writes all its outputs or none, and outputs it left alone stay as the caller passed them.
std::uint64_t OutputsWritten();

}  // namespace vyr::automation
