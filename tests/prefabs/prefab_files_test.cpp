#include "editor/prefabs/prefab_files.h"

#include <gtest/gtest.h>

#include "tests/editor_test_support.h"

namespace vyr::editor {
namespace {

using namespace vyr::editor::testing;

template <class Record>
PrefabGroups<Record> Read(const std::string& bytes, std::optional<FileError>* fault = nullptr) {
  PrefabGroups<Record> groups;
  TextReader in("lib.dat", bytes);
  const auto error = ReadPrefabGroups(in, groups);
  if (fault) {
    *fault = error;
  } else {
    EXPECT_FALSE(error) << error->Message();
  }
  return groups;
}

template <class Record>
std::string Format(const PrefabGroups<Record>& groups) {
  std::string bytes;
  const Status status = FormatPrefabLibrary(groups, bytes);
  EXPECT_TRUE(status) << status.message;
  return bytes;
}

TEST(PrefabFiles, ActorLibraryReadsTheGoldenFileAndWritesItBackByteForByte) {
  const std::string golden = TestData("prefabs/actors.dat");
  const PrefabActors actors = Read<ActorRecord>(golden);
  ASSERT_EQ(actors.group_names(), (std::vector<std::string>{"Snipers", "Spare"}));
  ASSERT_EQ(actors.member_count(0), 2);
  EXPECT_EQ(actors.member_count(1), 0);
  const ActorRecord& jose = actors.member(0, 0);
  EXPECT_EQ(jose.npc_name, "Jos\xE9");  // Windows-1252 bytes stay as they are
  EXPECT_EQ(jose.npc_skin, "male/resdog");
  EXPECT_EQ(jose.npc_skill, 0.5f);
  EXPECT_EQ(jose.ammo, (std::array<Integer, 5>{0, 7, 0, 0, 12}));
  EXPECT_EQ(jose.weapon, (std::array<bool, 6>{true, false, false, false, false, true}));
  EXPECT_EQ(jose.item, (std::array<bool, 5>{false, true, false, false, false}));
  EXPECT_FALSE(jose.npc_player);
  EXPECT_EQ(actors.member(0, 1).ammo, (std::array<Integer, 5>{1, 2, 3, 4, -5}));
  EXPECT_TRUE(actors.member(0, 1).npc_player);
  EXPECT_TRUE(SameBytes(golden, Format(actors)));
}

TEST(PrefabFiles, TeamLibraryKeepsATeamWithoutActorsAndWritesItBackByteForByte) {
  const std::string golden = TestData("prefabs/teams.dat");
  const PrefabTeams teams = Read<TeamRecord>(golden);
  ASSERT_EQ(teams.group_count(), 2);
  ASSERT_EQ(teams.member_count(0), 2);
  const TeamRecord& alpha = teams.member(0, 0);
  EXPECT_EQ(alpha.team_desc, "two men");
  ASSERT_EQ(alpha.actor_count, 2);
  EXPECT_EQ(alpha.actors[1].npc_name, "Bot");
  EXPECT_EQ(alpha.actors[1].npc_skill, 0.25f);
  EXPECT_EQ(alpha.actors[1].ammo[0], 3);
  EXPECT_EQ(teams.member(0, 1).team_name, "Ghost");
  EXPECT_EQ(teams.member(0, 1).actor_count, 0);  // written as the last actor index -1
  EXPECT_TRUE(SameBytes(golden, Format(teams)));
}

TEST(PrefabFiles, ExchangeFileIsTheHeaderAndOneGroup) {
  const PrefabActors actors = Read<ActorRecord>(TestData("prefabs/actors.dat"));
  std::string bytes;
  ASSERT_TRUE(FormatPrefabExchange(actors, 0, bytes));
  EXPECT_TRUE(SameBytes(TestData("prefabs/snipers.prb"), bytes));
  TextReader in("s.prb", bytes);
  EXPECT_EQ(ReadExchangeHeader(in), PrefabMode::kActors);
  TextReader other("t.prb", Lines({"[teams]"}));
  EXPECT_EQ(ReadExchangeHeader(other), PrefabMode::kTeams);  // any other first line
}

TEST(PrefabFiles, TrueInOtherLettersReadsFalseAndLoneLineFeedsAreLineEnds) {
  std::string block = "G\nA\nskin\n1\n0\n0\n0\n0\n0\n";
  for (const char* flag : {"true", "TRUE", "True", "False", "False", "False", "False", "False", "False",
                           "False", "False", "true"})
    block += std::string(flag) + "\n";
  block += "x\ny\nEND-OF-PREFAB-GROUP\n";
  const PrefabActors actors = Read<ActorRecord>(block);
  ASSERT_EQ(actors.member_count(0), 1);
  EXPECT_EQ(actors.member(0, 0).weapon, (std::array<bool, 6>{false, false, true, false, false, false}));
  EXPECT_FALSE(actors.member(0, 0).npc_player);
}

TEST(PrefabFiles, AFaultKeepsWhatWasReadAndNamesTheLine) {
  const std::string golden = TestData("prefabs/teams.dat");
  std::optional<FileError> fault;
  // Cut inside the second actor of "Alpha": the group stays, without the half-read team.
  const PrefabTeams cut = Read<TeamRecord>(golden.substr(0, golden.find("False\r\nTrue\r\nFalse")), &fault);
  ASSERT_TRUE(fault);
  EXPECT_EQ(fault->Message(),
            "lib.dat:33: the file ends inside the prefab group \"Squads\" (weapon1 expected)");
  ASSERT_EQ(cut.group_count(), 1);
  EXPECT_EQ(cut.member_count(0), 0);

  const std::string spare_only = golden.substr(golden.find("Spare"));
  Read<TeamRecord>("G\r\nT\r\n\r\n 21 \r\n", &fault);
  EXPECT_EQ(fault->Message(),
            "lib.dat:4: the last actor index 21 of the team \"T\" is out of range (-1 to 20)");
  Read<ActorRecord>("G\r\n\r\n", &fault);
  EXPECT_EQ(fault->Message(), "lib.dat:2: a prefab without a name; the rest of the file was not read");
  std::string twelve;
  for (int g = 0; g < 12; ++g)
    twelve += spare_only;
  const PrefabTeams eleven = Read<TeamRecord>(twelve, &fault);
  EXPECT_EQ(eleven.group_count(), kMaxPrefabGroups);
  EXPECT_EQ(fault->Message(), "lib.dat:23: more than 11 prefab groups; the rest of the file was not read");

  // Twenty members fit; a twenty-first is a fault, never dropped quietly.
  const std::string actors = TestData("prefabs/actors.dat");
  const std::size_t at = actors.find("Sniper\r\nterror");
  std::string twenty = "G\r\n";
  for (int m = 0; m < kMaxPrefabMembers; ++m)
    twenty += actors.substr(at, actors.find("END-OF") - at);
  EXPECT_EQ(Read<ActorRecord>(twenty + "END-OF-PREFAB-GROUP\r\n").member_count(0), kMaxPrefabMembers);
  const PrefabActors full = Read<ActorRecord>(twenty + "Sniper\r\n", &fault);
  ASSERT_TRUE(fault);
  EXPECT_EQ(
      fault->Message(),
      "lib.dat:442: the prefab group \"G\" holds more than 20 prefabs; the rest of the file was not read");
  EXPECT_EQ(full.member_count(0), kMaxPrefabMembers);
}

TEST(PrefabFiles, WritersRefuseValuesThatWouldNotReadBack) {
  PrefabActors actors;
  ASSERT_TRUE(actors.AppendGroup("G"));
  ActorRecord actor;
  actor.npc_name = std::string(kEndOfPrefabGroup);
  ASSERT_TRUE(actors.AppendMember(0, actor));
  std::string bytes = "untouched";
  EXPECT_EQ(
      FormatPrefabLibrary(actors, bytes).message,
      "prefab group \"G\", prefab \"END-OF-PREFAB-GROUP\": a prefab cannot be named \"END-OF-PREFAB-GROUP\"");
  actors.member(0, 0).npc_name = "A";
  for (const char* skin : {"a\r\nb", "a\nb"}) {  // a lone line feed ends a line as well
    actors.member(0, 0).npc_skin = skin;
    EXPECT_EQ(
        FormatPrefabLibrary(actors, bytes).message,
        "prefab group \"G\", prefab \"A\": npc_skin holds a line break, which a prefab file cannot carry");
  }
  EXPECT_EQ(bytes, "untouched");
  EXPECT_FALSE(CheckGroupName("two\nlines"));

  // Every actor of a team is checked, the first and the last.
  PrefabTeams teams;
  ASSERT_TRUE(teams.AppendGroup("G"));
  TeamRecord team;
  team.team_name = "T";
  team.actor_count = kMaxActors;
  ASSERT_TRUE(teams.AppendMember(0, team));
  for (const int a : {0, kMaxActors - 1}) {
    teams.member(0, 0).actors[static_cast<std::size_t>(a)].npc_skin = "a\r\nb";
    EXPECT_EQ(FormatPrefabLibrary(teams, bytes).message,
              "prefab group \"G\", prefab \"T\", actor \"New Actor\": npc_skin holds a line break, which a "
              "prefab file cannot carry")
        << "actor " << a;
    teams.member(0, 0).actors[static_cast<std::size_t>(a)].npc_skin = "ok";
  }
  EXPECT_TRUE(FormatPrefabLibrary(teams, bytes));
  team.team_desc = "night\nraid";
  teams.member(0, 0) = team;
  EXPECT_FALSE(FormatPrefabLibrary(teams, bytes));
}

TEST(PrefabFiles, MessagesQuoteAShortExcerptOfADamagedName) {
  // A damaged file whose group name is one long line, cut off inside the group.
  const std::string name(200000, 'g');
  std::optional<FileError> fault;
  Read<ActorRecord>(name + "\r\nA\r\n", &fault);
  ASSERT_TRUE(fault);
  EXPECT_LT(fault->Message().size(), 200u) << fault->Message().substr(0, 300);
  EXPECT_NE(fault->Message().find("the file ends inside the prefab group \"ggg"), std::string::npos);

  PrefabActors actors;
  ASSERT_TRUE(actors.AppendGroup(name));
  ActorRecord actor;
  actor.npc_name = name;
  actor.npc_skin = "\n";
  ASSERT_TRUE(actors.AppendMember(0, actor));
  std::string bytes;
  EXPECT_LT(FormatPrefabLibrary(actors, bytes).message.size(), 300u);
}

}  // namespace
}  // namespace vyr::editor
