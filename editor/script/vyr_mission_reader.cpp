// The mission reader backed by the library's VYRMission class, created by class identifier and
// called through its table of operations. Strings cross as automation strings in UTF-16 and are
// kept in the editor as code-page bytes.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "editor/script/mission_reader.h"
#include "platform/codepage.h"
#include "platform/com.h"
#include "platform/com_runtime.h"
#include "vyrparser/automation/ivyrmission.h"

namespace vyr::editor {

namespace {

using platform::BSTR;
using platform::HRESULT;

using automation::IVYRMission;
using automation::IVYRMission2;

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

// The wider interface of the same object, or null (with nothing held) when the library lacks it.
IVYRMission2* SecondInterface(IVYRMission& mission) {
  void* second = nullptr;
  if (platform::FAILED(mission.QueryInterface(automation::IID_IVYRMission2, &second))) return nullptr;
  return static_cast<IVYRMission2*>(second);
}

std::vector<ScriptMessage> MessagesOf(IVYRMission2& mission) {
  std::int32_t count = 0;
  mission.GetParseMessageCount(&count);
  std::vector<ScriptMessage> messages;
  for (std::int32_t i = 0; i < count; ++i) {
    std::int32_t line = 0;
    OutString near_text, cause;
    mission.GetParseMessage(i, &line, near_text.put(), cause.put());
    messages.push_back({line, near_text.bytes(), cause.bytes()});
  }
  return messages;
}

class VyrMissionReader final : public MissionReader {
 public:
  explicit VyrMissionReader(IVYRMission* mission) : mission_(mission), second_(SecondInterface(*mission)) {}
  ~VyrMissionReader() override {
    if (second_ != nullptr) second_->Release();
    mission_->Release();
  }
  VyrMissionReader(const VyrMissionReader&) = delete;
  VyrMissionReader& operator=(const VyrMissionReader&) = delete;

  void CloseMission() override { mission_->CloseMission(); }
  // File names are UTF-8 on their way to the file system, not code-page text.
  int TryParseMission(const std::string& file_name) override {
    const std::optional<std::u16string> wide = platform::Utf8ToUtf16(file_name);
    if (!wide) return 1;
    std::int16_t result = 2;
    platform::BStr name(*wide);
    mission_->TryParseMission(name.Get(), &result);
    return result;
  }
  std::string MissionTitle() override { return Text(&IVYRMission::MissionTitle); }
  std::string MissionAuthor() override { return Text(&IVYRMission::MissionAuthor); }
  std::string MissionMap() override { return Text(&IVYRMission::MissionMap); }
  std::string GetRawMissionDescription() override { return Text(&IVYRMission::GetRawMissionDescription); }
  std::string GetMapAnnotation() override { return Text(&IVYRMission::GetMapAnnotation); }
  int GetMapStyles() override { return Number(&IVYRMission::GetMapStyles); }

  int GetLocationCount() override {
    return Count(&IVYRMission::GetLocationCount, &IVYRMission2::GetLocationCount32);
  }
  ScriptLocation GetLocationData(int index) override {
    ScriptLocation loc;
    OutString label;
    mission_->GetLocationData(Index(index), label.put(), &loc.x, &loc.y, &loc.z);
    loc.label = label.bytes();
    return loc;
  }
  int GetAreaCount() override { return Count(&IVYRMission::GetAreaCount, &IVYRMission2::GetAreaCount32); }
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

  int ActorCount() override { return Number(&IVYRMission::ActorCount); }
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

  int GetObjectiveCount() override {
    return Count(&IVYRMission::GetObjectiveCount, &IVYRMission2::GetObjectiveCount32);
  }
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

  bool ReadsForcesAndTeams() override { return second_ != nullptr; }
  int GetForceCount() override {
    std::int32_t count = 0;
    second_->GetForceCount(&count);
    return count;
  }
  ScriptForce GetForceData(int force) override {
    OutString name, description;
    std::int32_t teams = 0;
    second_->GetForceData(force, name.put(), description.put(), &teams);
    return {name.bytes(), description.bytes(), teams};
  }
  ScriptTeam GetTeamData(int force, int team) override {
    OutString name, description;
    std::int32_t actors = 0;
    second_->GetTeamData(force, team, name.put(), description.put(), &actors);
    return {name.bytes(), description.bytes(), actors};
  }
  std::string GetForceTeamPlan(int force, int team) override {
    OutString plan;
    second_->GetForceTeamPlan(force, team, plan.put());
    return plan.bytes();
  }
  ScriptActor TeamActorInfo(int force, int team, int actor) override {
    OutString type, name, skin;
    ScriptActor info;
    second_->TeamActorInfo(force, team, actor, type.put(), name.put(), skin.put(), &info.skill);
    info.type = type.bytes();
    info.name = name.bytes();
    info.model_and_skin = skin.bytes();
    return info;
  }
  int GetTeamActorItemCount(int force, int team, int actor, const std::string& item_name) override {
    InString name(item_name);
    std::int32_t count = 0;
    second_->GetTeamActorItemCount(force, team, actor, name.get(), &count);
    return count;
  }
  std::vector<ScriptMessage> ParseMessages() override {
    return second_ == nullptr ? std::vector<ScriptMessage>() : MessagesOf(*second_);
  }

 private:
  std::string Text(HRESULT (IVYRMission::*get)(BSTR*)) {
    OutString value;
    (mission_->*get)(value.put());
    return value.bytes();
  }
  int Number(HRESULT (IVYRMission::*get)(std::int16_t*)) {
    std::int16_t value = 0;
    (mission_->*get)(&value);
    return value;
  }

  // The 32-bit count when the library has it.
  int Count(HRESULT (IVYRMission::*get16)(std::int16_t*), HRESULT (IVYRMission2::*get32)(std::int32_t*)) {
    if (second_ == nullptr) return Number(get16);
    std::int32_t value = 0;
    (second_->*get32)(&value);
    return value;
  }

  IVYRMission* mission_;
  IVYRMission2* second_;  // null for a library that offers only IVYRMission
};

}  // namespace

std::unique_ptr<MissionReader> CreateMissionReader(Status& status) {
  void* object = nullptr;
  std::string reason;
  const HRESULT hr =
      platform::CoCreateInstance(automation::CLSID_VYRMission, automation::IID_IVYRMission, &object, &reason);
  if (platform::FAILED(hr) || object == nullptr) {
    status = Status::Error("The class VYRMission of vyrparser cannot be created: " +
                           (reason.empty() ? platform::DescribeHResult(hr) : reason) + ".");
    return nullptr;
  }
  status = Status::Ok();
  return std::make_unique<VyrMissionReader>(static_cast<IVYRMission*>(object));
}

std::vector<ScriptMessage> ParseMessagesOf(IVYRMission& mission) {
  IVYRMission2* second = SecondInterface(mission);
  if (second == nullptr) return {};
  std::vector<ScriptMessage> messages = MessagesOf(*second);
  second->Release();
  return messages;
}

Status EnsureMissionLibraryRegistered(const std::string& library_path) {
  std::string message;
  const HRESULT hr = platform::EnsureServerRegistered(automation::CLSID_VYRMission, library_path, &message);
  if (platform::FAILED(hr)) {
    return Status::Error(
        message.empty() ? "cannot register " + library_path + ": " + platform::DescribeHResult(hr) : message);
  }
  return Status::Ok();
}

}  // namespace vyr::editor
