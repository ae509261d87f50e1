#include "editor/document/project_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "editor/document/section_files.h"
#include "tests/document/document_test_helpers.h"
#include "tests/editor_test_support.h"

namespace vyr::editor {
namespace {

using namespace vyr::editor::testing;

const char* const kExtensions[] = {".cme", ".mlc", ".mar", ".mfr", ".moc"};

std::string WarehouseProjectFile(const std::string& stem) {
  return Lines({"[VERSION 0.2]", "Kim", "urban1", "Clear the warehouse.", "Warehouse", "urban?dark?",
                stem + ".mlc", "[LOCAL]", stem + ".mar", "[LOCAL]", stem + ".mfr", "[LOCAL]", stem + ".moc",
                "[LOCAL]", "[START ANNOTATION]", "Night raid", "[STOP ANNOTATION]", "unnamed", ""});
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
  // A save that wrote nothing named nothing and added no recent file.
  void ExpectStillUnnamed(Section section) {
    EXPECT_TRUE(doc.project_file().unnamed());
    EXPECT_TRUE(doc.section_file(section).unnamed());
    EXPECT_TRUE(recent.paths.empty());
  }
};

TEST_F(ProjectFileTest, ANeverSavedProjectAsksForTheProjectThenEachSectionThenWrites) {
  SaveWarehouse();
  ASSERT_EQ(ui.dialogs.size(), 5u);
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(ui.dialogs[i].kind, "save");
    // Each section is proposed beside the project just chosen, named after it.
    EXPECT_EQ(ui.dialogs[i].request.file_name,
              i == 0 ? std::string("unnamed") : "w" + std::string(kExtensions[i]));
    EXPECT_EQ(ui.dialogs[i].request.directory, i == 0 ? std::string() : folder.dir());
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
  ExpectStillUnnamed(Section::kLocations);
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
  ExpectStillUnnamed(Section::kLocations);
  EXPECT_FALSE(std::filesystem::exists(folder / "p.mlc"));
  EXPECT_EQ(doc.caption(), "Marrowdell's VYR Mission Editor - [unnamed]");

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

TEST_F(ProjectFileTest, InformationRoundTripsAndTheStopMarkerEndsTheAnnotationOnReading) {
  doc.info.vyr_missiondescription = HighBytes();
  doc.SetMissionScriptFile(SplitPath("/games/aq2/missions/w.vyr"));
  SaveWarehouse();
  for (const std::string& annotation : std::vector<std::string>{
           "", "one\r\ntwo\r\n", "\r\n", HighBytes() + "\r\n\r\n" + HighBytes(), "one\r\ntwo\r\nthree"}) {
    doc.info.annotation = annotation;
    ASSERT_TRUE(SaveProject(doc, ui, recent));
    MissionDocument back;
    back.info.annotation = "stale";
    ASSERT_TRUE(LoadProject(back, recent, folder / "w.cme"));
    EXPECT_EQ(back.info, doc.info);
    EXPECT_EQ(back.mission_script_file(), doc.mission_script_file());
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
  const std::vector<std::string> cuts = CutsAfterEachLine(WarehouseProjectFile("w"));
  for (int kept = 1; kept <= static_cast<int>(cuts.size()); ++kept) {
    Spit(folder / "cut.cme", cuts[static_cast<std::size_t>(kept - 1)]);
    MissionDocument cut;
    const Status status = LoadProject(cut, recent, folder / "cut.cme");
    if (kept == 17) {  // ends right after the annotation: whole, without a mission script
      EXPECT_TRUE(status) << status.message;
    } else {
      EXPECT_EQ(status.message.rfind(folder / "cut.cme" + Numbered(":", kept + 1) + ": the file ends (", 0),
                0u)
          << "cut after line " << kept << ": " << status.message;
    }
    if (kept == 1) {
      EXPECT_EQ(status.message, folder / "cut.cme:2: the file ends (vyr_author expected)");
    }
    EXPECT_EQ(cut.info.vyr_author, kept >= 2 ? "Kim" : "");
    EXPECT_EQ(cut.location_count(), kept >= 8 ? 2 : 0) << kept;
    EXPECT_EQ(cut.outcome_count(), kept >= 14 ? 1 : 0) << kept;
    EXPECT_EQ(cut.section_file(Section::kAreas).unnamed(), kept < 10) << kept;
  }
}

TEST_F(ProjectFileTest, OpenProjectAsksInTheProjectFolderAndTellsAFailedLoad) {
  ui.Answer(std::nullopt);
  EXPECT_TRUE(OpenProject(doc, ui, recent, "/home/kim/missions/").cancelled);
  ASSERT_EQ(ui.dialogs.size(), 1u);
  EXPECT_EQ(DialogText(ui.dialogs[0]),
            "open | Open | Mission Project (*.cme)|*.cme | /home/kim/missions/ | ");
  EXPECT_EQ(doc.location_count(), 2) << "a cancelled dialog changes nothing";
  EXPECT_TRUE(recent.paths.empty());

  // A file that is not there (a stale recent file, a mistyped name) leaves the open project as it was.
  const std::string caption = doc.caption();
  ui.Answer(folder / "gone.cme");
  EXPECT_FALSE(OpenProject(doc, ui, recent, folder.dir()));
  EXPECT_EQ(doc.location_count(), 2);
  EXPECT_EQ(doc.caption(), caption);
  EXPECT_TRUE(recent.paths.empty());
  ui.messages.clear();

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

// Accepts every save dialog as it opens, as Enter does: the proposed folder and name.
class EnterUi : public ScriptedUi {
 public:
  std::optional<std::string> AskSavePath(const FileDialogRequest& request) override {
    dialogs.push_back({"save", request});
    std::string folder = request.directory;
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder + request.file_name;
  }
};

TEST_F(ProjectFileTest, EnterInEveryDialogOfANewProjectWritesFiveFilesInTheDefaultFolder) {
  EnterUi enter;
  // The settings keep the default project folder without a final separator.
  ASSERT_TRUE(SaveProject(doc, enter, recent, folder.str()));
  ASSERT_EQ(enter.dialogs.size(), 5u);
  EXPECT_EQ(enter.dialogs[0].request.directory, folder.str());
  EXPECT_TRUE(SameBytes(WarehouseProjectFile("unnamed"), Slurp(folder / "unnamed.cme")));
  EXPECT_EQ(doc.caption(), "Marrowdell's VYR Mission Editor - [unnamed.cme]");
  EXPECT_FALSE(std::filesystem::exists(folder / "unnamed"));

  // Names typed without an extension get the dialog's own; one with a dot of its own is kept as typed.
  MissionDocument other;
  BuildWarehouse(other);
  for (const char* typed : {"harbour", "harbour", "harbour", "harbour.v2", "harbour"})
    ui.Answer(folder / typed);
  ASSERT_TRUE(SaveProject(other, ui, recent));
  for (const char* written : {"harbour.cme", "harbour.mlc", "harbour.mar", "harbour.v2", "harbour.moc"})
    EXPECT_TRUE(std::filesystem::exists(folder / written)) << written;
  EXPECT_EQ(other.section_file(Section::kForces).name, "harbour.v2");

  // A default folder that does not exist leaves the dialog where the system starts it.
  MissionDocument fresh;
  ui.Answer(std::nullopt);
  EXPECT_TRUE(SaveProjectAs(fresh, ui, recent, folder / "gone").cancelled);
  EXPECT_EQ(ui.dialogs.back().request.directory, "");
}

TEST_F(ProjectFileTest, TwoFilesOfOneSaveOnOnePathAreRefusedBeforeAnythingIsWritten) {
  for (const char* answer : {"p.cme", "p.cme", "p.mar", "p.mfr", "p.moc"})
    ui.Answer(folder / answer);
  EXPECT_FALSE(SaveProject(doc, ui, recent));
  EXPECT_EQ(ui.messages,
            (std::vector<Message>{{"VYR Mission Editor",
                                   "The project could not be saved.\n\nThe project file and the "
                                   "locations file would both be written to " +
                                       folder / "p.cme" +
                                       ". Give each file a name of its own; nothing was written.",
                                   MessageIcon::kCritical}}));
  for (const char* answer : {"p.cme", "p.mar", "p.mfr", "p.moc"})
    EXPECT_FALSE(std::filesystem::exists(folder / answer)) << answer;
  ExpectStillUnnamed(Section::kAreas);

  // The same file spelt two ways is one file.
  for (const char* answer : {"q.mlc", "sub/../q.mlc", "q.mfr", "q.moc"})
    ui.Answer(folder / answer);
  const Status status = WriteProject(doc, ui, recent, folder / "q.cme");
  EXPECT_EQ(status.message, "The locations file and the areas file would both be written to " +
                                folder / "sub/../q.mlc" +
                                ". Give each file a name of its own; nothing was written.");
  EXPECT_FALSE(std::filesystem::exists(folder / "q.mlc"));
}

// The example's forces file is gone: everything else loads, and the project keeps naming the file.
TEST_F(ProjectFileTest, AProjectMissingItsForcesFileLoadsTheRestAndSavesWithoutDroppingIt) {
  SaveWarehouse();
  const std::string project = Slurp(folder / "w.cme");
  const std::string forces = Slurp(folder / "w.mfr");
  std::filesystem::remove(folder / "w.mfr");
  MissionDocument back;
  const Status loaded = LoadProject(back, recent, folder / "w.cme");
  EXPECT_EQ(loaded.message,
            folder / "w.mfr" +
                ": cannot open the file: No such file or directory\nNo forces were loaded."
                "\n\nSaving the project keeps naming each file that was not loaded, and leaves it "
                "as it is.");
  EXPECT_EQ(back.outcome_count(), 1) << "the sections after it are read";
  EXPECT_EQ(back.info.annotation, "Night raid");
  ASSERT_TRUE(back.unread_section(Section::kForces));
  EXPECT_EQ(back.unread_section(Section::kForces)->file.path(), folder / "w.mfr");
  EXPECT_EQ(back.tree().node(back.tree().category(Section::kForces)).text, "Forces (w.mfr: not loaded)");

  // Saved again unchanged: no question, the project file is as it was and names the forces file.
  ChoosingUi choosing;
  ASSERT_TRUE(SaveProject(back, choosing, recent));
  EXPECT_TRUE(SameBytes(project, Slurp(folder / "w.cme")));
  EXPECT_FALSE(std::filesystem::exists(folder / "w.mfr"));

  // Forces made since are the author's: asked. Keeping the old file leaves it named and unwritten.
  ASSERT_TRUE(back.AddForce("Red", ""));
  choosing.replies = {1};
  ASSERT_TRUE(SaveProject(back, choosing, recent));
  EXPECT_EQ(choosing.offered, (std::vector<std::string>{"Save forces as...", "Keep w.mfr", "Cancel"}));
  EXPECT_TRUE(SameBytes(project, Slurp(folder / "w.cme")));
  EXPECT_FALSE(std::filesystem::exists(folder / "w.mfr"));
  // No answer cancels the save.
  choosing.replies = {std::nullopt};
  EXPECT_TRUE(SaveProject(back, choosing, recent).cancelled);
  // Saving them on purpose names the new file from then on.
  choosing.replies = {0};
  choosing.Answer(folder / "red");
  ASSERT_TRUE(SaveProject(back, choosing, recent));
  EXPECT_EQ(choosing.dialogs.back().request.title, "Save forces as");
  EXPECT_NE(Slurp(folder / "red.mfr").find("Red"), std::string::npos);
  EXPECT_NE(Slurp(folder / "w.cme").find("red.mfr"), std::string::npos);
  EXPECT_FALSE(back.unread_section(Section::kForces));
  EXPECT_EQ(back.tree().node(back.tree().category(Section::kForces)).text, "Forces (red.mfr)");

  // A forces file damaged part-way is not overwritten with the part that was read.
  Spit(folder / "w.mfr", forces.substr(0, forces.find("Bot")));
  Spit(folder / "w.cme", project);
  MissionDocument cut;
  EXPECT_NE(LoadProject(cut, recent, folder / "w.cme")
                .message.find("Only the forces before that line were loaded."),
            std::string::npos);
  EXPECT_EQ(cut.force_count(), 1);
  ASSERT_TRUE(SaveProject(cut, choosing, recent));
  EXPECT_EQ(Slurp(folder / "w.mfr"), forces.substr(0, forces.find("Bot")));
  EXPECT_TRUE(SameBytes(project, Slurp(folder / "w.cme")));
}

}  // namespace
}  // namespace vyr::editor
