#include "editor/document/mission_document.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/document/section_format.h"
#include "tests/editor_test_support.h"

namespace vyr::editor {
namespace {

using namespace vyr::editor::testing;

constexpr const char* kUnnamedCaption = "Marrowdell's VYR Mission Editor - [unnamed]";

ActorRecord Actor(const std::string& name) {
  ActorRecord actor;
  actor.npc_name = name;
  return actor;
}

std::vector<std::string> ActorNames(const MissionDocument& doc, int force, int team) {
  std::vector<std::string> names;
  for (int a = 0; a < doc.actor_count(force, team); ++a)
    names.push_back(doc.actor(force, team, a).npc_name);
  return names;
}

TEST(MissionDocument, NewProjectEmptiesTablesAndNamesButKeepsInfoAndClipboards) {
  MissionDocument doc;
  BuildWarehouse(doc);
  doc.info.annotation = "Night\r\nraid";
  ASSERT_TRUE(doc.CopyTeam(0, 0));
  doc.SetProjectFile(SplitPath("C:\\missions\\warehouse.cme"));
  doc.SetSectionFile(Section::kForces, SplitPath("/home/kim/warehouse.mfr"));
  doc.SetMissionScriptFile(SplitPath("out.vyr"));
  doc.editing.current_location = 0;
  const MissionInfo info = doc.info;

  doc.NewProject();
  EXPECT_EQ(doc.location_count() + doc.area_count() + doc.force_count() + doc.outcome_count(), 0);
  EXPECT_EQ(doc.editing.current_location, -1);
  EXPECT_EQ(doc.info, info);
  EXPECT_TRUE(doc.team_on_clipboard());
  EXPECT_EQ(doc.team_clipboard().plan, "  insert at gate using \"column\";\r\n  wait until ready;");
  EXPECT_EQ(doc.caption(), kUnnamedCaption);
  for (Section s : kAllSections)
    EXPECT_EQ(doc.section_file(s), FileNamePair{});
  EXPECT_EQ(doc.mission_script_file(), FileNamePair{});
  EXPECT_EQ(doc.tree().node_count(), 5);
  EXPECT_EQ(doc.tree().node(doc.tree().category(Section::kForces)).text, "Forces (unnamed)");

  // A force added to the reused document starts without the teams its slot held before.
  ASSERT_TRUE(doc.AddForce("Green", ""));
  EXPECT_EQ(doc.team_count(0), 0);
}

TEST(MissionDocument, FileNamesSetCaptionAndNodeTexts) {
  EXPECT_EQ(SplitPath("C:\\a/b\\c.mlc"), (FileNamePair{"c.mlc", "C:\\a/b\\"}));
  EXPECT_EQ(SplitPath("plain.moc"), (FileNamePair{"plain.moc", ""}));
  EXPECT_EQ(SplitPath("dir/"), (FileNamePair{"", "dir/"}));
  EXPECT_FALSE(SplitPath("").unnamed());
  EXPECT_TRUE(SplitPath("/x/unnamed").unnamed());

  MissionDocument doc;
  doc.SetProjectFile(SplitPath("C:\\missions\\warehouse.cme"));
  const ProjectTree& tree = doc.tree();
  doc.SetSectionFile(Section::kLocations, SplitPath("/a/b/w.mlc"));
  doc.SetSectionFile(Section::kOutcomes, SplitPath("dir/"));
  EXPECT_EQ(tree.node(tree.NodeAt(2)).text, "Locations (w.mlc)");
  EXPECT_EQ(tree.node(tree.NodeAt(5)).text, "Mission outcome ()");

  doc.InitIDE();
  EXPECT_EQ(tree.node(tree.NodeAt(1)).text, "VYR (unnamed)");
  EXPECT_EQ(tree.node(tree.NodeAt(2)).text, "Locations (unnamed)");
  EXPECT_EQ(doc.caption(), kUnnamedCaption);
}

TEST(MissionDocument, SetAnnotationKeepsBytesAndAnnouncesOnlyRealChanges) {
  MissionDocument doc;
  std::vector<DocumentChange> changes;
  auto connection = doc.changes().Connect([&](DocumentChange c) { changes.push_back(c); });
  const std::string text = "line one\r\n\xE9t\xE9\r\n";
  doc.SetAnnotation(text);
  doc.SetAnnotation(text);
  EXPECT_EQ(doc.info.annotation, text);
  EXPECT_EQ(changes, std::vector<DocumentChange>{DocumentChange::kMissionInfo});
}

TEST(MissionDocument, TopLevelTablesHoldExactlyTheirCapacity) {
  MissionDocument doc;
  for (int i = 0; i < kMaxLocations; ++i) {
    ASSERT_TRUE(doc.AddLocation(Numbered("loc", i), "", static_cast<Integer>(i), 0, 0));
    ASSERT_TRUE(doc.AddArea("area", "", "", 0, ""));
    ASSERT_TRUE(doc.AddForce("force", ""));
    ASSERT_TRUE(doc.AddOutcome("", "", "", "success", ""));
  }
  const int nodes = doc.tree().node_count();

  EXPECT_EQ(doc.AddLocation("extra", "", 0, 0, 0).message,
            "Cannot add the location \"extra\": the mission already has 101 locations.");
  EXPECT_FALSE(doc.AddArea("extra", "", "", 0, ""));
  EXPECT_EQ(doc.AddForce("extra", "").message,
            "Cannot add the force \"extra\": the mission already has 101 forces.");
  EXPECT_FALSE(doc.AddOutcome("", "", "", "failure", ""));
  EXPECT_EQ(doc.location_count() + doc.area_count() + doc.force_count() + doc.outcome_count(), 4 * 101);
  EXPECT_EQ(doc.tree().node_count(), nodes) << "a refused add leaves the tree alone";
  EXPECT_EQ(doc.location(100).loc_name, "loc100");
}

TEST(MissionDocument, TeamsAndActorsHoldTwentyOneEach) {
  MissionDocument doc;
  ASSERT_TRUE(doc.AddForce("Blue", ""));
  for (int t = 0; t < kMaxTeams; ++t)
    ASSERT_TRUE(doc.AddTeam(0, "team", "", ""));
  EXPECT_EQ(doc.AddTeam(0, "extra", "", "").message,
            "Cannot add the team \"extra\": the force \"Blue\" already has 21 teams.");
  for (int a = 0; a < kMaxActors; ++a)
    ASSERT_TRUE(doc.AddActor(0, 20, Actor(Numbered("a", a))));
  EXPECT_EQ(doc.AddActor(0, 20, Actor("extra")).message,
            "Cannot add the actor \"extra\": the team \"team\" already has 21 actors.");

  ASSERT_TRUE(doc.DeleteActor(0, 20, 20));  // the last actor of a full team
  EXPECT_EQ(doc.actor_count(0, 20), 20);
  EXPECT_EQ(doc.actor(0, 20, 19).npc_name, "a19");
  ASSERT_TRUE(doc.CopyActor(0, 20, 0));
  ASSERT_TRUE(doc.PasteActor(0, 20));
  EXPECT_FALSE(doc.PasteActor(0, 20)) << "the team is full again";
  ASSERT_TRUE(doc.CopyTeam(0, 20));
  EXPECT_FALSE(doc.PasteTeam(0)) << "the force is full";
  EXPECT_EQ(doc.team_count(0), 21);
}

TEST(MissionDocument, BadIndicesAreRefusedWithoutChange) {
  MissionDocument doc;
  ASSERT_TRUE(doc.AddLocation("gate", "", 0, 0, 0));
  ASSERT_TRUE(doc.AddForce("Blue", ""));
  ASSERT_TRUE(doc.AddTeam(0, "Alpha", "", ""));
  EXPECT_EQ(doc.DeleteLocation(1).message, "There is no location 1.");
  EXPECT_FALSE(doc.DeleteLocation(-1));
  EXPECT_FALSE(doc.DeleteArea(0));
  EXPECT_FALSE(doc.DeleteForce(1));
  EXPECT_EQ(doc.DeleteTeam(0, 1).message, "There is no team 1 in force 0.");
  EXPECT_EQ(doc.DeleteActor(0, 0, 0).message, "There is no actor 0 in team 0 of force 0.");
  EXPECT_EQ(doc.AddTeam(5, "x", "", "").message, "Cannot add the team \"x\": there is no force 5.");
  EXPECT_EQ(doc.AddActor(0, -1, Actor("x")).message,
            "Cannot add the actor \"x\": there is no team -1 in force 0.");
  EXPECT_FALSE(doc.CopyActor(0, 0, 0));
  EXPECT_FALSE(doc.CutTeam(0, 3));
  EXPECT_EQ(doc.PasteActor(0, 0).message, "There is no actor on the clipboard.");
  EXPECT_EQ(doc.PasteTeam(0).message, "There is no team on the clipboard.");
  EXPECT_EQ(doc.team_count(7), 0);
  EXPECT_EQ(doc.actor_count(0, 9), 0);
  EXPECT_EQ(doc.tree().node_count(), 8);
}

TEST(MissionDocument, DeletingMovesLaterRecordsDown) {
  MissionDocument doc;
  ASSERT_TRUE(doc.AddLocation("a", "first", -64, 0, 128));
  ASSERT_TRUE(doc.AddLocation("b", "second", 1, 2, 3));
  ASSERT_TRUE(doc.AddLocation("c", "third", 4, 5, 6));
  ASSERT_TRUE(doc.DeleteLocation(0));
  EXPECT_EQ(doc.location_count(), 2);
  EXPECT_EQ(doc.location(0).loc_desc, "second");
  EXPECT_EQ(doc.location(1).loc_z, 6);

  ASSERT_TRUE(doc.AddArea("x", "", "a?", 1, "open?"));
  ASSERT_TRUE(doc.AddArea("y", "", "b?", 2, "roof?"));
  ASSERT_TRUE(doc.DeleteArea(1));
  EXPECT_EQ(doc.area_count(), 1);
  EXPECT_EQ(doc.area(0).area_locations, "a?") << "name references are not followed";

  for (const char* name : {"Red", "Green", "Blue"}) {
    ASSERT_TRUE(doc.AddForce(name, ""));
    const int f = doc.force_count() - 1;
    ASSERT_TRUE(doc.AddTeam(f, std::string(name) + " team", "", "plan"));
    ASSERT_TRUE(doc.AddActor(f, 0, Actor(std::string(name) + " actor")));
  }
  ASSERT_TRUE(doc.DeleteForce(0));
  EXPECT_EQ(doc.force(0).force_name, "Green");
  EXPECT_EQ(doc.team(0, 0).team_name, "Green team");
  EXPECT_EQ(ActorNames(doc, 1, 0), (std::vector<std::string>{"Blue actor"}));
  EXPECT_EQ(doc.tree().node(doc.tree().ForceNode(1)).binding, 1);
  ASSERT_TRUE(doc.AddForce("Again", ""));
  EXPECT_EQ(doc.team_count(2), 0) << "a reused slot starts without teams";
}

TEST(MissionDocument, CutAndPasteMovesAnActorAndTheClipboardIsACopy) {
  MissionDocument doc;
  ASSERT_TRUE(doc.AddForce("Blue", ""));
  ASSERT_TRUE(doc.AddTeam(0, "Alpha", "", ""));
  ASSERT_TRUE(doc.AddTeam(0, "Bravo", "", ""));
  ActorRecord sniper = Actor("sniper");
  sniper.npc_skill = 0.5f;
  sniper.npc_player = true;
  sniper.weapon[5] = true;
  sniper.ammo = {10, 20, 30, 40, 50};
  sniper.item[2] = true;
  ASSERT_TRUE(doc.AddActor(0, 0, Actor("lead")));
  ASSERT_TRUE(doc.AddActor(0, 0, sniper));
  ASSERT_TRUE(doc.AddActor(0, 1, Actor("other")));

  ASSERT_TRUE(doc.CutActor(0, 0, 1));
  ASSERT_TRUE(doc.PasteActor(0, 1));
  EXPECT_EQ(ActorNames(doc, 0, 0), (std::vector<std::string>{"lead"}));
  EXPECT_EQ(ActorNames(doc, 0, 1), (std::vector<std::string>{"other", "sniper"}));
  EXPECT_EQ(doc.actor(0, 1, 1), sniper);
  EXPECT_EQ(doc.tree().node(doc.tree().ActorNode(0, 1, 1)).text, "sniper");

  ASSERT_TRUE(doc.SetField(RecordRef::Actor(0, 1, 1), Field::kNpcName, std::string("renamed")));
  ASSERT_TRUE(doc.PasteActor(0, 0));
  EXPECT_EQ(doc.actor(0, 0, 1), sniper);
  ASSERT_TRUE(doc.SetField(RecordRef::Actor(0, 0, 1), Field::kAmmo, Integer{99}, 0));
  EXPECT_EQ(doc.actor_clipboard().ammo[0], 10);
}

TEST(MissionDocument, PastingATeamCopiesItAndItsActorsInOrder) {
  MissionDocument doc;
  ASSERT_TRUE(doc.AddForce("Blue", ""));
  ASSERT_TRUE(doc.AddForce("Red", ""));
  ASSERT_TRUE(doc.AddTeam(0, "Alpha", "the first", "move gate\r\nwait 5"));
  for (const char* name : {"one", "two", "three"})
    ASSERT_TRUE(doc.AddActor(0, 0, Actor(name)));
  ASSERT_TRUE(doc.AddTeam(1, "Other", "", ""));

  ASSERT_TRUE(doc.CopyActor(0, 0, 1));
  ASSERT_TRUE(doc.CopyTeam(0, 0));
  EXPECT_FALSE(doc.actor_on_clipboard()) << "at most one clipboard flag is set";
  ASSERT_TRUE(doc.CopyActor(0, 0, 1));
  EXPECT_FALSE(doc.team_on_clipboard());
  ASSERT_TRUE(doc.CopyTeam(0, 0));
  const TeamRecord copied = doc.team(0, 0);
  ASSERT_TRUE(doc.SetField(RecordRef::Team(0, 0), Field::kPlan, std::string("changed later")));
  ASSERT_TRUE(doc.SetField(RecordRef::Actor(0, 0, 0), Field::kNpcName, std::string("changed")));
  ASSERT_TRUE(doc.PasteTeam(1));
  ASSERT_TRUE(doc.PasteTeam(1));
  ASSERT_EQ(doc.team_count(1), 3);
  for (int t = 1; t <= 2; ++t)
    EXPECT_TRUE(doc.team(1, t) == copied) << "team " << t;
  ASSERT_TRUE(doc.SetField(RecordRef::Actor(1, 1, 0), Field::kNpcName, std::string("independent")));
  EXPECT_EQ(doc.actor(1, 2, 0).npc_name, "one");

  const ProjectTree& tree = doc.tree();
  const NodeId pasted = tree.TeamNode(1, 2);
  EXPECT_EQ(tree.node(pasted).binding, 2);
  EXPECT_EQ(tree.node(pasted).text, "Alpha");
  EXPECT_EQ(tree.node(tree.ActorNode(1, 2, 2)).text, "three");
  EXPECT_EQ(tree.NodeIndex(tree.ActorNode(1, 2, 0)), tree.NodeIndex(pasted) + 1);

  ASSERT_TRUE(doc.CutTeam(1, 0));
  EXPECT_EQ(doc.team_count(1), 2);
  ASSERT_TRUE(doc.PasteTeam(0));
  EXPECT_EQ(doc.team(0, 1).team_name, "Other");
  EXPECT_EQ(doc.actor_count(0, 1), 0);
}

TEST(MissionDocument, ClearingRemovesOneKindOnly) {
  MissionDocument doc;
  ASSERT_TRUE(doc.AddLocation("gate", "", 0, 0, 0));
  ASSERT_TRUE(doc.AddForce("Blue", ""));
  ASSERT_TRUE(doc.AddTeam(0, "Alpha", "", ""));
  ASSERT_TRUE(doc.AddActor(0, 0, Actor("one")));
  ASSERT_TRUE(doc.AddLocation("tower", "", 0, 0, 0));
  ASSERT_TRUE(doc.AddForce("Red", ""));
  ASSERT_TRUE(doc.AddTeam(1, "Bravo", "", ""));
  ASSERT_TRUE(doc.AddTeam(0, "Late", "", ""));  // created after Red, still under Blue
  ASSERT_TRUE(doc.AddOutcome("", "", "", "success", ""));
  ASSERT_TRUE(doc.AddArea("yard", "", "", 0, ""));

  std::vector<DocumentChange> changes;
  auto connection = doc.changes().Connect([&](DocumentChange c) { changes.push_back(c); });
  doc.ClearForces();
  EXPECT_EQ(doc.force_count(), 0);
  EXPECT_EQ(doc.location_count(), 2);
  EXPECT_EQ(doc.tree().node_count(), 5 + 2 + 1 + 1);
  ASSERT_FALSE(changes.empty());
  EXPECT_EQ(changes.back(), DocumentChange::kForces);

  doc.ClearLocations();
  doc.ClearOutcomes();
  EXPECT_EQ(doc.area_count(), 1);
  EXPECT_EQ(doc.tree().node(doc.tree().NodeAt(6)).text, "yard");
  doc.ClearAreas();
  doc.ClearAreas();  // clearing an empty kind is harmless
  EXPECT_EQ(doc.tree().node_count(), 5);
}

TEST(MissionDocument, MakingANodeCurrentSetsTheEditingState) {
  MissionDocument doc;
  ASSERT_TRUE(doc.AddLocation("a", "", 0, 0, 0));
  ASSERT_TRUE(doc.AddLocation("b", "", 0, 0, 0));
  ASSERT_TRUE(doc.AddForce("Blue", ""));
  ASSERT_TRUE(doc.AddForce("Red", ""));
  ASSERT_TRUE(doc.AddTeam(1, "Alpha", "", ""));
  ASSERT_TRUE(doc.AddActor(1, 0, Actor("one")));
  const ProjectTree& tree = doc.tree();

  EXPECT_EQ(doc.MakeCurrent(tree.LocationNode(1)).index, 1);
  EXPECT_EQ(doc.editing.current_location, 1);
  const NodeAddress actor = doc.MakeCurrent(tree.ActorNode(1, 0, 0));
  EXPECT_EQ(doc.editing.current_force, 1);
  EXPECT_EQ(actor.team, 0);
  EXPECT_EQ(actor.index, 0);
  EXPECT_EQ(tree.selected(), tree.ActorNode(1, 0, 0));
  doc.MakeCurrent(tree.category(Section::kLocations));  // a category node changes no index
  EXPECT_EQ(doc.editing.current_location, 1);
  EXPECT_EQ(doc.editing.current_area, -1);
}

}  // namespace
}  // namespace vyr::editor
