#include "vyrparser/automation/type_library.h"

#include "vyrparser/automation/ivyrmission.h"

namespace vyr::automation {
namespace {

using namespace platform;

constexpr std::uint8_t kIn = kParamIn;
constexpr std::uint8_t kOut = kParamOut;
constexpr std::uint8_t kRet = kParamOut | kParamRetval;
constexpr ParamType kI2 = ParamType::kI2;
constexpr ParamType kI4 = ParamType::kI4;
constexpr ParamType kR4 = ParamType::kR4;
constexpr ParamType kBstr = ParamType::kBstr;

constexpr ParamDescription kMissionTitle[] = {{"aTitle", kBstr, kRet}};
constexpr ParamDescription kMissionDescription[] = {{"aDescription", kBstr, kRet}};
constexpr ParamDescription kMissionAuthor[] = {{"anAuthor", kBstr, kRet}};
constexpr ParamDescription kMissionMap[] = {{"aMap", kBstr, kRet}};
constexpr ParamDescription kTryParseMission[] = {{"aFileName", kBstr, kIn}, {"bSuccess", kI2, kRet}};
constexpr ParamDescription kActorCount[] = {{"anActorCount", kI2, kRet}};
constexpr ParamDescription kActorInfo[] = {{"anActorIdx", kI2, kIn},
                                           {"theActorType", kBstr, kOut},
                                           {"theActorName", kBstr, kOut},
                                           {"theActorModelAndSkin", kBstr, kOut},
                                           {"theActorSkill", kR4, kOut}};
constexpr ParamDescription kOverallSkillGet[] = {{"pVal", kR4, kRet}};
constexpr ParamDescription kOverallSkillPut[] = {{"", kR4, kIn}};
constexpr ParamDescription kGenerateMission[] = {{"aFileName", kBstr, kIn}};
constexpr ParamDescription kGetActorItemCount[] = {
    {"anActorIdx", kI2, kIn}, {"anItemName", kBstr, kIn}, {"anItemCount", kI2, kRet}};
constexpr ParamDescription kSetActorItemCount[] = {
    {"anActorIdx", kI2, kIn}, {"anItemName", kBstr, kIn}, {"anItemCount", kI2, kIn}};
constexpr ParamDescription kSetActorModelSkin[] = {{"anActorIdx", kI2, kIn},
                                                   {"anActorModelSkin", kBstr, kIn}};
constexpr ParamDescription kSetActorSkill[] = {{"anActorIdx", kI2, kIn}, {"anActorSkill", kR4, kIn}};
constexpr ParamDescription kGetActorForceAndTeam[] = {
    {"anActorIdx", kI2, kIn}, {"theActorForce", kBstr, kOut}, {"theActorTeam", kBstr, 0}};
constexpr ParamDescription kSetActorName[] = {{"anActorIdx", kI2, kIn}, {"anActorName", kBstr, kIn}};
constexpr ParamDescription kNeedToIncorporate[] = {{"aPartialFileName", kBstr, kIn},
                                                   {"theMissionsRecorded", kI4, kOut},
                                                   {"theMissionsStudied", kI4, kOut},
                                                   {"theAdvice", kI2, kRet}};
constexpr ParamDescription kIncorporate[] = {{"aPartialFileName", kBstr, kIn}};
constexpr ParamDescription kGetLocationCount[] = {{"aLocationCount", kI2, kRet}};
constexpr ParamDescription kGetLocationData[] = {{"aLocationIdx", kI2, kIn},
                                                 {"aLocationLabel", kBstr, kOut},
                                                 {"aLocX", kR4, kOut},
                                                 {"aLocY", kR4, kOut},
                                                 {"aLocZ", kR4, kOut}};
constexpr ParamDescription kGetAreaCount[] = {{"anAreaCount", kI2, kRet}};
constexpr ParamDescription kGetAreaData[] = {{"anAreaIdx", kI2, kIn},        {"anAreaName", kBstr, kOut},
                                             {"theAreaStyles", kI2, kOut},   {"aLocationCount", kI2, kOut},
                                             {"anEntranceCount", kI2, kOut}, {"anExitCount", kI2, kOut},
                                             {"aWindowCount", kI2, kOut},    {"aRadius", kR4, kOut}};
constexpr ParamDescription kGetAreaLocationLabel[] = {
    {"anAreaIdx", kI2, kIn}, {"aLocationIdx", kI2, kIn}, {"aLocationLabel", kBstr, kRet}};
constexpr ParamDescription kGetTeamPlan[] = {{"aTeamName", kBstr, kIn}, {"aTeamPlan", kBstr, kRet}};
constexpr ParamDescription kGetMapAnnotation[] = {{"aMapAnnotation", kBstr, kRet}};
constexpr ParamDescription kSetActorType[] = {{"anActorIdx", kI2, kIn}, {"anActorType", kBstr, kIn}};
constexpr ParamDescription kGetRawMissionDescription[] = {{"aRawMissionDescription", kBstr, kRet}};
constexpr ParamDescription kGetMapStyles[] = {{"theMapStyles", kI2, kRet}};
constexpr ParamDescription kGetObjectiveCount[] = {{"anObjectiveCount", kI2, kRet}};
constexpr ParamDescription kGetObjectiveData[] = {
    {"anObjectiveIdx", kI2, kIn}, {"aType", kBstr, kOut},         {"anOwner", kBstr, kOut},
    {"aMessage", kBstr, kOut},    {"theConditions", kBstr, kOut}, {"aNextMissionCount", kI2, kOut}};
constexpr ParamDescription kGetObjectiveNextMission[] = {
    {"anObjectiveIdx", kI2, kIn}, {"aNextMissionIdx", kI2, kIn}, {"aNextMissionName", kBstr, kRet}};

// IVYRMission2
constexpr ParamDescription kGetForceCount[] = {{"aForceCount", kI4, kRet}};
constexpr ParamDescription kGetForceData[] = {{"aForceIdx", kI4, kIn},
                                              {"aForceName", kBstr, kOut},
                                              {"aForceDescription", kBstr, kOut},
                                              {"aTeamCount", kI4, kOut}};
constexpr ParamDescription kGetTeamCount[] = {{"aForceIdx", kI4, kIn}, {"aTeamCount", kI4, kRet}};
constexpr ParamDescription kGetTeamData[] = {{"aForceIdx", kI4, kIn},
                                             {"aTeamIdx", kI4, kIn},
                                             {"aTeamName", kBstr, kOut},
                                             {"aTeamDescription", kBstr, kOut},
                                             {"anActorCount", kI4, kOut}};
constexpr ParamDescription kGetForceTeamPlan[] = {
    {"aForceIdx", kI4, kIn}, {"aTeamIdx", kI4, kIn}, {"aTeamPlan", kBstr, kRet}};
constexpr ParamDescription kTeamActorCount[] = {
    {"aForceIdx", kI4, kIn}, {"aTeamIdx", kI4, kIn}, {"anActorCount", kI4, kRet}};
constexpr ParamDescription kTeamActorInfo[] = {
    {"aForceIdx", kI4, kIn},       {"aTeamIdx", kI4, kIn},        {"anActorIdx", kI4, kIn},
    {"theActorType", kBstr, kOut}, {"theActorName", kBstr, kOut}, {"theActorModelAndSkin", kBstr, kOut},
    {"theActorSkill", kR4, kOut}};
constexpr ParamDescription kGetTeamActorItemCount[] = {{"aForceIdx", kI4, kIn},
                                                       {"aTeamIdx", kI4, kIn},
                                                       {"anActorIdx", kI4, kIn},
                                                       {"anItemName", kBstr, kIn},
                                                       {"anItemCount", kI4, kRet}};
constexpr ParamDescription kSetTeamActorItemCount[] = {{"aForceIdx", kI4, kIn},
                                                       {"aTeamIdx", kI4, kIn},
                                                       {"anActorIdx", kI4, kIn},
                                                       {"anItemName", kBstr, kIn},
                                                       {"anItemCount", kI2, kIn}};
constexpr ParamDescription kSetTeamActorModelSkin[] = {{"aForceIdx", kI4, kIn},
                                                       {"aTeamIdx", kI4, kIn},
                                                       {"anActorIdx", kI4, kIn},
                                                       {"anActorModelSkin", kBstr, kIn}};
constexpr ParamDescription kSetTeamActorSkill[] = {
    {"aForceIdx", kI4, kIn}, {"aTeamIdx", kI4, kIn}, {"anActorIdx", kI4, kIn}, {"anActorSkill", kR4, kIn}};
constexpr ParamDescription kSetTeamActorName[] = {
    {"aForceIdx", kI4, kIn}, {"aTeamIdx", kI4, kIn}, {"anActorIdx", kI4, kIn}, {"anActorName", kBstr, kIn}};
constexpr ParamDescription kSetTeamActorType[] = {
    {"aForceIdx", kI4, kIn}, {"aTeamIdx", kI4, kIn}, {"anActorIdx", kI4, kIn}, {"anActorType", kBstr, kIn}};
constexpr ParamDescription kActorCount32[] = {{"anActorCount", kI4, kRet}};
constexpr ParamDescription kGetLocationCount32[] = {{"aLocationCount", kI4, kRet}};
constexpr ParamDescription kGetAreaCount32[] = {{"anAreaCount", kI4, kRet}};
constexpr ParamDescription kGetObjectiveCount32[] = {{"anObjectiveCount", kI4, kRet}};
constexpr ParamDescription kGetParseMessageCount[] = {{"aMessageCount", kI4, kRet}};
constexpr ParamDescription kGetParseMessage[] = {
    {"aMessageIdx", kI4, kIn}, {"aLine", kI4, kOut}, {"aNearText", kBstr, kOut}, {"aCause", kBstr, kOut}};

constexpr FunctionDescription kFunctions[] = {
    {"MissionTitle", 1, DISPATCH_METHOD, 7, "gets mission title", kMissionTitle},
    {"MissionDescription", 2, DISPATCH_METHOD, 8, "gets mission description ('\\n' converted ' ')",
     kMissionDescription},
    {"MissionAuthor", 3, DISPATCH_METHOD, 9, "gets mission author", kMissionAuthor},
    {"MissionMap", 4, DISPATCH_METHOD, 10, "gets mission map", kMissionMap},
    {"TryParseMission", 5, DISPATCH_METHOD, 11,
     "attempts to parse mission (0 == success, 1 == file problem, 2 == parse problem", kTryParseMission},
    {"CloseMission", 6, DISPATCH_METHOD, 12, "closes parsed mission", {}},
    {"ActorCount", 7, DISPATCH_METHOD, 13, "returns total number of actors", kActorCount},
    {"ActorInfo", 8, DISPATCH_METHOD, 14, "returns basic actor info", kActorInfo},
    {"OverallSkill", 9, DISPATCH_PROPERTYGET, 15, "property OverallSkill", kOverallSkillGet},
    {"OverallSkill", 9, DISPATCH_PROPERTYPUT, 16, "property OverallSkill", kOverallSkillPut},
    {"GenerateMission", 10, DISPATCH_METHOD, 17, "writes changed mission to file", kGenerateMission},
    {"GetActorItemCount", 11, DISPATCH_METHOD, 18,
     "gets number of weapons, ammo, or items called anItemName for actor anActorIdx", kGetActorItemCount},
    {"SetActorItemCount", 12, DISPATCH_METHOD, 19,
     "sets number of weapons, ammo, or items called anItemName for actor anActorIdx", kSetActorItemCount},
    {"SetActorModelSkin", 13, DISPATCH_METHOD, 20, "sets modelskin string for actor", kSetActorModelSkin},
    {"SetActorSkill", 14, DISPATCH_METHOD, 21, "sets skill for actor", kSetActorSkill},
    {"GetActorForceAndTeam", 15, DISPATCH_METHOD, 22, "obtains force name and team name for actor",
     kGetActorForceAndTeam},
    {"SetActorName", 16, DISPATCH_METHOD, 23, "sets actor name", kSetActorName},
    {"NeedToIncorporateMissionExperiences", 17, DISPATCH_METHOD, 24,
     "checks terrain info for need to update: returns -1=unsupported, 0=no need, 1=advised",
     kNeedToIncorporate},
    {"IncorporateMissionExperiences", 18, DISPATCH_METHOD, 25, "updates terrain info with experiences",
     kIncorporate},
    {"GetLocationCount", 19, DISPATCH_METHOD, 26, "returns number of locations", kGetLocationCount},
    {"GetLocationData", 20, DISPATCH_METHOD, 27, "returns location label and coords", kGetLocationData},
    {"GetAreaCount", 21, DISPATCH_METHOD, 28, "returns number of areas", kGetAreaCount},
    {"GetAreaData", 22, DISPATCH_METHOD, 29,
     "returns area data: style 0 = none, 1 = open, 2 = closed, 4 = roof", kGetAreaData},
    {"GetAreaLocationLabel", 23, DISPATCH_METHOD, 30, "returns location used in area", kGetAreaLocationLabel},
    {"GetTeamPlan", 24, DISPATCH_METHOD, 31, "returns team plan", kGetTeamPlan},
    {"GetMapAnnotation", 25, DISPATCH_METHOD, 32, "returns map annotation", kGetMapAnnotation},
    {"SetActorType", 26, DISPATCH_METHOD, 33, "set actor type (\"npc\", \"player\"", kSetActorType},
    {"GetRawMissionDescription", 27, DISPATCH_METHOD, 34,
     "returns mission description including \\n characters", kGetRawMissionDescription},
    {"GetMapStyles", 28, DISPATCH_METHOD, 35,
     "returns combination of map styles 0 = none, 1 = urban, 2 = dark, 4 = open, 8 = indoor", kGetMapStyles},
    {"GetObjectiveCount", 29, DISPATCH_METHOD, 36, "returns number of objectives", kGetObjectiveCount},
    {"GetObjectiveData", 30, DISPATCH_METHOD, 37,
     "returns type, owner, message, condition, # of follow up missions, for objective idx (0..count-1)",
     kGetObjectiveData},
    {"GetObjectiveNextMission", 31, DISPATCH_METHOD, 38,
     "returns mission/script name for aNextMissionIdx (0...count-1) of indexed objective",
     kGetObjectiveNextMission},
    // IVYRMission2 from here on.
    {"GetForceCount", 32, DISPATCH_METHOD, 39, "returns number of forces", kGetForceCount},
    {"GetForceData", 33, DISPATCH_METHOD, 40, "returns force name, description and number of teams",
     kGetForceData},
    {"GetTeamCount", 34, DISPATCH_METHOD, 41, "returns number of teams of force aForceIdx", kGetTeamCount},
    {"GetTeamData", 35, DISPATCH_METHOD, 42, "returns team name, description and number of actors",
     kGetTeamData},
    {"GetForceTeamPlan", 36, DISPATCH_METHOD, 43, "returns plan of team aTeamIdx of force aForceIdx",
     kGetForceTeamPlan},
    {"TeamActorCount", 37, DISPATCH_METHOD, 44, "returns number of actors of a team", kTeamActorCount},
    {"TeamActorInfo", 38, DISPATCH_METHOD, 45, "returns basic info of actor anActorIdx of a team",
     kTeamActorInfo},
    {"GetTeamActorItemCount", 39, DISPATCH_METHOD, 46,
     "gets number of weapons, ammo, or items called anItemName for actor anActorIdx of a team",
     kGetTeamActorItemCount},
    {"SetTeamActorItemCount", 40, DISPATCH_METHOD, 47,
     "sets number of weapons, ammo, or items called anItemName for actor anActorIdx of a team",
     kSetTeamActorItemCount},
    {"SetTeamActorModelSkin", 41, DISPATCH_METHOD, 48, "sets modelskin string for actor of a team",
     kSetTeamActorModelSkin},
    {"SetTeamActorSkill", 42, DISPATCH_METHOD, 49, "sets skill for actor of a team", kSetTeamActorSkill},
    {"SetTeamActorName", 43, DISPATCH_METHOD, 50, "sets name for actor of a team", kSetTeamActorName},
    {"SetTeamActorType", 44, DISPATCH_METHOD, 51, "sets type for actor of a team (\"npc\", \"player\")",
     kSetTeamActorType},
    {"ActorCount32", 45, DISPATCH_METHOD, 52, "returns total number of actors (32-bit)", kActorCount32},
    {"GetLocationCount32", 46, DISPATCH_METHOD, 53, "returns number of locations (32-bit)",
     kGetLocationCount32},
    {"GetAreaCount32", 47, DISPATCH_METHOD, 54, "returns number of areas (32-bit)", kGetAreaCount32},
    {"GetObjectiveCount32", 48, DISPATCH_METHOD, 55, "returns number of objectives (32-bit)",
     kGetObjectiveCount32},
    {"GetParseMessageCount", 49, DISPATCH_METHOD, 56, "returns number of messages of the last parse",
     kGetParseMessageCount},
    {"GetParseMessage", 50, DISPATCH_METHOD, 57,
     "returns line (0 = none), near text and cause of message aMessageIdx of the last parse",
     kGetParseMessage},
};
// The rows of IVYRMission come first.
constexpr std::size_t kIVYRMissionFunctionCount = 32;

}  // namespace

std::span<const FunctionDescription> IVYRMissionFunctions() {
  return std::span<const FunctionDescription>(kFunctions).first(kIVYRMissionFunctionCount);
}

std::span<const FunctionDescription> IVYRMission2Functions() {
  return kFunctions;
}

const InterfaceDescription& IVYRMissionDescription() {
  static const InterfaceDescription kDescription{"IVYRMission", kInterfaceHelp, IID_IVYRMission,
                                                 IVYRMissionFunctions()};
  return kDescription;
}

const InterfaceDescription& IVYRMission2Description() {
  static const InterfaceDescription kDescription{"IVYRMission2", kInterface2Help, IID_IVYRMission2,
                                                 IVYRMission2Functions()};
  return kDescription;
}

}  // namespace vyr::automation
