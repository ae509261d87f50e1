// Recovery copies: the manifest byte for byte, when a copy is written and removed, which copies a start
// offers, restoring under the original names, and the start-up question's answers.
#include "editor/launch/recovery.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "editor/document/project_file.h"
#include "editor/document/section_format.h"
#include "tests/editor_test_support.h"

namespace vyr::editor {
namespace {

using namespace testing;
namespace fs = std::filesystem;

int SessionCount(const std::string& recovery) {
  int count = 0;
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator(recovery, ignored))
    count += entry.is_directory() ? 1 : 0;
  return count;
}

class RecoveryTest : public ::testing::Test {
 protected:
  std::string recovery() const { return scratch_ / "recovery"; }

  // The Warehouse saved as project/w.cme with its sections beside it.
  void SaveWarehouse() {
    BuildWarehouse(doc_);
    for (const char* name : {"w.mlc", "w.mar", "w.mfr", "w.moc"})
      ui_.Answer(scratch_ / (std::string("project/") + name));
    fs::create_directories(scratch_ / "project");
    ASSERT_TRUE(WriteProject(doc_, ui_, recent_, scratch_ / "project/w.cme"));
  }

  // An editor that copied `document` and was then killed: its session's lock is gone, its copy stays.
  void Crash(const MissionDocument& document) {
    RecoverySession session(recovery());
    ASSERT_TRUE(session.Autosave(document));
    ASSERT_TRUE(session.has_copy());
  }

  ScratchFolder scratch_;
  MissionDocument doc_;
  ChoosingUi ui_;
  RecordedRecent recent_;
};

TEST(RecoveryManifest, RoundTripsByteForByteAndRefusesDamage) {
  RecoveryManifest manifest;
  manifest.saved_at = 1700000000;
  manifest.project = {"My mission.cme", "/home/kim/missions/"};
  manifest.sections[0] = {"w.mlc", "/home/kim/missions/"};
  manifest.sections[2] = {"w.mfr", "/other/"};
  manifest.copy = "copy-3";
  const std::string bytes = FormatManifest(manifest);
  EXPECT_TRUE(
      SameBytes(Lines({"[VYR RECOVERY 1]", "1700000000", "My mission.cme", "/home/kim/missions/", "w.mlc",
                       "/home/kim/missions/", "unnamed", "", "w.mfr", "/other/", "unnamed", "", "copy-3"}),
                bytes));
  RecoveryManifest read;
  ASSERT_TRUE(ParseManifest("m", bytes, read));
  EXPECT_EQ(read, manifest);

  const auto refused = [](const std::string& text) {
    RecoveryManifest out;
    const Status status = ParseManifest("m", text, out);
    EXPECT_FALSE(status.ok);
    return status.message;
  };
  EXPECT_EQ(refused(Lines({"[VERSION 0.2]"})), "m:1: not a recovery manifest");
  EXPECT_EQ(refused(Lines({"[VYR RECOVERY 1]", "12:00"})), "m:2: the time \"12:00\" is not a number");
  EXPECT_NE(refused(Lines({"[VYR RECOVERY 1]", "1", "a.cme", "/d/", "x.mlc"})).find("m:6:"),
            std::string::npos);
  EXPECT_EQ(refused(bytes + "more\r\n"), "m:14: unexpected line after the copy folder");
  for (const char* folder : {"..", ".", "", "a/b", "a\\b"}) {
    std::string named = bytes;
    named.replace(named.find("copy-3"), 6, folder);
    EXPECT_EQ(refused(named), "m:13: \"" + std::string(folder) + "\" is not a folder of the session");
  }
}

TEST_F(RecoveryTest, ACopyIsWrittenOnlyForUnsavedWorkAndGoesWhenItIsSaved) {
  RecoverySession session(recovery());
  ASSERT_TRUE(session.Autosave(doc_));  // a new, empty project: nothing to keep
  EXPECT_FALSE(session.has_copy());
  EXPECT_FALSE(fs::exists(recovery()));
  // Any one piece of mission information is work worth a copy.
  for (std::string MissionInfo::*field :
       {&MissionInfo::vyr_missionname, &MissionInfo::vyr_author, &MissionInfo::vyr_missiondescription,
        &MissionInfo::vyr_mapname, &MissionInfo::map_styles, &MissionInfo::annotation}) {
    MissionDocument named;
    named.info.*field = "x";
    EXPECT_TRUE(HasUnsavedChanges(named));
  }

  ASSERT_TRUE(doc_.AddLocation("gate", "", 1, 2, 3));
  ASSERT_TRUE(session.Autosave(doc_));
  ASSERT_TRUE(session.has_copy());
  EXPECT_NE(Slurp(session.folder() + "/copy-1/locations.mlc").find("gate\r\n"), std::string::npos);
  EXPECT_TRUE(FindRecoveryCopies(recovery()).empty());  // this run holds its lock

  ASSERT_TRUE(session.Autosave(doc_));  // nothing new: the copy stays as it is
  EXPECT_TRUE(fs::exists(session.folder() + "/copy-1"));
  ASSERT_TRUE(doc_.SetField(RecordRef::Location(0), Field::kLocName, std::string("gate 2")));
  ASSERT_TRUE(session.Autosave(doc_));
  EXPECT_FALSE(fs::exists(session.folder() + "/copy-1"));
  EXPECT_NE(Slurp(session.folder() + "/copy-2/locations.mlc").find("gate 2\r\n"), std::string::npos);

  // Saving the project leaves nothing unsaved; the next step removes the copy and its folder.
  const std::string folder = session.folder();
  for (const char* name : {"w.mlc", "w.mar", "w.mfr", "w.moc"})
    ui_.Answer(scratch_ / name);
  ASSERT_TRUE(WriteProject(doc_, ui_, recent_, scratch_ / "w.cme"));
  EXPECT_FALSE(HasUnsavedChanges(doc_));
  doc_.SetAnnotation("note");  // the project file's own part
  EXPECT_TRUE(HasUnsavedChanges(doc_));
  doc_.SetAnnotation("");
  ASSERT_TRUE(session.Autosave(doc_));
  EXPECT_FALSE(session.has_copy());
  EXPECT_FALSE(fs::exists(folder));
  ASSERT_TRUE(doc_.SetField(RecordRef::Location(0), Field::kLocX, Integer{9}));
  EXPECT_TRUE(HasUnsavedChanges(doc_));

  // The session folder removed behind the editor's back is made again at the next copy.
  ASSERT_TRUE(session.Autosave(doc_));
  ASSERT_TRUE(session.has_copy());
  fs::remove_all(session.folder());
  ASSERT_TRUE(session.Autosave(doc_));  // nothing new, but the copy is gone
  EXPECT_TRUE(fs::exists(session.folder() + "/manifest"));
  EXPECT_TRUE(fs::exists(session.folder() + "/lock"));
  EXPECT_TRUE(FindRecoveryCopies(recovery()).empty());  // locked again by this run

  // A saved project whose outcomes were never named: new outcomes are unsaved work.
  for (const char* name : {"w.mlc", "w.mar", "w.mfr", "w.moc"})
    ui_.Answer(scratch_ / name);
  ASSERT_TRUE(WriteProject(doc_, ui_, recent_, scratch_ / "w.cme"));
  doc_.SetSectionFile(Section::kOutcomes, FileNamePair{});
  std::string project;
  ASSERT_TRUE(FormatProject(doc_, scratch_.dir(), project));
  Spit(scratch_ / "w.cme", project);
  EXPECT_FALSE(HasUnsavedChanges(doc_));
  ASSERT_TRUE(doc_.AddOutcome("f", "m", "", "success", ""));
  EXPECT_TRUE(HasUnsavedChanges(doc_));
}

// A section file that could not be loaded is no unsaved work until the author changes that section.
TEST_F(RecoveryTest, ASectionThatWasNotLoadedHoldsNothingUnsavedUntilItChanges) {
  SaveWarehouse();
  fs::remove(scratch_ / "project/w.mfr");
  MissionDocument partial;
  EXPECT_FALSE(LoadProject(partial, recent_, scratch_ / "project/w.cme"));
  EXPECT_FALSE(HasUnsavedChanges(partial));
  ASSERT_TRUE(partial.AddForce("Red", ""));
  EXPECT_TRUE(HasUnsavedChanges(partial));
}

TEST_F(RecoveryTest, AKilledEditorsCopyRestoresUnderTheOriginalNamesAndSavesThere) {
  SaveWarehouse();
  ASSERT_TRUE(doc_.SetField(RecordRef::Location(1), Field::kLocName, std::string("roof")));
  doc_.SetAnnotation("Night raid\r\nsecond line");
  Crash(doc_);

  const auto copies = FindRecoveryCopies(recovery());
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_EQ(copies[0].manifest.project, doc_.project_file());

  MissionDocument restored;
  ASSERT_TRUE(RestoreRecoveryCopy(restored, copies[0]));
  EXPECT_EQ(restored.project_file(), doc_.project_file());
  EXPECT_EQ(restored.caption(), "Marrowdell's VYR Mission Editor - [w.cme]");
  for (Section section : kAllSections)
    EXPECT_EQ(restored.section_file(section), doc_.section_file(section));
  EXPECT_EQ(restored.location(1).loc_name, "roof");
  EXPECT_EQ(restored.info.annotation, "Night raid\r\nsecond line");
  EXPECT_EQ(restored.actor(0, 0, 1).npc_name, "Bot");
  EXPECT_TRUE(HasUnsavedChanges(restored));

  // Save goes to the author's files, without a dialog, and the result reads as the edited project.
  ASSERT_TRUE(SaveProject(restored, ui_, recent_));
  EXPECT_TRUE(ui_.dialogs.size() == 4u);  // only SaveWarehouse's four
  EXPECT_NE(Slurp(scratch_ / "project/w.mlc").find("roof\r\n"), std::string::npos);
  EXPECT_FALSE(HasUnsavedChanges(restored));
}

// A copy goes only when it holds nothing its saved project does not: when it was taken does not matter.
TEST_F(RecoveryTest, CopiesEqualToTheSavedFilesAndUnfinishedSessionsGoDifferingAndDamagedOnesStay) {
  SaveWarehouse();
  ASSERT_TRUE(doc_.SetField(RecordRef::Location(0), Field::kLocZ, Integer{5}));
  Crash(doc_);
  // The project was saved after the copy was taken (by another editor, or after "Decide later") without
  // the copy's change: the copy is still offered, and the question says the project is newer.
  fs::last_write_time(scratch_ / "project/w.cme", fs::file_time_type::clock::now() + std::chrono::hours(1));
  Spit(recovery() + "/session-unfinished/lock", "");
  Spit(recovery() + "/session-damaged/manifest", "[VYR RECOVERY 1]\r\nsoon\r\n");
  Spit(recovery() + "/unrelated/manifest", "");
  const auto copies = FindRecoveryCopies(recovery());
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_TRUE(SavedAfterCopy(copies[0]));
  ui_.replies = {std::nullopt};  // the question closed
  EXPECT_EQ(AskAboutRecovery(ui_, copies[0]), RecoveryChoice::kKeep);
  EXPECT_NE(
      ui_.asked.back().find("The project was saved after this copy was made, but it differs from the copy."),
      std::string::npos);
  EXPECT_EQ(SessionCount(recovery()), 3);
  EXPECT_TRUE(fs::exists(recovery() + "/session-damaged/manifest"));

  // Once the saved files hold what the copy holds, the copy goes.
  ASSERT_TRUE(WriteProject(doc_, ui_, recent_, scratch_ / "project/w.cme"));
  EXPECT_TRUE(FindRecoveryCopies(recovery()).empty());
  EXPECT_EQ(SessionCount(recovery()), 2);

  // A project file that is gone no longer outdates a copy; copies come newest first.
  fs::remove(scratch_ / "project/w.cme");
  Crash(doc_);
  Crash(doc_);
  const auto found = FindRecoveryCopies(recovery());
  ASSERT_EQ(found.size(), 2u);
  for (const std::size_t older : {0u, 1u}) {
    RecoveryManifest manifest = found[older].manifest;
    manifest.saved_at = 1000 - 10 * static_cast<std::int64_t>(older);  // each in turn the older one
    Spit(found[older].folder + "/manifest", FormatManifest(manifest));
    const auto sorted = FindRecoveryCopies(recovery());
    ASSERT_EQ(sorted.size(), 2u);
    EXPECT_EQ(sorted[1].folder, found[older].folder);
  }
}

TEST_F(RecoveryTest, TheStartUpQuestionRestoresOpensDiscardsOrKeeps) {
  SaveWarehouse();
  ASSERT_TRUE(doc_.SetField(RecordRef::Force(0), Field::kForceName, std::string("Red")));
  Crash(doc_);

  // Closing the question keeps the copy for the next start.
  MissionDocument fresh;
  RecoverySession session(recovery());
  ui_.replies = {std::nullopt};
  EXPECT_EQ(OfferRecovery(fresh, ui_, recent_, recovery(), session), RecoveryOutcome::kNothing);
  ASSERT_EQ(ui_.asked.size(), 1u);
  EXPECT_NE(ui_.asked[0].find(scratch_ / "project/w.cme"), std::string::npos);
  EXPECT_EQ(ui_.offered,
            (std::vector<std::string>{"Restore", "Open saved project", "Discard", "Decide later"}));
  EXPECT_EQ(fresh.force_count(), 0);
  ui_.replies = {3};  // no such choice: as closing
  EXPECT_EQ(OfferRecovery(fresh, ui_, recent_, recovery(), session), RecoveryOutcome::kNothing);
  EXPECT_EQ(FindRecoveryCopies(recovery()).size(), 1u);

  // Opening the saved project instead drops the copy.
  ui_.replies = {1};
  EXPECT_EQ(OfferRecovery(fresh, ui_, recent_, recovery(), session), RecoveryOutcome::kOpenedSaved);
  EXPECT_EQ(fresh.force(0).force_name, "Blue");
  EXPECT_TRUE(FindRecoveryCopies(recovery()).empty());

  // Restoring hands the work to this run's session before the old copy goes.
  Crash(doc_);
  ui_.replies = {0};
  EXPECT_EQ(OfferRecovery(fresh, ui_, recent_, recovery(), session), RecoveryOutcome::kRestored);
  EXPECT_EQ(fresh.force(0).force_name, "Red");
  EXPECT_TRUE(session.has_copy());
  EXPECT_EQ(SessionCount(recovery()), 1);

  // Discarding removes the copy and leaves the document alone; a never-saved project has no saved file.
  MissionDocument unnamed;
  ASSERT_TRUE(unnamed.AddForce("Green", ""));
  Crash(unnamed);
  session.Discard();  // this run's copy goes, as at a normal exit
  ui_.replies = {1};
  MissionDocument target;
  EXPECT_EQ(OfferRecovery(target, ui_, recent_, recovery(), session), RecoveryOutcome::kNothing);
  EXPECT_EQ(ui_.offered, (std::vector<std::string>{"Restore", "Discard", "Decide later"}));
  EXPECT_EQ(target.force_count(), 0);
  EXPECT_EQ(SessionCount(recovery()), 0);
  EXPECT_TRUE(ui_.messages.empty());
}

}  // namespace
}  // namespace vyr::editor
