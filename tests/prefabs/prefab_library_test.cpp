#include "editor/prefabs/prefab_library.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>

#include "editor/prefabs/prefab_files.h"
#include "tests/editor_test_support.h"

namespace vyr::editor {
namespace {

using namespace vyr::editor::testing;

ActorRecord Named(const std::string& name) {
  ActorRecord actor;
  actor.npc_name = name;
  return actor;
}

// Puts `name` on the document's actor clipboard and pastes it into the current group.
Status PasteActor(PrefabLibrary& library, const std::string& name) {
  MissionDocument doc;
  EXPECT_TRUE(doc.AddForce("F", ""));
  EXPECT_TRUE(doc.AddTeam(0, "T", "", ""));
  EXPECT_TRUE(doc.AddActor(0, 0, Named(name)));
  EXPECT_TRUE(doc.CopyActor(0, 0, 0));
  return library.PasteAsPrefab(doc);
}

// A library in a scratch folder.
struct PrefabLibraryTest : ::testing::Test {
  ScratchFolder folder;
  PrefabLibrary library{folder.str()};
  // Puts the golden library files named (e.g. "actors.dat") in the folder, then loads.
  void Load(std::initializer_list<const char*> golden = {}) {
    for (const char* name : golden)
      Spit(folder / (std::string("prefab_") + name), TestData(std::string("prefabs/") + name));
    ASSERT_TRUE(library.Load());
  }
};

TEST(PrefabLibrary, FirstStartIsAnEmptyLibraryAndWritesNothing) {
  ScratchFolder folder;
  PrefabLibrary library(folder / "data");
  ASSERT_TRUE(library.Load());
  EXPECT_EQ(library.current_group(), -1);
  EXPECT_TRUE(library.ListedMembers().empty());
  EXPECT_EQ(PasteActor(library, "A").message, "There is no prefab group to paste into: add one first.");
  EXPECT_TRUE(library.Save());
  EXPECT_FALSE(std::filesystem::exists(folder / "data"));

  // An import into the empty library selects and lists its first group.
  Spit(folder / "one.prb", TestData("prefabs/snipers.prb"));
  ScriptedUi ui;
  ui.Answer(folder / "one.prb");
  ASSERT_TRUE(library.Import(ui));
  EXPECT_EQ(library.current_group(), 0);
  EXPECT_EQ(library.ListedMembers(), (std::vector<std::string>{"Jos\xE9", "Sniper"}));
}

TEST_F(PrefabLibraryTest, EachChangeIsWrittenAtOnceAndDeletingAMemberMovesTheRestUp) {
  Load();
  ASSERT_TRUE(library.AddGroup("G"));
  EXPECT_EQ(library.AddGroup("").cancelled, true);  // the name dialog's Cancel
  for (const char* name : {"A", "B", "C"})
    ASSERT_TRUE(PasteActor(library, name));
  library.SetMenuMember(1);
  ASSERT_TRUE(library.DeleteMember());
  EXPECT_EQ(library.ListedMembers(), (std::vector<std::string>{"A", "C"}));
  EXPECT_EQ(library.menu_member(), -1);

  PrefabLibrary again(folder.str());
  ASSERT_TRUE(again.Load());
  EXPECT_EQ(again.ListedMembers(), (std::vector<std::string>{"A", "C"}));
  EXPECT_FALSE(std::filesystem::exists(library.team_file()));
}

TEST_F(PrefabLibraryTest, APastedTeamNeverKeepsItsPlan) {
  Load();
  library.SetMode(PrefabMode::kTeams);
  ASSERT_TRUE(library.AddGroup("Squads"));
  MissionDocument doc;
  BuildWarehouse(doc);
  ASSERT_TRUE(doc.CopyTeam(0, 0));
  EXPECT_FALSE(library.MenuState(doc).delete_enabled);
  EXPECT_TRUE(library.MenuState(doc).paste_enabled);
  ASSERT_TRUE(library.PasteAsPrefab(doc));
  const TeamRecord& alpha = library.teams().member(0, 0);
  EXPECT_EQ(alpha.plan, "");
  EXPECT_EQ(alpha.actor_count, 2);
  const std::string written = Slurp(library.team_file());
  EXPECT_EQ(written.find("insert"), std::string::npos);
  EXPECT_EQ(written.substr(0, 22), Lines({"Squads", "Alpha", "", " 1 "}));
  library.SetMode(PrefabMode::kActors);
  EXPECT_FALSE(library.MenuState(doc).paste_enabled);  // a team, not an actor, is on the clipboard
}

TEST_F(PrefabLibraryTest, CapacitiesAreRefusedNamingTheLimit) {
  Load();
  for (int g = 0; g < kMaxPrefabGroups - 1; ++g)
    ASSERT_TRUE(library.AddGroup(Numbered("G", g)));
  // An import that makes exactly eleven groups is taken; one that would make twelve is refused whole.
  ScratchFolder other;
  Spit(other / "one.prb", TestData("prefabs/snipers.prb"));
  ScriptedUi ui;
  ui.Answer(other / "one.prb");
  ASSERT_TRUE(library.Import(ui));
  EXPECT_EQ(
      library.AddGroup("Twelfth").message,
      "Cannot add the prefab group \"Twelfth\": the library already holds 11 groups, the most it can hold.");
  for (int m = 0; m < kMaxPrefabMembers; ++m)
    ASSERT_TRUE(PasteActor(library, Numbered("A", m)));
  EXPECT_EQ(PasteActor(library, "A20").message,
            "Cannot add the prefab \"A20\": the group \"G9\" already holds 20 prefabs, the most a group can "
            "hold.");
  EXPECT_EQ(library.ListedMembers().size(), 20u);

  ui.Answer(other / "one.prb");
  EXPECT_EQ(library.Import(ui).message,
            "Nothing was imported: the library holds at most 11 groups; it has 11 and the file adds 1.");
  EXPECT_EQ(library.GroupNames().size(), 11u);
}

TEST_F(PrefabLibraryTest, ExportThenImportAddsTheGroupAfterTheOthers) {
  Load({"actors.dat"});
  ASSERT_TRUE(library.AddGroup("Third"));
  library.SelectGroup(0);
  ScriptedUi ui;
  ui.Answer(std::nullopt);
  EXPECT_TRUE(library.Export(ui).cancelled);
  ui.Answer(folder / "out");  // typed without the extension: written as the Import dialog lists it
  ASSERT_TRUE(library.Export(ui));
  EXPECT_TRUE(SameBytes(TestData("prefabs/snipers.prb"), Slurp(folder / "out.prb")));
  EXPECT_FALSE(std::filesystem::exists(folder / "out"));

  const std::string before = Slurp(library.actor_file());
  ui.Answer(std::nullopt);
  EXPECT_TRUE(library.Import(ui).cancelled);
  EXPECT_EQ(Slurp(library.actor_file()), before);
  ui.Answer(folder / "out.prb");
  ASSERT_TRUE(library.Import(ui));
  EXPECT_EQ(library.GroupNames(), (std::vector<std::string>{"Snipers", "Spare", "Third", "Snipers"}));
  EXPECT_EQ(library.actors().MemberNames(3), (std::vector<std::string>{"Jos\xE9", "Sniper"}));
  for (const auto& dialog : ui.dialogs) {
    EXPECT_EQ(dialog.request.filter, "Prefab (*.prb)|*.prb");
    EXPECT_EQ(dialog.request.title, dialog.kind == "save" ? "Export prefabs" : "Import prefabs");
    EXPECT_EQ(dialog.request.directory, folder.str());
  }
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(PrefabLibraryTest, DeletingAGroupMovesTheLaterOnesUpAndSelectsTheFirst) {
  Load({"actors.dat"});
  ASSERT_TRUE(library.AddGroup("Third"));
  ASSERT_TRUE(PasteActor(library, "A"));
  library.SelectGroup(0);
  ASSERT_TRUE(library.DeleteGroup());
  EXPECT_EQ(library.GroupNames(), (std::vector<std::string>{"Spare", "Third"}));
  EXPECT_EQ(library.current_group(), 0);
  EXPECT_TRUE(library.ListedMembers().empty());
  library.SelectGroup(1);
  EXPECT_EQ(library.ListedMembers(), (std::vector<std::string>{"A"}));

  // An exchange file that holds no group imports nothing.
  Spit(folder / "empty.prb", Lines({"[ACTORS]"}));
  ScriptedUi ui;
  ui.Answer(folder / "empty.prb");
  const Status imported = library.Import(ui);
  EXPECT_NE(imported.message.find("the file holds no prefab group"), std::string::npos) << imported.message;
  EXPECT_EQ(library.GroupNames().size(), 2u);
}

TEST(PrefabLibrary, ADamagedFileKeepsItsGroupsAndIsReplacedOnlyAfterABackup) {
  ScratchFolder folder;
  const std::string golden = TestData("prefabs/actors.dat");
  const std::string truncated = golden.substr(0, golden.rfind("END-OF-PREFAB-GROUP"));  // "Spare" has no end
  Spit(folder / "prefab_actors.dat", truncated);
  Spit(folder / "prefab_teams.dat", TestData("prefabs/teams.dat"));
  {
    PrefabLibrary library(folder.str());
    const Status loaded = library.Load();
    ASSERT_FALSE(loaded);
    EXPECT_NE(loaded.message.find(
                  "/prefab_actors.dat:48: the file ends inside the prefab group \"Spare\" (a prefab or "
                  "END-OF-PREFAB-GROUP expected)"),
              std::string::npos)
        << loaded.message;
    EXPECT_EQ(library.GroupNames(), (std::vector<std::string>{"Snipers", "Spare"}));
    library.SetMode(PrefabMode::kTeams);
    ASSERT_TRUE(library.AddGroup("New"));  // the team file changes, the damaged actor file does not
    EXPECT_TRUE(library.Save());
  }
  EXPECT_EQ(Slurp(folder / "prefab_actors.dat"), truncated);
  EXPECT_FALSE(std::filesystem::exists(folder / "prefab_actors.dat.bak"));

  PrefabLibrary library(folder.str());
  EXPECT_FALSE(library.Load());
  ASSERT_TRUE(library.RenameGroup("Marksmen"));
  EXPECT_EQ(Slurp(folder / "prefab_actors.dat.bak"), truncated);
  EXPECT_TRUE(
      SameBytes(Lines({"Marksmen"}) + golden.substr(golden.find("Jos")), Slurp(library.actor_file())));
  ASSERT_TRUE(library.RenameGroup("Scouts"));  // the file is sound now: no second backup
  EXPECT_FALSE(std::filesystem::exists(folder / "prefab_actors.dat.bak2"));

  // A second damaged file keeps the first backup and gets one of its own.
  const std::string cut_again = golden.substr(0, golden.find("Sniper\r\n"));
  Spit(folder / "prefab_actors.dat", cut_again);
  PrefabLibrary later(folder.str());
  EXPECT_FALSE(later.Load());
  ASSERT_TRUE(later.AddGroup("New"));
  EXPECT_EQ(Slurp(folder / "prefab_actors.dat.bak"), truncated);
  EXPECT_EQ(Slurp(folder / "prefab_actors.dat.bak2"), cut_again);
}

TEST_F(PrefabLibraryTest, AFailedWriteIsReturnedAndTriedAgainAtUnload) {
  Load();
  std::filesystem::create_directory(library.actor_file());  // a folder where the file should go
  const Status added = library.AddGroup("G");
  EXPECT_FALSE(added);
  EXPECT_NE(added.message.find("prefab_actors.dat"), std::string::npos) << added.message;
  EXPECT_EQ(library.GroupNames().size(), 1u);  // the change itself stays
  EXPECT_FALSE(library.Save());
  std::filesystem::remove(library.actor_file());
  EXPECT_TRUE(library.Save());
  EXPECT_EQ(Slurp(library.actor_file()), Lines({"G", "END-OF-PREFAB-GROUP"}));
}

TEST_F(PrefabLibraryTest, EditingAPrefabActorAnnouncesItAndRefusesAnEmptyLibraryName) {
  Load({"teams.dat"});
  ASSERT_TRUE(library.AddGroup("G"));
  ASSERT_TRUE(PasteActor(library, "A"));
  std::vector<PrefabEvent> events;
  auto connection = library.changes().Connect([&](const PrefabEvent& e) { events.push_back(e); });

  const auto member = PrefabActorRef::Library(0, 0);
  ASSERT_TRUE(library.SetActorField(member, Field::kNpcName, std::string("Sniper")));
  EXPECT_EQ(library.ListedMembers(), (std::vector<std::string>{"Sniper"}));
  EXPECT_FALSE(library.SetActorField(member, Field::kNpcName, std::string()));
  EXPECT_FALSE(library.SetActorField(member, Field::kAmmo, Integer{4}, 5));
  ASSERT_TRUE(library.SetActorField(member, Field::kAmmo, Integer{4}, 4));
  EXPECT_EQ(library.Actor(member)->ammo[4], 4);

  const auto bot = PrefabActorRef::TeamMember(0, 0, 1);
  ASSERT_TRUE(library.SetActorField(bot, Field::kNpcName, std::string()));  // a team's actor may be unnamed
  EXPECT_EQ(library.teams().member(0, 0).actors[1].npc_name, "");
  EXPECT_EQ(library.Actor(PrefabActorRef::TeamMember(0, 1, 0)), nullptr);  // "Ghost" has no actors
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[2].change, PrefabChange::kMember);
  EXPECT_EQ(events[2].mode, PrefabMode::kTeams);
  EXPECT_EQ(events[2].team_actor, 1);
}

}  // namespace
}  // namespace vyr::editor
