#include <filesystem>
#include <sstream>
#include <vector>

#include "automation_fixture.h"
#include "tests/lib_test_support.h"

namespace vyr::automation::testing {
namespace {

using namespace platform;
using ::vyr::testing::ReadFileBytes;

class Mission : public AutomationTest {
 protected:
  void ParseRaid() { ASSERT_EQ(Parse(mission_.Get(), kRaidScript), 0); }
  std::string Str(HRESULT (IVYRMission::*get)(BSTR*)) {
    BStr out;
    EXPECT_EQ((mission_.Get()->*get)(out.Put()), S_OK);
    return Text(out);
  }
  std::int16_t Count(HRESULT (IVYRMission::*get)(std::int16_t*)) {
    std::int16_t n = -1;
    EXPECT_EQ((mission_.Get()->*get)(&n), S_OK);
    return n;
  }
  float OverallSkill() {
    float skill = -1;
    EXPECT_EQ(mission_->get_OverallSkill(&skill), S_OK);
    return skill;
  }
  // "type name model-and-skin skill".
  std::string Actor(std::int16_t index) {
    BStr type, name, skin;
    float skill = -1;
    EXPECT_EQ(mission_->ActorInfo(index, type.Put(), name.Put(), skin.Put(), &skill), S_OK);
    std::ostringstream out;
    out << Text(type) << " " << Text(name) << " " << Text(skin) << " " << skill;
    return out.str();
  }
  std::int16_t ItemCount(std::int16_t actor, const char* name) {
    std::int16_t count = -1;
    EXPECT_EQ(mission_->GetActorItemCount(actor, Arg(name).Get(), &count), S_OK);
    return count;
  }
  void SetItemCount(std::int16_t actor, const char* name, std::int16_t count) {
    EXPECT_EQ(mission_->SetActorItemCount(actor, Arg(name).Get(), count), S_OK);
  }
  // The equipment lines of the generated script for one actor block, in order.
  std::string Equipment(const std::string& actor_name) {
    const std::string path = folder_ + "/equipment.vyr";
    EXPECT_EQ(mission_->GenerateMission(Arg(path.c_str()).Get()), S_OK);
    const std::string text = ReadFileBytes(path);
    std::istringstream in(text.substr(text.find("\"" + actor_name + "\"")));
    std::string lines, line;
    std::getline(in, line);
    while (std::getline(in, line) && line.find("};") == std::string::npos) {
      const auto first = line.find_first_not_of(' ');
      if (first == std::string::npos || line[first] == '{' || line.find("skill") != std::string::npos)
        continue;
      if (line.back() == '\r') line.pop_back();
      lines += line.substr(first) + "|";
    }
    return lines;
  }
};

TEST_F(Mission, BeforeAnyParseTheModelIsEmpty) {
  for (auto get : {&IVYRMission::MissionTitle, &IVYRMission::MissionDescription, &IVYRMission::MissionAuthor,
                   &IVYRMission::MissionMap, &IVYRMission::GetRawMissionDescription})
    EXPECT_EQ(Str(get), "incorrect mission");
  EXPECT_EQ(Str(&IVYRMission::GetMapAnnotation), "");
  for (auto count : {&IVYRMission::ActorCount, &IVYRMission::GetLocationCount, &IVYRMission::GetAreaCount,
                     &IVYRMission::GetObjectiveCount, &IVYRMission::GetMapStyles})
    EXPECT_EQ(Count(count), 0);
  EXPECT_EQ(OverallSkill(), 0.0f);
  BStr plan(u"untouched");
  EXPECT_EQ(mission_->GetTeamPlan(Arg("alpha").Get(), plan.Put()), S_OK);
  EXPECT_EQ(Text(plan), "");
}

TEST_F(Mission, GeneralInformationAndDescriptionConversion) {
  ParseRaid();
  EXPECT_EQ(Str(&IVYRMission::MissionTitle), "Warehouse raid");
  EXPECT_EQ(Str(&IVYRMission::MissionAuthor), "J. Doe");
  EXPECT_EQ(Str(&IVYRMission::MissionMap), "urban/ware1");
  EXPECT_EQ(Str(&IVYRMission::MissionDescription), "Go in. Kill all.");
  EXPECT_EQ(Str(&IVYRMission::GetRawMissionDescription), "Go in.\\nKill all.");
  EXPECT_EQ(Str(&IVYRMission::GetMapAnnotation), "Two floors and a roof");
  EXPECT_EQ(Count(&IVYRMission::GetMapStyles), 6);  // dark, open
}

TEST_F(Mission, DescriptionsOfAnyLengthAndAwkwardBackslashes) {
  std::string description;
  for (int i = 0; i < 300; ++i)
    description += "line\\n";
  description += "\\\\n end";
  const std::string path = WriteTempFile(
      "long.vyr", "mission \"m\" { author \"a\"; description \"" + description +
                      "\"; rules { }; map \"x\" { }; force \"f\" { team \"t\" { }; }; objectives { }; ; }");
  ASSERT_EQ(Parse(mission_.Get(), path), 0);
  std::string expected;
  for (int i = 0; i < 300; ++i)
    expected += "line ";
  expected += "\\  end";  // backslash-backslash-n: the second backslash and the n make the blank
  EXPECT_EQ(Str(&IVYRMission::MissionDescription), expected);
  EXPECT_EQ(Str(&IVYRMission::GetRawMissionDescription), description);
}

TEST_F(Mission, TryParseResultsAndWhatTheyLeaveBehind) {
  ParseRaid();
  std::int16_t result = -1;
  EXPECT_EQ(mission_->TryParseMission(Arg((folder_ + "/missing.vyr").c_str()).Get(), &result), S_OK);
  EXPECT_EQ(result, 1);
  EXPECT_EQ(mission_->TryParseMission(nullptr, &result), S_OK);  // a null string is an empty name
  EXPECT_EQ(result, 1);
  EXPECT_EQ(mission_->TryParseMission(Arg(folder_.c_str()).Get(), &result), S_OK);  // a folder
  EXPECT_NE(result, 0);
  EXPECT_EQ(Count(&IVYRMission::ActorCount), 3);  // the model is as it was

  // A parse problem: 2, and the messages go to the standard error stream.
  const std::string bad = WriteTempFile("bad.vyr", "mission \"m\" {\n  author 12;\n}\n");
  ::testing::internal::CaptureStderr();
  result = Parse(mission_.Get(), bad);
  const std::string errors = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(result, 2);
  EXPECT_NE(errors.find("line 2"), std::string::npos) << errors;

  // A second parse without closing adds to the first.
  ASSERT_EQ(mission_->CloseMission(), S_OK);
  ParseRaid();
  ParseRaid();
  EXPECT_EQ(Count(&IVYRMission::ActorCount), 6);
}

// Closing forgets the names as well: a second script may not use a location only the first declared.
TEST_F(Mission, AClosedModelKnowsNoNameOfTheScriptBefore) {
  ParseRaid();
  ASSERT_EQ(mission_->CloseMission(), S_OK);
  const std::string uses_hq = WriteTempFile(
      "hq.vyr",
      "mission \"m\" { author \"a\"; description \"d\"; rules { respawn = none; }; map \"city\" "
      "{ location l1 = <0, 0, 0> }; force \"blue\" { team \"alpha\" { npc \"bob\" \"terror/terror\" "
      "{ skill = 3 } }; }; objectives { }; plan \"alpha\" { advance towards hq using \"walk\" }; }");
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(Parse(mission_.Get(), uses_hq), 2);
  ::testing::internal::GetCapturedStderr();
}

TEST_F(Mission, FileNamesReachTheFileSystemAsUtf8) {
  const std::string folder = folder_ + "/d\xC3\xA9j\xC3\xA0";  // "déjà" in UTF-8
  std::filesystem::create_directory(folder);
  std::filesystem::copy_file(kRaidScript, folder + "/raid.vyr",
                             std::filesystem::copy_options::overwrite_existing);
  std::u16string name = Cp1252ToUtf16(folder_) + u"/d\u00E9j\u00E0/raid.vyr";
  std::int16_t result = -1;
  ASSERT_EQ(mission_->TryParseMission(BStr(name).Get(), &result), S_OK);
  EXPECT_EQ(result, 0);
  const std::u16string out = Cp1252ToUtf16(folder_) + u"/d\u00E9j\u00E0/out \u4E2D.vyr";
  ASSERT_EQ(mission_->GenerateMission(BStr(out).Get()), S_OK);
  EXPECT_TRUE(std::filesystem::exists(folder + "/out \xE4\xB8\xAD.vyr"));
}

TEST_F(Mission, ActorsForcesAndTeams) {
  ParseRaid();
  EXPECT_EQ(Actor(0), "npc bob terror/terror 2");
  EXPECT_EQ(Actor(2), "player you male/resdog 0");
  BStr force, team;
  ASSERT_EQ(mission_->GetActorForceAndTeam(2, force.Put(), team.Put()), S_OK);
  EXPECT_EQ(Text(force) + "/" + Text(team), "red/reds");
  ASSERT_EQ(mission_->GetActorForceAndTeam(1, force.Put(), nullptr), S_OK);  // a null slot is skipped
  EXPECT_EQ(Text(force), "blue");
}

TEST_F(Mission, InvalidIndexesLeaveEveryOutParameterAsPassed) {
  ParseRaid();
  // The caller keeps its own strings: an operation that writes an [out] string does not free the old one.
  BStr keep(u"keep");
  for (std::int16_t bad : {std::int16_t{-1}, std::int16_t{3}, std::int16_t{32767}, std::int16_t{-32768}}) {
    BSTR a = keep.Get(), b = keep.Get(), c = keep.Get(), d = keep.Get();
    float skill = 9.5f, x = 1, y = 2, z = 3, radius = 4;
    std::int16_t styles = 11, locations = 12, entrances = 13, exits = 14, windows = 15, next = 16;
    ASSERT_EQ(mission_->ActorInfo(bad, &a, &b, &c, &skill), S_OK);
    mission_->GetActorForceAndTeam(bad, &a, &b);
    mission_->GetLocationData(bad, &a, &x, &y, &z);
    mission_->GetAreaData(bad, &a, &styles, &locations, &entrances, &exits, &windows, &radius);
    mission_->GetAreaLocationLabel(bad, 0, &b);
    mission_->GetObjectiveData(bad, &a, &b, &c, &d, &next);
    mission_->GetObjectiveNextMission(bad, 0, &c);
    mission_->GetObjectiveNextMission(0, bad, &d);  // a bad next-mission index of a good objective
    for (BSTR out : {a, b, c, d})
      EXPECT_EQ(out, keep.Get()) << bad;
    EXPECT_EQ((std::vector<float>{skill, x, y, z, radius}), (std::vector<float>{9.5f, 1, 2, 3, 4})) << bad;
    EXPECT_EQ((std::vector<int>{styles, locations, entrances, exits, windows, next}),
              (std::vector<int>{11, 12, 13, 14, 15, 16}))
        << bad;
    // The item count alone is set to 0 first.
    std::int16_t count = 5;
    mission_->GetActorItemCount(bad, Arg("Handcannon").Get(), &count);
    EXPECT_EQ(count, 0);
    // Changes with a bad index change nothing.
    mission_->SetActorSkill(bad, 1.0f);
    mission_->SetActorName(bad, Arg("x").Get());
    mission_->SetActorType(bad, Arg("player").Get());
    mission_->SetActorModelSkin(bad, Arg("x/y").Get());
    mission_->SetActorItemCount(bad, Arg("Handcannon").Get(), 0);
  }
  EXPECT_EQ(OverallSkill(), 3.25f);
  EXPECT_EQ(ItemCount(0, "Handcannon"), 2);
}

TEST_F(Mission, LocationsAndAreas) {
  ParseRaid();
  EXPECT_EQ(Count(&IVYRMission::GetLocationCount), 3);
  BStr label;
  float x = 0, y = 0, z = 0;
  mission_->GetLocationData(0, label.Put(), &x, &y, &z);
  EXPECT_EQ(Text(label), "gate");
  EXPECT_TRUE(x == 100.0f && y == -200.0f && z == 32.0f);

  EXPECT_EQ(Count(&IVYRMission::GetAreaCount), 2);
  auto area = [&](std::int16_t index) {  // "name styles locations entrances exits windows radius"
    std::int16_t styles, locations, entrances, exits, windows;
    float radius = -1;
    mission_->GetAreaData(index, label.Put(), &styles, &locations, &entrances, &exits, &windows, &radius);
    std::ostringstream out;
    out << Text(label) << " " << styles << " " << locations << " " << entrances << " " << exits << " "
        << windows << " " << radius;
    return out.str();
  };
  EXPECT_EQ(area(0), "yard 1 2 1 1 0 40");
  EXPECT_EQ(area(1), "top 4 1 0 0 2 0");

  ASSERT_EQ(mission_->GetAreaLocationLabel(0, 1, label.Put()), S_OK);
  EXPECT_EQ(Text(label), "hq");
  for (std::int16_t outside : {std::int16_t{2}, std::int16_t{-1}}) {  // an empty string, not the old one
    BStr out(u"keep");
    mission_->GetAreaLocationLabel(0, outside, out.Put());
    EXPECT_EQ(Text(out), "");
  }
}

TEST_F(Mission, SetActorItemCountFollowsTheFixedListsExactly) {
  ParseRaid();
  EXPECT_EQ(Equipment("bob"),
            "weapon \"Handcannon\";|weapon \"Handcannon\";|weapon \"Sniper Rifle\";|ammo   \"M4 Clip\" = 3;|"
            "ammo   \"Pistol Clip\" = 2;|item   \"Bandolier\";|item   \"bandolier\";|");
  const std::string rest =
      "ammo   \"M4 Clip\" = 3;|ammo   \"Pistol Clip\" = 2;|item   \"Bandolier\";|item   \"bandolier\";|";
  SetItemCount(0, "Handcannon", 1);
  EXPECT_EQ(Equipment("bob"), "weapon \"Handcannon\";|weapon \"Sniper Rifle\";|" + rest);
  SetItemCount(0, "Handcannon", 3);
  EXPECT_EQ(Equipment("bob"),
            "weapon \"Handcannon\";|weapon \"Sniper Rifle\";|weapon \"Handcannon\";|weapon \"Handcannon\";|" +
                rest);
  EXPECT_EQ(ItemCount(0, "handcannon"), 3);
  SetItemCount(0, "handcannon", 2);  // not in the list as spelt: nothing changes
  EXPECT_EQ(ItemCount(0, "Handcannon"), 3);
  SetItemCount(0, "Grenade", 4);
  EXPECT_EQ(ItemCount(0, "Grenade"), 0);

  // Items: counted ignoring case, kept up to the count in order.
  EXPECT_EQ(ItemCount(0, "BANDOLIER"), 2);
  SetItemCount(0, "Bandolier", 1);
  EXPECT_EQ(Equipment("bob").find("item   \"bandolier\""), std::string::npos);
  SetItemCount(0, "Kevlar Vest", 2);
  EXPECT_EQ(ItemCount(0, "kevlar vest"), 2);

  // Ammunition: the first entry of the name takes the count; 0 removes it; a missing one is added,
  // also with 0.
  SetItemCount(0, "M4 Clip", 7);
  EXPECT_EQ(ItemCount(0, "m4 clip"), 7);
  SetItemCount(0, "M4 Clip", 0);
  EXPECT_EQ(Equipment("bob").find("M4 Clip"), std::string::npos);
  SetItemCount(0, "M4 Clip", 0);
  EXPECT_NE(Equipment("bob").find("ammo   \"M4 Clip\" = 0;"), std::string::npos);
  EXPECT_EQ(ItemCount(0, "M4 Clip"), 0);

  // Counts of other actors are untouched.
  EXPECT_EQ(ItemCount(1, "Handcannon"), 0);
}

TEST_F(Mission, ItemCountsSaturateInsteadOfWrapping) {
  const std::string path = WriteTempFile(
      "ammo.vyr",
      "mission \"m\" { author \"a\"; description \"d\"; rules { }; map \"x\" { };"
      " force \"f\" { team \"t\" { npc \"n\" \"m/s\" { ammo \"M4 Clip\" = 30000; ammo \"m4 clip\" = 30000;"
      " ammo \"Pistol Clip\" = -30000; ammo \"PISTOL CLIP\" = -30000; skill = 1 }; }; }; objectives { }; ; "
      "}");
  ASSERT_EQ(Parse(mission_.Get(), path), 0);
  EXPECT_EQ(ItemCount(0, "M4 Clip"), 32767);
  EXPECT_EQ(ItemCount(0, "Pistol Clip"), -32768);
  SetItemCount(0, "M4 Clip", 5);  // the first entry of the name only
  EXPECT_EQ(ItemCount(0, "M4 Clip"), 30005);
}

TEST_F(Mission, OverallSkillAndActorChanges) {
  ParseRaid();
  EXPECT_EQ(OverallSkill(), 3.25f);  // (2 + 4.5) / 2: the player does not count
  ASSERT_EQ(mission_->put_OverallSkill(2.5f), S_OK);
  EXPECT_EQ(OverallSkill(), 2.5f);
  EXPECT_EQ(Actor(2), "player you male/resdog 2.5");  // players are set too
  mission_->put_OverallSkill(-7.0f);                  // no clamping
  EXPECT_EQ(OverallSkill(), -7.0f);

  mission_->SetActorSkill(1, 9.0f);
  mission_->SetActorModelSkin(1, Arg("male/cyborg").Get());
  mission_->SetActorType(1, Arg("Player").Get());  // exact words only
  EXPECT_EQ(Actor(1), "npc ann male/cyborg 9");
  mission_->SetActorType(1, Arg("player").Get());
  EXPECT_EQ(Actor(1), "player ann male/cyborg 9");
  EXPECT_EQ(OverallSkill(), -7.0f);  // bob alone now
  mission_->SetActorType(0, Arg("player").Get());
  EXPECT_EQ(OverallSkill(), 0.0f);  // no npc left
}

TEST_F(Mission, ObjectivesAndRenamesInTheirConditions) {
  ParseRaid();
  EXPECT_EQ(Count(&IVYRMission::GetObjectiveCount), 2);
  auto objective = [&](std::int16_t index) {  // "type|owner|message|conditions|next missions"
    BStr kind, owner, message, conditions;
    std::int16_t next = -1;
    mission_->GetObjectiveData(index, kind.Put(), owner.Put(), message.Put(), conditions.Put(), &next);
    return Text(kind) + "|" + Text(owner) + "|" + Text(message) + "|" + Text(conditions) + "|" +
           std::to_string(next);
  };
  EXPECT_EQ(objective(0), "failure|red|lost|( timeout(300) || !( alive(\"bob\") ) )|1");
  EXPECT_EQ(objective(1), "success|alpha|won|eliminated(\"bob\")|2");
  BStr next_name;
  mission_->GetObjectiveNextMission(1, 1, next_name.Put());
  EXPECT_EQ(Text(next_name), "menu");

  // Renaming an actor renames it in the conditions first; names cross as code page text.
  ASSERT_EQ(mission_->SetActorName(0, BStr(u"Jos\u00E9").Get()), S_OK);
  EXPECT_EQ(objective(0), "failure|red|lost|( timeout(300) || !( alive(\"Jos\xE9\") ) )|1");
  EXPECT_EQ(objective(1), "success|alpha|won|eliminated(\"Jos\xE9\")|2");
  BStr type, name, skin;
  float skill = 0;
  mission_->ActorInfo(0, type.Put(), name.Put(), skin.Put(), &skill);
  EXPECT_EQ(name.View(), u"Jos\u00E9");
}

TEST_F(Mission, TeamPlansComeWholeHoweverLong) {
  ParseRaid();
  BStr plan;
  ASSERT_EQ(mission_->GetTeamPlan(Arg("alpha").Get(), plan.Put()), S_OK);
  EXPECT_EQ(Text(plan),
            "  wait forever;\n  on (contact, casualty)\n  {\n    attack towards hq;\n  };\n\nphase \"two\";\n"
            "  join ;\n");
  mission_->GetTeamPlan(Arg("ALPHA").Get(), plan.Put());  // exact names only
  EXPECT_EQ(Text(plan), "");
  mission_->GetTeamPlan(Arg("reds").Get(), plan.Put());  // a team without a plan
  EXPECT_EQ(Text(plan), "");

  std::string statements;
  std::string expected;
  for (int i = 0; i < 400; ++i) {
    statements += "radio \"message number " + std::to_string(i) + "\";";
    expected += "  radio \"message number " + std::to_string(i) + "\";\n";
  }
  const std::string path =
      WriteTempFile("long_plan.vyr",
                    "mission \"m\" { author \"a\"; description \"d\"; rules { }; map \"x\" { };"
                    " force \"f\" { team \"t\" { }; }; objectives { }; plan \"t\" { " +
                        statements + " }; }");
  ASSERT_EQ(mission_->CloseMission(), S_OK);
  ASSERT_EQ(Parse(mission_.Get(), path), 0);
  mission_->GetTeamPlan(Arg("t").Get(), plan.Put());
  EXPECT_GT(expected.size(), 2047u);
  EXPECT_EQ(Text(plan), expected);
}

TEST_F(Mission, GeneratedScriptParsesBackWithTheChanges) {
  ParseRaid();
  SetItemCount(0, "Lasersight", 1);
  mission_->SetActorName(1, Arg("anne").Get());
  const std::string path = folder_ + "/generated.vyr";
  ASSERT_EQ(mission_->GenerateMission(Arg(path.c_str()).Get()), S_OK);
  ASSERT_EQ(mission_->CloseMission(), S_OK);
  ASSERT_EQ(Parse(mission_.Get(), path), 0);
  EXPECT_EQ(ItemCount(0, "lasersight"), 1);
  EXPECT_EQ(Actor(1), "npc anne female/ctf_r 4.5");
  EXPECT_EQ(Str(&IVYRMission::MissionTitle), "Warehouse raid");
}

TEST_F(Mission, GenerateIntoAnUnwritablePlaceReportsNothingAndKeepsTheOldFile) {
  ParseRaid();
  const std::string path = WriteTempFile("kept.vyr", "old contents");
  const std::string target = folder_ + "/no/such/folder/out.vyr";
  EXPECT_EQ(mission_->GenerateMission(Arg(target.c_str()).Get()), S_OK);
  EXPECT_FALSE(std::filesystem::exists(target));
  // A folder in the way of the file: nothing is written and nothing breaks.
  std::filesystem::create_directory(folder_ + "/in_the_way.vyr");
  EXPECT_EQ(mission_->GenerateMission(Arg((folder_ + "/in_the_way.vyr").c_str()).Get()), S_OK);
  EXPECT_TRUE(std::filesystem::is_directory(folder_ + "/in_the_way.vyr"));
  EXPECT_EQ(mission_->GenerateMission(nullptr), S_OK);
  EXPECT_EQ(ReadFileBytes(path), "old contents");
}

// The advice itself is the tactical file's business; here only that the interface passes it through.
TEST_F(Mission, TacticalExperienceAdvicePassesThrough) {
  std::int32_t recorded = 99, studied = 99;
  std::int16_t advice = 99;
  const std::string partial = folder_ + "/map1";
  WriteTempFile("map1.exp", std::string("\0\0\0\0\0\0\x2c\x01\0\0", 10));           // 300 recorded
  WriteTempFile("map1.tac", std::string("[VYR tac info 0.80]\xf0\0\0\0rest", 27));  // 240 studied
  ASSERT_EQ(
      mission_->NeedToIncorporateMissionExperiences(Arg(partial.c_str()).Get(), &recorded, &studied, &advice),
      S_OK);
  EXPECT_EQ(std::to_string(advice) + " " + std::to_string(recorded) + " " + std::to_string(studied),
            "1 300 240");
  ASSERT_EQ(mission_->IncorporateMissionExperiences(Arg(partial.c_str()).Get()), S_OK);
  EXPECT_EQ(ReadFileBytes(partial + ".tac"), std::string("[VYR tac info 0.80]\x2c\x01\0\0rest", 27));
}

}  // namespace
}  // namespace vyr::automation::testing
