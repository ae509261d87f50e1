// The model's operations on their own, as the parser and the automation layer call them.
#include "vyrparser/core/parsed_mission.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

#include "vyrparser/core/name_index.h"

namespace vyr::parser {
namespace {

std::string S(Text t) {
  return t.str();
}

TEST(ParsedMission, StartsEmptyAndTheSingleInstanceIsObtainedAndClosed) {
  ParsedMission::Close();
  EXPECT_EQ(ParsedMission::Current(), nullptr);
  ParsedMission& m = ParsedMission::Obtain();
  EXPECT_EQ(&ParsedMission::Obtain(), &m);
  EXPECT_TRUE(m.mission_name.is_null());
  EXPECT_TRUE(m.author.is_null());
  EXPECT_TRUE(m.description.is_null());
  EXPECT_TRUE(m.map_name.is_null());
  EXPECT_TRUE(m.annotation.is_null());
  EXPECT_EQ(m.map_styles, 0u);
  EXPECT_EQ(m.LocationCount() + m.AreaCount() + m.ObjectiveCount() + m.ActorCount(), 0u);
  EXPECT_TRUE(m.forces.empty() && m.all_teams.empty() && m.rules.empty());
  EXPECT_EQ(m.LocationAt(0), nullptr);
  EXPECT_EQ(m.ActorAt(0), nullptr);

  m.SetMissionName("first");
  m.AddForce("f");
  ParsedMission::Close();
  EXPECT_EQ(ParsedMission::Current(), nullptr);
  EXPECT_TRUE(ParsedMission::Obtain().mission_name.is_null());
  EXPECT_TRUE(ParsedMission::Obtain().forces.empty());
  ParsedMission::Close();
}

TEST(ParsedMission, TextsAreNullOrHoldTheirBytes) {
  ParsedMission m;
  const Text empty = m.MakeText("");
  EXPECT_FALSE(empty.is_null());
  EXPECT_TRUE(Text().is_null());
  EXPECT_FALSE(SameText(empty, Text()));
  EXPECT_TRUE(SameText(Text(), Text()));
  EXPECT_STREQ(Text().c_str(), "");
  const std::string big(100000, 'x');
  const Text long_text = m.MakeText(big);
  const Text after = m.MakeText("after");
  EXPECT_EQ(long_text.view(), big);
  EXPECT_EQ(S(after), "after");
  EXPECT_STREQ(after.c_str(), "after");
  m.SetAuthor("one");
  m.SetAuthor("two");
  EXPECT_EQ(S(m.author), "two");
  m.AppendAnnotation("a");
  m.AppendAnnotation("\n");
  m.AppendAnnotation("b");
  EXPECT_EQ(S(m.annotation), "a\nb");
}

TEST(ParsedMission, LocationsKeepTheirOrderAndLookupFindsTheFirst) {
  ParsedMission m;
  for (int i = 0; i < 1000; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "l%d", i % 300);
    m.AddLocation(name, float(i), 0, 0);
  }
  ASSERT_EQ(m.LocationCount(), 1000u);
  for (int i = 0; i < 1000; ++i)
    EXPECT_EQ(m.LocationAt(i)->x, float(i));
  EXPECT_EQ(m.FindLocation("l7")->x, 7.0f);
  EXPECT_EQ(m.FindLocation("l299")->x, 299.0f);
  EXPECT_EQ(m.FindLocation("L7"), nullptr);
  EXPECT_FALSE(m.HasLocation("l300"));
}

TEST(ParsedMission, RulesAreasAndEquipmentFollowTheCurrentRecord) {
  ParsedMission m;
  m.AddRule("ReSpawn", kRespawnIndividual);
  m.AddRule("gravity", 1);
  ASSERT_EQ(m.rules.size(), 1u);
  EXPECT_EQ(m.rules[0].rule_bit, 1u);
  EXPECT_EQ(m.rules[0].value, kRespawnIndividual);

  // Without an area, force, team or actor these change nothing.
  m.AddAreaStyle(kAreaStyleRoof);
  m.SetAreaRadius(5);
  m.AddLocation("a", 0, 0, 0);
  m.AddAreaName(AreaList::kLocations, "a");
  EXPECT_EQ(m.AddTeam("t"), nullptr);
  EXPECT_EQ(m.AddActor(kActorNpc, "n", "m"), nullptr);
  m.AddWeapon("w");
  m.SetSkill(3);
  EXPECT_TRUE(m.all_teams.empty());

  m.AddArea("x");
  m.AddAreaStyle(kAreaStyleOpen);
  m.AddAreaStyle(kAreaStyleRoof);
  m.AddAreaName(AreaList::kWindows, "a");
  m.AddAreaName(AreaList::kExits, "undeclared");
  m.SetAreaRadius(-3);
  const MissionArea& x = *m.FindArea("x");
  EXPECT_EQ(x.styles, kAreaStyleOpen | kAreaStyleRoof);
  ASSERT_EQ(x.windows.size(), 1u);
  EXPECT_TRUE(x.exits.empty() && x.locations.empty());
  EXPECT_EQ(x.radius, -3);

  m.AddForce("f");
  m.AddTeam("t");
  MissionActor* actor = m.AddActor(kActorPlayer, "p", "q/r");
  ASSERT_NE(actor, nullptr);
  EXPECT_EQ(actor->skill, 0.0f);  // nothing sets it without a skill clause
  m.SetSkill(5.5f);
  EXPECT_EQ(actor->skill, 5.0f);
  m.SetSkill(-1);
  EXPECT_EQ(actor->skill, 1.0f);
  m.SetSkill(4.25f);
  EXPECT_EQ(actor->skill, 4.25f);
  m.AddAmmunition("M4 Clip", -2);
  EXPECT_EQ(actor->ammunition[0].count, -2);
}

TEST(ParsedMission, ConditionTreesGrowAtTheCursor) {
  ParsedMission m;
  MissionObjective* o = m.AddObjective(kObjectiveSuccess, "t", "m");
  EXPECT_EQ(m.current_condition(), nullptr);
  // ( eliminated("a") && !( timeout(5) ) )
  m.OpenCompound();
  ConditionNode* root = m.current_condition();
  m.AddConditionLeaf(kConditionEliminated, "a");
  EXPECT_EQ(o->condition, root);
  m.SetOperator(kConditionAnd);
  m.OpenCompound();
  ConditionNode* negation = m.current_condition();
  EXPECT_EQ(negation->parent, root);
  EXPECT_EQ(root->second, negation);
  m.AddTimeoutLeaf(5);
  EXPECT_EQ(o->condition, negation);  // the objective follows the cursor until the tree is closed
  m.SetOperator(kConditionNot);
  m.CloseCompound();
  EXPECT_EQ(m.current_condition(), root);
  m.CloseCompound();
  EXPECT_EQ(m.current_condition(), nullptr);
  EXPECT_EQ(o->condition, root);
  EXPECT_EQ(root->kind, kConditionAnd);
  EXPECT_EQ(root->first->kind, kConditionEliminated);
  EXPECT_EQ(negation->first->value, 5);

  // A lone leaf is the whole condition; a new objective clears the cursor.
  MissionObjective* p = m.AddObjective(kObjectiveFailure, "t", "m");
  m.AddConditionLeaf(kConditionOccupied, "area");
  EXPECT_EQ(p->condition->kind, kConditionOccupied);
  m.AddObjective(kObjectiveFailure, "t", "m");
  EXPECT_EQ(m.current_condition(), nullptr);

  // An unfinished tree is dropped.
  MissionObjective* q = m.AddObjective(kObjectiveFailure, "t", "m");
  m.OpenCompound();
  m.AddConditionLeaf(kConditionAlive, "x");
  m.AbandonCondition();
  EXPECT_EQ(q->condition, nullptr);
  EXPECT_EQ(m.current_condition(), nullptr);
  m.AddNextMission("next");
  EXPECT_EQ(q->next_missions.size(), 1u);
}

TEST(ParsedMission, PlansNestedListsAndPatrols) {
  ParsedMission m;
  m.AddForce("f");
  m.AddTeam("alpha");
  m.AddForce("g");
  MissionTeam* second = m.AddTeam("Alpha");
  EXPECT_EQ(m.AppendInstruction(InstructionKind::kJoin, m.MakeText("x")), nullptr);  // no current list
  m.BeginPlan("ALPHA");
  MissionTeam* first = m.all_teams[0];
  EXPECT_EQ(m.current_statement_list(), &first->plan);
  const Text owner = m.MakeText("ALPHA");
  m.AppendWait(kWaitForever);
  m.AppendOn(owner, kEventContact | kEventCode, m.MakeText("c"));
  m.PushStatementList();
  EXPECT_EQ(m.list_stack_depth(), 1u);
  m.AppendInstruction(InstructionKind::kAttack, owner, m.MakeText("l"));
  m.AddPendingPatrolArea(m.MakeText("a1"));
  m.AddPendingPatrolArea(m.MakeText("a2"));
  m.AppendPatrol(owner);
  EXPECT_TRUE(m.pending_patrol_areas().empty());
  m.AppendPatrol(owner);
  m.PopStatementList();
  m.EndPlan();
  EXPECT_EQ(m.current_statement_list(), nullptr);

  const auto& plan = first->plan.instructions;
  ASSERT_EQ(plan.size(), 2u);
  EXPECT_TRUE(plan[0].first.is_null());
  EXPECT_EQ(plan[0].value, 100000.0f);
  EXPECT_EQ(plan[1].events, kEventContact | kEventCode);
  EXPECT_EQ(S(plan[1].second), "c");
  ASSERT_NE(plan[1].body, nullptr);
  const auto& body = plan[1].body->instructions;
  ASSERT_EQ(body.size(), 3u);
  ASSERT_NE(body[1].patrol_areas, nullptr);
  EXPECT_EQ(body[1].patrol_areas->size(), 2u);
  EXPECT_EQ(body[2].patrol_areas, nullptr);
  EXPECT_TRUE(second->plan.instructions.empty());

  // A plan for a team that does not exist has no list to append to.
  m.BeginPlan("nobody");
  EXPECT_EQ(m.AppendWait(1), nullptr);
  EXPECT_STREQ(InstructionName(InstructionKind::kTakeCover), "take cover");
  EXPECT_STREQ(InstructionName(InstructionKind::kWaitUntilCode), "wait until code");
  EXPECT_STREQ(InstructionName(static_cast<InstructionKind>(27)), "");
}

TEST(ParsedMission, RenameActorChangesConditionsExactlyAndLookups) {
  ParsedMission m;
  m.AddForce("f");
  m.AddTeam("t");
  MissionActor* bob = m.AddActor(kActorNpc, "bob", "m");
  MissionObjective* o = m.AddObjective(kObjectiveSuccess, "t", "x");
  m.OpenCompound();
  m.AddConditionLeaf(kConditionEliminated, "bob");
  m.SetOperator(kConditionOr);
  m.OpenCompound();
  m.AddConditionLeaf(kConditionAlive, "Bob");
  m.SetOperator(kConditionNot);
  m.CloseCompound();
  m.CloseCompound();
  m.AddObjective(kObjectiveFailure, "t", "y");  // left without a condition
  MissionObjective* q = m.AddObjective(kObjectiveFailure, "t", "z");
  m.AddConditionLeaf(kConditionAlive, "bob");

  EXPECT_EQ(m.FindActor("bob"), bob);
  m.RenameActor(bob, "rob");
  EXPECT_EQ(S(bob->name), "rob");
  EXPECT_EQ(S(o->condition->first->name), "rob");
  EXPECT_EQ(S(o->condition->second->first->name), "Bob");
  EXPECT_EQ(S(q->condition->name), "rob");
  EXPECT_EQ(m.FindActor("bob"), nullptr);
  EXPECT_EQ(m.FindActor("rob"), bob);

  const auto [force, team] = m.ForceAndTeamOf(bob);
  EXPECT_EQ(S(force), "f");
  EXPECT_EQ(S(team), "t");
  MissionActor stranger;
  const auto [no_force, no_team] = m.ForceAndTeamOf(&stranger);
  EXPECT_TRUE(no_force.is_null());
  EXPECT_TRUE(no_team.is_null());
}

// The index answers what a front-to-back scan answers: the first name equal exactly, or equal
// ignoring the case of A-Z only (bytes of 0x80 and above are compared as they are).
TEST(NameIndex, AnswersTheFirstMatchLikeAScan) {
  TextPool pool;
  std::vector<Text> names;
  const std::string letters = "aAzZ@[`{_.0\xc9\xe9";
  std::mt19937 random(11);
  for (int i = 0; i < 3000; ++i) {
    std::string name;
    const std::size_t length = random() % 20;
    for (std::size_t j = 0; j < length; ++j)
      name += letters[random() % letters.size()];
    names.push_back(pool.Make(name));
  }
  auto fold = [](std::string s) {
    for (char& c : s)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return s;
  };
  for (const bool ignore_case : {false, true}) {
    NameIndex index(ignore_case);
    for (std::size_t i = 0; i < names.size(); ++i)
      index.Insert(names[i], static_cast<std::uint32_t>(i));
    for (const Text probe : names) {
      std::uint32_t expected = NameIndex::kNotFound;
      for (std::size_t i = 0; i < names.size() && expected == NameIndex::kNotFound; ++i) {
        const bool same =
            ignore_case ? fold(names[i].str()) == fold(probe.str()) : names[i].view() == probe.view();
        if (same) expected = static_cast<std::uint32_t>(i);
      }
      ASSERT_EQ(index.Find(probe.view()), expected) << ignore_case << " " << probe.str();
    }
    EXPECT_EQ(index.Find("not there at all"), NameIndex::kNotFound);
  }
  NameIndex folded(true);
  folded.Insert(pool.Make("\xc9quipe"), 0);
  EXPECT_EQ(folded.Find("\xe9QUIPE"), NameIndex::kNotFound);  // only A-Z fold
  EXPECT_EQ(folded.Find("\xc9QUIPE"), 0u);
}

}  // namespace
}  // namespace vyr::parser
