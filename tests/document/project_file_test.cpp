#include "editor/document/project_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "editor/document/section_files.h"
#include "tests/editor_test_support.h"

namespace vyr::editor {
namespace {

using namespace vyr::editor::testing;

class RecordedRecent : public RecentFiles {
 public:
  void AddToRecent(const std::string& path) override { paths.push_back(path); }
  std::vector<std::string> paths;
};

const char* const kExtensions[] = {".cme", ".mlc", ".mar", ".mfr", ".moc"};

std::string WarehouseProjectFile(const std::string& stem) {
  return Lines({"[VERSION 0.2]", "Kim", "urban1", "Clear the warehouse.", "Warehouse", "urban?dark?",
                stem + ".mlc", "[LOCAL]", stem + ".mar", "[LOCAL]", stem + ".mfr", "[LOCAL]", stem + ".moc",
                "[LOCAL]", "[START ANNOTATION]", "Night raid", "[STOP ANNOTATION]", "unnamed", ""});
}

std::string HighBytes() {
  std::string high;
  for (int b = 0x80; b <= 0xFF; ++b)
    high += static_cast<char>(b);
  return high;
}

// The warehouse mission, with a scripted user and a folder to save it in.
struct ProjectFileTest : ::testing::Test {
  ScratchFolder folder;
  ScriptedUi ui;
  RecordedRecent recent;
  MissionDocument doc;

  void SetUp() override { BuildWarehouse(doc); }
  // Answers the five dialogs of a first save: the project STEM.cme in `dir`, then its four sections.
  void AnswerFirstSave(const std::string& dir, const std::string& stem) {
    for (const char* extension : kExtensions)
      ui.Answer(dir + stem + extension);
  }
  // Saves the warehouse as w.cme with its sections w.mlc to w.moc in the scratch folder.
  void SaveWarehouse() {
    AnswerFirstSave(folder.dir(), "w");
    ASSERT_TRUE(SaveProject(doc, ui, recent));
  }
};

TEST_F(ProjectFileTest, ANeverSavedProjectAsksForTheProjectThenEachSectionThenWrites) {
  SaveWarehouse();
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
  EXPECT_EQ(Slurp(folder / "w.cme").substr(0, 20), "[VERSION 0.2]\r\nLee\r\n");
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ProjectFileTest, ACancelledSectionDialogLeavesTheProjectFileUnwritten) {
  for (const char* answer : {"p.cme", "p.mlc", "", "p.mfr", "p.moc"})  // "" cancels the areas dialog
    ui.Answer(*answer != '\0' ? std::optional(folder / answer) : std::nullopt);
  const Status saved = SaveProject(doc, ui, recent);
  EXPECT_TRUE(!saved && saved.cancelled && saved.message.empty());
  EXPECT_TRUE(ui.all_answered()) << "every section is asked for, then the save stops";
  for (const char* written : {"p.cme", "p.mlc", "p.mfr"})
    EXPECT_FALSE(std::filesystem::exists(folder / written)) << written;
  EXPECT_TRUE(doc.project_file().unnamed());
  EXPECT_TRUE(doc.section_file(Section::kLocations).unnamed());
  EXPECT_TRUE(recent.paths.empty());
  EXPECT_TRUE(ui.messages.empty()) << "a cancel is not a failure";
}

TEST_F(ProjectFileTest, AFailedWriteIsToldAndLeavesTheOldProjectFile) {
  // The project file's folder does not exist: no file of the set is written.
  ui.Answer(folder / "gone/p.cme");
  for (const char* extension : {".mlc", ".mar", ".mfr", ".moc"})
    ui.Answer(folder / (std::string("p") + extension));
  EXPECT_FALSE(SaveProjectAs(doc, ui, recent));
  EXPECT_EQ(ui.messages,
            (std::vector<Message>{{"VYR Mission Editor",
                                   "The project could not be saved.\n\n" + folder / "gone/p.cme" +
                                       ": cannot create a temporary file in its folder: No such file "
                                       "or directory",
                                   MessageIcon::kCritical}}));
  EXPECT_TRUE(doc.project_file().unnamed());
  EXPECT_TRUE(doc.section_file(Section::kLocations).unnamed());
  EXPECT_FALSE(std::filesystem::exists(folder / "p.mlc"));
  EXPECT_EQ(doc.caption(), "Marrowdell's VYR Mission Editor - [unnamed]");
  EXPECT_TRUE(recent.paths.empty());

  // A section that cannot be written stops the save before any file is replaced.
  Spit(folder / "old.cme", "old");
  Spit(folder / "p.mlc", "old");
  doc.SetSectionFile(Section::kLocations, SplitPath(folder / "p.mlc"));
  doc.SetSectionFile(Section::kAreas, SplitPath(folder / "p.mar"));
  doc.SetSectionFile(Section::kOutcomes, SplitPath(folder / "p.moc"));
  doc.SetSectionFile(Section::kForces, SplitPath(folder / "gone/p.mfr"));
  EXPECT_EQ(
      WriteProject(doc, ui, recent, folder / "old.cme").message,
      folder / "gone/p.mfr" + ": cannot create a temporary file in its folder: No such file or directory");
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
  EXPECT_EQ(Slurp(folder / "old.cme"), "old");
}

TEST_F(ProjectFileTest, SectionDirectoriesAreStoredRelativeToTheProject) {
  struct {
    const char *section, *project, *stored;
  } const cases[] = {{"/m/p/", "/m/p/", "[LOCAL]"},
                     {"/m/p/maps/", "/m/p/", "[LOCAL]maps/"},
                     {"C:\\Missions\\Sub\\", "C:\\Missions\\", "[LOCAL]Sub\\"},
                     // Names differing in letter case are different folders here.
                     {"/home/u/missions/", "/home/u/Missions/", "/home/u/missions/"},
                     {"/m/\xC9t\xE9/x/", "/m/\xE9T\xC9/", "/m/\xC9t\xE9/x/"},
                     {"/m/projects/", "/m/p/", "/m/projects/"},
                     {"D:\\other\\", "C:\\Missions\\", "D:\\other\\"},
                     {"/m/", "/m/p/", "/m/"}};
  for (const auto& c : cases)
    EXPECT_EQ(StoredDirectory(c.section, c.project), c.stored) << c.section;
  EXPECT_EQ(ExpandedDirectory("[local]maps/", "/new/"), "[local]maps/");
  EXPECT_EQ(ExpandedDirectory("[LOCAL]Sub\\Deeper\\", "/new/"), "/new/Sub/Deeper/") << "as Windows stores it";

  // Written and read back: a subfolder moves with the project, another folder stays where it is.
  ScratchFolder elsewhere;
  std::filesystem::create_directories(folder / "project/maps");
  ASSERT_TRUE(ExportSection(doc, Section::kLocations, folder / "project/maps/l.mlc"));
  ASSERT_TRUE(ExportSection(doc, Section::kAreas, folder / "project/a.mar"));
  ASSERT_TRUE(ExportSection(doc, Section::kForces, elsewhere / "f.mfr"));
  ASSERT_TRUE(ExportSection(doc, Section::kOutcomes, folder / "project/o.moc"));
  ASSERT_TRUE(WriteProject(doc, ui, recent, folder / "project/p.cme"));
  EXPECT_NE(Slurp(folder / "project/p.cme")
                .find("\r\nl.mlc\r\n[LOCAL]maps/\r\na.mar\r\n[LOCAL]\r\nf.mfr\r\n" + elsewhere.dir() +
                      "\r\no.moc\r\n[LOCAL]\r\n"),
            std::string::npos);

  std::filesystem::rename(folder / "project", folder / "moved");
  MissionDocument back;
  const Status loaded = LoadProject(back, recent, folder / "moved/p.cme");
  ASSERT_TRUE(loaded) << loaded.message;
  EXPECT_EQ(back.section_file(Section::kLocations).directory, folder / "moved/maps/");
  EXPECT_EQ(back.section_file(Section::kForces).directory, elsewhere.dir());
  EXPECT_EQ(back.location_count(), 2);
  EXPECT_EQ(back.actor_count(0, 0), 2);
}

TEST_F(ProjectFileTest, AnnotationLinesRoundTripAndTheStopMarkerEndsThemOnReading) {
  SaveWarehouse();
  for (const std::string annotation : {"", "one\r\ntwo\r\n", "\r\n", "one\r\ntwo\r\nthree"}) {
    doc.info.annotation = annotation;
    ASSERT_TRUE(SaveProject(doc, ui, recent));
    MissionDocument back;
    back.info.annotation = "stale";
    ASSERT_TRUE(LoadProject(back, recent, folder / "w.cme"));
    EXPECT_EQ(back.info.annotation, annotation);
  }
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
  EXPECT_EQ(back.mission_script_file(), (FileNamePair{"plan.vyr", "/games/"}));
}

TEST_F(ProjectFileTest, ASavedProjectLoadsAndSavesBackByteIdentical) {
  doc.info.vyr_missiondescription = HighBytes();
  doc.info.annotation = HighBytes() + "\r\n\r\n" + HighBytes();
  doc.SetMissionScriptFile(SplitPath("/games/aq2/missions/w.vyr"));
  SaveWarehouse();
  std::vector<std::string> before;
  for (const char* extension : kExtensions)
    before.push_back(Slurp(folder / (std::string("w") + extension)));

  MissionDocument back;
  ASSERT_TRUE(LoadProject(back, recent, folder / "w.cme"));
  EXPECT_EQ(back.info.vyr_missiondescription, HighBytes());
  EXPECT_EQ(back.mission_script_file().path(), "/games/aq2/missions/w.vyr");
  ASSERT_TRUE(SaveProject(back, ui, recent));
  for (std::size_t i = 0; i < 5; ++i)
    EXPECT_TRUE(SameBytes(before[i], Slurp(folder / (std::string("w") + kExtensions[i])))) << kExtensions[i];
}

TEST_F(ProjectFileTest, LoadingSetsNamesExpandsTheTreeAndSelectsTheRoot) {
  SaveWarehouse();
  // Without the two mission script lines the script stays unnamed.
  const std::string bytes = WarehouseProjectFile("w");
  Spit(folder / "short.cme", bytes.substr(0, bytes.find("unnamed\r\n")));
  MissionDocument back;
  back.SetMissionScriptFile(SplitPath("/old/old.vyr"));
  std::vector<TreeChange> changes;
  auto connection = back.tree().changes().Connect([&](const TreeEvent& e) { changes.push_back(e.change); });
  ASSERT_TRUE(LoadProject(back, recent, folder / "short.cme"));
  EXPECT_EQ(changes,
            (std::vector<TreeChange>{TreeChange::kAboutToReset, TreeChange::kReset, TreeChange::kSelection}))
      << "a view reads the loaded tree once";
  EXPECT_TRUE(back.mission_script_file().unnamed());
  EXPECT_EQ(recent.paths.back(), folder / "short.cme");
  EXPECT_EQ(back.caption(), "Marrowdell's VYR Mission Editor - [short.cme]");
  EXPECT_EQ(back.tree().node(back.tree().root()).text, "VYR (short.cme)");
  EXPECT_EQ(back.tree().selected(), back.tree().root());
  for (int i = 1; i <= back.tree().node_count(); ++i)
    EXPECT_TRUE(back.tree().node(back.tree().NodeAt(i)).expanded);
}

TEST_F(ProjectFileTest, DamagedProjectFilesKeepWhatWasReadAndNameTheLine) {
  SaveWarehouse();
  MissionDocument empty;
  Spit(folder / "empty.cme", "");
  EXPECT_EQ(LoadProject(empty, recent, folder / "empty.cme").message,
            folder / "empty.cme" + ":1: the file is empty");
  EXPECT_EQ(empty.caption(), "Marrowdell's VYR Mission Editor - [empty.cme]");
  EXPECT_EQ(LoadProject(empty, recent, folder / "none.cme").message,
            folder / "none.cme" + ": cannot open the file: No such file or directory");

  // Cut after each line: the fault names the first missing line, and what was read stays.
  const std::string bytes = WarehouseProjectFile("w");
  std::vector<std::size_t> ends;
  for (std::size_t at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", at + 2))
    ends.push_back(at + 2);
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
  Spit(folder / "cut.cme", "[VERSION 0.2]\r\n");
  EXPECT_EQ(LoadProject(empty, recent, folder / "cut.cme").message,
            folder / "cut.cme" + ":2: the file ends (vyr_author expected)");

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

TEST_F(ProjectFileTest, OpenProjectAsksInTheProjectFolderAndTellsAFailedLoad) {
  ui.Answer(std::nullopt);
  EXPECT_TRUE(OpenProject(doc, ui, recent, "/home/kim/missions/").cancelled);
  ASSERT_EQ(ui.dialogs.size(), 1u);
  EXPECT_EQ(ui.dialogs[0].kind, "open");
  EXPECT_EQ(ui.dialogs[0].request.title, "Open");
  EXPECT_EQ(ui.dialogs[0].request.filter, "Mission Project (*.cme)|*.cme");
  EXPECT_EQ(ui.dialogs[0].request.directory, "/home/kim/missions/");
  EXPECT_EQ(ui.dialogs[0].request.file_name, "");
  EXPECT_EQ(doc.location_count(), 2) << "a cancelled dialog changes nothing";
  EXPECT_TRUE(recent.paths.empty());

  Spit(folder / "bad.cme", "[VERSION 0.2]\r\nKim\r\n");
  ui.Answer(folder / "bad.cme");
  EXPECT_FALSE(OpenProject(doc, ui, recent, folder.dir()));
  EXPECT_EQ(ui.messages,
            (std::vector<Message>{{"VYR Mission Editor",
                                   "The project could not be loaded completely.\n\n" + folder / "bad.cme" +
                                       ":3: the file ends (vyr_mapname expected)",
                                   MessageIcon::kCritical}}));
}

// Files checked out with LF line ends, a subfolder stored as Windows writes it, a load that stops part-way.
TEST_F(ProjectFileTest, ProjectsMadeElsewhereLoadWholeAndAFailedLoadKeepsNoOldInformation) {
  SaveWarehouse();
  std::vector<std::string> written;
  std::filesystem::create_directories(folder / "lf/Sub");
  for (const char* extension : kExtensions) {
    const std::string name = std::string("w") + extension;
    written.push_back(Slurp(folder / name));
    std::string lf = written.back();
    for (std::size_t at; (at = lf.find("\r\n")) != std::string::npos;)
      lf.erase(at, 1);
    Spit(folder / (std::string(extension) == ".cme" ? "lf/" : "lf/Sub/") + name, lf);
  }
  // The sections lie in "Sub", stored the way a Windows editor stores a subfolder.
  std::string project = Slurp(folder / "lf/w.cme");
  for (std::size_t at; (at = project.find("[LOCAL]\n")) != std::string::npos;)
    project.replace(at, 8, "[LOCAL]Sub\\\n");
  Spit(folder / "lf/w.cme", project);

  MissionDocument back;
  const Status loaded = LoadProject(back, recent, folder / "lf/w.cme");
  ASSERT_TRUE(loaded) << loaded.message;
  EXPECT_EQ(back.section_file(Section::kForces).directory, folder / "lf/Sub/");
  EXPECT_EQ(back.location_count(), 2);
  EXPECT_EQ(back.team(0, 0).plan, doc.team(0, 0).plan);
  EXPECT_EQ(back.info.annotation, "Night raid");
  // Saved again, every file is the editor's own, CR LF and all.
  ASSERT_TRUE(WriteProject(back, ui, recent, folder / "lf/w.cme"));
  EXPECT_TRUE(SameBytes(Slurp(folder / "lf/Sub/w.mfr"), written[3]));

  // A load that stops at its first section leaves none of the previous project's information behind.
  Spit(folder / "broken.cme",
       Lines({"[VERSION 0.2]", "Lee", "city", "", "Other", "", "none.mlc", "[LOCAL]"}));
  EXPECT_FALSE(LoadProject(back, recent, folder / "broken.cme"));
  EXPECT_EQ(back.info.vyr_author, "Lee");
  EXPECT_EQ(back.info.annotation, "") << "the annotation of the project loaded before";
  Spit(folder / "cut.cme", Lines({"[VERSION 0.2]"}));
  EXPECT_FALSE(LoadProject(back, recent, folder / "cut.cme"));
  EXPECT_EQ(back.info.vyr_author, "");
}

// A project whose last file cannot be replaced keeps every file of the old project.
TEST_F(ProjectFileTest, AFailingFifthFileLeavesTheFourSectionsAsTheyWere) {
  SaveWarehouse();
  const std::string old_locations = Slurp(folder / "w.mlc");
  std::filesystem::create_directories(folder / "taken.cme/inside");
  ASSERT_TRUE(doc.AddLocation("well", "", 1, 2, 3));
  const Status status = WriteProject(doc, ui, recent, folder / "taken.cme");
  EXPECT_EQ(status.message.rfind(folder / "taken.cme: cannot replace the file: Is a directory", 0), 0u)
      << status.message;
  EXPECT_EQ(Slurp(folder / "w.mlc"), old_locations);
  EXPECT_EQ(doc.project_file().name, "w.cme");
  for (const auto& entry : std::filesystem::directory_iterator(folder.str()))
    EXPECT_EQ(entry.path().filename().string().find(".vyr-save-"), std::string::npos) << entry.path();
}

// The example project shipped with the editor is exactly what the writer makes of the warehouse mission,
// and loads and saves back unchanged. VYR_WRITE_EXAMPLE=<folder> writes it afresh into that folder.
TEST_F(ProjectFileTest, TheExampleProjectIsTheWritersOwnAndRoundTrips) {
  const std::string example = std::string(VYR_TEST_DATA_DIR) + "/../../examples/warehouse/";
  const char* target = std::getenv("VYR_WRITE_EXAMPLE");
  const std::string out = target != nullptr ? std::string(target) + "/" : folder.dir();
  AnswerFirstSave(out, "warehouse");
  ASSERT_TRUE(SaveProject(doc, ui, recent));
  std::filesystem::create_directories(folder / "copy");
  for (const char* extension : kExtensions) {
    const std::string name = std::string("warehouse") + extension;
    EXPECT_TRUE(SameBytes(Slurp(example + name), Slurp(out + name))) << name;
    std::filesystem::copy(example + name, folder / "copy/" + name);
  }
  MissionDocument loaded;
  const Status status = LoadProject(loaded, recent, folder / "copy/warehouse.cme");
  ASSERT_TRUE(status) << status.message;
  EXPECT_EQ(loaded.team(0, 0).plan, doc.team(0, 0).plan);
  ASSERT_TRUE(SaveProject(loaded, ui, recent));
  for (const char* extension : kExtensions) {
    const std::string name = std::string("warehouse") + extension;
    EXPECT_TRUE(SameBytes(Slurp(example + name), Slurp(folder / "copy/" + name))) << name;
  }
}

}  // namespace
}  // namespace vyr::editor
