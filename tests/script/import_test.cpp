#include "editor/script/import.h"

#include <gtest/gtest.h>

#include <map>

#include "editor/document/edit_history.h"
#include "editor/document/file_name_pair.h"
#include "editor/document/mission_document.h"
#include "editor/script/mission_reader.h"
#include "tests/editor_test_support.h"

namespace vyr::editor {
namespace {

using testing::Numbered;
using testing::ScriptedUi;

struct FakeActor {
  ScriptActor info;
  std::string force;
  std::string team;
  std::map<std::string, int> items;
};

struct FakeArea {
  ScriptArea area;
  std::vector<std::string> locations;
};

struct FakeObjective {
  ScriptObjective objective;
  std::vector<std::string> next;
};

// A parsed mission held in plain fields; records the calls made to it.
class FakeReader : public MissionReader {
 public:
  int parse_result = 0;
  std::string title = "T", author = "A", map = "M", description = "D", annotation;
  int map_styles = 0;
  std::vector<ScriptLocation> locations;
  std::vector<FakeArea> areas;
  std::vector<FakeActor> actors;
  std::map<std::string, std::string> plans;
  std::vector<FakeObjective> objectives;
  std::vector<std::string> calls;

  void CloseMission() override { calls.push_back("CloseMission"); }
  int TryParseMission(const std::string& file) override {
    calls.push_back("TryParseMission " + file);
    return parse_result;
  }
  std::string MissionTitle() override { return title; }
  std::string MissionAuthor() override { return author; }
  std::string MissionMap() override { return map; }
  std::string GetRawMissionDescription() override { return description; }
  std::string GetMapAnnotation() override { return annotation; }
  int GetMapStyles() override { return map_styles; }
  int GetLocationCount() override { return static_cast<int>(locations.size()); }
  ScriptLocation GetLocationData(int i) override { return locations.at(static_cast<std::size_t>(i)); }
  int GetAreaCount() override { return static_cast<int>(areas.size()); }
  ScriptArea GetAreaData(int i) override { return areas.at(static_cast<std::size_t>(i)).area; }
  std::string GetAreaLocationLabel(int i, int j) override {
    return areas.at(static_cast<std::size_t>(i)).locations.at(static_cast<std::size_t>(j));
  }
  int ActorCount() override { return static_cast<int>(actors.size()); }
  ScriptActor ActorInfo(int i) override { return actors.at(static_cast<std::size_t>(i)).info; }
  void GetActorForceAndTeam(int i, std::string& force, std::string& team) override {
    force = actors.at(static_cast<std::size_t>(i)).force;
    team = actors.at(static_cast<std::size_t>(i)).team;
  }
  int GetActorItemCount(int i, const std::string& name) override {
    const auto& items = actors.at(static_cast<std::size_t>(i)).items;
    auto it = items.find(name);
    return it == items.end() ? 0 : it->second;
  }
  std::string GetTeamPlan(const std::string& team) override {
    calls.push_back("GetTeamPlan " + team);
    auto it = plans.find(team);
    return it == plans.end() ? std::string() : it->second;
  }
  int GetObjectiveCount() override { return static_cast<int>(objectives.size()); }
  ScriptObjective GetObjectiveData(int i) override {
    return objectives.at(static_cast<std::size_t>(i)).objective;
  }
  std::string GetObjectiveNextMission(int i, int j) override {
    return objectives.at(static_cast<std::size_t>(i)).next.at(static_cast<std::size_t>(j));
  }
};

FakeActor Actor(std::string type, std::string name, std::string force, std::string team) {
  FakeActor a;
  a.info = {std::move(type), std::move(name), "terror/terror", 1.0f};
  a.force = std::move(force);
  a.team = std::move(team);
  return a;
}

// An import into a fresh document from the fake reader.
struct ImportTest : ::testing::Test {
  MissionDocument doc;
  ScriptedUi ui;
  FakeReader r;
};

TEST(Import, StyleListsAndRounding) {
  EXPECT_EQ(MapStylesToList(0), "none?");
  EXPECT_EQ(MapStylesToList(15), "indoor?open?dark?urban?");
  EXPECT_EQ(MapStylesToList(1) + MapStylesToList(2) + MapStylesToList(4) + MapStylesToList(8),
            "urban?dark?open?indoor?");
  EXPECT_EQ(AreaStylesToList(0), "none?");
  EXPECT_EQ(AreaStylesToList(7), "roof?closed?open?");
  EXPECT_EQ(AreaStylesToList(1) + AreaStylesToList(2) + AreaStylesToList(4), "open?closed?roof?");
  EXPECT_EQ(RoundToInteger(-1.5f), -2);
  EXPECT_EQ(RoundToInteger(2.4999f), 2);
  EXPECT_EQ(RoundToInteger(1e9f), 32767);
  EXPECT_EQ(RoundToInteger(-1e9f), -32768);
  EXPECT_EQ(RoundToInteger(std::numeric_limits<float>::quiet_NaN()), 0);
  EXPECT_EQ(LfToCrLf("a\nb\n"), "a\r\nb\r\n");
  EXPECT_EQ(LfToCrLf("\na\r\nb"), "\r\na\r\nb");  // an existing CR LF is not doubled
}

TEST_F(ImportTest, MapsGeneralInformationLocationsAreasAndObjectives) {
  r.description = "one\ntwo";
  r.annotation = "a\nb";
  r.map_styles = 4 | 2;
  r.locations = {{"gate", 10.5f, 11.5f, -0.5f}, {"tower", -5.0f, 40.2f, 127.6f}};
  r.areas = {{{"yard", 4 | 1, 2, 1, 0, 0, 200.5f}, {"gate", "tower"}}, {{"void", 0, 0, 0, 0, 0, 0}, {}}};
  r.objectives = {{{"success", "Blue", "Well done", "timeout(300)", 2}, {"m2", "m3"}},
                  {{"failure", "Red", "Lost", "", 0}, {}}};
  ASSERT_TRUE(ImportMission(doc, "x.vyr", ui, r));
  EXPECT_EQ(r.calls.at(0), "CloseMission");
  EXPECT_EQ(r.calls.at(1), "TryParseMission x.vyr");
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(doc.info, (MissionInfo{"T", "A", "one\ntwo", "M", "open?dark?", "a\r\nb"}));
  ASSERT_EQ(doc.location_count(), 2);
  EXPECT_EQ(doc.location(0), (LocationRecord{"gate", "", 10, 12, 0}));
  EXPECT_EQ(doc.location(1), (LocationRecord{"tower", "", -5, 40, 128}));
  ASSERT_EQ(doc.area_count(), 2);
  EXPECT_EQ(doc.area(0), (AreaRecord{"yard", "", "gate?tower?", "roof?open?", 200}));
  EXPECT_EQ(doc.area(1), (AreaRecord{"void", "", "", "none?", 0}));
  ASSERT_EQ(doc.outcome_count(), 2);
  EXPECT_EQ(doc.outcome(0), (OutcomeRecord{"success", "Blue", "Well done", "timeout(300)", "m2?m3?"}));
  EXPECT_EQ(doc.outcome(1), (OutcomeRecord{"failure", "Red", "Lost", "", ""}));
  EXPECT_EQ(doc.tree().selected(), doc.tree().root());
}

TEST_F(ImportTest, ActorsCreateForcesAndTeamsInOrderOfFirstAppearance) {
  r.actors = {Actor("npc", "a", "Red", "Alpha"), Actor("Player", "b", "Blue", "Alpha"),
              Actor("player", "c", "Red", "Bravo"), Actor("npc", "d", "Red", "Alpha"),
              Actor("npc", "e", "red", "Alpha")};
  r.actors[0].items = {{"Dual MK23 Pistols", 2}, {"Sniper Rifle", 1}, {"Pistol Clip", 3},
                       {"AP Sniper Ammo", -4},   {"Bandolier", 1},    {"Stealth Slippers", 5}};
  r.actors[0].info.skill = 0.3f;
  r.actors[0].info.model_and_skin = "male/resdog";
  r.plans = {{"Alpha", "  attack towards gate;\n  wait until ready;\n"}, {"Bravo", ""}};
  ASSERT_TRUE(ImportMission(doc, "x.vyr", ui, r));

  ASSERT_EQ(doc.force_count(), 3);
  EXPECT_EQ(doc.force(0).force_name, "Red");
  EXPECT_EQ(doc.force(1).force_name, "Blue");
  EXPECT_EQ(doc.force(2).force_name, "red");  // names compare with case
  ASSERT_EQ(doc.team_count(0), 2);
  EXPECT_EQ(doc.team(0, 0).team_name, "Alpha");
  EXPECT_EQ(doc.team(0, 0).plan, "  attack towards gate;\r\n  wait until ready;\r\n");
  EXPECT_EQ(doc.team(0, 1).team_name, "Bravo");
  ASSERT_EQ(doc.actor_count(0, 0), 2);
  EXPECT_EQ(doc.actor(0, 0, 1).npc_name, "d");
  EXPECT_EQ(doc.actor_count(1, 0), 1);
  EXPECT_FALSE(doc.actor(1, 0, 0).npc_player);  // "Player" is not "player"
  EXPECT_TRUE(doc.actor(0, 1, 0).npc_player);

  const ActorRecord& a = doc.actor(0, 0, 0);
  EXPECT_EQ(a.npc_skin, "male/resdog");
  EXPECT_FLOAT_EQ(a.npc_skill, 0.3f);
  EXPECT_EQ(a.weapon, (std::array<bool, 6>{true, false, false, false, false, true}));
  EXPECT_EQ(a.ammo, (std::array<Integer, 5>{3, 0, 0, 0, -4}));
  EXPECT_EQ(a.item, (std::array<bool, 5>{true, false, false, false, true}));

  // Each team's plan is fetched once, when the team is created.
  int alpha_plans = 0;
  for (const std::string& call : r.calls)
    alpha_plans += call == "GetTeamPlan Alpha";
  EXPECT_EQ(alpha_plans, 3);  // Red/Alpha, Blue/Alpha, red/Alpha

  // Tree: each team under its own force, each actor under its own team, whatever the names.
  const ProjectTree& tree = doc.tree();
  EXPECT_EQ(tree.node(tree.TeamNode(1, 0)).parent, tree.ForceNode(1));
  EXPECT_EQ(tree.node(tree.ActorNode(1, 0, 0)).parent, tree.TeamNode(1, 0));
  EXPECT_EQ(tree.node(tree.ActorNode(0, 0, 1)).parent, tree.TeamNode(0, 0));
  EXPECT_EQ(tree.node(tree.ActorNode(0, 0, 1)).binding, 1);
  EXPECT_EQ(tree.selected(), tree.root());
}

TEST(Import, TheMenuAsksInTheGamesMissionsFolderAndACancelChangesNothing) {
  const FileDialogRequest request = ImportMissionRequest("/games/aq2/action/");
  EXPECT_EQ(request.title, "Import");
  EXPECT_EQ(request.filter, "Mission Script (*.vyr)|*.vyr");
  EXPECT_EQ(request.directory, "/games/aq2/action/missions");
  EXPECT_EQ(request.file_name, "");
  EXPECT_EQ(ImportMissionRequest("").directory, "");

  MissionDocument doc;
  testing::BuildWarehouse(doc);
  ScriptedUi ui;
  ui.Answer(std::nullopt);
  EXPECT_TRUE(ImportMissionCommand(doc, ui, "/games/aq2/action").cancelled);
  EXPECT_EQ(ui.dialogs.at(0).request.directory, "/games/aq2/action/missions");
  EXPECT_EQ(doc.location_count(), 2);
  EXPECT_TRUE(ui.messages.empty());
}

// The open project stays as it was, file names and undo history included: the import parses first.
TEST_F(ImportTest, ParseFailureLeavesTheOpenProjectAndItsHistory) {
  testing::BuildWarehouse(doc);
  doc.SetSectionFile(Section::kLocations, SplitPath("/m/w.mlc"));
  EditHistory history(doc);
  history.Perform("Add location", [&] { ASSERT_TRUE(doc.AddLocation("well", "", 1, 2, 3)); });
  r.parse_result = 2;
  r.locations = {{"gate", 0, 0, 0}};
  Status status = ImportMission(doc, "bad.vyr", ui, r);
  EXPECT_FALSE(status);
  EXPECT_EQ(status.message, "This mission contains errors and cannot be imported.");
  EXPECT_EQ(ui.messages,
            (std::vector<testing::Message>{
                {"Error", "This mission contains errors and cannot be imported.", MessageIcon::kCritical}}));
  EXPECT_EQ(doc.location_count(), 3);
  EXPECT_EQ(doc.force_count(), 1);
  EXPECT_EQ(doc.outcome_count(), 1);
  EXPECT_EQ(doc.section_file(Section::kLocations).name, "w.mlc");

  r.parse_result = 1;  // a file problem reads the same
  EXPECT_FALSE(ImportMission(doc, "missing.vyr", ui, r));
  EXPECT_EQ(ui.messages.size(), 2u);
  ASSERT_TRUE(history.CanUndo()) << "a failed import starts no new history";
  ASSERT_TRUE(history.Undo());
  EXPECT_EQ(doc.location_count(), 2);

  // One that parses replaces the project.
  r.parse_result = 0;
  ASSERT_TRUE(ImportMission(doc, "good.vyr", ui, r));
  EXPECT_EQ(doc.location_count(), 1);
  EXPECT_TRUE(doc.section_file(Section::kLocations).unnamed());
  EXPECT_FALSE(history.CanUndo());
}

TEST_F(ImportTest, WhatExceedsTheTablesIsLeftOutAndNamed) {
  for (int i = 0; i < 103; ++i)
    r.locations.push_back({Numbered("l", i), 0, 0, 0});
  for (int i = 0; i < 23; ++i)
    r.actors.push_back(Actor("npc", Numbered("a", i), "F", "T"));
  Status status = ImportMission(doc, "big.vyr", ui, r);
  EXPECT_TRUE(status);
  EXPECT_EQ(doc.location_count(), 101);
  EXPECT_EQ(doc.location(100).loc_name, "l100");
  EXPECT_EQ(doc.actor_count(0, 0), 21);
  EXPECT_NE(status.message.find("Left out: 2 locations, 2 actors."), std::string::npos) << status.message;
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].icon, MessageIcon::kExclamation);
}

TEST_F(ImportTest, ActorCountAtTheInterfaceLimitIsNamed) {
  for (int i = 0; i < 32767; ++i) {
    r.actors.push_back(Actor("npc", "a", Numbered("F", i / 441), Numbered("T", (i / 21) % 21)));
  }
  Status status = ImportMission(doc, "huge.vyr", ui, r);
  EXPECT_TRUE(status);
  EXPECT_EQ(doc.force_count(), 75);
  EXPECT_EQ(doc.actor_count(74, 6), 7);  // 32767 = 74 * 441 + 6 * 21 + 7
  EXPECT_NE(status.message.find("at least 32767 actors"), std::string::npos) << status.message;
  EXPECT_EQ(status.message.find("Left out"), std::string::npos) << status.message;
}

}  // namespace
}  // namespace vyr::editor
