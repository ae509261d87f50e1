#include "editor/prefabs/prefab_drop.h"

#include <gtest/gtest.h>

#include "tests/editor_test_support.h"

namespace vyr::editor {
namespace {

using namespace vyr::editor::testing;

// The golden library: actors "Jos\xE9" and "Sniper", teams "Alpha" (two actors) and "Ghost".
class PrefabDrop : public ::testing::Test {
 protected:
  void SetUp() override {
    Spit(folder_ / "prefab_teams.dat", TestData("prefabs/teams.dat"));
    Spit(folder_ / "prefab_actors.dat", TestData("prefabs/actors.dat"));
    ASSERT_TRUE(library_.Load());
  }

  ScratchFolder folder_;
  PrefabLibrary library_{folder_.str()};
};

TEST_F(PrefabDrop, EachKindJoinsOnlyTheNodeThatCanTakeIt) {
  MissionDocument doc;
  BuildWarehouse(doc);
  const NodeId force = doc.tree().ForceNode(0);
  const NodeId team = doc.tree().TeamNode(0, 0);
  const PrefabDrag actor{PrefabMode::kActors, 0, 1};
  const PrefabDrag squad{PrefabMode::kTeams, 0, 0};

  EXPECT_FALSE(CanTakePrefab(doc, force, actor));
  EXPECT_TRUE(DropPrefab(doc, library_, force, actor).cancelled);
  EXPECT_TRUE(DropPrefab(doc, library_, team, squad).cancelled);
  EXPECT_TRUE(
      DropPrefab(doc, library_, team, PrefabDrag{PrefabMode::kActors, 0, 2}).cancelled);  // no such prefab
  EXPECT_EQ(doc.team_count(0), 1);
  EXPECT_EQ(doc.actor_count(0, 0), 2);

  ASSERT_TRUE(DropPrefab(doc, library_, team, actor));
  EXPECT_EQ(doc.actor(0, 0, 2), library_.actors().member(0, 1));
  EXPECT_EQ(doc.tree().selected(), team);
  ASSERT_TRUE(DropPrefab(doc, library_, force, squad));
  ASSERT_EQ(doc.team_count(0), 2);
  EXPECT_EQ(doc.team(0, 1).team_name, "Alpha");
  EXPECT_EQ(doc.actor_count(0, 1), 2);
  EXPECT_EQ(doc.tree().node(doc.tree().ActorNode(0, 1, 1)).text, "Bot");
  EXPECT_EQ(doc.tree().selected(), force);
}

TEST_F(PrefabDrop, AFullTeamOrForceRefusesTheDropWithAMessage) {
  MissionDocument doc;
  ASSERT_TRUE(doc.AddForce("F", ""));
  for (int t = 0; t < kMaxTeams; ++t)
    ASSERT_TRUE(doc.AddTeam(0, Numbered("T", t), "", ""));
  for (int a = 0; a < kMaxActors; ++a)
    ASSERT_TRUE(doc.AddActor(0, 0, ActorRecord{}));
  const Status team_full =
      DropPrefab(doc, library_, doc.tree().TeamNode(0, 0), PrefabDrag{PrefabMode::kActors, 0, 0});
  EXPECT_EQ(team_full.message, "Cannot add the actor \"Jos\xE9\": the team \"T0\" already has 21 actors.");
  const Status force_full =
      DropPrefab(doc, library_, doc.tree().ForceNode(0), PrefabDrag{PrefabMode::kTeams, 0, 1});
  EXPECT_EQ(force_full.message, "Cannot add the team \"Ghost\": the force \"F\" already has 21 teams.");
  EXPECT_EQ(doc.team_count(0), kMaxTeams);
}

}  // namespace
}  // namespace vyr::editor
