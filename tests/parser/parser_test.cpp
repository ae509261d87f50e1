// Scripts the parser accepts, and the model they build.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "test_scripts.h"
#include "vyrparser/core/script_parser.h"

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

namespace vyr::parser {
namespace {

using testing::Outcome;
using testing::Parse;
using testing::PlanScript;
using testing::Script;

std::string S(Text t) {
  return t.str();
}

std::vector<std::string> Names(const std::vector<Text>& texts) {
  std::vector<std::string> out;
  for (Text t : texts)
    out.push_back(t.str());
  return out;
}

void ExpectAccepted(std::string_view text) {
  ParsedMission m;
  const Outcome out = Parse(text, m);
  EXPECT_EQ(out.result, ParseResult::kSuccess) << text << "\n" << out.errors;
  EXPECT_EQ(out.errors, "");
}

void ExpectRejected(std::string_view text) {
  ParsedMission m;
  const Outcome out = Parse(text, m);
  EXPECT_EQ(out.result, ParseResult::kParseProblem) << text;
  EXPECT_NE(out.errors, "");
}

TEST(Parser, CarriageReturnsBeforeLineFeedsAreDropped) {
  std::string crlf;
  for (char c : PlanScript("wait 5;\njoin")) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  ParsedMission m;
  const Outcome out = Parse(crlf, m);
  ASSERT_EQ(out.result, ParseResult::kSuccess) << out.errors;
  EXPECT_EQ(m.all_teams[0]->plan.instructions.size(), 2u);
}

TEST(Parser, MapSectionFillsLocationsAreasStylesAndAnnotation) {
  ParsedMission m;
  const Outcome out =
      Parse(Script("    style = dark, indoor, dark;\n"
                   "    annotation = \"first line\n\" \"second, (part)\";\n"
                   "    location a.b = <1, -2, 3>; location far = <70000, -32769, 32767>;\n"
                   "    location a.b = <9, 9, 9>;\n"
                   "    area x { style = closed; locations = a.b, far; entrances = far; exits = a.b, a.b;\n"
                   "             windows = far radius = 70000 };\n"
                   "    area y { style = roof; locations = far; windows = a.b; }"),
            m);
  ASSERT_EQ(out.result, ParseResult::kSuccess) << out.errors;
  EXPECT_EQ(m.map_styles, kMapStyleDark | kMapStyleIndoor);
  EXPECT_EQ(S(m.annotation), "first line\nsecond, (part)");
  ASSERT_EQ(m.LocationCount(), 3u);
  EXPECT_EQ(S(m.LocationAt(0)->name), "a.b");
  EXPECT_EQ(m.LocationAt(0)->y, -2.0f);
  EXPECT_EQ(m.LocationAt(1)->x, 4464.0f);  // 16-bit wrap
  EXPECT_EQ(m.LocationAt(1)->y, 32767.0f);
  EXPECT_EQ(m.FindLocation("a.b")->x, 1.0f);  // the first of two with the same name
  ASSERT_EQ(m.AreaCount(), 2u);
  const MissionArea& x = *m.AreaAt(0);
  EXPECT_EQ(x.styles, kAreaStyleClosed);
  EXPECT_EQ(Names(x.locations), (std::vector<std::string>{"a.b", "far"}));
  EXPECT_EQ(Names(x.entrances), (std::vector<std::string>{"far"}));
  EXPECT_EQ(Names(x.exits), (std::vector<std::string>{"a.b", "a.b"}));
  EXPECT_EQ(Names(x.windows), (std::vector<std::string>{"far"}));
  EXPECT_EQ(x.radius, 4464);
  EXPECT_EQ(m.AreaAt(1)->radius, 0);
  EXPECT_EQ(m.AreaAt(1)->styles, kAreaStyleRoof);
}

TEST(Parser, ForcesTeamsActorsAndEquipment) {
  ParsedMission m;
  const std::string text =
      "mission \"m\" { author \"a\"; description \"Go in.\\nKill all.\"; rules { respawn = team; respawn = "
      "individual };\n"
      "map \"c\" { };\n"
      "force \"red\" { team \"t1\" { npc \"n1\" \"m/s\" { weapon \"Handcannon\"; ammo \"M4 Clip\" = 70000;\n"
      "  item \"Kevlar Vest\"; weapon \"Handcannon\"; skill = 7; }; player \"p1\" \"q\" { };\n"
      "  player \"p2\" \"q\" { item \"Silencer\"; skill = 0.2 } }; team \"empty\" { }; };\n"
      "force \"blue\" { team \"t2\" { npc \"n2\" \"m\" { skill = 2.5; }; }; };\n"
      "objectives { }; ; }";
  const Outcome out = Parse(text, m);
  ASSERT_EQ(out.result, ParseResult::kSuccess) << out.errors;
  EXPECT_EQ(S(m.description), "Go in.\\nKill all.");
  ASSERT_EQ(m.rules.size(), 2u);
  EXPECT_EQ(m.rules[0].value, kRespawnTeam);
  EXPECT_EQ(m.rules[1].value, kRespawnIndividual);
  ASSERT_EQ(m.forces.size(), 2u);
  ASSERT_EQ(m.forces[0]->teams.size(), 2u);
  EXPECT_TRUE(m.forces[0]->teams[1]->members.empty());
  ASSERT_EQ(m.all_teams.size(), 3u);
  EXPECT_EQ(S(m.all_teams[2]->name), "t2");
  ASSERT_EQ(m.ActorCount(), 4u);
  const MissionActor& n1 = *m.ActorAt(0);
  EXPECT_EQ(Names(n1.weapons), (std::vector<std::string>{"Handcannon", "Handcannon"}));
  ASSERT_EQ(n1.ammunition.size(), 1u);
  EXPECT_EQ(S(n1.ammunition[0].name), "M4 Clip");
  EXPECT_EQ(n1.ammunition[0].count, 4464);
  EXPECT_EQ(Names(n1.items), (std::vector<std::string>{"Kevlar Vest"}));
  EXPECT_EQ(n1.skill, 5.0f);  // clamped
  EXPECT_EQ(m.ActorAt(1)->type, kActorPlayer);
  EXPECT_EQ(m.ActorAt(2)->skill, 1.0f);  // clamped
  EXPECT_EQ(m.ActorAt(3)->skill, 2.5f);
  EXPECT_EQ(S(m.ForceAndTeamOf(m.ActorAt(3)).first), "blue");
  EXPECT_EQ(S(m.ForceAndTeamOf(m.ActorAt(3)).second), "t2");
}

TEST(Parser, ObjectivesBuildConditionTrees) {
  ParsedMission m;
  const Outcome out = Parse(
      Script("    location l1 = <0, 0, 0>",
             "    failure(\"blue\", \"lost\") = ( timeout(300) || !( alive(\"bob\") ) ) -> { \"m2\" };\n"
             "    success(\"alpha\", \"won\") = ((eliminated(\"bravo\") && occupied(nowhere)) || "
             "alive(\"pat\"))\n"
             "        -> { \"m3\", \"m4\" };\n"
             "    success(\"bravo\", \"x\") = timeout(-5) -> { \"m5\" };"),
      m);
  ASSERT_EQ(out.result, ParseResult::kSuccess) << out.errors;
  ASSERT_EQ(m.ObjectiveCount(), 3u);

  const MissionObjective& lost = *m.ObjectiveAt(0);
  EXPECT_EQ(lost.type, kObjectiveFailure);
  EXPECT_EQ(S(lost.owner), "blue");
  EXPECT_EQ(S(lost.message), "lost");
  EXPECT_EQ(Names(lost.next_missions), (std::vector<std::string>{"m2"}));
  const ConditionNode* root = lost.condition;
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->kind, kConditionOr);
  EXPECT_EQ(root->parent, nullptr);
  ASSERT_NE(root->first, nullptr);
  EXPECT_EQ(root->first->kind, kConditionTimeout);
  EXPECT_EQ(root->first->value, 300);
  EXPECT_EQ(root->first->parent, root);
  const ConditionNode* negation = root->second;
  ASSERT_NE(negation, nullptr);
  EXPECT_EQ(negation->kind, kConditionNot);
  EXPECT_EQ(negation->second, nullptr);
  ASSERT_NE(negation->first, nullptr);
  EXPECT_EQ(negation->first->kind, kConditionAlive);
  EXPECT_EQ(S(negation->first->name), "bob");

  const ConditionNode* won = m.ObjectiveAt(1)->condition;
  ASSERT_NE(won, nullptr);
  EXPECT_EQ(won->kind, kConditionOr);
  EXPECT_EQ(won->first->kind, kConditionAnd);
  EXPECT_EQ(won->first->first->kind, kConditionEliminated);
  EXPECT_EQ(S(won->first->second->name), "nowhere");  // occupied is not checked
  EXPECT_EQ(won->second->kind, kConditionAlive);
  EXPECT_EQ(Names(m.ObjectiveAt(1)->next_missions), (std::vector<std::string>{"m3", "m4"}));

  const ConditionNode* leaf = m.ObjectiveAt(2)->condition;
  ASSERT_NE(leaf, nullptr);
  EXPECT_EQ(leaf->kind, kConditionTimeout);
  EXPECT_EQ(leaf->value, -5);
}

TEST(Parser, EveryStatementKindWithItsOperands) {
  ParsedMission m;
  const Outcome out =
      Parse(PlanScript(R"(wait 5; wait 2.5; wait forever; wait until ready; wait until assembled;
wait until code("go"); abort; advance towards l1 using "run"; assemble at l2 using "x"; attack towards l3;
continue with phase "p2"; defend towards l1 from l2; freeze towards l3 for 4; freeze towards l3 for 0.5;
insert at l1 using "i"; join; moveup to l2 using "m"; observe l3; patrol; patrol (a1, a2, a1); phase "p2";
pullback to l1 using "p"; radio "hello there"; signal towards l2; signal towards l2 "c1"; signal code "c2";
snipe from l1 towards l2; spawn; split "bravo" 3; spread towards l3 within 7; spread towards l3 within 1.25;
take cover from l2;)"),
            m);
  ASSERT_EQ(out.result, ParseResult::kSuccess) << out.errors;
  const auto& p = m.FindTeam("alpha")->plan.instructions;
  ASSERT_EQ(p.size(), 32u);
  using K = InstructionKind;
  const K kinds[] = {K::kWait,          K::kWait,     K::kWait,    K::kWaitUntilReady, K::kWaitUntilAssembled,
                     K::kWaitUntilCode, K::kAbort,    K::kAdvance, K::kAssemble,       K::kAttack,
                     K::kContinue,      K::kDefend,   K::kFreeze,  K::kFreeze,         K::kInsert,
                     K::kJoin,          K::kMoveup,   K::kObserve, K::kPatrol,         K::kPatrol,
                     K::kPhase,         K::kPullback, K::kRadio,   K::kSignalTowards,  K::kSignalTowards,
                     K::kSignalCode,    K::kSnipe,    K::kSpawn,   K::kSplit,          K::kSpread,
                     K::kSpread,        K::kTakeCover};
  for (std::size_t i = 0; i < std::size(kinds); ++i)
    EXPECT_EQ(p[i].kind, kinds[i]) << i;

  EXPECT_TRUE(p[0].first.is_null());  // a wait has no owner
  EXPECT_EQ(p[0].value, 5.0f);
  EXPECT_EQ(p[1].value, 2.5f);
  EXPECT_EQ(p[2].value, kWaitForever);
  EXPECT_EQ(S(p[3].first), "alpha");
  EXPECT_EQ(S(p[5].second), "go");
  EXPECT_EQ(S(p[7].second), "l1");
  EXPECT_EQ(S(p[7].third), "run");
  EXPECT_EQ(S(p[10].second), "p2");
  EXPECT_EQ(S(p[11].second), "l1");
  EXPECT_EQ(S(p[11].third), "l2");
  EXPECT_EQ(p[12].value, 4.0f);
  EXPECT_EQ(p[13].value, 0.5f);
  EXPECT_EQ(p[18].patrol_areas, nullptr);
  ASSERT_NE(p[19].patrol_areas, nullptr);
  EXPECT_EQ(Names(*p[19].patrol_areas), (std::vector<std::string>{"a1", "a2", "a1"}));
  EXPECT_EQ(S(p[20].first), "p2");  // a phase carries its name as the first string
  EXPECT_EQ(S(p[22].second), "hello there");
  EXPECT_TRUE(p[23].third.is_null());
  EXPECT_EQ(S(p[24].third), "c1");
  EXPECT_EQ(S(p[25].second), "c2");
  EXPECT_EQ(S(p[26].second), "l1");
  EXPECT_EQ(S(p[26].third), "l2");
  EXPECT_EQ(S(p[28].second), "bravo");
  EXPECT_EQ(p[28].value, 3.0f);
  EXPECT_EQ(p[30].value, 1.25f);
  EXPECT_EQ(S(p[31].second), "l2");
  for (const PlanInstruction& i : p)
    EXPECT_EQ(i.body, nullptr);
  EXPECT_TRUE(m.pending_patrol_areas().empty());
}

TEST(Parser, OnStatementsNestWithTheirEvents) {
  ParsedMission m;
  const Outcome out = Parse(PlanScript(R"(on (contact, code "x", casualty, contact) { wait 5; };
on (under fire) { on (code "a", code "b") { join }; attack towards l1 }; on (casualty) { };
spawn)"),
                            m);
  ASSERT_EQ(out.result, ParseResult::kSuccess) << out.errors;
  const auto& p = m.FindTeam("alpha")->plan.instructions;
  ASSERT_EQ(p.size(), 4u);
  EXPECT_EQ(p[0].kind, InstructionKind::kOn);
  EXPECT_EQ(p[0].events, 26u);
  EXPECT_EQ(S(p[0].second), "x");
  ASSERT_NE(p[0].body, nullptr);
  ASSERT_EQ(p[0].body->instructions.size(), 1u);
  EXPECT_EQ(p[0].body->instructions[0].kind, InstructionKind::kWait);

  EXPECT_EQ(p[1].events, kEventUnderFire);
  EXPECT_TRUE(p[1].second.is_null());
  ASSERT_NE(p[1].body, nullptr);
  const auto& outer = p[1].body->instructions;
  ASSERT_EQ(outer.size(), 2u);
  EXPECT_EQ(outer[0].events, kEventCode);
  EXPECT_EQ(S(outer[0].second), "b");  // the later code replaces the earlier
  ASSERT_NE(outer[0].body, nullptr);
  EXPECT_EQ(outer[0].body->instructions[0].kind, InstructionKind::kJoin);
  EXPECT_EQ(S(outer[0].body->instructions[0].first), "alpha");
  EXPECT_EQ(outer[1].kind, InstructionKind::kAttack);

  ASSERT_NE(p[2].body, nullptr);
  EXPECT_TRUE(p[2].body->instructions.empty());
  EXPECT_EQ(p[3].kind, InstructionKind::kSpawn);
  EXPECT_EQ(m.list_stack_depth(), 0u);
}

TEST(Parser, GrammarCornersThatAreAccepted) {
  // A ";" after the last element of every ";"-separated list.
  ExpectAccepted(Script("    location l1 = <0, 0, 0>;\n    area a { style = open; locations = l1; };"));
  // The windows clause takes no ";", so a radius follows it directly; the ";" before "}" is optional.
  ExpectAccepted(
      Script("    location a = <0, 0, 0>; area x { style = roof; locations = a; windows = a radius = 64; }"));
  ExpectAccepted(Script("    location a = <0, 0, 0>; area x { style = roof; locations = a; windows = a }"));
  ExpectAccepted(
      Script("    location a = <0, 0, 0>; area x { style = roof; locations = a; exits = a; radius = 1 }"));
  // No plans: a lone ";"; one plan and one more ";"; several plans.
  ExpectAccepted(Script("", "", ";"));
  ExpectAccepted(Script("", "", "plan \"alpha\" { };"));
  ExpectAccepted(Script("", "", "plan \"alpha\" { }; ;"));
  ExpectAccepted(Script("", "", "plan \"alpha\" { join; }; plan \"bravo\" { join }; plan \"alpha\" { };"));
  // Rules and objectives may be empty; a team may have no members; a player needs no skill.
  ExpectAccepted(
      "mission \"m\" { author \"a\"; description \"d\"; rules { }; map \"c\" { }; force \"f\" { team \"t\" { "
      "}; };"
      " objectives { }; ; }");
  ExpectAccepted(
      "mission \"m\" { author \"a\"; description \"d\"; rules { }; map \"c\" { }; force \"f\" { team \"t\" {"
      " player \"p\" \"q\" { } }; }; objectives { }; ; }");
  // Comments anywhere between tokens; "**/" does not end a comment, the next "*/" does.
  ExpectAccepted(
      "// head\nmission/*x**/still*/\"m\" { author \"a\"; description \"d\"; rules { }; map \"c\" { };"
      " force \"f\" { team \"t\" { }; }; objectives { }; ; } // tail");
  // A last line without a line feed, and a block comment left open after the closing brace.
  ExpectAccepted(
      "mission \"m\" { author \"a\"; description \"d\"; rules { }; map \"c\" { };"
      " force \"f\" { team \"t\" { }; }; objectives { }; ; } /* open");
  // A literal left open after the last brace gives no token at all.
  ExpectAccepted(
      "mission \"m\" { author \"a\"; description \"d\"; rules { }; map \"c\" { };"
      " force \"f\" { team \"t\" { }; }; objectives { }; ; } \"");
  // Literals take string characters after the first; a backslash is an ordinary character.
  ExpectAccepted(
      "mission \"a#%&+=@^|\" { author \"x\\\\y\"; description \"-./:?_'(),!\"; rules { }; map \"c\" { };"
      " force \"f\" { team \"t\" { }; }; objectives { }; ; }");
}

TEST(Parser, GrammarCornersThatAreRejected) {
  const std::string base =
      "mission \"m\" { author \"a\"; description \"d\"; rules { }; map \"c\" { %MAP% };"
      " force \"f\" { team \"t\" { %TEAM% }; }; objectives { }; %PLANS% }";
  auto with = [&](std::string map, std::string team, std::string plans) {
    std::string s = base;
    s.replace(s.find("%MAP%"), 5, map);
    s.replace(s.find("%TEAM%"), 6, team);
    s.replace(s.find("%PLANS%"), 7, plans);
    return s;
  };
  ExpectAccepted(with("", "", ";"));
  ExpectRejected(with("", "", ""));                      // the plan list is never empty
  ExpectRejected(with("", "", "plan \"t\" { }; ; ;"));   // one extra ";" only
  ExpectRejected(with("", "", "plan \"t\" { }"));        // a plan is followed by ";"
  ExpectRejected(with("", "npc \"a\" \"b\" { }", ";"));  // an npc needs a skill
  ExpectRejected(with("", "npc \"a\" \"b\" { skill = 3; weapon \"w\" }", ";"));  // skill comes last
  ExpectRejected(with("", "player \"p\" \"q\" ;", ";"));                         // a member needs braces
  ExpectRejected(with("location a = <1.5, 2, 3>", "", ";"));                     // coordinates are integers
  ExpectRejected(with("location open = <1, 2, 3>", "", ";"));                    // keywords are reserved
  ExpectRejected(with("location set = <1, 2, 3>", "", ";"));
  ExpectRejected(with(
      "location a = <1, 2, 3>; area x { style = roof; locations = a; windows = a; radius = 64; }", "", ";"));
  ExpectRejected(with("location a = <1, 2, 3>; area x { style = roof; locations = a }", "", ";"));
  ExpectRejected(
      with("location a = <1, 2, 3>; area x { style = roof; locations = a; entrances = a }", "", ";"));
  ExpectRejected(with("location a = <1, 2, 3>; area x { style = urban; locations = a; }", "", ";"));
  ExpectRejected(with("area x { style = roof; locations = a; }; location a = <1, 2, 3>", "", ";"));  // order
  ExpectRejected(with("annotation = \"a\"; style = dark;", "", ";"));  // style comes first
  ExpectRejected(with("style = ;", "", ";"));
  ExpectRejected(with("", "", "plan \"t\" { set };"));      // "set" is in no production
  ExpectRejected(with("", "", "plan \"t\" { wait 5. };"));  // "5." is INT then "."
  ExpectRejected(with("", "", "plan \"t\" { wait +5 };"));
  ExpectRejected(with("", "", "plan \"t\" { wait 1e3 };"));
  ExpectRejected(with("", "", "plan \"t\" { wait .5 };"));
  ExpectRejected(with("", "", "plan \"t\" { split \"t\" 2.5 };"));
  ExpectRejected(with("", "", "plan \"t\" { radio \"\" };"));  // the empty literal is no STRING
  ExpectRejected(with("", "", "plan \"t\" { radio \"two\" \"pieces\" };"));
  ExpectRejected(with("", "", "plan \"t\" { on () { } };"));
  ExpectRejected(with("", "", "plan \"t\" { on (contact) join };"));
  // Sections in a fixed order, every one present; at least one force with one team.
  ExpectRejected(
      "mission \"m\" { description \"d\"; author \"a\"; rules { }; map \"c\" { }; force \"f\" { team \"t\""
      " { }; }; objectives { }; ; }");
  ExpectRejected(
      "mission \"m\" { author \"a\"; description \"d\"; map \"c\" { }; force \"f\" { team \"t\" { }; };"
      " objectives { }; ; }");
  ExpectRejected(
      "mission \"m\" { author \"a\"; description \"d\"; rules { }; map \"c\" { }; objectives { }; ; }");
  ExpectRejected(
      "mission \"m\" { author \"a\"; description \"d\"; rules { }; map \"c\" { }; force \"f\" { };"
      " objectives { }; ; }");
  ExpectRejected(
      "mission \"m\" { author \"a\"; description \"d\"; rules { }; map \"c\" { }; force \"f\" { team \"t\""
      " { } }; objectives { }; ; }");  // a team is followed by ";"
  ExpectRejected(
      "mission \"m\" { author \"\"; description \"d\"; rules { }; map \"c\" { }; force \"f\" { team"
      " \"t\" { }; }; objectives { }; ; }");
  // Conditions: exactly two operands in parentheses; a negation needs its parentheses.
  ExpectRejected(Script("", "success(\"alpha\", \"x\") = (timeout(1)) -> { \"n\" }"));
  ExpectRejected(
      Script("", "success(\"alpha\", \"x\") = (timeout(1) && timeout(2) && timeout(3)) -> { \"n\" }"));
  ExpectRejected(Script("", "success(\"alpha\", \"x\") = !timeout(1) -> { \"n\" }"));
  ExpectRejected(Script("", "success(\"alpha\", \"x\") = timeout(1) -> { }"));
  ExpectRejected(Script("", "success(\"alpha\", \"x\") = timeout(1.5) -> { \"n\" }"));
  // Trailing text after the mission's closing brace.
  ExpectRejected(std::string(testing::kSmallest) + " ;");
}

TEST(Parser, PlansAttachToTheFirstTeamMatchingIgnoringCase) {
  ParsedMission m;
  const Outcome out = Parse(
      "mission \"m\" { author \"a\"; description \"d\"; rules { }; map \"c\" { };\n"
      " force \"f1\" { team \"alpha\" { }; }; force \"f2\" { team \"alpha\" { }; team \"ALPHA\" { }; };\n"
      " objectives { }; plan \"ALPHA\" { join }; plan \"alpha\" { spawn }; }",
      m);
  ASSERT_EQ(out.result, ParseResult::kSuccess) << out.errors;
  ASSERT_EQ(m.all_teams.size(), 3u);
  const auto& first = m.all_teams[0]->plan.instructions;
  ASSERT_EQ(first.size(), 2u);
  EXPECT_EQ(first[0].kind, InstructionKind::kJoin);
  EXPECT_EQ(S(first[0].first), "ALPHA");  // the plan's owner is the name the plan gives
  EXPECT_EQ(first[1].kind, InstructionKind::kSpawn);
  EXPECT_TRUE(m.all_teams[1]->plan.instructions.empty());
  EXPECT_TRUE(m.all_teams[2]->plan.instructions.empty());
}

// The force and team of an actor are the ones that hold it, not the first ones of the same names.
TEST(Parser, ForceAndTeamOfAnActorAreItsHoldersWhateverTheNames) {
  ParsedMission m;
  const std::string text =
      "mission \"m\" { author \"a\"; description \"d\"; rules { }; map \"c\" { };\n"
      " force \"red\" { team \"alpha\" { npc \"x\" \"m\" { skill = 1 } }; team \"bravo\" { }; };\n"
      " force \"blue\" { team \"alpha\" { npc \"x\" \"m\" { skill = 2 }; player \"y\" \"m\" { } }; };\n"
      " force \"red\" { team \"charlie\" { npc \"z\" \"m\" { skill = 3 } }; team \"alpha\" { player \"x\" "
      "\"m\" { } };"
      " };\n"
      " objectives { }; ; }";
  ASSERT_EQ(Parse(text, m).result, ParseResult::kSuccess);
  // A second parse into the same model adds a fourth force "blue" with a team "alpha".
  ASSERT_EQ(Parse(testing::kSmallest, m).result, ParseResult::kSuccess);
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"red", "alpha"},   {"blue", "alpha"}, {"blue", "alpha"},
      {"red", "charlie"}, {"red", "alpha"},  {"blue", "alpha"},
  };
  ASSERT_EQ(m.ActorCount(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const MissionActor* actor = m.ActorAt(i);
    const auto [force, team] = m.ForceAndTeamOf(actor);
    EXPECT_EQ(std::make_pair(S(force), S(team)), expected[i]) << "actor " << i;
    // The very records that hold the actor, not equal-named ones.
    const MissionForce* holder = nullptr;
    for (const auto& f : m.forces) {
      for (const auto& t : f->teams) {
        for (const auto& member : t->members) {
          if (member.get() == actor) holder = f.get();
        }
      }
    }
    ASSERT_NE(holder, nullptr);
    EXPECT_EQ(force.view().data(), holder->name.view().data()) << "actor " << i;
  }
  // Renaming an actor to another's name moves it nowhere.
  m.RenameActor(m.ActorAt(3), "x");
  EXPECT_EQ(S(m.ForceAndTeamOf(m.ActorAt(3)).second), "charlie");
  EXPECT_EQ(S(m.ForceAndTeamOf(m.FindActor("x")).first), "red");
  EXPECT_EQ(m.FindActor("x"), m.ActorAt(0));
  MissionActor stranger;
  EXPECT_TRUE(m.ForceAndTeamOf(&stranger).first.is_null());
  EXPECT_TRUE(m.ForceAndTeamOf(nullptr).second.is_null());
}

TEST(Parser, ParsesAddToTheModelAndAFailedParseKeepsWhatCameBefore) {
  ParsedMission m;
  ASSERT_EQ(Parse(testing::kSmallest, m).result, ParseResult::kSuccess);
  ASSERT_EQ(Parse(testing::kSmallest, m).result, ParseResult::kSuccess);
  EXPECT_EQ(m.ActorCount(), 2u);
  EXPECT_EQ(m.LocationCount(), 4u);
  // Both plans went to the first "alpha".
  EXPECT_EQ(m.all_teams[0]->plan.instructions.size(), 2u);
  EXPECT_TRUE(m.all_teams[1]->plan.instructions.empty());

  // An error in the middle of an objective's condition and of an on body.
  ParsedMission f;
  Outcome out = Parse(
      Script("    location l1 = <0, 0, 0>", "success(\"alpha\", \"x\") = ( timeout(1) && ( alive(\"bob\") ;"),
      f);
  EXPECT_EQ(out.result, ParseResult::kParseProblem);
  EXPECT_EQ(f.LocationCount(), 1u);
  EXPECT_EQ(f.ActorCount(), 2u);
  ASSERT_EQ(f.ObjectiveCount(), 1u);
  EXPECT_EQ(f.ObjectiveAt(0)->condition, nullptr);

  ParsedMission g;
  out = Parse(PlanScript("join; on (contact) { wait 1; attack towards nowhere }"), g);
  EXPECT_EQ(out.result, ParseResult::kParseProblem);
  const auto& plan = g.FindTeam("alpha")->plan.instructions;
  ASSERT_EQ(plan.size(), 2u);
  EXPECT_EQ(plan[1].kind, InstructionKind::kOn);
  EXPECT_EQ(plan[1].body, nullptr);
  // The next parse starts afresh, whatever the failed one left open.
  out = Parse(PlanScript("on (casualty) { join }"), g);
  ASSERT_EQ(out.result, ParseResult::kSuccess) << out.errors;
  ASSERT_EQ(plan.size(), 3u);
  ASSERT_NE(plan[2].body, nullptr);
  EXPECT_EQ(plan[2].body->instructions.size(), 1u);
}

}  // namespace
}  // namespace vyr::parser

namespace vyr::parser {
namespace {

TEST(ParserFiles, SampleScriptsParseFromDisk) {
  const std::filesystem::path dir = std::filesystem::path(VYR_TEST_DATA_DIR) / "parser" / "corpus";
  for (const char* name : {"smallest.vyr", "full.vyr", "crlf.vyr"}) {
    ParsedMission m;
    std::ostringstream errors;
    EXPECT_EQ(ParseMissionFile(dir / name, m, errors), ParseResult::kSuccess) << name << "\n" << errors.str();
    EXPECT_FALSE(m.forces.empty()) << name;
  }
  ParsedMission lf, crlf;
  std::ostringstream errors;
  ASSERT_EQ(ParseMissionFile(dir / "full.vyr", lf, errors), ParseResult::kSuccess);
  ASSERT_EQ(ParseMissionFile(dir / "crlf.vyr", crlf, errors), ParseResult::kSuccess);
  // Line ends inside the annotation arrive as bare line feeds either way.
  EXPECT_EQ(lf.annotation.view(), "first\nsecond");
  EXPECT_EQ(crlf.annotation.view(), lf.annotation.view());
  EXPECT_EQ(crlf.all_teams[0]->plan.instructions.size(), lf.all_teams[0]->plan.instructions.size());
}

// Scripts far larger than the scanner's read window, from disk and from memory, with CR LF line ends.
TEST(ParserFiles, ScriptsLargerThanTheReadWindowParseWhole) {
  std::string annotation(300000, 'n');
  annotation[150000] = ' ';
  std::string map = "    annotation = \"" + annotation + "\" \"\n\" \"end\";\n";
  for (int i = 0; i < 4000; ++i) {  // within the stack bound
    map += "    location l" + std::to_string(i) + " = <" + std::to_string(i) + ", -1, 2>;\n";
  }
  map += "    /* " + std::string(200000, '*') + "/ */";
  std::string crlf;
  for (char c : testing::Script(map, "", "  plan \"alpha\" { attack towards l3999; observe l4000 };\n")) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() /
      ("vyr_window_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + ".vyr");
  {
    std::ofstream out(path, std::ios::binary);
    out << crlf;
  }
  const std::string text(crlf);
  const auto line =
      1 + std::count(text.begin(), text.begin() + static_cast<long>(text.find("l4000 }")), '\n');
  const std::string report =
      testing::SyntaxReport(static_cast<int>(line), "l4000", "use of undeclared location");
  ParsedMission from_file;
  std::ostringstream errors;
  EXPECT_EQ(ParseMissionFile(path, from_file, errors), ParseResult::kParseProblem);
  EXPECT_EQ(errors.str(), report);
  std::filesystem::remove(path);
  ParsedMission from_memory;
  const Outcome out = Parse(crlf, from_memory);
  EXPECT_EQ(out.result, ParseResult::kParseProblem);
  EXPECT_EQ(out.errors, report);
  for (const ParsedMission* m : {&from_file, &from_memory}) {
    EXPECT_EQ(m->annotation.view(), annotation + "\nend");
    ASSERT_EQ(m->LocationCount(), 4000u);
    EXPECT_EQ(m->LocationAt(3999)->x, 3999.0f);
    const auto& plan = m->FindTeam("alpha")->plan.instructions;
    ASSERT_EQ(plan.size(), 1u);
    EXPECT_EQ(plan[0].second.view(), "l3999");
  }
}

// A source that fails after `good` bytes, as a file whose read breaks off.
class BrokenSource : public ByteSource {
 public:
  BrokenSource(std::string_view bytes, std::size_t good) : bytes_(bytes.substr(0, good)) {}
  std::ptrdiff_t Read(char* dst, std::size_t n) override {
    if (bytes_.empty()) return -1;
    n = std::min(n, bytes_.size());
    std::memcpy(dst, bytes_.data(), n);
    bytes_.remove_prefix(n);
    return static_cast<std::ptrdiff_t>(n);
  }

 private:
  std::string_view bytes_;
};

TEST(ParserFiles, AReadThatBreaksOffIsAParseProblemKeepingWhatWasRead) {
  std::string map;
  for (int i = 0; i < 3000; ++i)
    map += "    location l" + std::to_string(i) + " = <1, 2, 3>;\n";
  const std::string text = testing::Script(map);
  BrokenSource source(text, text.size() / 2);
  ParsedMission m;
  std::ostringstream errors;
  ScriptParser parser(source, m, errors);
  EXPECT_FALSE(parser.Run());
  EXPECT_EQ(errors.str(), "input in flex scanner failed\n");
  EXPECT_GT(m.LocationCount(), 1000u);
  EXPECT_LT(m.LocationCount(), 3000u);
}

}  // namespace
}  // namespace vyr::parser
