#include "vyrparser/core/writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/writer/golden.h"

namespace vyr::parser {
namespace {

using ::vyr::testing::MatchesGolden;
using ::vyr::testing::ReadFileBytes;
using ::vyr::testing::SameText;

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

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

TEST(WriterTest, LocationsAlignOnTheLongestName) {
  ParsedMission m;
  AddBasics(m);
  const std::string text = MissionText(m);
  EXPECT_TRUE(Contains(text,
                       "    location a         = <    1,     2,     3>;\n"
                       "    location long_name = <  -10,     0,   100>;\n"))
      << text;
}

TEST(WriterTest, MapStylesInBitOrderAndLeftOutWhenNone) {
  ParsedMission m;
  AddBasics(m);
  std::string text = MissionText(m);
  EXPECT_FALSE(Contains(text, "style =")) << text;
  EXPECT_TRUE(Contains(text, "  map \"city\"\n  {\n    location a ")) << text;

  m.AddMapStyle(kMapStyleIndoor);
  m.AddMapStyle(kMapStyleUrban);
  m.AddMapStyle(kMapStyleOpen);
  text = MissionText(m);
  EXPECT_TRUE(Contains(text, "  map \"city\"\n  {\n    style = urban, open, indoor;\n\n    location a "))
      << text;
}

TEST(WriterTest, AreaClausesAndTheWindowsRadiusJoin) {
  ParsedMission m;
  AddBasics(m);
  m.AddArea("x");
  m.AddAreaStyle(kAreaStyleRoof);
  m.AddAreaName(AreaList::kLocations, "a");
  m.AddAreaName(AreaList::kLocations, "long_name");
  m.AddArea("y");
  m.AddAreaStyle(kAreaStyleOpen);
  m.AddAreaName(AreaList::kLocations, "a");
  m.AddAreaName(AreaList::kWindows, "a");
  m.AddAreaName(AreaList::kWindows, "long_name");
  m.SetAreaRadius(64);
  m.AddArea("z");
  m.AddAreaStyle(kAreaStyleClosed);
  m.AddAreaName(AreaList::kLocations, "a");
  m.AddAreaName(AreaList::kEntrances, "a");
  m.AddAreaName(AreaList::kExits, "long_name");
  m.AddAreaName(AreaList::kWindows, "a");
  const std::string text = MissionText(m);
  EXPECT_TRUE(Contains(text,
                       ">;\n"
                       "\n"
                       "    area x\n"
                       "    { style     = roof;\n"
                       "      locations = a, long_name;\n"
                       "    };\n"
                       "\n"
                       "    area y\n"
                       "    { style     = open;\n"
                       "      locations = a;\n"
                       "      windows   = a, long_name\n"
                       "      radius    = 64;\n"
                       "    };\n"
                       "\n"
                       "    area z\n"
                       "    { style     = closed;\n"
                       "      locations = a;\n"
                       "      entrances = a;\n"
                       "      exits     = long_name;\n"
                       "      windows   = a;\n"
                       "    };\n"
                       "  };\n"))
      << text;
}

TEST(WriterTest, TeamMembersAndTheBarePlayer) {
  ParsedMission m;
  AddBasics(m);
  m.AddActor(kActorNpc, "n", "m/s");
  m.AddWeapon("Handcannon");
  m.SetSkill(3);
  m.AddActor(kActorPlayer, "p", "q");
  m.AddTeam("empty");
  m.AddTeam("armed");
  m.AddActor(kActorPlayer, "p2", "q");
  m.AddItem("Kevlar Vest");
  m.AddAmmunition("M4 Clip", -3);
  m.AddWeapon("MK23 Pistol");
  m.SetSkill(0.5f);  // a player's skill is not written
  const std::string text = MissionText(m);
  EXPECT_TRUE(Contains(text,
                       "  force \"blue\"\n"
                       "  {\n"
                       "    team \"t\"\n"
                       "    { npc \"n\" \"m/s\"\n"
                       "        { \n"
                       "          weapon \"Handcannon\";\n"
                       "          skill  = 3;\n"
                       "        };\n"
                       "      player \"p\" \"q\" { };\n"
                       "    };\n"
                       "    team \"empty\"\n"
                       "    {     };\n"
                       "    team \"armed\"\n"
                       "    { player \"p2\" \"q\"\n"
                       "        { \n"
                       "          weapon \"MK23 Pistol\";\n"
                       "          ammo   \"M4 Clip\" = -3;\n"
                       "          item   \"Kevlar Vest\";\n"
                       "        };\n"
                       "    };\n"
                       "  };\n\n"))
      << text;
}

TEST(WriterTest, ConditionsAndObjectives) {
  ParsedMission m;
  AddBasics(m);
  // failure("t", "lost") = ( timeout(300) || !( alive("boss") ) ) -> { "m2" }
  MissionObjective* failure = m.AddObjective(kObjectiveFailure, "t", "lost");
  m.OpenCompound();
  m.AddTimeoutLeaf(300);
  m.SetOperator(kConditionOr);
  m.OpenCompound();
  m.AddConditionLeaf(kConditionAlive, "boss");
  m.SetOperator(kConditionNot);
  m.CloseCompound();
  m.CloseCompound();
  m.AddNextMission("m2");
  EXPECT_EQ(PrintCondition(failure->condition), "( timeout(300) || !( alive(\"boss\") ) )");

  MissionObjective* success = m.AddObjective(kObjectiveSuccess, "blue", "won");
  m.OpenCompound();
  m.AddConditionLeaf(kConditionEliminated, "red");
  m.SetOperator(kConditionAnd);
  m.AddConditionLeaf(kConditionOccupied, "hq");
  m.CloseCompound();
  m.AddNextMission("m3");
  m.AddNextMission("m4");
  EXPECT_EQ(PrintCondition(success->condition), "( eliminated(\"red\") && occupied(hq) )");

  m.AddObjective(kObjectiveSuccess, "t", "bare");  // no condition and no next missions
  EXPECT_EQ(PrintCondition(nullptr), "");

  const std::string text = MissionText(m);
  EXPECT_TRUE(Contains(text,
                       "  objectives\n"
                       "  {\n"
                       "    failure\n"
                       "      ( \"t\",\n"
                       "        \"lost\"\n"
                       "      )\n"
                       "      =  ( timeout(300) || !( alive(\"boss\") ) )\n"
                       "      -> {\"m2\"};\n"
                       "\n"
                       "    success\n"
                       "      ( \"blue\",\n"
                       "        \"won\"\n"
                       "      )\n"
                       "      =  ( eliminated(\"red\") && occupied(hq) )\n"
                       "      -> {\"m3\", \"m4\"};\n"
                       "\n"
                       "    success\n"
                       "      ( \"t\",\n"
                       "        \"bare\"\n"
                       "      )\n"
                       "      =  \n"
                       "      -> {};\n"
                       "  };\n\n"))
      << text;
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

// The plan printed for a team: wait forever; on (contact, casualty) { attack towards x; }; phase "two"; join
TEST(WriterTest, TeamPlanAtIndentationTwo) {
  ParsedMission m;
  AddBasics(m);
  m.AddLocation("x", 0, 0, 0);
  m.BeginPlan("T");  // found ignoring case
  const Text owner = m.MakeText("t");
  m.AppendWait(kWaitForever);
  m.AppendOn(owner, kEventContact | kEventCasualty, {});
  m.PushStatementList();
  m.AppendInstruction(InstructionKind::kAttack, owner, m.MakeText("x"));
  m.PopStatementList();
  m.AppendInstruction(InstructionKind::kPhase, m.MakeText("two"));
  m.AppendInstruction(InstructionKind::kJoin, owner);
  m.EndPlan();
  EXPECT_TRUE(
      SameText("  wait forever;\n"
               "  on (contact, casualty)\n"
               "  {\n"
               "    attack towards x;\n"
               "  };\n"
               "\n"
               "phase \"two\";\n"
               "  join ;\n",
               PrintStatements(m.FindTeam("t")->plan, 2)));
}

// Every statement kind, every event, and the number forms, in the whole-mission layout.
void BuildFullMission(ParsedMission& m) {
  m.SetMissionName("Warehouse raid");
  m.SetAuthor("J. Doe");
  m.SetDescription("Go in.\\nKill all.");
  m.SetMapName("urban/ware1");
  m.AddRule("RESPAWN", kRespawnTeam);
  m.AddRule("respawn", kRespawnIndividual);
  m.AddRule("respawn", kRespawnNone);
  m.AddMapStyle(kMapStyleDark);
  m.AddMapStyle(kMapStyleOpen);
  m.AppendAnnotation("Two floors,");
  m.AppendAnnotation("\n");
  m.AppendAnnotation("one roof.");
  m.AddLocation("gate", 100, -200, 32);
  m.AddLocation("roof.n", -32768, 32767, 0);
  m.AddLocation("gate", 1, 1, 1);  // a second location of the same name
  m.AddLocation("hq", 5, 6, 7);
  m.AddArea("yard");
  m.AddAreaStyle(kAreaStyleOpen);
  m.AddAreaName(AreaList::kLocations, "gate");
  m.AddAreaName(AreaList::kLocations, "hq");
  m.AddAreaName(AreaList::kEntrances, "gate");
  m.SetAreaRadius(4464);
  m.AddArea("top");
  m.AddAreaStyle(kAreaStyleRoof);
  m.AddAreaName(AreaList::kLocations, "roof.n");
  m.AddAreaName(AreaList::kWindows, "hq");
  m.SetAreaRadius(-5);

  m.AddForce("blue");
  m.AddTeam("alpha");
  m.AddActor(kActorNpc, "bob", "terror/terror");
  m.AddWeapon("Handcannon");
  m.AddWeapon("Handcannon");
  m.AddAmmunition("12 Gauge Shells", 24);
  m.AddItem("Bandolier");
  m.SetSkill(3.25f);
  m.AddActor(kActorNpc, "ann", "female/ctf_r");
  m.SetSkill(9);  // clamped to 5
  m.AddTeam("bravo");
  m.AddForce("red");
  m.AddTeam("ALPHA");
  m.AddActor(kActorPlayer, "you", "male/resdog");

  m.AddObjective(kObjectiveSuccess, "alpha", "All clear.");
  m.OpenCompound();
  m.OpenCompound();
  m.AddConditionLeaf(kConditionEliminated, "red");
  m.SetOperator(kConditionAnd);
  m.AddConditionLeaf(kConditionOccupied, "yard");
  m.CloseCompound();
  m.SetOperator(kConditionOr);
  m.AddTimeoutLeaf(-1);
  m.CloseCompound();
  m.AddNextMission("ware2");
  m.AddObjective(kObjectiveFailure, "blue", "Bob died.");
  m.AddConditionLeaf(kConditionAlive, "bob");
  m.AddNextMission("ware1");
  m.AddNextMission("menu");

  m.BeginPlan("alpha");
  const Text alpha = m.MakeText("alpha");
  auto text = [&m](const char* s) { return m.MakeText(s); };
  m.AppendWait(5);
  m.AppendWait(0.25f);
  m.AppendWait(9999.8f);
  m.AppendWait(9999.9f);
  m.AppendInstruction(InstructionKind::kWaitUntilReady, alpha);
  m.AppendInstruction(InstructionKind::kWaitUntilAssembled, alpha);
  m.AppendInstruction(InstructionKind::kWaitUntilCode, alpha, text("go go"));
  m.AppendInstruction(InstructionKind::kAbort, alpha);
  m.AppendInstruction(InstructionKind::kAdvance, alpha, text("gate"), text("walk"));
  m.AppendInstruction(InstructionKind::kAssemble, alpha, text("hq"), text("run"));
  m.AppendInstruction(InstructionKind::kAttack, alpha, text("hq"));
  m.AppendInstruction(InstructionKind::kContinue, alpha, text("two"));
  m.AppendInstruction(InstructionKind::kDefend, alpha, text("gate"), text("hq"));
  m.AppendInstruction(InstructionKind::kFreeze, alpha, text("gate"), {}, 2.5f);
  m.AppendInstruction(InstructionKind::kFreeze, alpha, text("gate"), {}, 1e6f);
  m.AppendInstruction(InstructionKind::kInsert, alpha, text("gate"), text("sneak"));
  m.AppendInstruction(InstructionKind::kJoin, alpha);
  m.AppendInstruction(InstructionKind::kMoveup, alpha, text("hq"), text("crouch"));
  m.AppendInstruction(InstructionKind::kObserve, alpha, text("roof.n"));
  m.AppendPatrol(alpha);
  m.AddPendingPatrolArea(text("yard"));
  m.AddPendingPatrolArea(text("top"));
  m.AppendPatrol(alpha);
  m.AppendInstruction(InstructionKind::kPhase, text("two"));
  m.AppendInstruction(InstructionKind::kPullback, alpha, text("gate"), text("run"));
  m.AppendInstruction(InstructionKind::kRadio, alpha, text("Moving in!"));
  m.AppendOn(alpha, kEventCode | kEventUnderFire | kEventContact | kEventCasualty, text("x"));
  m.PushStatementList();
  m.AppendInstruction(InstructionKind::kSignalTowards, alpha, text("hq"));
  m.AppendOn(alpha, kEventUnderFire, {});
  m.PushStatementList();
  m.AppendInstruction(InstructionKind::kPhase, text("inner"));
  m.PopStatementList();
  m.AppendInstruction(InstructionKind::kSignalTowards, alpha, text("hq"), text("now"));
  m.PopStatementList();
  m.AppendOn(alpha, kEventCasualty, {});
  m.PushStatementList();
  m.PopStatementList();
  m.AppendInstruction(InstructionKind::kSignalCode, alpha, text("c1"));
  m.AppendInstruction(InstructionKind::kSnipe, alpha, text("roof.n"), text("gate"));
  m.AppendInstruction(InstructionKind::kSpawn, alpha);
  m.AppendInstruction(InstructionKind::kSplit, alpha, text("bravo"), {}, 2);
  m.AppendInstruction(InstructionKind::kSpread, alpha, text("hq"), {}, 0.00001f);
  m.AppendInstruction(InstructionKind::kSpread, alpha, text("hq"), {}, 64);
  m.AppendInstruction(InstructionKind::kTakeCover, alpha, text("gate"));
  m.EndPlan();
}

TEST(WriterTest, WholeMissionMatchesTheGoldenFile) {
  ParsedMission m;
  BuildFullMission(m);
  EXPECT_TRUE(MatchesGolden("writer/full_mission.vyr", MissionText(m)));
}

TEST(WriterTest, FilesEndLinesWithCrLfAndReplaceAtomically) {
  ParsedMission m;
  BuildFullMission(m);
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "vyr_writer_test_files";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  const std::filesystem::path path = dir / "out.vyr";
  std::ofstream(path) << "old contents";

  const WriteResult written = WriteMission(m, path);
  ASSERT_TRUE(written) << written.message;
  const std::string bytes = ReadFileBytes(path);
  EXPECT_EQ(bytes, WithCrLf(MissionText(m)));
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n') {
      ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare line feed at byte " << i;
    }
  }
  // The annotation's own line feed is written as a line end too.
  EXPECT_NE(bytes.find("\"Two floors,\r\none roof.\";\r\n"), std::string::npos);

  const WriteResult failed = WriteMission(m, dir / "missing" / "out.vyr");
  EXPECT_FALSE(failed);
  EXPECT_NE(failed.message.find("missing/out.vyr"), std::string::npos) << failed.message;
  std::filesystem::remove_all(dir);
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
  EXPECT_TRUE(Contains(text, "          skill  = 0.00001;\n")) << text;
  EXPECT_TRUE(Contains(text, "  rules\n  {\n  };\n")) << text;
  EXPECT_FALSE(Contains(text, "annotation")) << text;
  EXPECT_TRUE(Contains(text,
                       "      split \"t\" 3;\n"
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
