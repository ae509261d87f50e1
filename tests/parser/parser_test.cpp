// Scripts the parser accepts, and the model they build.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "test_scripts.h"
#include "tests/lib_test_support.h"
#include "tests/model_outline.h"
#include "vyrparser/core/parser.h"

namespace vyr::parser {
namespace {

using ::testing::HasSubstr;
using testing::Outcome;
using testing::Parse;
using testing::PlanScript;
using testing::Script;
using ::vyr::testing::Outline;

// The outline of `text` parsed into a fresh model; the parse must succeed without a message.
std::string ParsedOutline(std::string_view text) {
  ParsedMission m;
  const Outcome out = Parse(text, m);
  EXPECT_EQ(out.result, ParseResult::kSuccess) << text << "\n" << out.errors;
  EXPECT_EQ(out.errors, "");
  return Outline(m);
}

void ExpectAccepted(std::string_view text) {
  ParsedOutline(text);
}

void ExpectRejected(std::string_view text) {
  ParsedMission m;
  const Outcome out = Parse(text, m);
  EXPECT_EQ(out.result, ParseResult::kParseProblem) << text;
  EXPECT_NE(out.errors, "");
}

// The lines that Script() and PlanScript() add after the map.
constexpr const char* kScriptForces =
    "force \"blue\"\n  team \"alpha\"\n    npc \"bob\" \"terror/terror\" skill 3\n";
constexpr const char* kScriptTail =
    "  team \"bravo\"\n    player \"pat\" \"male/jungle\"\nall teams \"alpha\" \"bravo\"\n"
    "all actors \"bob\" \"pat\"\n";

TEST(Parser, MapSectionFillsLocationsAreasStylesAndAnnotation) {
  // Coordinates and radius wrap to 16 bits; a repeated style sets its bit once.
  EXPECT_EQ(ParsedOutline(Script("    style = dark, indoor, dark;\n"
                                 "    annotation = \"first line\n\" \"second, (part)\";\n"
                                 "    location a.b = <1, -2, 3>; location far = <70000, -32769, 32767>;\n"
                                 "    location a.b = <9, 9, 9>;\n"
                                 "    area x { style = closed; locations = a.b, far; entrances = far;\n"
                                 "      exits = a.b, a.b; windows = far radius = 70000 };\n"
                                 "    area y { style = roof; locations = far; windows = a.b; }")),
            "mission \"m\" \"a\" \"d\" \"city\" annotation \"first line<LF>second, (part)\" styles 10\n"
            "rule 1=0\n"
            "location \"a.b\" 1 -2 3\n"
            "location \"far\" 4464 32767 32767\n"
            "location \"a.b\" 9 9 9\n"
            "area \"x\" styles 2 radius 4464 | locations \"a.b\" \"far\" | entrances \"far\" | exits \"a.b\" "
            "\"a.b\" | windows \"far\"\n"
            "area \"y\" styles 4 radius 0 | locations \"far\" | windows \"a.b\"\n" +
                std::string(kScriptForces) + kScriptTail);
}

TEST(Parser, ForcesTeamsActorsAndEquipment) {
  // Skills clamp to 1..5, ammunition counts wrap to 16 bits, a team may be empty.
  EXPECT_EQ(ParsedOutline(
                "mission \"m\" { author \"a\"; description \"Go in.\\nKill all.\"; rules { respawn = team; "
                "respawn = individual };\n"
                "map \"c\" { };\n"
                "force \"red\" { team \"t1\" { npc \"n1\" \"m/s\" { weapon \"Handcannon\"; ammo \"M4 Clip\" "
                "= 70000;\n"
                "  item \"Kevlar Vest\"; weapon \"Handcannon\"; skill = 7; }; player \"p1\" \"q\" { };\n"
                "  npc \"n2\" \"q\" { item \"Silencer\"; skill = 0.2 } }; team \"empty\" { }; };\n"
                "force \"blue\" { team \"t2\" { npc \"n3\" \"m\" { skill = 2.5; }; }; };\n"
                "objectives { }; ; }"),
            "mission \"m\" \"a\" \"Go in.\\nKill all.\" \"c\" annotation ~ styles 0\n"
            "rule 1=1\n"
            "rule 1=2\n"
            "force \"red\"\n"
            "  team \"t1\"\n"
            "    npc \"n1\" \"m/s\" skill 5 | weapons \"Handcannon\" \"Handcannon\" | ammo \"M4 Clip\"=4464 "
            "| items "
            "\"Kevlar Vest\"\n"
            "    player \"p1\" \"q\"\n"
            "    npc \"n2\" \"q\" skill 1 | items \"Silencer\"\n"
            "  team \"empty\"\n"
            "force \"blue\"\n"
            "  team \"t2\"\n"
            "    npc \"n3\" \"m\" skill 2.5\n"
            "all teams \"t1\" \"empty\" \"t2\"\n"
            "all actors \"n1\" \"p1\" \"n2\" \"n3\"\n");
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
  EXPECT_THAT(Outline(m), ::testing::EndsWith("all actors \"bob\" \"pat\"\n"
                                              "failure \"blue\" \"lost\" next \"m2\"\n"
                                              "  or\n"
                                              "    timeout 300\n"
                                              "    not\n"
                                              "      alive \"bob\"\n"
                                              "success \"alpha\" \"won\" next \"m3\" \"m4\"\n"
                                              "  or\n"
                                              "    and\n"
                                              "      eliminated \"bravo\"\n"
                                              "      occupied \"nowhere\"\n"  // occupied is not checked
                                              "    alive \"pat\"\n"
                                              "success \"bravo\" \"x\" next \"m5\"\n"
                                              "  timeout -5\n"));
  // The tree's parent links lead back to the root.
  const ConditionNode* root = m.ObjectiveAt(0)->condition;
  EXPECT_EQ(root->parent, nullptr);
  EXPECT_EQ(root->first->parent, root);
  EXPECT_EQ(root->second->first->parent, root->second);
}

TEST(Parser, EveryStatementKindWithItsOperands) {
  // A wait has no owner and "forever" is 100000 seconds; a phase carries its name as the owner.
  EXPECT_THAT(ParsedOutline(PlanScript(
                  R"(wait 5; wait 2.5; wait forever; wait until ready; wait until assembled;
wait until code("go"); abort; advance towards l1 using "run"; assemble at l2 using "x"; attack towards l3;
continue with phase "p2"; defend towards l1 from l2; freeze towards l3 for 4; freeze towards l3 for 0.5;
insert at l1 using "i"; join; moveup to l2 using "m"; observe l3; patrol; patrol (a1, a2, a1); phase "p2";
pullback to l1 using "p"; radio "hello there"; signal towards l2; signal towards l2 "c1"; signal code "c2";
snipe from l1 towards l2; spawn; split "bravo" 3; spread towards l3 within 7; spread towards l3 within 1.25;
take cover from l2;)")),
              HasSubstr("    plan\n"
                        "      wait ~ ~ ~ value=5\n"
                        "      wait ~ ~ ~ value=2.5\n"
                        "      wait ~ ~ ~ value=100000\n"
                        "      wait-ready \"alpha\" ~ ~\n"
                        "      wait-assembled \"alpha\" ~ ~\n"
                        "      wait-code \"alpha\" \"go\" ~\n"
                        "      abort \"alpha\" ~ ~\n"
                        "      advance \"alpha\" \"l1\" \"run\"\n"
                        "      assemble \"alpha\" \"l2\" \"x\"\n"
                        "      attack \"alpha\" \"l3\" ~\n"
                        "      continue \"alpha\" \"p2\" ~\n"
                        "      defend \"alpha\" \"l1\" \"l2\"\n"
                        "      freeze \"alpha\" \"l3\" ~ value=4\n"
                        "      freeze \"alpha\" \"l3\" ~ value=0.5\n"
                        "      insert \"alpha\" \"l1\" \"i\"\n"
                        "      join \"alpha\" ~ ~\n"
                        "      moveup \"alpha\" \"l2\" \"m\"\n"
                        "      observe \"alpha\" \"l3\" ~\n"
                        "      patrol \"alpha\" ~ ~\n"
                        "      patrol \"alpha\" ~ ~ | areas \"a1\" \"a2\" \"a1\"\n"
                        "      phase \"p2\" ~ ~\n"
                        "      pullback \"alpha\" \"l1\" \"p\"\n"
                        "      radio \"alpha\" \"hello there\" ~\n"
                        "      signal-towards \"alpha\" \"l2\" ~\n"
                        "      signal-towards \"alpha\" \"l2\" \"c1\"\n"
                        "      signal-code \"alpha\" \"c2\" ~\n"
                        "      snipe \"alpha\" \"l1\" \"l2\"\n"
                        "      spawn \"alpha\" ~ ~\n"
                        "      split \"alpha\" \"bravo\" ~ value=3\n"
                        "      spread \"alpha\" \"l3\" ~ value=7\n"
                        "      spread \"alpha\" \"l3\" ~ value=1.25\n"
                        "      take-cover \"alpha\" \"l2\" ~\n" +
                        std::string(kScriptTail)));
}

// An event named twice sets its bit once; a later code replaces an earlier one. A later plan for a
// team continues its list, bodies and all.
TEST(Parser, OnStatementsNestWithTheirEventsAndLaterPlansContinueTheList) {
  ParsedMission m;
  const Outcome out = Parse(PlanScript(R"(on (contact, code "x", casualty, contact) { wait 5; };
on (under fire) { on (code "a", code "b") { join }; attack towards l1 }; on (casualty) { };
spawn }; plan "bravo" { join }; plan "alpha" { wait 3 };
plan "alpha" { on (casualty) { spawn; on (contact) { abort } }; wait 4)"),
                            m);
  ASSERT_EQ(out.result, ParseResult::kSuccess) << out.errors;
  EXPECT_THAT(Outline(m), HasSubstr("    plan\n"
                                    "      on \"alpha\" \"x\" ~ events=26\n"
                                    "      {\n"
                                    "        wait ~ ~ ~ value=5\n"
                                    "      }\n"
                                    "      on \"alpha\" ~ ~ events=4\n"
                                    "      {\n"
                                    "        on \"alpha\" \"b\" ~ events=16\n"
                                    "        {\n"
                                    "          join \"alpha\" ~ ~\n"
                                    "        }\n"
                                    "        attack \"alpha\" \"l1\" ~\n"
                                    "      }\n"
                                    "      on \"alpha\" ~ ~ events=8\n"
                                    "      {\n"
                                    "      }\n"
                                    "      spawn \"alpha\" ~ ~\n"
                                    "      wait ~ ~ ~ value=3\n"
                                    "      on \"alpha\" ~ ~ events=8\n"
                                    "      {\n"
                                    "        spawn \"alpha\" ~ ~\n"
                                    "        on \"alpha\" ~ ~ events=2\n"
                                    "        {\n"
                                    "          abort \"alpha\" ~ ~\n"
                                    "        }\n"
                                    "      }\n"
                                    "      wait ~ ~ ~ value=4\n"
                                    "  team \"bravo\"\n"
                                    "    player \"pat\" \"male/jungle\"\n"
                                    "    plan\n"
                                    "      join \"bravo\" ~ ~\n"
                                    "all teams"));
  EXPECT_EQ(m.list_stack_depth(), 0u);
  EXPECT_TRUE(m.pending_patrol_areas().empty());
  EXPECT_FALSE(m.reading_plan());
}

// The generated scripts of the round-trip tests cover the optional ";", empty lists, comments and
// spacing at random; these are the corners they do not reach.
TEST(Parser, GrammarCornersThatAreAccepted) {
  const std::string whole =
      "mission \"m\" { author \"x\\\\y\"; description \"-./:?_'(),!#%&+=@^|\"; rules { }; map \"c\" { };"
      " force \"f\" { team \"t\" { }; }; objectives { }; ; }";
  ExpectAccepted(whole);  // a backslash is an ordinary character
  // A block comment or a literal left open after the closing brace ends the input there.
  ExpectAccepted(whole + " /* open");
  ExpectAccepted(whole + " \"");
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
  ExpectRejected(with(
      "location a = <1, 2, 3>; area x { style = roof; locations = a; windows = a; radius = 64; }", "", ";"));
  ExpectRejected(with("location a = <1, 2, 3>; area x { style = roof; locations = a }", "", ";"));
  ExpectRejected(with("location a = <1, 2, 3>; area x { style = urban; locations = a; }", "", ";"));
  ExpectRejected(with("area x { style = roof; locations = a; }; location a = <1, 2, 3>", "", ";"));  // order
  ExpectRejected(with("annotation = \"a\"; style = dark;", "", ";"));  // style comes first
  ExpectRejected(with("style = ;", "", ";"));
  ExpectRejected(with("", "", "plan \"t\" { set };"));  // "set" is in no production
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
  // The plan's owner is the name the plan gives.
  EXPECT_THAT(
      ParsedOutline(
          "mission \"m\" { author \"a\"; description \"d\"; rules { }; map \"c\" { };\n"
          " force \"f1\" { team \"alpha\" { }; }; force \"f2\" { team \"alpha\" { }; team \"ALPHA\" { }; };\n"
          " objectives { }; plan \"ALPHA\" { join }; plan \"alpha\" { spawn }; }"),
      HasSubstr("force \"f1\"\n"
                "  team \"alpha\"\n"
                "    plan\n"
                "      join \"ALPHA\" ~ ~\n"
                "      spawn \"alpha\" ~ ~\n"
                "force \"f2\"\n"
                "  team \"alpha\"\n"
                "  team \"ALPHA\"\n"
                "all teams"));
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
  // The very records that hold each actor, not equal-named ones, in the order the actors were read.
  std::size_t i = 0;
  for (const auto& f : m.forces) {
    for (const auto& t : f->teams) {
      for (const MissionActor* actor : t->members) {
        ASSERT_EQ(actor, m.ActorAt(i++));
        const auto [force, team] = m.ForceAndTeamOf(actor);
        EXPECT_EQ(force.view().data(), f->name.view().data()) << "actor " << i;
        EXPECT_EQ(team.view().data(), t->name.view().data()) << "actor " << i;
      }
    }
  }
  EXPECT_EQ(i, 6u);
  // Renaming an actor to another's name moves it nowhere.
  m.RenameActor(m.ActorAt(3), "x");
  EXPECT_EQ(m.ForceAndTeamOf(m.ActorAt(3)).second.str(), "charlie");
  EXPECT_EQ(m.ForceAndTeamOf(m.FindActor("x")).first.str(), "red");
  EXPECT_EQ(m.FindActor("x"), m.ActorAt(0));
  MissionActor stranger;
  EXPECT_TRUE(m.ForceAndTeamOf(&stranger).first.is_null());
  EXPECT_TRUE(m.ForceAndTeamOf(nullptr).second.is_null());
}

TEST(Parser, ParsesAddToTheModelAndAFailedParseKeepsWhatCameBefore) {
  ParsedMission m;
  ASSERT_EQ(Parse(testing::kSmallest, m).result, ParseResult::kSuccess);
  ASSERT_EQ(Parse(testing::kSmallest, m).result, ParseResult::kSuccess);
  // The second script's plan joins the first team of the name, from the first parse.
  EXPECT_EQ(m.LocationCount(), 4u);
  EXPECT_THAT(Outline(m), HasSubstr("      advance \"alpha\" \"l2\" \"walk\"\n"
                                    "      advance \"alpha\" \"l2\" \"walk\"\n"
                                    "force \"blue\"\n"
                                    "  team \"alpha\"\n"
                                    "    npc \"bob\" \"terror/terror\" skill 3 | weapons \"Handcannon\"\n"
                                    "all teams"));

  // An error in the middle of an objective's condition: the objective stays, without a condition.
  ParsedMission f;
  Outcome out = Parse(
      Script("    location l1 = <0, 0, 0>", "success(\"alpha\", \"x\") = ( timeout(1) && ( alive(\"bob\") ;"),
      f);
  EXPECT_EQ(out.result, ParseResult::kParseProblem);
  EXPECT_THAT(Outline(f), ::testing::EndsWith("location \"l1\" 0 0 0\n" + std::string(kScriptForces) +
                                              kScriptTail + "success \"alpha\" \"x\" next\n"));

  // An error in an on body of a continued plan: the statements read whole stay, the on without a body.
  ParsedMission g;
  out = Parse(PlanScript("join }; plan \"alpha\" { wait 2; on (contact) { wait 1; attack towards nowhere }"),
              g);
  EXPECT_EQ(out.result, ParseResult::kParseProblem);
  EXPECT_THAT(Outline(g), HasSubstr("    plan\n"
                                    "      join \"alpha\" ~ ~\n"
                                    "      wait ~ ~ ~ value=2\n"
                                    "      on \"alpha\" ~ ~ events=2\n"
                                    "  team \"bravo\""));
  EXPECT_FALSE(g.reading_plan());
  // The next parse starts afresh, whatever the failed one left open.
  out = Parse(PlanScript("on (casualty) { join }"), g);
  ASSERT_EQ(out.result, ParseResult::kSuccess) << out.errors;
  EXPECT_THAT(Outline(g), HasSubstr("      on \"alpha\" ~ ~ events=2\n"
                                    "      on \"alpha\" ~ ~ events=8\n"
                                    "      {\n"
                                    "        join \"alpha\" ~ ~\n"
                                    "      }\n"));
}

// Scripts from disk with either line end parse alike; one typed with tabs, line breaks and comments
// between its tokens has plans continued by later parts: each part's instructions follow the earlier ones.
TEST(ParserFiles, ScriptsFromDiskWithEitherLineEndAndPlansContinuedByLaterParts) {
  const std::filesystem::path dir = std::filesystem::path(VYR_TEST_DATA_DIR) / "parser" / "corpus";
  ParsedMission lf, crlf, m;
  std::ostringstream errors;
  ASSERT_EQ(ParseMissionFile(dir / "full.vyr", lf, errors), ParseResult::kSuccess) << errors.str();
  ASSERT_EQ(ParseMissionFile(dir / "crlf.vyr", crlf, errors), ParseResult::kSuccess) << errors.str();
  // Line ends inside the annotation arrive as bare line feeds either way.
  EXPECT_EQ(lf.annotation.view(), "first\nsecond");
  EXPECT_TRUE(::vyr::testing::SameText(Outline(lf), Outline(crlf)));

  ASSERT_EQ(ParseMissionFile(dir / "typed.vyr", m, errors), ParseResult::kSuccess) << errors.str();
  ASSERT_EQ(m.all_teams.size(), 2u);
  std::vector<std::string> plan;
  for (const PlanInstruction& i : m.all_teams[0]->plan.instructions)
    plan.push_back(std::string(InstructionName(i.kind)) + " " + i.second.str());
  EXPECT_EQ(plan, (std::vector<std::string>{"radio r1", "signal c1", "phase ", "wait until code w1",
                                            "split s1", "advance p0", "signal p1", "continue p1", "wait ",
                                            "radio r3", "wait ", "radio r4"}));
  ASSERT_EQ(m.all_teams[1]->plan.instructions.size(), 1u);
  EXPECT_EQ(m.all_teams[1]->plan.instructions[0].second.view(), "r2");
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
  const ::vyr::testing::ScratchDir dir;
  ::vyr::testing::WriteFileBytes(dir / "large.vyr", crlf);
  const auto line =
      1 + std::count(crlf.begin(), crlf.begin() + static_cast<long>(crlf.find("l4000 }")), '\n');
  const std::string report =
      testing::SyntaxReport(static_cast<int>(line), "l4000", "use of undeclared location");
  ParsedMission from_file;
  std::ostringstream errors;
  EXPECT_EQ(ParseMissionFile(dir / "large.vyr", from_file, errors), ParseResult::kParseProblem);
  EXPECT_EQ(errors.str(), report);
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

}  // namespace
}  // namespace vyr::parser
