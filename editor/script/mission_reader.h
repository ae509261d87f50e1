// What the editor asks of the mission script library when it reads a script back: parse a file, then
// query the parsed mission field by field. The real reader goes through a VYRMission object created by
// class identifier; tests can stand in with their own.
//
// Strings are 8-bit code-page bytes. Out-of-range indices leave the defaults below, as the library does.
#pragma once

#include <memory>
#include <string>

#include "editor/document/status.h"

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
};

// A reader backed by a new VYRMission object of the registered library. Nothing and a readable
// reason in `status` when the class is not registered or the library cannot be loaded.
std::unique_ptr<MissionReader> CreateMissionReader(Status& status);

// Registers the library at `library_path` as the VYRMission class when the class is not registered
// or its registered module is gone; a registration that works already is left alone.
Status EnsureMissionLibraryRegistered(const std::string& library_path);

}  // namespace vyr::editor
