#include "editor/document/project_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "editor/document/section_files.h"
#include "tests/document/file_test_util.h"
#include "tests/document/warehouse_fixture.h"

namespace vyr::editor {
namespace {

using testing::BuildWarehouse;
using testing::Lines;
using testing::Numbered;
using testing::SameBytes;
using testing::ScratchFolder;
using testing::ScriptedUi;
using testing::Slurp;
using testing::Spit;

class RecordedRecent : public RecentFiles {
 public:
  void AddToRecent(const std::string& path) override { paths.push_back(path); }
  std::vector<std::string> paths;
};

const char* const kExtensions[] = {".mlc", ".mar", ".mfr", ".moc"};

std::string SectionBytes(const MissionDocument& doc, Section section) {
  std::string bytes;
  EXPECT_TRUE(FormatSection(doc, section, bytes));
  return bytes;
}

std::string WarehouseProjectFile(const std::string& stem) {
  return Lines({"[VERSION 0.2]", "Kim", "urban1", "Clear the warehouse.", "Warehouse", "urban?dark?",
                stem + ".mlc", "[LOCAL]", stem + ".mar", "[LOCAL]", stem + ".mfr", "[LOCAL]", stem + ".moc",
                "[LOCAL]", "[START ANNOTATION]", "Night raid", "[STOP ANNOTATION]", "unnamed", ""});
}

// Writes the warehouse project as w.cme and its sections into `folder`.
void SaveWarehouse(MissionDocument& doc, const ScratchFolder& folder) {
  BuildWarehouse(doc);
  ScriptedUi ui;
  RecordedRecent recent;
  ui.Answer(folder / "w.cme");
  for (const char* extension : kExtensions)
    ui.Answer(folder / (std::string("w") + extension));
  ASSERT_TRUE(SaveProject(doc, ui, recent));
}

TEST(ProjectFile, ANeverSavedProjectAsksForTheProjectThenEachSectionThenWrites) {
  ScratchFolder folder;
  MissionDocument doc;
  BuildWarehouse(doc);
  ScriptedUi ui;
  RecordedRecent recent;
  ui.Answer(folder / "w.cme");
  for (const char* extension : kExtensions)
    ui.Answer(folder / (std::string("w") + extension));
  ASSERT_TRUE(SaveProject(doc, ui, recent));
  EXPECT_TRUE(ui.all_answered());

  ASSERT_EQ(ui.dialogs.size(), 5u);
  const char* filters[] = {"Mission Project (*.cme)|*.cme", "Mission locations (*.mlc)|*.mlc",
                           "Mission Areas (*.mar)|*.mar", "Mission Forces (*.mfr)|*.mfr",
                           "Mission Outcomes (*.moc)|*.moc"};
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(ui.dialogs[i].kind, "save");
    EXPECT_EQ(ui.dialogs[i].request.title, "Save As");
    EXPECT_EQ(ui.dialogs[i].request.filter, filters[i]);
    EXPECT_EQ(ui.dialogs[i].request.file_name, "unnamed");
    EXPECT_EQ(ui.dialogs[i].request.directory, "");
  }
  EXPECT_TRUE(SameBytes(WarehouseProjectFile("w"), Slurp(folder / "w.cme")));
  EXPECT_EQ(doc.caption(), "Marrowdell's VYR Mission Editor - [w.cme]");
  EXPECT_EQ(doc.tree().node(doc.tree().root()).text, "VYR (w.cme)");
  EXPECT_EQ(doc.project_file().directory, folder.dir());
  EXPECT_EQ(recent.paths, std::vector<std::string>{folder / "w.cme"});

  // Saving again writes every file in place without a dialog.
  doc.info.vyr_author = "Lee";
  ASSERT_TRUE(SaveProject(doc, ui, recent));
  EXPECT_EQ(ui.dialogs.size(), 5u);
  EXPECT_EQ(Slurp(folder / "w.cme").substr(0, 20), "[VERSION 0.2]\r\nLee\r\n");
  EXPECT_TRUE(ui.messages.empty());
}

TEST(ProjectFile, ACancelledSectionDialogLeavesTheProjectFileUnwritten) {
  ScratchFolder folder;
  MissionDocument doc;
  BuildWarehouse(doc);
  ScriptedUi ui;
  RecordedRecent recent;
  ui.Answer(folder / "p.cme");
  ui.Answer(folder / "p.mlc");
  ui.Answer(std::nullopt);  // areas
  ui.Answer(folder / "p.mfr");
  ui.Answer(folder / "p.moc");
  ASSERT_TRUE(SaveProject(doc, ui, recent));
  EXPECT_TRUE(ui.all_answered()) << "every section is asked for, then the save stops";
  EXPECT_FALSE(std::filesystem::exists(folder / "p.cme"));
  EXPECT_TRUE(std::filesystem::exists(folder / "p.mfr"));
  EXPECT_TRUE(doc.project_file().unnamed());
  EXPECT_TRUE(recent.paths.empty());
  EXPECT_TRUE(ui.messages.empty()) << "a cancel is not a failure";
}

TEST(ProjectFile, AFailedWriteIsToldAndLeavesTheOldProjectFile) {
  ScratchFolder folder;
  MissionDocument doc;
  BuildWarehouse(doc);
  ScriptedUi ui;
  RecordedRecent recent;
  // The project file's folder does not exist; the sections are saved, the project is not.
  ui.Answer(folder / "gone/p.cme");
  for (const char* extension : kExtensions)
    ui.Answer(folder / (std::string("p") + extension));
  EXPECT_FALSE(SaveProjectAs(doc, ui, recent));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0], "VYR Mission Editor|The project could not be saved.\n\n" + folder / "gone/p.cme" +
                                ": cannot create a temporary file in its folder: No such file or directory");
  EXPECT_TRUE(doc.project_file().unnamed());
  EXPECT_EQ(doc.caption(), "Marrowdell's VYR Mission Editor - [unnamed]");
  EXPECT_TRUE(recent.paths.empty());

  // A section that cannot be written stops the save before the project file.
  Spit(folder / "old.cme", "old");
  doc.SetSectionFile(Section::kForces, SplitPath(folder / "gone/p.mfr"));
  const Status status = WriteProject(doc, ui, recent, folder / "old.cme");
  EXPECT_EQ(status.message, folder / "gone/p.mfr" +
                                ": cannot create a temporary file in its folder: No such file or directory");
  EXPECT_EQ(Slurp(folder / "old.cme"), "old");

  // Information the project file cannot carry is refused before anything is written or asked.
  MissionDocument bad;
  bad.info.vyr_author = "Kim\r\nLee";
  EXPECT_EQ(WriteProject(bad, ui, recent, folder / "old.cme").message,
            folder / "old.cme" + ": vyr_author holds a line break, which the project file cannot carry");
  bad.info.vyr_author = "Kim";
  bad.info.annotation = "one\r\n[STOP ANNOTATION]\r\ntwo";
  EXPECT_EQ(WriteProject(bad, ui, recent, folder / "old.cme").message,
            folder / "old.cme" +
                ": an annotation line reads \"[STOP ANNOTATION]\", which would end the annotation early");
  EXPECT_EQ(ui.dialogs.size(), 5u);
  EXPECT_EQ(Slurp(folder / "old.cme"), "old");
}

TEST(ProjectFile, SectionDirectoriesAreStoredRelativeToTheProject) {
  EXPECT_EQ(StoredDirectory("/m/p/", "/m/p/"), "[LOCAL]");
  EXPECT_EQ(StoredDirectory("/m/p/maps/", "/m/p/"), "[LOCAL]maps/");
  EXPECT_EQ(StoredDirectory("C:\\Missions\\Sub\\", "c:\\missions\\"), "[LOCAL]Sub\\");
  EXPECT_EQ(StoredDirectory("/m/\xC9t\xE9/x/", "/m/\xE9T\xC9/"), "[LOCAL]x/");
  EXPECT_EQ(StoredDirectory("/m/projects/", "/m/p/"), "/m/projects/");
  EXPECT_EQ(StoredDirectory("D:\\other\\", "C:\\Missions\\"), "D:\\other\\");
  EXPECT_EQ(StoredDirectory("/m/", "/m/p/"), "/m/");

  EXPECT_EQ(ExpandedDirectory("[LOCAL]", "/new/"), "/new/");
  EXPECT_EQ(ExpandedDirectory("[LOCAL]maps/", "/new/"), "/new/maps/");
  EXPECT_EQ(ExpandedDirectory("[local]maps/", "/new/"), "[local]maps/");
  EXPECT_EQ(ExpandedDirectory("/abs/", "/new/"), "/abs/");

  // Written and read back: a subfolder moves with the project, another folder stays where it is.
  ScratchFolder folder;
  ScratchFolder elsewhere("-elsewhere");
  std::filesystem::create_directories(folder / "maps");
  MissionDocument doc;
  BuildWarehouse(doc);
  ASSERT_TRUE(ExportSection(doc, Section::kLocations, folder / "maps/l.mlc"));
  ASSERT_TRUE(ExportSection(doc, Section::kAreas, folder / "a.mar"));
  ASSERT_TRUE(ExportSection(doc, Section::kForces, elsewhere / "f.mfr"));
  ASSERT_TRUE(ExportSection(doc, Section::kOutcomes, folder / "o.moc"));
  ScriptedUi ui;
  RecordedRecent recent;
  ASSERT_TRUE(WriteProject(doc, ui, recent, folder / "p.cme"));
  const std::string bytes = Slurp(folder / "p.cme");
  EXPECT_NE(bytes.find("\r\nl.mlc\r\n[LOCAL]maps/\r\na.mar\r\n[LOCAL]\r\nf.mfr\r\n" + elsewhere.dir() +
                       "\r\no.moc\r\n[LOCAL]\r\n"),
            std::string::npos)
      << bytes;

  std::filesystem::rename(folder / "maps", folder / "moved-maps");
  ScratchFolder moved("-moved");
  std::filesystem::create_directories(moved / "maps");
  std::filesystem::copy(folder / "moved-maps/l.mlc", moved / "maps/l.mlc");
  for (const char* name : {"p.cme", "a.mar", "o.moc"})
    std::filesystem::copy(folder / name, moved / name);
  MissionDocument back;
  const Status loaded = LoadProject(back, recent, moved / "p.cme");
  ASSERT_TRUE(loaded) << loaded.message;
  EXPECT_EQ(back.section_file(Section::kLocations).directory, moved.dir() + "maps/");
  EXPECT_EQ(back.section_file(Section::kForces).directory, elsewhere.dir());
  EXPECT_EQ(back.location_count(), 2);
  EXPECT_EQ(back.actor_count(0, 0), 2);
}

TEST(ProjectFile, AnnotationLinesRoundTripAndTheStopMarkerEndsThemOnReading) {
  ScratchFolder folder;
  for (const std::string annotation : {"", "Night raid", "one\r\ntwo\r\nthree", "one\r\ntwo\r\n", "\r\n"}) {
    MissionDocument doc;
    SaveWarehouse(doc, folder);
    doc.info.annotation = annotation;
    ScriptedUi ui;
    RecordedRecent recent;
    ASSERT_TRUE(SaveProject(doc, ui, recent));
    MissionDocument back;
    back.info.annotation = "stale";
    ASSERT_TRUE(LoadProject(back, recent, folder / "w.cme"));
    EXPECT_EQ(back.info.annotation, annotation);
  }
  MissionDocument doc;
  SaveWarehouse(doc, folder);
  doc.info.annotation = "one\r\ntwo\r\nthree";
  ScriptedUi ui;
  RecordedRecent recent;
  ASSERT_TRUE(SaveProject(doc, ui, recent));
  EXPECT_NE(
      Slurp(folder / "w.cme").find("[START ANNOTATION]\r\none\r\ntwo\r\nthree\r\n[STOP ANNOTATION]\r\n"),
      std::string::npos);

  // A stop marker inside: the annotation ends there and the next two lines become the mission script.
  std::string bytes = WarehouseProjectFile("w");
  bytes.replace(bytes.find("Night raid\r\n"), 12, "one\r\n[STOP ANNOTATION]\r\nplan.vyr\r\n/games/\r\n");
  Spit(folder / "stop.cme", bytes);
  MissionDocument back;
  ASSERT_TRUE(LoadProject(back, recent, folder / "stop.cme"));
  EXPECT_EQ(back.info.annotation, "one");
  EXPECT_EQ(back.mission_script_file().name, "plan.vyr");
  EXPECT_EQ(back.mission_script_file().directory, "/games/");
}

TEST(ProjectFile, LoadingSetsNamesExpandsTheTreeAndSelectsTheRoot) {
  ScratchFolder folder;
  MissionDocument saved;
  SaveWarehouse(saved, folder);
  // Without the two mission script lines the script stays unnamed.
  const std::string bytes = WarehouseProjectFile("w");
  Spit(folder / "short.cme", bytes.substr(0, bytes.find("unnamed\r\n")));
  MissionDocument doc;
  doc.SetMissionScriptFile(SplitPath("/old/old.vyr"));
  RecordedRecent recent;
  ASSERT_TRUE(LoadProject(doc, recent, folder / "short.cme"));
  EXPECT_TRUE(doc.mission_script_file().unnamed());
  EXPECT_EQ(recent.paths, std::vector<std::string>{folder / "short.cme"});
  EXPECT_EQ(doc.caption(), "Marrowdell's VYR Mission Editor - [short.cme]");
  EXPECT_EQ(doc.tree().node(doc.tree().root()).text, "VYR (short.cme)");
  EXPECT_EQ(doc.tree().node(doc.tree().category(Section::kForces)).text, "Forces (w.mfr)");
  EXPECT_EQ(doc.tree().node(doc.tree().category(Section::kOutcomes)).text, "Mission outcome (w.moc)");
  EXPECT_EQ(doc.tree().selected(), doc.tree().root());
  for (int i = 1; i <= doc.tree().node_count(); ++i)
    EXPECT_TRUE(doc.tree().node(doc.tree().NodeAt(i)).expanded);
  EXPECT_EQ(doc.info.vyr_missionname, "Warehouse");
  EXPECT_EQ(doc.info.vyr_missiondescription, "Clear the warehouse.");
  for (Section section : kAllSections)
    EXPECT_EQ(SectionBytes(doc, section), SectionBytes(saved, section));
}

TEST(ProjectFile, DamagedProjectFilesKeepWhatWasReadAndNameTheLine) {
  ScratchFolder folder;
  MissionDocument saved;
  SaveWarehouse(saved, folder);
  RecordedRecent recent;
  MissionDocument doc;

  Spit(folder / "empty.cme", "");
  EXPECT_EQ(LoadProject(doc, recent, folder / "empty.cme").message,
            folder / "empty.cme" + ":1: the file is empty");
  EXPECT_EQ(doc.caption(), "Marrowdell's VYR Mission Editor - [empty.cme]");
  Spit(folder / "version.cme", "[VERSION 0.2]\r\n");
  EXPECT_EQ(LoadProject(doc, recent, folder / "version.cme").message,
            folder / "version.cme" + ":2: the file ends (vyr_author expected)");
  EXPECT_EQ(LoadProject(doc, recent, folder / "none.cme").message,
            folder / "none.cme" + ": cannot open the file: No such file or directory");

  const std::string bytes = WarehouseProjectFile("w");
  std::vector<std::size_t> ends;
  for (std::size_t at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", at + 2)) {
    ends.push_back(at + 2);
  }
  for (int kept = 1; kept < static_cast<int>(ends.size()); ++kept) {
    Spit(folder / "cut.cme", bytes.substr(0, ends[static_cast<std::size_t>(kept - 1)]));
    MissionDocument cut;
    const Status status = LoadProject(cut, recent, folder / "cut.cme");
    if (kept == 17) {  // ends right after the annotation: whole, without a mission script
      EXPECT_TRUE(status) << status.message;
    } else {
      EXPECT_EQ(status.message.rfind(folder / "cut.cme" + Numbered(":", kept + 1) + ": the file ends (", 0),
                0u)
          << "cut after line " << kept << ": " << status.message;
    }
    EXPECT_EQ(cut.info.vyr_author, kept >= 2 ? "Kim" : "");
    EXPECT_EQ(cut.location_count(), kept >= 8 ? 2 : 0) << kept;
    EXPECT_EQ(cut.outcome_count(), kept >= 14 ? 1 : 0) << kept;
    EXPECT_EQ(cut.section_file(Section::kAreas).unnamed(), kept < 10) << kept;
  }

  // A missing section file ends the load there, naming that file.
  std::string missing = bytes;
  missing.replace(missing.find("w.mar"), 5, "x.mar");
  Spit(folder / "missing.cme", missing);
  MissionDocument partial;
  EXPECT_EQ(LoadProject(partial, recent, folder / "missing.cme").message,
            folder / "x.mar" + ": cannot open the file: No such file or directory");
  EXPECT_EQ(partial.location_count(), 2);
  EXPECT_EQ(partial.force_count(), 0);
  EXPECT_EQ(partial.info.annotation, "") << "the annotation is not reached";
}

TEST(ProjectFile, ASavedProjectLoadsAndSavesBackByteIdentical) {
  ScratchFolder folder;
  MissionDocument doc;
  SaveWarehouse(doc, folder);
  std::string high;
  for (int b = 0x80; b <= 0xFF; ++b)
    high += static_cast<char>(b);
  doc.info.vyr_missiondescription = high;
  doc.info.annotation = high + "\r\n\r\n" + high;
  doc.SetMissionScriptFile(SplitPath("/games/aq2/missions/w.vyr"));
  ScriptedUi ui;
  RecordedRecent recent;
  ASSERT_TRUE(SaveProject(doc, ui, recent));
  std::vector<std::string> before;
  for (const char* name : {"w.cme", "w.mlc", "w.mar", "w.mfr", "w.moc"})
    before.push_back(Slurp(folder / name));

  MissionDocument back;
  ASSERT_TRUE(LoadProject(back, recent, folder / "w.cme"));
  EXPECT_EQ(back.info.vyr_missiondescription, high);
  EXPECT_EQ(back.mission_script_file().path(), "/games/aq2/missions/w.vyr");
  ASSERT_TRUE(SaveProject(back, ui, recent));
  std::size_t i = 0;
  for (const char* name : {"w.cme", "w.mlc", "w.mar", "w.mfr", "w.moc"}) {
    EXPECT_TRUE(SameBytes(before[i++], Slurp(folder / name))) << name;
  }
  EXPECT_EQ(ui.dialogs.size(), 0u);
}

TEST(ProjectFile, OpenProjectAsksInTheProjectFolderAndTellsAFailedLoad) {
  ScratchFolder folder;
  MissionDocument saved;
  SaveWarehouse(saved, folder);
  MissionDocument doc;
  BuildWarehouse(doc);
  ScriptedUi ui;
  RecordedRecent recent;
  ui.Answer(std::nullopt);
  ASSERT_TRUE(OpenProject(doc, ui, recent, "/home/kim/missions/"));
  ASSERT_EQ(ui.dialogs.size(), 1u);
  EXPECT_EQ(ui.dialogs[0].kind, "open");
  EXPECT_EQ(ui.dialogs[0].request.title, "Open");
  EXPECT_EQ(ui.dialogs[0].request.filter, "Mission Project (*.cme)|*.cme");
  EXPECT_EQ(ui.dialogs[0].request.directory, "/home/kim/missions/");
  EXPECT_EQ(ui.dialogs[0].request.file_name, "");
  EXPECT_EQ(doc.location_count(), 2) << "a cancelled dialog changes nothing";
  EXPECT_TRUE(recent.paths.empty());

  ui.Answer(folder / "w.cme");
  ASSERT_TRUE(OpenProject(doc, ui, recent, folder.dir()));
  EXPECT_EQ(doc.project_file().name, "w.cme");

  Spit(folder / "bad.cme", "[VERSION 0.2]\r\nKim\r\n");
  ui.Answer(folder / "bad.cme");
  EXPECT_FALSE(OpenProject(doc, ui, recent, folder.dir()));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0], "VYR Mission Editor|The project could not be loaded completely.\n\n" +
                                folder / "bad.cme" + ":3: the file ends (vyr_mapname expected)");
  EXPECT_EQ(ui.icons[0], MessageIcon::kCritical);
}

// The example project shipped with the editor is exactly what the writer makes of the warehouse mission,
// and loads and saves back unchanged. VYR_WRITE_EXAMPLE=<folder> writes it afresh into that folder.
TEST(ProjectFile, TheExampleProjectIsTheWritersOwnAndRoundTrips) {
  const std::string example = std::string(VYR_TEST_DATA_DIR) + "/../../examples/warehouse/";
  const char* names[] = {"warehouse.cme", "warehouse.mlc", "warehouse.mar", "warehouse.mfr", "warehouse.moc"};
  ScratchFolder folder;
  const char* target = std::getenv("VYR_WRITE_EXAMPLE");
  const std::string out = target != nullptr ? std::string(target) + "/" : folder.dir();
  MissionDocument doc;
  BuildWarehouse(doc);
  ScriptedUi ui;
  RecordedRecent recent;
  ui.Answer(out + names[0]);
  for (int i = 1; i < 5; ++i)
    ui.Answer(out + names[i]);
  ASSERT_TRUE(SaveProject(doc, ui, recent));
  for (const char* name : names)
    EXPECT_TRUE(SameBytes(Slurp(example + name), Slurp(out + name))) << name;

  ScratchFolder copy("-copy");
  for (const char* name : names)
    std::filesystem::copy(example + name, copy / name);
  MissionDocument loaded;
  const Status status = LoadProject(loaded, recent, copy / "warehouse.cme");
  ASSERT_TRUE(status) << status.message;
  EXPECT_EQ(loaded.info.annotation, "Night raid");
  EXPECT_EQ(loaded.team(0, 0).plan, doc.team(0, 0).plan);
  EXPECT_EQ(loaded.actor(0, 0, 1).npc_skill, 0.5f);
  ASSERT_TRUE(SaveProject(loaded, ui, recent));
  for (const char* name : names)
    EXPECT_TRUE(SameBytes(Slurp(example + name), Slurp(copy / name))) << name;
}

}  // namespace
}  // namespace vyr::editor
