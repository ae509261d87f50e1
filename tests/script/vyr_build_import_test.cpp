// The build and import subcommands of the vyr program, run as a user runs them, and the whole chain:
// project -> script -> parse -> project -> script.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <map>

#include "bench/full_project.h"
#include "editor/document/mission_document.h"
#include "editor/document/project_file.h"
#include "editor/document/section_format.h"
#include "editor/launch/library_parse.h"
#include "editor/script/generator.h"
#include "editor/script/import.h"
#include "editor/script/mission_reader.h"
#include "platform/atomic_file.h"
#include "tests/editor_test_support.h"
#include "tests/vyr/run_vyr.h"

namespace vyr::editor {
namespace {

namespace fs = std::filesystem;
using namespace vyr::editor::testing;
using vyr::testing::RunVyr;
using vyr::testing::ShellQuote;
using vyr::testing::ToolRun;

const std::string kLibrary = std::string(VYR_LIB_DIR) + "/libvyrparser.so";

class VyrBuildImport : public ::testing::Test {
 protected:
  std::string SaveProject(MissionDocument& doc, const std::string& name) {
    return WriteProjectBeside(doc, dir_ / (name + ".cme"));
  }

  void Load(MissionDocument& doc, const std::string& name) {
    RecordedRecent recent;
    const Status status = LoadProject(doc, recent, dir_ / name);
    ASSERT_TRUE(status) << status.message;
  }

  ScratchFolder dir_;
  const vyr::testing::ScopedEnv registry_{"VYR_REGISTRY_FILE", dir_ / "registry.reg"};  // each test its own
};

// Runs vyr and expects exit code 0, showing its errors otherwise.
::testing::AssertionResult Succeeds(const std::vector<std::string>& arguments) {
  const ToolRun run = RunVyr(arguments);
  if (run.exit_code == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "exit code " << run.exit_code << ": " << run.err;
}

// The script up to its plan blocks, where the library's own statement layout takes over, with every
// `skill` line as the library writes it back: raised to 1.
std::string BeforePlans(const std::string& script, const std::string& skill = "") {
  std::string out;
  std::size_t at = 0;
  for (std::size_t next; !skill.empty() && (next = script.find(skill, at)) != std::string::npos;
       at = next + skill.size())
    out += script.substr(at, next - at) + "skill =1;";
  out += script.substr(at);
  return out.substr(0, out.find("\r\nplan \""));
}

// The parse needs the library; without it these tests are skipped.
class VyrWithLibrary : public VyrBuildImport {
 protected:
  void SetUp() override {
    if (!fs::exists(kLibrary)) GTEST_SKIP() << "the library is not built: " << kLibrary;
  }
};

TEST_F(VyrBuildImport, TheExampleProjectBuildsToTheWorkedExample) {
  const std::string example = std::string(VYR_TEST_DATA_DIR) + "/../../examples/warehouse/warehouse.cme";
  const ToolRun run = RunVyr({"build", example, dir_ / "example.vyr"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_TRUE(SameBytes(TestData("script/warehouse.vyr"), Slurp(dir_ / "example.vyr")));
}

TEST_F(VyrBuildImport, BuildReportsLoadAndWriteProblems) {
  ToolRun run = RunVyr({"build", dir_ / "missing.cme", dir_ / "out.vyr"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.err.find("missing.cme"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(dir_ / "out.vyr"));

  Spit(dir_ / "short.cme", "[VERSION 0.2]\r\n");
  run = RunVyr({"build", dir_ / "short.cme", dir_ / "out.vyr"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.err.find("short.cme:2:"), std::string::npos) << run.err;

  MissionDocument doc;
  BuildWarehouse(doc);
  const std::string project = SaveProject(doc, "w");
  run = RunVyr({"build", project, dir_ / "no/such/folder/out.vyr"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.err.find("no/such/folder/out.vyr"), std::string::npos) << run.err;

  EXPECT_EQ(RunVyr({"build", "--check", project}).exit_code, 64);
}

TEST_F(VyrWithLibrary, CheckParsesWithTheLibraryAndPrintsItsMessages) {
  MissionDocument doc;
  BuildWarehouse(doc);
  EXPECT_TRUE(Succeeds({"build", "--check", SaveProject(doc, "good"), dir_ / "good.vyr"}));

  // A location name with a blank is written as it stands and fails the parse.
  ASSERT_TRUE(doc.SetField(RecordRef::Location(1), Field::kLocName, std::string("the tower")));
  const ToolRun run = RunVyr({"build", "--check", SaveProject(doc, "bad"), dir_ / "bad.vyr"});
  EXPECT_EQ(run.exit_code, 2) << run.err;
  EXPECT_NE(run.err.find("line"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("does not parse"), std::string::npos) << run.err;
  EXPECT_TRUE(fs::exists(dir_ / "bad.vyr"));  // the script stays for the author to look at
}

// A broken script imports nothing; the "Error" keeps its text and shows what the parser said below it.
TEST_F(VyrWithLibrary, ImportOfABrokenScriptWritesNothingAndNamesTheLineAndTheCause) {
  Spit(dir_ / "broken.vyr", "mission \"m\" {\n  author \"a\";\n  description \"d\";\n  rulez");
  const std::string text =
      "This mission contains errors and cannot be imported.\n\nLine 4, near 'rulez': parse error";
  ToolRun run = RunVyr({"import", dir_ / "broken.vyr", dir_ / "out.cme"});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_NE(run.err.find(text), std::string::npos) << run.err;
  for (const char* ext : {".cme", ".mlc", ".mar", ".mfr", ".moc"})
    EXPECT_FALSE(fs::exists(dir_ / (std::string("out") + ext))) << ext;
  MissionDocument back;
  ScriptedUi ui;
  const Status imported = ImportMission(back, dir_ / "broken.vyr", ui);
  EXPECT_EQ(imported.message, text);
  EXPECT_EQ(ui.messages, (std::vector<Message>{{"Error", text, MessageIcon::kCritical}}));

  // A script that cannot be read is a file problem, and says why.
  run = RunVyr({"import", dir_ / "absent.vyr", dir_ / "out.cme"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.err.find("absent.vyr cannot be imported: cannot open the file: No such file or directory"),
            std::string::npos)
      << run.err;
}

TEST_F(VyrWithLibrary, LongPlansArriveWhole) {
  MissionDocument doc;
  BuildWarehouse(doc);
  std::string plan;
  for (int i = 0; i < 300; ++i)
    plan += "  radio \"message " + std::to_string(i) + "\";\r\n";
  ASSERT_TRUE(doc.SetField(RecordRef::Team(0, 0), Field::kPlan, plan + "  abort;"));
  ASSERT_TRUE(Succeeds({"build", "--check", SaveProject(doc, "long"), dir_ / "long.vyr"}));
  ASSERT_TRUE(Succeeds({"import", dir_ / "long.vyr", dir_ / "back.cme"}));
  MissionDocument back;
  Load(back, "back.cme");
  const std::string& imported = back.team(0, 0).plan;
  EXPECT_GT(imported.size(), 6000u);
  EXPECT_NE(imported.find("message 299"), std::string::npos);
  EXPECT_NE(imported.find("abort;"), std::string::npos);
  EXPECT_EQ(imported.find('\n', 0), imported.find("\r\n", 0) + 1);  // line feeds became CR LF
}

// With a team without actors, and a second "Alpha" in another force: they come back as they were, each
// team with its own plan, and the objective that names the empty team still parses.
TEST_F(VyrWithLibrary, WholeChainComesBackToTheSameScript) {
  MissionDocument doc;
  BuildWarehouse(doc);
  ASSERT_TRUE(doc.AddTeam(0, "Reserve", "", "  wait forever;"));
  ASSERT_TRUE(doc.AddForce("Red", ""));
  ASSERT_TRUE(doc.AddTeam(1, "Alpha", "", ""));
  ActorRecord guard;
  guard.npc_name = "Guard";
  ASSERT_TRUE(doc.AddActor(1, 0, guard));
  ASSERT_TRUE(doc.AddOutcome("Reserve", "Held", "m4?", "failure", "eliminated(\"Reserve\")"));
  ASSERT_TRUE(Succeeds({"build", "--check", SaveProject(doc, "warehouse"), dir_ / "first.vyr"}));
  ASSERT_TRUE(Succeeds({"import", dir_ / "first.vyr", dir_ / "again.cme"}));

  // What the rebuilt script below cannot show: the map styles (its style line is fixed), the section file
  // names and the plans, which the library lays out anew.
  MissionDocument back;
  Load(back, "again.cme");
  EXPECT_EQ(back.info.map_styles, "open?dark?urban?");
  EXPECT_EQ(back.section_file(Section::kForces), SplitPath(dir_ / "again.mfr"));
  EXPECT_NE(Slurp(dir_ / "again.cme").find("again.mfr\r\n[LOCAL]\r\n"), std::string::npos);
  ASSERT_EQ(back.force_count(), 2);
  ASSERT_EQ(back.team_count(0), 2);
  EXPECT_NE(back.team(0, 0).plan.find("insert at gate using \"column\";"), std::string::npos)
      << back.team(0, 0).plan;
  EXPECT_NE(back.team(0, 0).plan.find("wait until ready;"), std::string::npos) << back.team(0, 0).plan;
  EXPECT_EQ(back.team(0, 1).team_name, "Reserve");
  EXPECT_EQ(back.actor_count(0, 1), 0);
  EXPECT_EQ(back.team(0, 1).plan, "  wait forever;\r\n");
  EXPECT_EQ(back.team(1, 0).team_name, "Alpha");
  EXPECT_EQ(back.team(1, 0).plan, "");  // its own, not the first Alpha's
  ASSERT_EQ(back.actor_count(1, 0), 1);
  EXPECT_EQ(back.actor(1, 0, 0).npc_name, "Guard");
  const ProjectTree& tree = back.tree();
  EXPECT_EQ(tree.node(tree.TeamNode(0, 1)).parent, tree.ForceNode(0));
  EXPECT_EQ(tree.node(tree.ActorNode(1, 0, 0)).parent, tree.TeamNode(1, 0));

  // Built again, the script parses and matches the first one up to the plans, but for the skill the
  // library raises from 0.5 to 1; one more round trip changes nothing at all.
  ASSERT_TRUE(Succeeds({"build", "--check", dir_ / "again.cme", dir_ / "second.vyr"}));
  EXPECT_TRUE(SameBytes(BeforePlans(Slurp(dir_ / "first.vyr"), "skill =0.5;"),
                        BeforePlans(Slurp(dir_ / "second.vyr"))));
  ASSERT_TRUE(Succeeds({"import", dir_ / "second.vyr", dir_ / "third.cme"}));
  ASSERT_TRUE(Succeeds({"build", "--check", dir_ / "third.cme", dir_ / "third.vyr"}));
  EXPECT_TRUE(SameBytes(Slurp(dir_ / "second.vyr"), Slurp(dir_ / "third.vyr")));
}

// Every table full, each team named for its force so that each plan block is its team's own.
TEST_F(VyrWithLibrary, AFullMissionImportsWholeAndRebuildsIntoTheSameScript) {
  MissionDocument doc;
  bench::FillToCapacity(doc);
  doc.info.vyr_author = doc.info.vyr_missiondescription = doc.info.vyr_mapname = "x";
  for (int a = 0; a < doc.area_count(); ++a)  // an area has one style in a script
    ASSERT_TRUE(doc.SetField(RecordRef::Area(a), Field::kAreaStyle, std::string("roof?")));
  for (int f = 0; f < doc.force_count(); ++f) {
    for (int t = 0; t < doc.team_count(f); ++t) {
      const std::string name = Numbered("f", f) + Numbered("t", t);
      ASSERT_TRUE(doc.SetField(RecordRef::Team(f, t), Field::kTeamName, name));
      ASSERT_TRUE(doc.SetField(RecordRef::Team(f, t), Field::kPlan,
                               doc.team(f, t).plan + "\r\n  radio \"" + name + "\";"));
    }
  }
  const std::string first = GenerateScript(doc);
  Spit(dir_ / "full.vyr", first);
  ASSERT_TRUE(EnsureMissionLibraryRegistered(kLibrary));
  MissionDocument back;
  ScriptedUi ui;
  const Status imported = ImportMission(back, dir_ / "full.vyr", ui);
  ASSERT_TRUE(imported) << imported.message;
  EXPECT_TRUE(ui.messages.empty()) << ui.messages.at(0);

  int actors = 0;
  int own_plans = 0;
  for (int f = 0; f < back.force_count(); ++f) {
    for (int t = 0; t < back.team_count(f); ++t) {
      actors += back.actor_count(f, t);
      const TeamRecord& team = back.team(f, t);
      own_plans += team.plan.find("radio \"" + team.team_name + "\";") != std::string::npos;
    }
  }
  EXPECT_EQ(actors, 44541);
  EXPECT_EQ(own_plans, 2121);

  // Rebuilt, it parses and is the first script up to the plans, but for the skill the library raises to 1.
  const std::string again = GenerateScript(back);
  Spit(dir_ / "again.vyr", again);
  EXPECT_EQ(ParseWithLibrary(dir_ / "again.vyr").result, 0);
  EXPECT_TRUE(SameBytes(BeforePlans(first, "skill =0.75;"), BeforePlans(again)));
}

// A mission with the empty annotation of a new project, in a folder whose name is not ASCII: build,
// check and import all parse it, the UTF-8 file names intact.
TEST_F(VyrWithLibrary, AnEmptyAnnotationInAFolderNamedWithAnAccentBuildsChecksAndImports) {
  fs::create_directories(dir_ / "\xC3\xA9");
  MissionDocument doc;
  BuildWarehouse(doc);
  doc.info.annotation.clear();
  const std::string project = SaveProject(doc, "\xC3\xA9/n");
  EXPECT_TRUE(Succeeds({"build", "--check", project, dir_ / "\xC3\xA9/n.vyr"}));
  EXPECT_TRUE(Succeeds({"check", dir_ / "\xC3\xA9/n.vyr"}));
  EXPECT_TRUE(Succeeds({"import", dir_ / "\xC3\xA9/n.vyr", dir_ / "\xC3\xA9/back.cme"}));
  EXPECT_TRUE(fs::exists(dir_ / "\xC3\xA9/back.moc"));
}

// Scripts that cannot be read say why and exit 1; a named pipe is refused rather than waited on.
TEST_F(VyrWithLibrary, UnreadableScriptsAreFileProblemsWithTheSystemsReason) {
  ASSERT_EQ(::mkfifo((dir_ / "pipe.vyr").c_str(), 0600), 0);
  for (const char* command : {"check", "import"}) {
    std::vector<std::string> arguments = {command, dir_ / "pipe.vyr"};
    if (std::string(command) == "import") arguments.push_back(dir_ / "p.cme");
    ToolRun run = RunVyr(arguments);
    EXPECT_EQ(run.exit_code, 1) << command;
    EXPECT_NE(run.err.find("it is not a regular file"), std::string::npos) << run.err;
    arguments[1] = dir_.str();
    run = RunVyr(arguments);
    EXPECT_EQ(run.exit_code, 1) << command;
    EXPECT_NE(run.err.find("it is a folder"), std::string::npos) << run.err;
  }
  EXPECT_FALSE(fs::exists(dir_ / "p.cme"));
}

// Output to standard output or a device is written into it; an import whose last file cannot be
// replaced leaves the project that was there.
TEST_F(VyrWithLibrary, OutputsThatAreNoPlainFilesAndAnImportThatCannotFinish) {
  MissionDocument doc;
  BuildWarehouse(doc);
  const std::string project = SaveProject(doc, "w");
  ASSERT_TRUE(Succeeds({"build", project, dir_ / "w.vyr"}));
  ToolRun run = RunVyr({"rewrite", dir_ / "w.vyr", "/dev/stdout"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_NE(run.out.find("mission \"Warehouse\""), std::string::npos) << run.out;
  EXPECT_TRUE(Succeeds({"build", project, "/dev/null"}));
  EXPECT_TRUE(fs::is_character_file("/dev/null"));

  Spit(dir_ / "w.mlc", "the old locations");
  fs::remove(dir_ / "w.moc");
  fs::create_directories(dir_ / "w.moc/taken");
  run = RunVyr({"import", dir_ / "w.vyr", project});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.err.find("w.moc: cannot replace the file: Is a directory"), std::string::npos) << run.err;
  EXPECT_EQ(Slurp(dir_ / "w.mlc"), "the old locations");
}

// Every file of the folder but the registry and the scripts, name to bytes.
std::map<std::string, std::string> ProjectFiles(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (!name.starts_with("registry.reg") && !name.ends_with(".vyr")) files[name] = Slurp(entry.path());
  }
  return files;
}

TEST_F(VyrWithLibrary, ImportKilledAtAnyRenameLeavesAWholeProjectForTheNextBuild) {
  if (std::system("strace -V >/dev/null 2>&1") != 0) GTEST_SKIP() << "strace is not installed";
  MissionDocument doc;
  BuildWarehouse(doc);
  const std::string project = SaveProject(doc, "w");
  const auto old_files = ProjectFiles(dir_.dir());
  ASSERT_EQ(old_files.size(), 5u);
  // The script to import differs from the project in every section.
  doc.info.vyr_author = "Lee";
  ASSERT_TRUE(doc.AddLocation("annex", "", 1, 2, 3));
  ASSERT_TRUE(doc.SetField(RecordRef::Area(0), Field::kAreaRadius, Integer{55}));
  ASSERT_TRUE(doc.SetField(RecordRef::Actor(0, 0, 0), Field::kNpcSkill, Single{0.25f}));
  ASSERT_TRUE(doc.SetField(RecordRef::Outcome(0), Field::kOutcomeMessage, std::string("won again")));
  ASSERT_TRUE(CompileMission(doc, dir_ / "new.vyr"));
  ASSERT_TRUE(Succeeds({"import", dir_ / "new.vyr", project}));  // registers the library too
  const auto new_files = ProjectFiles(dir_.dir());
  ASSERT_NE(new_files, old_files);

  // The record's rename, then the five files'.
  for (int rename = 1; rename <= 6; ++rename) {
    for (const auto& [name, bytes] : old_files)
      ASSERT_TRUE(platform::WriteFileAtomically(dir_ / name, bytes));
    const std::string command =
        "strace -o /dev/null -e inject=rename:signal=KILL:when=" + std::to_string(rename) + " " +
        ShellQuote(std::string(VYR_BIN_DIR) + "/vyr") + " import " + ShellQuote(dir_ / "new.vyr") + " " +
        ShellQuote(project) + " 2>/dev/null";
    const int status = std::system(command.c_str());
    ASSERT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "rename " << rename << " was not killed";

    EXPECT_TRUE(Succeeds({"build", "--check", project, dir_ / "out.vyr"})) << "rename " << rename;
    EXPECT_EQ(ProjectFiles(dir_.dir()), rename == 1 ? old_files : new_files) << "rename " << rename;
  }
}

}  // namespace
}  // namespace vyr::editor
