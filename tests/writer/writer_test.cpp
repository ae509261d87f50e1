#include "vyrparser/core/writer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "tests/lib_test_support.h"
#include "vyrparser/core/parser.h"

namespace vyr::parser {
namespace {

using ::vyr::testing::ReadFileBytes;
using ::vyr::testing::SameText;

using ::testing::HasSubstr;

// A small valid mission: one force, one team, one npc, two locations.
void AddBasics(ParsedMission& m) {
  m.SetMissionName("m");
  m.SetAuthor("a");
  m.SetDescription("d");
  m.SetMapName("city");
  m.AddLocation("a", 1, 2, 3);
  m.AddLocation("long_name", -10, 0, 100);
  m.AddForce("blue");
  m.AddTeam("t");
}

// A script whose map holds `style`, locations a and long_name, then `areas`; then `forces` and the
// `objectives`.
std::string Script(std::string_view style, std::string_view areas = "",
                   std::string_view forces = "force \"blue\" { team \"t\" { }; };",
                   std::string_view objectives = "") {
  std::string s = "mission \"m\" { author \"a\"; description \"d\"; rules { }; map \"city\" { ";
  s.append(style).append(" location a = <1, 2, 3>; location long_name = <-10, 0, 100>; ").append(areas);
  return s.append(" }; ").append(forces).append(" objectives { ").append(objectives).append(" }; ; }");
}

void ParseInto(const std::string& script, ParsedMission& m) {
  ASSERT_EQ(ParseMissionBuffer(script, m), ParseResult::kSuccess) << script;
}

std::string Written(const std::string& script) {
  ParsedMission m;
  ParseInto(script, m);
  return MissionText(m);
}

TEST(WriterTest, MapStylesInBitOrderAndLocationsAlignedOnTheLongestName) {
  EXPECT_THAT(Written(Script("style = indoor, dark, urban, open;")),
              HasSubstr("  map \"city\"\n  {\n    style = urban, dark, open, indoor;\n\n"
                        "    location a         = <    1,     2,     3>;\n"
                        "    location long_name = <  -10,     0,   100>;\n"));
  // No styles: no style line at all (the grammar has no "none").
  EXPECT_THAT(Written(Script("")), HasSubstr("  map \"city\"\n  {\n    location a "));
}

// The golden mission pins the other clauses, members and objective forms; these are the ones it lacks.
TEST(WriterTest, AreaExitsAndWindowsWithoutRadius) {
  EXPECT_THAT(Written(Script("",
                             "area z { style = closed; locations = a; entrances = a; exits = long_name; "
                             "windows = a }")),
              HasSubstr(">;\n"
                        "\n"
                        "    area z\n"
                        "    { style     = closed;\n"
                        "      locations = a;\n"
                        "      entrances = a;\n"
                        "      exits     = long_name;\n"
                        "      windows   = a;\n"
                        "    };\n"
                        "  };\n"));
}

TEST(WriterTest, AnArmedPlayerHasItsEquipmentInOrderButNoSkill) {
  EXPECT_THAT(Written(Script("", "",
                             "force \"blue\" { team \"armed\" { player \"p2\" \"q\" { item \"Kevlar Vest\"; "
                             "ammo \"M4 Clip\" = -3; weapon \"MK23 Pistol\"; skill = 0.5 } }; };")),
              HasSubstr("    team \"armed\"\n"
                        "    { player \"p2\" \"q\"\n"
                        "        { \n"
                        "          weapon \"MK23 Pistol\";\n"
                        "          ammo   \"M4 Clip\" = -3;\n"
                        "          item   \"Kevlar Vest\";\n"
                        "        };\n"
                        "    };\n"
                        "  };\n\n"));
}

TEST(WriterTest, NegationsAndTheBareObjective) {
  ParsedMission m;
  ParseInto(Script("", "", "force \"blue\" { team \"t\" { }; };",
                   "failure(\"t\", \"lost\") = ( timeout(300) || !( alive(\"t\") ) ) -> { \"m2\" }"),
            m);
  EXPECT_EQ(PrintCondition(m.ObjectiveAt(0)->condition), "( timeout(300) || !( alive(\"t\") ) )");
  m.AddObjective(kObjectiveSuccess, "t", "bare");  // no condition and no next missions: no script gives that
  EXPECT_EQ(PrintCondition(nullptr), "");
  EXPECT_THAT(MissionText(m), HasSubstr("      =  ( timeout(300) || !( alive(\"t\") ) )\n"
                                        "      -> {\"m2\"};\n"
                                        "\n"
                                        "    success\n"
                                        "      ( \"t\",\n"
                                        "        \"bare\"\n"
                                        "      )\n"
                                        "      =  \n"
                                        "      -> {};\n"
                                        "  };\n\n"));
}

TEST(WriterTest, DeeplyNestedConditionsAndPlansDoNotExhaustTheStack) {
  ParsedMission m;
  AddBasics(m);
  MissionObjective* objective = m.AddObjective(kObjectiveSuccess, "t", "deep");
  const int depth = 200000;
  for (int i = 0; i < depth; ++i)
    m.OpenCompound();
  m.AddTimeoutLeaf(1);
  for (int i = 0; i < depth; ++i) {
    m.SetOperator(kConditionNot);
    m.CloseCompound();
  }
  const std::string condition = PrintCondition(objective->condition);
  EXPECT_EQ(condition.size(), depth * 5u + 10u);
  EXPECT_EQ(condition.substr(0, 9), "!( !( !( ");

  const int on_depth = 1500;  // indentation grows with depth, so the text grows with its square
  m.BeginPlan("t");
  for (int i = 0; i < on_depth; ++i) {
    m.AppendOn({}, kEventContact, {});
    m.PushStatementList();
  }
  m.AppendInstruction(InstructionKind::kJoin, m.MakeText("t"));
  for (int i = 0; i < on_depth; ++i)
    m.PopStatementList();
  m.EndPlan();
  const std::string plan = PrintStatements(m.FindTeam("t")->plan, 2);
  EXPECT_TRUE(plan.starts_with("  on (contact)\n  {\n    on (contact)\n    {\n"));
  EXPECT_NE(plan.find(std::string(2 + 2 * on_depth, ' ') + "join ;\n"), std::string::npos);
  EXPECT_TRUE(plan.ends_with("\n    };\n  };\n"));
}

// The golden mission uses every statement, event and number form: read back, it is written again
// byte for byte.
TEST(WriterTest, TheGoldenMissionIsWrittenAsItReads) {
  const std::string golden =
      ReadFileBytes(std::filesystem::path(VYR_TEST_DATA_DIR) / "writer/full_mission.vyr");
  ParsedMission m;
  ASSERT_EQ(ParseMissionBuffer(golden, m), ParseResult::kSuccess);
  EXPECT_TRUE(SameText(golden, MissionText(m)));

  // Files end every line with CR LF, the annotation's own line feed included, and replace what was there.
  const ::vyr::testing::ScratchDir dir;
  const std::filesystem::path path = dir / "out.vyr";
  ::vyr::testing::WriteFileBytes(path, "old contents");
  const WriteResult written = WriteMission(m, path);
  ASSERT_TRUE(written) << written.message;
  const std::string bytes = ReadFileBytes(path);
  EXPECT_EQ(bytes, WithCrLf(golden));
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\r'), std::count(golden.begin(), golden.end(), '\n'));
  EXPECT_NE(bytes.find("\"Two floors,\r\none roof.\";\r\n"), std::string::npos);

  const WriteResult failed = WriteMission(m, dir / "missing/out.vyr");
  EXPECT_FALSE(failed);
  EXPECT_NE(failed.message.find("missing/out.vyr"), std::string::npos) << failed.message;
}

TEST(WriterTest, ValuesThatCannotBeWrittenAsTheyStand) {
  ParsedMission m;
  AddBasics(m);
  MissionActor* npc = m.AddActor(kActorNpc, "n", "m");
  npc->skill = 1e-5f;       // as the automation interface may set it, unclamped
  m.AddRule("respawn", 7);  // a value with no name in the language is left out
  m.AppendAnnotation("");   // an empty literal would read as nothing: left out
  m.BeginPlan("t");
  const Text owner = m.MakeText("t");
  m.AppendInstruction(InstructionKind::kSplit, owner, m.MakeText("t"), {}, 3.9f);
  m.AppendInstruction(InstructionKind::kSplit, owner, m.MakeText("t"), {}, -2.7f);
  m.AppendInstruction(InstructionKind::kFreeze, owner, m.MakeText("a"), {}, 70000.0f);
  m.AppendWait(-40000.0f);
  m.EndPlan();
  const std::string text = MissionText(m);
  EXPECT_THAT(text, HasSubstr("          skill  = 0.00001;\n"));
  EXPECT_THAT(text, HasSubstr("  rules\n  {\n  };\n"));
  EXPECT_THAT(text, ::testing::Not(HasSubstr("annotation")));
  EXPECT_THAT(text, HasSubstr("      split \"t\" 3;\n"
                              "      split \"t\" -2;\n"
                              "      freeze towards a for 70000.0;\n"
                              "      wait -40000.0;\n"))
      << text;
}

TEST(WriterTest, AnEmptyModelIsWrittenWithoutFailing) {
  ParsedMission m;
  EXPECT_TRUE(
      SameText("mission \"\"\n{\n  author\n    \"\";\n\n  description\n    \"\";\n\n  rules\n  {\n  };\n\n"
               "  map \"\"\n  {\n  };\n\n  objectives\n  {\n  };\n\n}\n",
               MissionText(m)));
}

}  // namespace
}  // namespace vyr::parser
