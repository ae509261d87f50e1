// What the editor asks of the mission script library when it reads a script back: parse a file, then
// query the parsed mission field by field. The real reader goes through a VYRMission object created by
// class identifier; tests can stand in with their own.
//
// Strings are 8-bit code-page bytes. Out-of-range indices leave the defaults below, as the library does.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "editor/document/status.h"

namespace vyr::automation {
class IVYRMission;
}

namespace vyr::editor {

struct ScriptLocation {
  std::string label;
  float x = 0, y = 0, z = 0;
};

struct ScriptArea {
  std::string name;
  int styles = 0;  // 1 open, 2 closed, 4 roof
  int location_count = 0;
  int entrance_count = 0;
  int exit_count = 0;
  int window_count = 0;
  float radius = 0;
};

struct ScriptActor {
  std::string type;  // "npc" or "player"
  std::string name;
  std::string model_and_skin;
  float skill = 0;
};

struct ScriptObjective {
  std::string type;  // "success" or "failure"
  std::string owner;
  std::string message;
  std::string conditions;
  int next_mission_count = 0;
};

struct ScriptForce {
  std::string name;
  std::string description;
  int team_count = 0;
};

struct ScriptTeam {
  std::string name;
  std::string description;
  int actor_count = 0;
};

// One message of the parser: line 0 when it has none.
struct ScriptMessage {
  int line = 0;
  std::string near_text;
  std::string cause;
};

class MissionReader {
 public:
  virtual ~MissionReader() = default;

  virtual void CloseMission() = 0;
  // 0 parsed, 1 file problem, 2 parse problem.
  virtual int TryParseMission(const std::string& file_name) = 0;

  virtual std::string MissionTitle() = 0;
  virtual std::string MissionAuthor() = 0;
  virtual std::string MissionMap() = 0;
  virtual std::string GetRawMissionDescription() = 0;
  virtual std::string GetMapAnnotation() = 0;
  virtual int GetMapStyles() = 0;  // 1 urban, 2 dark, 4 open, 8 indoor

  virtual int GetLocationCount() = 0;
  virtual ScriptLocation GetLocationData(int index) = 0;
  virtual int GetAreaCount() = 0;
  virtual ScriptArea GetAreaData(int index) = 0;
  virtual std::string GetAreaLocationLabel(int area, int position) = 0;

  virtual int ActorCount() = 0;
  virtual ScriptActor ActorInfo(int index) = 0;
  // Force and team names of the actor; empty when none is found.
  virtual void GetActorForceAndTeam(int index, std::string& force, std::string& team) = 0;
  virtual int GetActorItemCount(int index, const std::string& item_name) = 0;
  virtual std::string GetTeamPlan(const std::string& team_name) = 0;

  virtual int GetObjectiveCount() = 0;
  virtual ScriptObjective GetObjectiveData(int index) = 0;
  virtual std::string GetObjectiveNextMission(int objective, int position) = 0;

  // The wider interface (IVYRMission2): forces, teams and their actors read as the script declares
  // them, counts without the 16-bit limit, and the messages of the last parse. A reader of a library
  // without it answers false here and leaves the rest to these defaults, which are never asked then.
  virtual bool ReadsForcesAndTeams() { return false; }
  virtual int GetForceCount() { return 0; }
  virtual ScriptForce GetForceData(int /*force*/) { return {}; }
  virtual ScriptTeam GetTeamData(int /*force*/, int /*team*/) { return {}; }
  virtual std::string GetForceTeamPlan(int /*force*/, int /*team*/) { return {}; }
  virtual ScriptActor TeamActorInfo(int /*force*/, int /*team*/, int /*actor*/) { return {}; }
  virtual int GetTeamActorItemCount(int /*force*/, int /*team*/, int /*actor*/,
                                    const std::string& /*item_name*/) {
    return 0;
  }
  // Empty when the library does not hand its messages over.
  virtual std::vector<ScriptMessage> ParseMessages() { return {}; }
};

// A reader backed by a new VYRMission object of the registered library. Nothing and a readable
// reason in `status` when the class is not registered or the library cannot be loaded.
std::unique_ptr<MissionReader> CreateMissionReader(Status& status);

// The messages of the last parse of the library behind `mission`; none when it offers only IVYRMission.
std::vector<ScriptMessage> ParseMessagesOf(automation::IVYRMission& mission);

// Registers the library at `library_path` as the VYRMission class when the class is not registered
// or its registered module is gone; a registration that works already is left alone.
Status EnsureMissionLibraryRegistered(const std::string& library_path);

}  // namespace vyr::editor
