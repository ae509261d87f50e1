// The build and import subcommands of the vyr program, run as a user runs them, and the whole chain:
// project -> script -> parse -> project -> script.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "editor/document/mission_document.h"
#include "editor/document/project_file.h"
#include "tests/script/script_test_support.h"
#include "tests/vyr/run_vyr.h"

namespace vyr::editor {
namespace {

namespace fs = std::filesystem;
using vyr::testing::RunVyr;
using vyr::testing::ToolRun;

class NoRecent : public RecentFiles {
 public:
  void AddToRecent(const std::string&) override {}
};

const std::string kLibrary = std::string(VYR_LIB_DIR) + "/libvyrparser.so";

class VyrBuildImport : public ::testing::Test {
 protected:
  void SetUp() override {
    // Each test registers into a registry of its own.
    ::setenv("VYR_REGISTRY_FILE", dir_.File("registry.reg").c_str(), 1);
  }
  void TearDown() override { ::unsetenv("VYR_REGISTRY_FILE"); }

  // Saves `doc` as NAME.cme with its four section files in the test folder.
  std::string SaveProject(MissionDocument& doc, const std::string& name) {
    doc.SetSectionFile(Section::kLocations, SplitPath(dir_.File(name + ".mlc")));
    doc.SetSectionFile(Section::kAreas, SplitPath(dir_.File(name + ".mar")));
    doc.SetSectionFile(Section::kForces, SplitPath(dir_.File(name + ".mfr")));
    doc.SetSectionFile(Section::kOutcomes, SplitPath(dir_.File(name + ".moc")));
    RecordingUi ui;
    NoRecent recent;
    const std::string path = dir_.File(name + ".cme");
    EXPECT_TRUE(WriteProject(doc, ui, recent, path));
    return path;
  }

  static bool HaveLibrary() { return fs::exists(kLibrary); }

  TempDir dir_;
};

TEST_F(VyrBuildImport, BuildWritesTheWorkedExample) {
  MissionDocument doc;
  BuildWarehouse(doc);
  const std::string project = SaveProject(doc, "warehouse");
  const std::string out = dir_.File("warehouse.vyr");
  ToolRun run = RunVyr({"build", project, out});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.err, "");
  ExpectSameText(ReadTestData("script/warehouse.vyr"), ReadFileBytes(out));
}

TEST_F(VyrBuildImport, TheExampleProjectBuildsToTheWorkedExample) {
  const fs::path example =
      fs::path(VYR_TEST_DATA_DIR).parent_path().parent_path() / "examples/warehouse/warehouse.cme";
  if (!fs::exists(example)) GTEST_SKIP() << "no example project at " << example;
  const std::string out = dir_.File("example.vyr");
  ToolRun run = RunVyr({"build", example.string(), out});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  ExpectSameText(ReadTestData("script/warehouse.vyr"), ReadFileBytes(out));
}

TEST_F(VyrBuildImport, BuildReportsLoadAndWriteProblems) {
  ToolRun run = RunVyr({"build", dir_.File("missing.cme"), dir_.File("out.vyr")});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.err.find("missing.cme"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(dir_.File("out.vyr")));

  // A project file that ends early: the problem names the file and its line.
  WriteFileBytes(dir_.File("short.cme"), "[VERSION 0.2]\r\n");
  run = RunVyr({"build", dir_.File("short.cme"), dir_.File("out.vyr")});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.err.find("short.cme"), std::string::npos) << run.err;

  MissionDocument doc;
  BuildWarehouse(doc);
  const std::string project = SaveProject(doc, "w");
  run = RunVyr({"build", project, dir_.File("no/such/folder/out.vyr")});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.err.find("no/such/folder/out.vyr"), std::string::npos) << run.err;

  run = RunVyr({"build", "--check", project});
  EXPECT_EQ(run.exit_code, 64);
}

TEST_F(VyrBuildImport, CheckParsesWithTheLibraryAndPrintsItsMessages) {
  if (!HaveLibrary()) GTEST_SKIP() << "the library is not built: " << kLibrary;
  MissionDocument doc;
  BuildWarehouse(doc);
  ToolRun run = RunVyr({"build", "--check", SaveProject(doc, "good"), dir_.File("good.vyr")});
  EXPECT_EQ(run.exit_code, 0) << run.err;

  // A location name with a blank is written as it stands and fails the parse.
  doc.location(1).loc_name = "the tower";
  run = RunVyr({"build", "--check", SaveProject(doc, "bad"), dir_.File("bad.vyr")});
  EXPECT_EQ(run.exit_code, 2) << run.err;
  EXPECT_NE(run.err.find("line"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("does not parse"), std::string::npos) << run.err;
  EXPECT_TRUE(fs::exists(dir_.File("bad.vyr")));  // the script stays for the author to look at
}

TEST_F(VyrBuildImport, ImportOfABrokenScriptWritesNothing) {
  if (!HaveLibrary()) GTEST_SKIP() << "the library is not built: " << kLibrary;
  WriteFileBytes(dir_.File("broken.vyr"), "mission \"x\" { this is not a mission");
  ToolRun run = RunVyr({"import", dir_.File("broken.vyr"), dir_.File("out.cme")});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_NE(run.err.find("This mission contains errors and cannot be imported."), std::string::npos)
      << run.err;
  for (const char* ext : {".cme", ".mlc", ".mar", ".mfr", ".moc"}) {
    EXPECT_FALSE(fs::exists(dir_.File(std::string("out") + ext))) << ext;
  }
  run = RunVyr({"import", dir_.File("absent.vyr"), dir_.File("out.cme")});
  EXPECT_EQ(run.exit_code, 2);
}

TEST_F(VyrBuildImport, LongPlansArriveWhole) {
  if (!HaveLibrary()) GTEST_SKIP() << "the library is not built: " << kLibrary;
  MissionDocument doc;
  BuildWarehouse(doc);
  std::string plan;
  for (int i = 0; i < 300; ++i)
    plan += "  radio \"message " + std::to_string(i) + "\";\r\n";
  plan += "  abort;";
  ASSERT_GT(plan.size(), 6000u);
  doc.team(0, 0).plan = plan;
  const std::string script = dir_.File("long.vyr");
  ToolRun run = RunVyr({"build", "--check", SaveProject(doc, "long"), script});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  run = RunVyr({"import", script, dir_.File("back.cme")});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  MissionDocument back;
  NoRecent recent;
  ASSERT_TRUE(LoadProject(back, recent, dir_.File("back.cme")));
  const std::string& imported = back.team(0, 0).plan;
  EXPECT_GT(imported.size(), 6000u);
  EXPECT_NE(imported.find("message 299"), std::string::npos);
  EXPECT_NE(imported.find("abort;"), std::string::npos);
  EXPECT_EQ(imported.find('\n', 0), imported.find("\r\n", 0) + 1);  // line feeds became CR LF
}

// The script up to its plan blocks, where the library's own statement layout takes over.
std::string BeforePlans(const std::string& script) {
  const std::size_t plans = script.find("\r\nplan \"");
  return plans == std::string::npos ? script : script.substr(0, plans);
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

TEST_F(VyrBuildImport, WholeChainComesBackToTheSameScript) {
  if (!HaveLibrary()) GTEST_SKIP() << "the library is not built: " << kLibrary;
  MissionDocument doc;
  BuildWarehouse(doc);
  const std::string first = dir_.File("first.vyr");
  ToolRun run = RunVyr({"build", "--check", SaveProject(doc, "warehouse"), first});
  ASSERT_EQ(run.exit_code, 0) << run.err;

  run = RunVyr({"import", first, dir_.File("again.cme")});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  for (const char* ext : {".cme", ".mlc", ".mar", ".mfr", ".moc"}) {
    EXPECT_TRUE(fs::exists(dir_.File(std::string("again") + ext))) << ext;
  }

  // The imported project holds what the original did; the library raises skills below 1 to 1.
  MissionDocument back;
  NoRecent recent;
  ASSERT_TRUE(LoadProject(back, recent, dir_.File("again.cme")));
  EXPECT_EQ(back.info.vyr_missionname, "Warehouse");
  EXPECT_EQ(back.info.vyr_author, "Kim");
  EXPECT_EQ(back.info.annotation, "Night raid");
  EXPECT_EQ(back.info.map_styles, "open?dark?urban?");
  EXPECT_EQ(back.section_file(Section::kForces).name, "again.mfr");
  EXPECT_NE(ReadFileBytes(dir_.File("again.cme")).find("again.mfr\r\n[LOCAL]\r\n"), std::string::npos);
  ASSERT_EQ(back.location_count(), 2);
  EXPECT_EQ(back.location(1).loc_x, -5);
  ASSERT_EQ(back.area_count(), 1);
  EXPECT_EQ(back.area(0).area_locations, "gate?tower?");
  EXPECT_EQ(back.area(0).area_style, "open?");
  ASSERT_EQ(back.force_count(), 1);
  ASSERT_EQ(back.actor_count(0, 0), 2);
  EXPECT_EQ(back.actor(0, 0, 0), doc.actor(0, 0, 0));
  ActorRecord bot = doc.actor(0, 0, 1);
  bot.npc_skill = 1.0f;
  EXPECT_EQ(back.actor(0, 0, 1), bot);
  EXPECT_NE(back.team(0, 0).plan.find("insert at gate using \"column\";"), std::string::npos)
      << back.team(0, 0).plan;
  EXPECT_NE(back.team(0, 0).plan.find("wait until ready;"), std::string::npos) << back.team(0, 0).plan;
  ASSERT_EQ(back.outcome_count(), 1);
  EXPECT_EQ(back.outcome(0).outcome_reason, "timeout(300)");
  EXPECT_EQ(back.outcome(0).nextmission, "m2?m3?");

  // Built again, the script parses and matches the first one up to the plans; one more round trip
  // changes nothing at all.
  const std::string second = dir_.File("second.vyr");
  run = RunVyr({"build", "--check", dir_.File("again.cme"), second});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  ExpectSameText(Replaced(BeforePlans(ReadFileBytes(first)), "skill =0.5;", "skill =1;"),
                 BeforePlans(ReadFileBytes(second)));

  run = RunVyr({"import", second, dir_.File("third.cme")});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  const std::string third = dir_.File("third.vyr");
  run = RunVyr({"build", "--check", dir_.File("third.cme"), third});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  ExpectSameText(ReadFileBytes(second), ReadFileBytes(third));
}

}  // namespace
}  // namespace vyr::editor
