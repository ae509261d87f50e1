// Scripts the parser accepts, and the model they build.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "test_scripts.h"

namespace vyr::parser {
namespace {

using testing::Outcome;
using testing::Parse;
using testing::PlanScript;
using testing::Script;

std::string Str(Text t) {
  return t.str();
}

TEST(Parser, SmallestScriptBuildsTheModel) {
  ParsedMission m;
  const Outcome out = Parse(testing::kSmallest, m);
  ASSERT_EQ(out.result, ParseResult::kSuccess) << out.errors;
  EXPECT_EQ(out.errors, "");
  EXPECT_EQ(Str(m.mission_name), "m");
  EXPECT_EQ(Str(m.author), "a");
  EXPECT_EQ(Str(m.description), "d");
  EXPECT_EQ(Str(m.map_name), "city");
  EXPECT_TRUE(m.annotation.is_null());
  EXPECT_EQ(m.map_styles, 0u);
  ASSERT_EQ(m.rules.size(), 1u);
  EXPECT_EQ(m.rules[0].rule_bit, kRuleRespawn);
  EXPECT_EQ(m.rules[0].value, kRespawnNone);
  ASSERT_EQ(m.LocationCount(), 2u);
  EXPECT_EQ(Str(m.LocationAt(1)->name), "l2");
  EXPECT_EQ(m.LocationAt(1)->x, 100.0f);
  ASSERT_EQ(m.forces.size(), 1u);
  ASSERT_EQ(m.all_teams.size(), 1u);
  ASSERT_EQ(m.ActorCount(), 1u);
  const MissionActor& bob = *m.ActorAt(0);
  EXPECT_EQ(bob.type, kActorNpc);
  EXPECT_EQ(Str(bob.name), "bob");
  EXPECT_EQ(Str(bob.model_and_skin), "terror/terror");
  EXPECT_EQ(bob.skill, 3.0f);
  ASSERT_EQ(bob.weapons.size(), 1u);
  EXPECT_EQ(Str(bob.weapons[0]), "Handcannon");
  const auto& plan = m.all_teams[0]->plan.instructions;
  ASSERT_EQ(plan.size(), 1u);
  EXPECT_EQ(plan[0].kind, InstructionKind::kAdvance);
  EXPECT_EQ(Str(plan[0].first), "alpha");
  EXPECT_EQ(Str(plan[0].second), "l2");
  EXPECT_EQ(Str(plan[0].third), "walk");
  EXPECT_EQ(m.current_statement_list(), nullptr);
}

}  // namespace
}  // namespace vyr::parser
