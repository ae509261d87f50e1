// IVYRMission, the dual interface of the automation class VYRMission served by libvyrparser.so.
// A client needs only this header and platform::CoCreateInstance: it never links the library.
//
// Threads: any thread may call, and the library runs the calls one at a time (one lock for all its objects
// and entry points). The parsed mission is one for the whole library, shared by every object, so a client
// that parses on several threads holds a lock of its own across each CloseMission, TryParseMission and the
// queries that follow, or makes all its calls from one thread; otherwise another thread's parse lands
// between its calls.
#pragma once

#include <filesystem>
#include <string>
#include <system_error>

#include "platform/com.h"
#include "platform/com_runtime.h"

namespace vyr::automation {

using platform::BSTR;
using platform::HRESULT;

// {D2CE3E28-323A-11D3-9C8F-F170BB19FA62} VYRMISSIONLib 1.0
inline constexpr platform::GUID LIBID_VYRMISSIONLib{
    0xD2CE3E28, 0x323A, 0x11D3, {0x9C, 0x8F, 0xF1, 0x70, 0xBB, 0x19, 0xFA, 0x62}};
// {D2CE3E34-323A-11D3-9C8F-F170BB19FA62}
inline constexpr platform::IID IID_IVYRMission{
    0xD2CE3E34, 0x323A, 0x11D3, {0x9C, 0x8F, 0xF1, 0x70, 0xBB, 0x19, 0xFA, 0x62}};
// {D2CE3E35-323A-11D3-9C8F-F170BB19FA62}
inline constexpr platform::CLSID CLSID_VYRMission{
    0xD2CE3E35, 0x323A, 0x11D3, {0x9C, 0x8F, 0xF1, 0x70, 0xBB, 0x19, 0xFA, 0x62}};

inline constexpr const char* kVYRMissionProgId = "Vyrmission.VYRMission.1";
inline constexpr const char* kVYRMissionVersionIndependentProgId = "Vyrmission.VYRMission";

// Slots 7 to 38, after the seven of IDispatch. Every operation returns S_OK; results travel in the
// out-parameters. [out] strings are overwritten without being freed (the caller frees what it gets);
// an invalid index leaves every out-parameter as the caller passed it. A null string argument reads as "".
class IVYRMission : public platform::IDispatch {
 public:
  virtual HRESULT MissionTitle(BSTR* aTitle) = 0;
  virtual HRESULT MissionDescription(BSTR* aDescription) = 0;
  virtual HRESULT MissionAuthor(BSTR* anAuthor) = 0;
  virtual HRESULT MissionMap(BSTR* aMap) = 0;
  // 0 parsed, 1 file problem, 2 parse problem.
  virtual HRESULT TryParseMission(BSTR aFileName, std::int16_t* bSuccess) = 0;
  virtual HRESULT CloseMission() = 0;
  virtual HRESULT ActorCount(std::int16_t* anActorCount) = 0;
  virtual HRESULT ActorInfo(std::int16_t anActorIdx, BSTR* theActorType, BSTR* theActorName,
                            BSTR* theActorModelAndSkin, float* theActorSkill) = 0;
  virtual HRESULT get_OverallSkill(float* pVal) = 0;
  virtual HRESULT put_OverallSkill(float newVal) = 0;
  virtual HRESULT GenerateMission(BSTR aFileName) = 0;
  virtual HRESULT GetActorItemCount(std::int16_t anActorIdx, BSTR anItemName, std::int16_t* anItemCount) = 0;
  virtual HRESULT SetActorItemCount(std::int16_t anActorIdx, BSTR anItemName, std::int16_t anItemCount) = 0;
  virtual HRESULT SetActorModelSkin(std::int16_t anActorIdx, BSTR anActorModelSkin) = 0;
  virtual HRESULT SetActorSkill(std::int16_t anActorIdx, float anActorSkill) = 0;
  virtual HRESULT GetActorForceAndTeam(std::int16_t anActorIdx, BSTR* theActorForce, BSTR* theActorTeam) = 0;
  virtual HRESULT SetActorName(std::int16_t anActorIdx, BSTR anActorName) = 0;
  // Advice: -1 unsupported, 0 no need, 1 advised.
  virtual HRESULT NeedToIncorporateMissionExperiences(BSTR aPartialFileName,
                                                      std::int32_t* theMissionsRecorded,
                                                      std::int32_t* theMissionsStudied,
                                                      std::int16_t* theAdvice) = 0;
  virtual HRESULT IncorporateMissionExperiences(BSTR aPartialFileName) = 0;
  virtual HRESULT GetLocationCount(std::int16_t* aLocationCount) = 0;
  virtual HRESULT GetLocationData(std::int16_t aLocationIdx, BSTR* aLocationLabel, float* aLocX, float* aLocY,
                                  float* aLocZ) = 0;
  virtual HRESULT GetAreaCount(std::int16_t* anAreaCount) = 0;
  virtual HRESULT GetAreaData(std::int16_t anAreaIdx, BSTR* anAreaName, std::int16_t* theAreaStyles,
                              std::int16_t* aLocationCount, std::int16_t* anEntranceCount,
                              std::int16_t* anExitCount, std::int16_t* aWindowCount, float* aRadius) = 0;
  virtual HRESULT GetAreaLocationLabel(std::int16_t anAreaIdx, std::int16_t aLocationIdx,
                                       BSTR* aLocationLabel) = 0;
  virtual HRESULT GetTeamPlan(BSTR aTeamName, BSTR* aTeamPlan) = 0;
  virtual HRESULT GetMapAnnotation(BSTR* aMapAnnotation) = 0;
  virtual HRESULT SetActorType(std::int16_t anActorIdx, BSTR anActorType) = 0;
  virtual HRESULT GetRawMissionDescription(BSTR* aRawMissionDescription) = 0;
  virtual HRESULT GetMapStyles(std::int16_t* theMapStyles) = 0;
  virtual HRESULT GetObjectiveCount(std::int16_t* anObjectiveCount) = 0;
  virtual HRESULT GetObjectiveData(std::int16_t anObjectiveIdx, BSTR* aType, BSTR* anOwner, BSTR* aMessage,
                                   BSTR* theConditions, std::int16_t* aNextMissionCount) = 0;
  virtual HRESULT GetObjectiveNextMission(std::int16_t anObjectiveIdx, std::int16_t aNextMissionIdx,
                                          BSTR* aNextMissionName) = 0;

 protected:
  ~IVYRMission() = default;
};

// {D952A9C9-DEBE-4CC0-84B2-C21B4C7A054B}
inline constexpr platform::IID IID_IVYRMission2{
    0xD952A9C9, 0xDEBE, 0x4CC0, {0x84, 0xB2, 0xC2, 0x1B, 0x4C, 0x7A, 0x05, 0x4B}};

// Slots 39 to 57: the model read by force and team, with 32-bit indexes and counts, and the messages of
// the last parse. Same object, same rules as IVYRMission: S_OK always, and an invalid index (of the
// force, the team or the actor) leaves every out-parameter as the caller passed it.
class IVYRMission2 : public IVYRMission {
 public:
  virtual HRESULT GetForceCount(std::int32_t* aForceCount) = 0;
  virtual HRESULT GetForceData(std::int32_t aForceIdx, BSTR* aForceName, BSTR* aForceDescription,
                               std::int32_t* aTeamCount) = 0;
  virtual HRESULT GetTeamCount(std::int32_t aForceIdx, std::int32_t* aTeamCount) = 0;
  virtual HRESULT GetTeamData(std::int32_t aForceIdx, std::int32_t aTeamIdx, BSTR* aTeamName,
                              BSTR* aTeamDescription, std::int32_t* anActorCount) = 0;
  // The plan of this very team, whatever other team shares its name.
  virtual HRESULT GetForceTeamPlan(std::int32_t aForceIdx, std::int32_t aTeamIdx, BSTR* aTeamPlan) = 0;
  virtual HRESULT TeamActorCount(std::int32_t aForceIdx, std::int32_t aTeamIdx,
                                 std::int32_t* anActorCount) = 0;
  virtual HRESULT TeamActorInfo(std::int32_t aForceIdx, std::int32_t aTeamIdx, std::int32_t anActorIdx,
                                BSTR* theActorType, BSTR* theActorName, BSTR* theActorModelAndSkin,
                                float* theActorSkill) = 0;
  virtual HRESULT GetTeamActorItemCount(std::int32_t aForceIdx, std::int32_t aTeamIdx,
                                        std::int32_t anActorIdx, BSTR anItemName,
                                        std::int32_t* anItemCount) = 0;
  virtual HRESULT SetTeamActorItemCount(std::int32_t aForceIdx, std::int32_t aTeamIdx,
                                        std::int32_t anActorIdx, BSTR anItemName,
                                        std::int16_t anItemCount) = 0;
  virtual HRESULT SetTeamActorModelSkin(std::int32_t aForceIdx, std::int32_t aTeamIdx,
                                        std::int32_t anActorIdx, BSTR anActorModelSkin) = 0;
  virtual HRESULT SetTeamActorSkill(std::int32_t aForceIdx, std::int32_t aTeamIdx, std::int32_t anActorIdx,
                                    float anActorSkill) = 0;
  virtual HRESULT SetTeamActorName(std::int32_t aForceIdx, std::int32_t aTeamIdx, std::int32_t anActorIdx,
                                   BSTR anActorName) = 0;
  virtual HRESULT SetTeamActorType(std::int32_t aForceIdx, std::int32_t aTeamIdx, std::int32_t anActorIdx,
                                   BSTR anActorType) = 0;
  virtual HRESULT ActorCount32(std::int32_t* anActorCount) = 0;
  virtual HRESULT GetLocationCount32(std::int32_t* aLocationCount) = 0;
  virtual HRESULT GetAreaCount32(std::int32_t* anAreaCount) = 0;
  virtual HRESULT GetObjectiveCount32(std::int32_t* anObjectiveCount) = 0;
  // The messages of the last TryParseMission (none after a parse that succeeded or a CloseMission).
  virtual HRESULT GetParseMessageCount(std::int32_t* aMessageCount) = 0;
  // aLine is 0 for a message that has no line (a file that cannot be read).
  virtual HRESULT GetParseMessage(std::int32_t aMessageIdx, std::int32_t* aLine, BSTR* aNearText,
                                  BSTR* aCause) = 0;

 protected:
  ~IVYRMission2() = default;
};

#if defined(VYR_PARSER_LIBRARY_BUILD_PATH) && defined(VYR_PARSER_LIBRARY_INSTALL_PATH) && \
    defined(VYR_PARSER_LIBRARY_RELATIVE_PATH) && defined(VYR_BUILD_TREE)
// The library this program was built with (targets linking vyrparser_client): the one at the install
// layout's place relative to the running program (an install, moved or not, or the build tree); else,
// for a program inside the build tree, the build's copy; else the configured install path.
inline std::string BuiltVYRMissionLibrary() {
  std::error_code ec;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    const std::filesystem::path beside = program.parent_path() / VYR_PARSER_LIBRARY_RELATIVE_PATH;
    if (std::filesystem::is_regular_file(beside, ec)) return beside.lexically_normal().string();
    const std::string folder = program.parent_path().string() + "/";
    if (folder.starts_with(VYR_BUILD_TREE "/") && std::filesystem::exists(VYR_PARSER_LIBRARY_BUILD_PATH, ec))
      return VYR_PARSER_LIBRARY_BUILD_PATH;
  }
  return VYR_PARSER_LIBRARY_INSTALL_PATH;
}
#endif

// Creates a VYRMission through the registry. When the class is not registered (or its module is gone)
// and `library_path` is given, registers that library first, as vyr-regsvr would, and tries again.
inline HRESULT CreateVYRMission(platform::ComPtr<IVYRMission>* mission, const std::string& library_path = {},
                                std::string* error_text = nullptr) {
  using namespace platform;  // result codes are macros on Windows: named unqualified
  if (mission == nullptr) return E_POINTER;
  HRESULT hr = platform::CoCreateInstance(CLSID_VYRMission, IID_IVYRMission, mission->PutVoid(), error_text);
  if ((hr == REGDB_E_CLASSNOTREG || hr == CO_E_DLLNOTFOUND) && !library_path.empty()) {
    const HRESULT registered = platform::RegisterServer(library_path, false, error_text);
    if (FAILED(registered)) return registered;
    hr = platform::CoCreateInstance(CLSID_VYRMission, IID_IVYRMission, mission->PutVoid(), error_text);
  }
  return hr;
}

}  // namespace vyr::automation
