#include "editor/document/section_files.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/document/document_test_helpers.h"
#include "tests/editor_test_support.h"

namespace vyr::editor {
namespace {

using namespace vyr::editor::testing;

std::string Format(const MissionDocument& doc, Section section) {
  std::string bytes;
  const Status status = FormatSection(doc, section, bytes);
  EXPECT_TRUE(status) << status.message;
  return bytes;
}

std::string Extension(Section section) {
  return std::string(TextsOf(section).extension);
}

// Every record of every kind, compared through the bytes they write.
void ExpectSameRecords(const MissionDocument& a, const MissionDocument& b) {
  for (Section section : kAllSections)
    EXPECT_TRUE(SameBytes(Format(a, section), Format(b, section))) << Extension(section);
}

TEST(SectionFiles, LocationsAreasAndOutcomesAreWrittenLineByLine) {
  MissionDocument doc;
  ASSERT_TRUE(doc.AddLocation("gate", "the north gate", -64, 0, 128));
  ASSERT_TRUE(doc.AddLocation("", "", 32767, -32768, 1));
  ASSERT_TRUE(doc.AddArea("New area", "", "[none]", 0, "open"));
  ASSERT_TRUE(doc.AddArea("yard", "open ground", "gate?tower?", -5, "open?roof?"));
  ASSERT_TRUE(doc.AddOutcome("Blue", "Well done", "m2?m3?", "success", "timeout(300)"));
  ASSERT_TRUE(doc.AddOutcome("", "", "", "failure", ""));
  EXPECT_TRUE(SameBytes(Lines({"[VERSION 0.2]", "gate", "the north gate", "-64 ", " 0 ", " 128 ", "", "",
                               " 32767 ", "-32768 ", " 1 "}),
                        Format(doc, Section::kLocations)));
  // The radius comes before the style.
  EXPECT_TRUE(SameBytes(Lines({"[VERSION 0.2]", "New area", "", "[none]", " 0 ", "open", "yard",
                               "open ground", "gate?tower?", "-5 ", "open?roof?"}),
                        Format(doc, Section::kAreas)));
  EXPECT_TRUE(SameBytes(Lines({"[VERSION 0.2]", "Blue", "Well done", "m2?m3?", "success", "timeout(300)", "",
                               "", "", "failure", ""}),
                        Format(doc, Section::kOutcomes)));
}

TEST(SectionFiles, ForcesMatchTheGoldenFileAndReadBack) {
  MissionDocument doc;
  ASSERT_TRUE(doc.AddForce("Blue", "attackers"));
  ASSERT_TRUE(doc.AddTeam(0, "Alpha", "", "  attack towards gate;\r\n\r\n  wait until ready;"));
  ActorRecord actor;
  actor.npc_name = "Lead";
  actor.npc_skill = 0.5f;
  actor.ammo = {10, 20, 30, 40, 50};
  actor.weapon = {true, false, true, false, false, true};
  actor.item = {false, true, false, false, true};
  actor.npc_player = true;
  ASSERT_TRUE(doc.AddActor(0, 0, actor));
  ASSERT_TRUE(doc.AddActor(0, 0, ActorRecord{}));
  ASSERT_TRUE(doc.AddTeam(0, "Empty", "no plan", ""));
  ASSERT_TRUE(doc.AddForce("Red", ""));
  EXPECT_TRUE(SameBytes(TestData("document/two_teams.mfr"), Format(doc, Section::kForces)));

  ScratchFolder folder;
  Spit(folder / "f.mfr", TestData("document/two_teams.mfr"));
  MissionDocument back;
  ASSERT_TRUE(ReadSection(back, Section::kForces, folder / "f.mfr"));
  ASSERT_EQ(back.actor_count(0, 0), 2);
  EXPECT_EQ(back.actor(0, 0, 0), actor);  // the skill is exact, not only its printed form
  ExpectSameRecords(doc, back);
}

TEST(SectionFiles, VersionLineOnlyReadsAsAnEmptyTableAndNamesTheSection) {
  ScratchFolder folder;
  for (Section section : kAllSections) {
    const std::string path = folder / ("only" + Extension(section));
    // A line feed alone ends the version line too.
    Spit(path, section == Section::kLocations ? "[VERSION 0.2]\n" : "[VERSION 0.2]\r\n");
    MissionDocument doc;
    BuildWarehouse(doc);
    ASSERT_TRUE(ReadSection(doc, section, path));
    EXPECT_EQ(Format(doc, section), "[VERSION 0.2]\r\n");
    EXPECT_EQ(doc.section_file(section), SplitPath(path));
    EXPECT_EQ(doc.tree().node(doc.tree().category(section)).text,
              CategoryText(section, "only" + Extension(section)));
  }
}

TEST(SectionFiles, AnEmptyFileIsReportedAMissingOneChangesNothingAndBadNumbersStopTheRead) {
  ScratchFolder folder;
  Spit(folder / "empty.mlc", "");
  MissionDocument doc;
  BuildWarehouse(doc);
  EXPECT_EQ(ReadSection(doc, Section::kLocations, folder / "empty.mlc").message,
            folder / "empty.mlc" + ":1: the file is empty");
  EXPECT_EQ(doc.location_count(), 0);
  EXPECT_TRUE(doc.section_file(Section::kLocations).unnamed()) << "a failed read names nothing";

  EXPECT_EQ(ReadSection(doc, Section::kAreas, folder / "none.mar").message,
            folder / "none.mar" + ": cannot open the file: No such file or directory");
  EXPECT_EQ(doc.area_count(), 1) << "the areas stay when the file cannot be opened";

  // Non-numbers read 0; a huge one stops the read, in a file of the largest size read, at its own line.
  Spit(folder / "n.mlc",
       Lines({"[VERSION 0.2]", "a", "", "abc", "  7.5", "-2.5e1", "b", "", "1", "99999", "3"}));
  std::filesystem::resize_file(folder / "n.mlc", std::uint64_t{1} << 30);
  EXPECT_EQ(ReadSection(doc, Section::kLocations, folder / "n.mlc").message,
            folder / "n.mlc" + ":10: loc_y \"99999\" is out of range (-32768 to 32767)");
  ASSERT_EQ(doc.location_count(), 1);
  EXPECT_EQ(doc.location(0).loc_x, 0);
  EXPECT_EQ(doc.location(0).loc_y, 8) << "7.5 rounds half to even";
  EXPECT_EQ(doc.location(0).loc_z, -25);
}

// Cuts a file after each of its lines and reads what is left: no crash, the whole records before the cut
// are kept, and a cut inside a record is reported at the first missing line.
TEST(SectionFiles, FilesEndingInsideARecordKeepWhatWasReadAndNameTheLine) {
  MissionDocument full;
  BuildWarehouse(full);
  ScratchFolder folder;
  for (Section section : kAllSections) {
    const std::vector<std::string> cuts = CutsAfterEachLine(Format(full, section));
    int previous_records = 0;
    for (int kept = 1; kept <= static_cast<int>(cuts.size()); ++kept) {
      const std::string path = folder / ("cut" + Extension(section));
      Spit(path, cuts[static_cast<std::size_t>(kept - 1)]);
      MissionDocument doc;
      const Status status = ReadSection(doc, section, path);
      int records = doc.location_count() + doc.area_count() + doc.outcome_count();
      for (int f = 0; f < doc.force_count(); ++f) {
        ++records;
        for (int t = 0; t < doc.team_count(f); ++t)
          records += 1 + doc.actor_count(f, t);
      }
      EXPECT_GE(records, previous_records) << "cut after line " << kept;
      previous_records = records;
      const bool whole_records = kept == 1 || (section != Section::kForces && (kept - 1) % 5 == 0);
      if (whole_records) {
        EXPECT_TRUE(status) << status.message;
      } else {
        ASSERT_FALSE(status) << "cut after line " << kept;
        EXPECT_NE(status.message.find(Numbered(":", kept + 1) + ": the file ends inside "), std::string::npos)
            << status.message;
      }
    }
  }

  // A forces file cut right after the first actor count: the force and its team are there, no actors.
  const std::string forces = Format(full, Section::kForces);
  Spit(folder / "team.mfr", forces.substr(0, forces.find(" -PLAN ENDS HERE -\r\n 2 \r\n") + 25));
  MissionDocument doc;
  EXPECT_EQ(ReadSection(doc, Section::kForces, folder / "team.mfr").message,
            folder / "team.mfr" + ":12: the file ends inside an actor record (npc_name expected)");
  ASSERT_EQ(doc.team_count(0), 1);
  EXPECT_EQ(doc.actor_count(0, 0), 0);
  EXPECT_EQ(doc.team(0, 0).plan, full.team(0, 0).plan);
}

TEST(SectionFiles, FlagsAreTrueOnlyForExactlyTrue) {
  std::string bytes =
      Lines({"[VERSION 0.2]", "F", "", " 1 ", "T", "", " -PLAN STARTS HERE -", "", " -PLAN ENDS HERE -",
             " 1 ", "A", " 1 ", "x/y", " 0 ", " 0 ", " 0 ", " 0 ", " 0 "});
  // Six weapons, five items, then the player flag.
  bytes += Lines({"True", "true", "TRUE", "True ", " True", "1", "False", "", "Yes", "True", "True", "true"});
  ScratchFolder folder;
  Spit(folder / "flags.mfr", bytes);
  MissionDocument doc;
  ASSERT_TRUE(ReadSection(doc, Section::kForces, folder / "flags.mfr"));
  const ActorRecord& actor = doc.actor(0, 0, 0);
  EXPECT_EQ(actor.npc_skin, "x/y");
  EXPECT_EQ(actor.weapon, (std::array<bool, 6>{true, false, false, false, false, false}));
  EXPECT_EQ(actor.item, (std::array<bool, 5>{false, false, false, true, true}));
  EXPECT_FALSE(actor.npc_player);
}

TEST(SectionFiles, CountsBeyondTheCapacitiesStopAtTheCapacity) {
  ScratchFolder folder;
  // A force claiming 30000 teams, followed by 22 of them.
  std::string teams = Lines({"[VERSION 0.2]", "Big", "", " 30000 "});
  for (int t = 0; t < 22; ++t)
    teams += Lines({Numbered("T", t), "", " -PLAN STARTS HERE -", "", " -PLAN ENDS HERE -", " 0 "});
  Spit(folder / "teams.mfr", teams);
  MissionDocument doc;
  EXPECT_EQ(ReadSection(doc, Section::kForces, folder / "teams.mfr").message,
            folder / "teams.mfr" +
                ":4: force \"Big\" has 30000 teams; only 21 fit, the rest of the file was not read");
  ASSERT_EQ(doc.force_count(), 1);
  EXPECT_EQ(doc.team_count(0), kMaxTeams);
  EXPECT_EQ(doc.team(0, 20).team_name, "T20");

  // A team claiming 22 actors.
  std::string actors = Lines({"[VERSION 0.2]", "F", "", " 1 ", "Crowd", "", " -PLAN STARTS HERE -", "",
                              " -PLAN ENDS HERE -", " 22 "});
  for (int a = 0; a < 22; ++a) {
    actors += Lines({Numbered("A", a), " 1 ", "terror/terror", " 0 ", " 0 ", " 0 ", " 0 ", " 0 "});
    for (int i = 0; i < 12; ++i)
      actors += "False\r\n";
  }
  Spit(folder / "actors.mfr", actors);
  EXPECT_EQ(ReadSection(doc, Section::kForces, folder / "actors.mfr").message,
            folder / "actors.mfr" +
                ":10: team \"Crowd\" has 22 actors; only 21 fit, the rest of the file was not read");
  EXPECT_EQ(doc.actor_count(0, 0), kMaxActors);

  // 102 locations: 101 are read, the 102nd is reported at its first line.
  std::string locations = "[VERSION 0.2]\r\n";
  for (int i = 0; i < 102; ++i)
    locations += Lines({Numbered("L", i), "", " 1 ", " 2 ", " 3 "});
  Spit(folder / "many.mlc", locations);
  EXPECT_EQ(ReadSection(doc, Section::kLocations, folder / "many.mlc").message,
            folder / "many.mlc" + ":507: more than 101 locations; the rest of the file was not read");
  EXPECT_EQ(doc.location_count(), kMaxLocations);

  // A negative count reads as no teams, as a loop up to it would.
  Spit(folder / "negative.mfr", Lines({"[VERSION 0.2]", "F", "", "-3 ", "G", "", " 0 "}));
  ASSERT_TRUE(ReadSection(doc, Section::kForces, folder / "negative.mfr"));
  EXPECT_EQ(doc.force_count(), 2);
}

TEST(SectionFiles, APlanLineEqualToTheEndMarkerEndsThePlanOnReadingAndIsRefusedOnWriting) {
  ScratchFolder folder;
  Spit(folder / "early.mfr",
       Lines({"[VERSION 0.2]", "F", "", " 1 ", "T", "", " -PLAN STARTS HERE -", "  attack;",
              " -PLAN ENDS HERE -", "  wait;", " -PLAN ENDS HERE -", " 0 "}));
  MissionDocument doc;
  // "  wait;" is taken as the actor count (0), the rest as a second force that ends early.
  EXPECT_EQ(ReadSection(doc, Section::kForces, folder / "early.mfr").message,
            folder / "early.mfr" + ":13: the file ends inside a force record (team count expected)");
  EXPECT_EQ(doc.team(0, 0).plan, "  attack;");
  EXPECT_EQ(doc.actor_count(0, 0), 0);
  EXPECT_EQ(doc.force_count(), 1);

  // Such a plan, or a line break in a one-line field, would corrupt the file: refused, the old file stays.
  Spit(folder / "kept.mfr", "old");
  ASSERT_TRUE(doc.AddTeam(0, "U", "", "  attack;\r\n -PLAN ENDS HERE -\r\n  wait;"));
  EXPECT_EQ(ExportSection(doc, Section::kForces, folder / "kept.mfr").message,
            folder / "kept.mfr" +
                ": force 1 (\"F\"), team 2 (\"U\"): a plan line reads \" -PLAN ENDS HERE -\", "
                "which would end the plan early");
  EXPECT_EQ(Slurp(folder / "kept.mfr"), "old");
  EXPECT_TRUE(doc.section_file(Section::kForces).unnamed());
  ASSERT_TRUE(doc.AddLocation("two\r\nlines", "", 0, 0, 0));
  EXPECT_EQ(ExportSection(doc, Section::kLocations, folder / "l.mlc").message,
            folder / "l.mlc" +
                ": location 1 (\"two\\x0D\\x0Alines\"): loc_name holds a line break, which a section file "
                "cannot carry");
  EXPECT_FALSE(std::filesystem::exists(folder / "l.mlc"));

  // A lone line feed ends a line for other readers too; a long name is quoted as a short excerpt.
  MissionDocument lone;
  ASSERT_TRUE(lone.AddArea("yard", "", "", 0, "open?\n"));
  EXPECT_EQ(ExportSection(lone, Section::kAreas, folder / "a.mar").message,
            folder / "a.mar" +
                ": area 1 (\"yard\"): area_style holds a line break, which a section file cannot carry");
  ASSERT_TRUE(lone.AddLocation(std::string(100000, 'n') + "\n", "", 0, 0, 0));
  EXPECT_LT(ExportSection(lone, Section::kLocations, folder / "l.mlc").message.size(), 300u);
  EXPECT_FALSE(std::filesystem::exists(folder / "a.mar"));
}

TEST(SectionFiles, EveryHighByteLongValuesAndLoneCarriageReturnsRoundTrip) {
  const std::string high = HighBytes();
  const std::string long_text(100000, 'w');
  MissionDocument doc;
  ASSERT_TRUE(doc.AddLocation(high, long_text, 1, 2, 3));
  ASSERT_TRUE(doc.AddArea(high, "\r", high + "?", 1, "a\rb"));
  ASSERT_TRUE(doc.AddForce(high, high));
  ASSERT_TRUE(doc.AddTeam(0, high, high, high + "\r\n" + high + "\r\n"));
  ActorRecord actor;
  actor.npc_name = high;
  actor.npc_skin = high;
  actor.npc_skill = 0.333f;
  ASSERT_TRUE(doc.AddActor(0, 0, actor));
  ASSERT_TRUE(doc.AddOutcome(high, high, high, high, long_text));

  ScratchFolder folder;
  MissionDocument back;
  for (Section section : kAllSections) {
    const std::string path = folder / ("h" + Extension(section));
    ASSERT_TRUE(ExportSection(doc, section, path));
    ASSERT_TRUE(ReadSection(back, section, path));
    EXPECT_TRUE(SameBytes(Slurp(path), Format(back, section)));
  }
  EXPECT_EQ(back.location(0), doc.location(0));
  EXPECT_EQ(back.area(0), doc.area(0));
  EXPECT_TRUE(back.force(0) == doc.force(0));  // with its team, plan and actor
  EXPECT_EQ(back.outcome(0), doc.outcome(0));
}

TEST(SectionFiles, FullTablesRoundTrip) {
  MissionDocument doc;
  for (int i = 0; i < kMaxLocations; ++i)
    ASSERT_TRUE(doc.AddLocation(Numbered("L", i), "", i, -i, i * 3));
  for (int f = 0; f < 3; ++f) {
    ASSERT_TRUE(doc.AddForce(Numbered("F", f), ""));
    for (int t = 0; t < kMaxTeams; ++t) {
      ASSERT_TRUE(doc.AddTeam(f, "T", "", "  wait;"));
      for (int a = 0; a < kMaxActors; ++a) {
        ActorRecord actor;
        actor.npc_skill = static_cast<float>(a) / 20.0f;
        actor.ammo[static_cast<std::size_t>(a % 5)] = static_cast<Integer>(a);
        ASSERT_TRUE(doc.AddActor(f, t, actor));
      }
    }
  }
  ScratchFolder folder;
  MissionDocument back;
  for (Section section : {Section::kLocations, Section::kForces}) {
    const std::string path = folder / ("full" + Extension(section));
    ASSERT_TRUE(ExportSection(doc, section, path));
    const Status read = ReadSection(back, section, path);
    ASSERT_TRUE(read) << read.message;
  }
  EXPECT_EQ(back.location_count(), kMaxLocations);
  EXPECT_EQ(back.actor(2, 20, 20).npc_skill, 1.0f);
  ExpectSameRecords(doc, back);
}

TEST(SectionFiles, SaveAsksOnlyWhileTheSectionIsUnnamedAndAFailureNamesNothing) {
  ScratchFolder folder;
  MissionDocument doc;
  BuildWarehouse(doc);
  ScriptedUi ui;
  ui.Answer(folder / "base.mlc");
  ASSERT_TRUE(SaveSection(doc, ui, Section::kLocations));
  ASSERT_EQ(ui.dialogs.size(), 1u);
  EXPECT_EQ(doc.tree().node(doc.tree().category(Section::kLocations)).text, "Locations (base.mlc)");

  ASSERT_TRUE(doc.AddLocation("well", "", 1, 1, 1));
  ASSERT_TRUE(SaveSection(doc, ui, Section::kLocations));  // no dialog: the scripted user would fail it
  EXPECT_NE(Slurp(folder / "base.mlc").find("well"), std::string::npos);

  // Save As starts in the section's folder with its name; Cancel changes nothing.
  ui.Answer(std::nullopt);
  const Status cancelled = SaveSectionAs(doc, ui, Section::kLocations);
  EXPECT_TRUE(!cancelled && cancelled.cancelled) << "a cancelled save is told apart from a saved one";
  EXPECT_EQ(ui.dialogs.back().request.directory, folder.dir());
  EXPECT_EQ(ui.dialogs.back().request.file_name, "base.mlc");
  EXPECT_EQ(doc.section_file(Section::kLocations).name, "base.mlc");
  EXPECT_TRUE(ui.messages.empty());

  // A failed save is told with the path and leaves the name alone.
  ui.Answer(folder / "missing/base.mar");
  EXPECT_FALSE(SaveSection(doc, ui, Section::kAreas));
  EXPECT_EQ(ui.messages,
            (std::vector<Message>{{"VYR Mission Editor",
                                   "The file could not be saved.\n\n" + folder / "missing/base.mar" +
                                       ": cannot create a temporary file in its folder: No such file "
                                       "or directory",
                                   MessageIcon::kCritical}}));
  EXPECT_TRUE(doc.section_file(Section::kAreas).unnamed());
}

TEST(SectionFiles, ImportingOutcomesReplacesOnlyTheOutcomes) {
  ScratchFolder folder;
  Spit(folder / "other.moc", Lines({"[VERSION 0.2]", "Red", "Too late", "", "failure", "timeout(60)", "Red",
                                    "Again", "m9?", "failure", "!alive(Red)"}));
  MissionDocument doc;
  BuildWarehouse(doc);
  MissionDocument before;
  BuildWarehouse(before);
  ScriptedUi ui;
  ui.Answer(folder / "other.moc");
  ASSERT_TRUE(ImportSection(doc, ui, Section::kOutcomes, "/opt/editor/"));
  ASSERT_EQ(ui.dialogs.size(), 1u);
  EXPECT_EQ(DialogText(ui.dialogs[0]), "open | Import | Mission Outcomes (*.moc)|*.moc | /opt/editor/ | ");
  ASSERT_EQ(doc.outcome_count(), 2);
  EXPECT_EQ(doc.outcome(1).outcome_reason, "!alive(Red)");
  EXPECT_EQ(doc.outcome(1).nextmission, "m9?");
  EXPECT_EQ(doc.tree().node(doc.tree().category(Section::kOutcomes)).text, "Mission outcome (other.moc)");
  for (Section section : {Section::kLocations, Section::kAreas, Section::kForces})
    EXPECT_EQ(Format(doc, section), Format(before, section));

  ui.Answer(std::nullopt);  // a cancelled import
  EXPECT_TRUE(ImportSection(doc, ui, Section::kForces, "/opt/editor/").cancelled);
  EXPECT_EQ(doc.force_count(), 1);

  // A damaged file is told, and what was read stays.
  Spit(folder / "cut.moc", Lines({"[VERSION 0.2]", "Red", "Too late", "", "failure", "timeout(60)", "Blue"}));
  ui.Answer(folder / "cut.moc");
  EXPECT_FALSE(ImportSection(doc, ui, Section::kOutcomes, "/opt/editor/"));
  EXPECT_EQ(doc.outcome_count(), 1);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "The file could not be read completely.\n\n" + folder / "cut.moc" +
                                     ":8: the file ends inside an outcome record (outcome_message expected)");
}

}  // namespace
}  // namespace vyr::editor
