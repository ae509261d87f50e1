// The mission reader backed by the library's VYRMission class, created by class identifier and
// called through its table of operations. Strings cross as automation strings in UTF-16 and are
// kept in the editor as code-page bytes.
#include <memory>
#include <string>

#include "editor/script/mission_reader.h"
#include "platform/codepage.h"
#include "platform/com.h"
#include "platform/com_runtime.h"

namespace vyr::editor {

namespace {

using platform::BSTR;
using platform::HRESULT;

// IVYRMission as the library lays it out: its operations follow the seven of IDispatch in this order.
class IVYRMissionClient : public platform::IDispatch {
 public:
  virtual HRESULT MissionTitle(BSTR* aTitle) = 0;
  virtual HRESULT MissionDescription(BSTR* aDescription) = 0;
  virtual HRESULT MissionAuthor(BSTR* anAuthor) = 0;
  virtual HRESULT MissionMap(BSTR* aMap) = 0;
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
  ~IVYRMissionClient() = default;
};

// {D2CE3E35-323A-11D3-9C8F-F170BB19FA62}
constexpr platform::CLSID kClsidVYRMission{
    0xD2CE3E35, 0x323A, 0x11D3, {0x9C, 0x8F, 0xF1, 0x70, 0xBB, 0x19, 0xFA, 0x62}};
// {D2CE3E34-323A-11D3-9C8F-F170BB19FA62}
constexpr platform::IID kIidIVYRMission{
    0xD2CE3E34, 0x323A, 0x11D3, {0x9C, 0x8F, 0xF1, 0x70, 0xBB, 0x19, 0xFA, 0x62}};

// An automation string made from code-page bytes, freed with the object.
class InString {
 public:
  explicit InString(const std::string& bytes) {
    const std::u16string wide = platform::Cp1252ToUtf16(bytes);
    value_ = platform::SysAllocStringLen(wide.data(), static_cast<platform::UINT>(wide.size()));
  }
  ~InString() { platform::SysFreeString(value_); }
  InString(const InString&) = delete;
  InString& operator=(const InString&) = delete;
  BSTR get() const { return value_; }

 private:
  BSTR value_ = nullptr;
};

// An out-parameter string: starts null, converted to code-page bytes and freed with the object.
class OutString {
 public:
  OutString() = default;
  ~OutString() { platform::SysFreeString(value_); }
  OutString(const OutString&) = delete;
  OutString& operator=(const OutString&) = delete;
  BSTR* put() { return &value_; }
  std::string bytes() const {
    if (value_ == nullptr) return {};
    return platform::Utf16ToCp1252(std::u16string_view(value_, platform::SysStringLen(value_)));
  }

 private:
  BSTR value_ = nullptr;
};

std::int16_t Index(int value) {
  return static_cast<std::int16_t>(value);
}

class VyrMissionReader final : public MissionReader {
 public:
  explicit VyrMissionReader(IVYRMissionClient* mission) : mission_(mission) {}
  ~VyrMissionReader() override { mission_->Release(); }
  VyrMissionReader(const VyrMissionReader&) = delete;
  VyrMissionReader& operator=(const VyrMissionReader&) = delete;

  void CloseMission() override { mission_->CloseMission(); }
  int TryParseMission(const std::string& file_name) override {
    std::int16_t result = 2;
    InString name(file_name);
    mission_->TryParseMission(name.get(), &result);
    return result;
  }
  std::string MissionTitle() override { return Text(&IVYRMissionClient::MissionTitle); }
  std::string MissionAuthor() override { return Text(&IVYRMissionClient::MissionAuthor); }
  std::string MissionMap() override { return Text(&IVYRMissionClient::MissionMap); }
  std::string GetRawMissionDescription() override {
    return Text(&IVYRMissionClient::GetRawMissionDescription);
  }
  std::string GetMapAnnotation() override { return Text(&IVYRMissionClient::GetMapAnnotation); }
  int GetMapStyles() override { return Number(&IVYRMissionClient::GetMapStyles); }

  int GetLocationCount() override { return Number(&IVYRMissionClient::GetLocationCount); }
  ScriptLocation GetLocationData(int index) override {
    ScriptLocation loc;
    OutString label;
    mission_->GetLocationData(Index(index), label.put(), &loc.x, &loc.y, &loc.z);
    loc.label = label.bytes();
    return loc;
  }
  int GetAreaCount() override { return Number(&IVYRMissionClient::GetAreaCount); }
  ScriptArea GetAreaData(int index) override {
    OutString name;
    std::int16_t styles = 0, locations = 0, entrances = 0, exits = 0, windows = 0;
    ScriptArea area;
    mission_->GetAreaData(Index(index), name.put(), &styles, &locations, &entrances, &exits, &windows,
                          &area.radius);
    area.name = name.bytes();
    area.styles = styles;
    area.location_count = locations;
    area.entrance_count = entrances;
    area.exit_count = exits;
    area.window_count = windows;
    return area;
  }
  std::string GetAreaLocationLabel(int area, int position) override {
    OutString label;
    mission_->GetAreaLocationLabel(Index(area), Index(position), label.put());
    return label.bytes();
  }

  int ActorCount() override { return Number(&IVYRMissionClient::ActorCount); }
  ScriptActor ActorInfo(int index) override {
    OutString type, name, skin;
    ScriptActor actor;
    mission_->ActorInfo(Index(index), type.put(), name.put(), skin.put(), &actor.skill);
    actor.type = type.bytes();
    actor.name = name.bytes();
    actor.model_and_skin = skin.bytes();
    return actor;
  }
  void GetActorForceAndTeam(int index, std::string& force, std::string& team) override {
    OutString force_name, team_name;
    mission_->GetActorForceAndTeam(Index(index), force_name.put(), team_name.put());
    force = force_name.bytes();
    team = team_name.bytes();
  }
  int GetActorItemCount(int index, const std::string& item_name) override {
    InString name(item_name);
    std::int16_t count = 0;
    mission_->GetActorItemCount(Index(index), name.get(), &count);
    return count;
  }
  std::string GetTeamPlan(const std::string& team_name) override {
    InString name(team_name);
    OutString plan;
    mission_->GetTeamPlan(name.get(), plan.put());
    return plan.bytes();
  }

  int GetObjectiveCount() override { return Number(&IVYRMissionClient::GetObjectiveCount); }
  ScriptObjective GetObjectiveData(int index) override {
    OutString type, owner, message, conditions;
    std::int16_t next = 0;
    mission_->GetObjectiveData(Index(index), type.put(), owner.put(), message.put(), conditions.put(), &next);
    return {type.bytes(), owner.bytes(), message.bytes(), conditions.bytes(), next};
  }
  std::string GetObjectiveNextMission(int objective, int position) override {
    OutString name;
    mission_->GetObjectiveNextMission(Index(objective), Index(position), name.put());
    return name.bytes();
  }

 private:
  std::string Text(HRESULT (IVYRMissionClient::*get)(BSTR*)) {
    OutString value;
    (mission_->*get)(value.put());
    return value.bytes();
  }
  int Number(HRESULT (IVYRMissionClient::*get)(std::int16_t*)) {
    std::int16_t value = 0;
    (mission_->*get)(&value);
    return value;
  }

  IVYRMissionClient* mission_;
};

}  // namespace

std::unique_ptr<MissionReader> CreateMissionReader(Status& status) {
  void* object = nullptr;
  std::string reason;
  const HRESULT hr = platform::CoCreateInstance(kClsidVYRMission, kIidIVYRMission, &object, &reason);
  if (platform::FAILED(hr) || object == nullptr) {
    status = Status::Error("The class VYRMission of vyrparser cannot be created: " +
                           (reason.empty() ? platform::DescribeHResult(hr) : reason) + ".");
    return nullptr;
  }
  status = Status::Ok();
  return std::make_unique<VyrMissionReader>(static_cast<IVYRMissionClient*>(object));
}

Status EnsureMissionLibraryRegistered(const std::string& library_path) {
  std::string message;
  const HRESULT hr = platform::EnsureServerRegistered(kClsidVYRMission, library_path, &message);
  if (platform::FAILED(hr)) {
    return Status::Error(message.empty() ? "cannot register " + library_path + ": " + platform::DescribeHResult(hr)
                                         : message);
  }
  return Status::Ok();
}

}  // namespace vyr::editor
