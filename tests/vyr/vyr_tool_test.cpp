#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "tests/vyr/run_vyr.h"
#include "vyrparser/core/parser.h"
#include "vyrparser/core/writer.h"

namespace vyr::testing {
namespace {

class VyrToolTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return dir_ / name; }
  void Write(const std::string& name, const std::string& bytes) const { WriteFileBytes(dir_ / name, bytes); }

  ScratchDir dir_;
};

TEST_F(VyrToolTest, HelpVersionAndUsageErrors) {
  ToolRun run = RunVyr({"--help"});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.err, "");
  for (const char* command : {"check FILE", "dump FILE", "rewrite IN OUT", "plan FILE TEAM", "advise PARTIAL",
                              "incorporate PARTIAL"})
    EXPECT_NE(run.out.find(command), std::string::npos) << command << " missing from\n" << run.out;
  run = RunVyr({"--version"});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.out.rfind("vyr ", 0), 0u) << run.out;
  run = RunVyr({"advise", "--help"});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_NE(run.out.find("usage: vyr advise PARTIAL"), std::string::npos) << run.out;

  // Usage errors: exit code 64, nothing on the standard output, the reason on the error stream.
  const std::pair<std::vector<std::string>, const char*> usage_errors[] = {
      {{}, "missing command"},
      {{"frobnicate", "x"}, "unknown command 'frobnicate'"},
      {{"--bogus"}, "unknown option '--bogus'"},
      {{"advise"}, "usage: vyr advise PARTIAL"},
      {{"advise", "a", "b"}, "usage: vyr advise PARTIAL"},
  };
  for (const auto& [arguments, reason] : usage_errors) {
    run = RunVyr(arguments);
    EXPECT_EQ(run.exit_code, 64) << reason;
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
  }
}

TEST_F(VyrToolTest, AdviseAndIncorporate) {
  const std::string partial = Path("city");
  ToolRun run = RunVyr({"advise", partial});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.out, "-1 0 0\n");

  run = RunVyr({"incorporate", partial});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.err.find("city.exp"), std::string::npos) << run.err;

  // 300 recorded (0x012C), 240 studied (0xF0): a backlog of 60 is advised.
  Write("city.exp", std::string("\0\0\0\0\0\0\x2c\x01\0\0", 10));
  Write("city.tac", std::string("[VYR tac info 0.80]\xf0\0\0\0rest", 27));
  run = RunVyr({"advise", partial});
  EXPECT_EQ(run.out, "1 300 240\n");

  run = RunVyr({"incorporate", partial});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(ReadFileBytes(Path("city.tac")), std::string("[VYR tac info 0.80]\x2c\x01\0\0rest", 27));
  EXPECT_EQ(RunVyr({"advise", partial}).out, "0 300 300\n");

  // After "--" a name may start with "-".
  EXPECT_EQ(RunVyr({"advise", "--", "-odd"}).exit_code, 0);
}

// Line 2 holds the map; the plan of "alpha" nests an on statement.
constexpr const char* kScript =
    "mission \"m\" { author \"a\"; description \"d\\nx\"; rules { respawn = team; };\r\n"
    "map \"city\" { style = dark, urban; location l1 = <0, 0, 0>; location l2 = <100, -5, 7> ;\n"
    "area yard { style = open; locations = l1, l2; windows = l2 radius = 70000 } };\n"
    "force \"blue\" { team \"alpha\" { npc \"bob\" \"terror/terror\" { weapon \"Handcannon\"; "
    "ammo \"M4 Clip\" = 3; item \"Silencer\"; skill = 2.5 }; player \"pat\" \"male/resdog\" { } }; }; \n"
    "objectives { failure(\"alpha\", \"lost\") = ( timeout(300) || !( alive(\"bob\") ) ) -> { \"m2\" } };\n"
    "plan \"alpha\" { wait 5; on (contact, code \"go\") { attack towards l2 }; phase \"two\"; join }; }\n";

// The plan of "alpha" as the library prints it.
constexpr const char* kPlan =
    "  wait 5;\n  on (contact, code \"go\")\n  {\n    attack towards l2;\n  };\n\nphase \"two\";\n  join ;\n";

TEST_F(VyrToolTest, CheckPassesTheLibraryMessagesThrough) {
  Write("good.vyr", kScript);
  ToolRun run = RunVyr({"check", Path("good.vyr")});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "");

  std::string bad = kScript;
  bad.replace(bad.find("l2 radius"), 2, "zz");
  Write("bad.vyr", bad);
  run = RunVyr({"check", Path("bad.vyr")});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "ERROR in syntax found, at line 3\nnear: 'zz'.\nCAUSE use of undeclared location\n");

  Write("lex.vyr", "mission \"m\"\n{ $");
  run = RunVyr({"check", Path("lex.vyr")});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_EQ(run.err, "ERROR in syntax found by lex, at line 2, near: \"$\".\n");

  run = RunVyr({"check", Path("missing.vyr")});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.err.find("cannot open"), std::string::npos) << run.err;
}

TEST_F(VyrToolTest, DumpPrintsTheModelAsJson) {
  Write("good.vyr", kScript);
  ToolRun run = RunVyr({"dump", Path("good.vyr")});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  nlohmann::json dump = nlohmann::json::parse(run.out);
  dump["forces"][0]["teams"][0]["actors"][1].erase("skill");  // a player's skill is not in the script
  nlohmann::json expected = nlohmann::json::parse(R"json({
    "mission": "m", "author": "a", "description": "d\\nx", "map": "city", "annotation": null,
    "map_styles": ["urban", "dark"], "rules": [{"rule": "respawn", "value": "team"}],
    "locations": [{"name": "l1", "x": 0.0, "y": 0.0, "z": 0.0}, {"name": "l2", "x": 100.0, "y": -5.0, "z": 7.0}],
    "areas": [{"name": "yard", "styles": ["open"], "locations": ["l1", "l2"], "entrances": [], "exits": [],
               "windows": ["l2"], "radius": 4464}],
    "forces": [{"name": "blue", "teams": [{"name": "alpha", "actors": [
        {"type": "npc", "name": "bob", "model_and_skin": "terror/terror", "skill": 2.5, "weapons": ["Handcannon"],
         "ammunition": [{"name": "M4 Clip", "count": 3}], "items": ["Silencer"]},
        {"type": "player", "name": "pat", "model_and_skin": "male/resdog", "weapons": [], "ammunition": [],
         "items": []}]}]}],
    "objectives": [{"type": "failure", "owner": "alpha", "message": "lost",
                    "condition": "( timeout(300) || !( alive(\"bob\") ) )", "next_missions": ["m2"]}]})json");
  expected["forces"][0]["teams"][0]["plan"] = kPlan;
  EXPECT_EQ(dump, expected) << dump.dump(2);

  Write("bad.vyr", "mission \"m\" {");
  run = RunVyr({"dump", Path("bad.vyr")});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("CAUSE parse error"), std::string::npos) << run.err;
}

TEST_F(VyrToolTest, RewriteWritesTheLibraryLayoutAndKeepsOutputOnFailure) {
  Write("good.vyr", kScript);
  ToolRun run = RunVyr({"rewrite", Path("good.vyr"), Path("out.vyr")});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  parser::ParsedMission mission;
  ASSERT_EQ(parser::ParseMissionBuffer(kScript, mission), parser::ParseResult::kSuccess);
  const std::string written = ReadFileBytes(Path("out.vyr"));
  EXPECT_EQ(written, parser::WithCrLf(parser::MissionText(mission)));
  EXPECT_EQ(RunVyr({"check", Path("out.vyr")}).exit_code, 0);

  // Rewriting a file onto itself works: the input is read whole before the output is replaced.
  run = RunVyr({"rewrite", Path("out.vyr"), Path("out.vyr")});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(ReadFileBytes(Path("out.vyr")), written);

  Write("bad.vyr", "mission \"m\" {");
  run = RunVyr({"rewrite", Path("bad.vyr"), Path("out.vyr")});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_EQ(ReadFileBytes(Path("out.vyr")), written);

  run = RunVyr({"rewrite", Path("good.vyr"), Path("no/such/folder/out.vyr")});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.err.find("no/such/folder/out.vyr"), std::string::npos) << run.err;
}

TEST_F(VyrToolTest, PlanPrintsOneTeamsPlan) {
  Write("good.vyr", kScript);
  ToolRun run = RunVyr({"plan", Path("good.vyr"), "alpha"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, kPlan);

  run = RunVyr({"plan", Path("good.vyr"), "ALPHA"});  // team names are matched exactly here
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("no team 'ALPHA'"), std::string::npos) << run.err;
}

TEST_F(VyrToolTest, OutputThatCannotBeWrittenIsAFailureWithTheSystemsReason) {
  Write("good.vyr", kScript);
  // A dump far larger than any buffer, so the first failing write comes in the middle.
  std::string big = kScript;
  std::ostringstream locations;
  for (int i = 0; i < 4000; ++i)
    locations << "location extra" << i << " = <" << i << ", 0, 0>; ";
  big.insert(big.find("location l1"), locations.str());
  Write("big.vyr", big);
  const std::vector<std::string> commands[] = {{"--help"},
                                               {"--version"},
                                               {"dump", "--help"},
                                               {"dump", Path("good.vyr")},
                                               {"dump", Path("big.vyr")},
                                               {"plan", Path("good.vyr"), "alpha"},
                                               {"advise", Path("city")}};
  for (const auto& arguments : commands) {
    ToolRun run = RunVyr(arguments, "/dev/full");
    EXPECT_EQ(run.exit_code, 1) << arguments[0];
    EXPECT_EQ(run.err, "vyr: cannot write the standard output: No space left on device\n") << arguments[0];
    run = RunVyr(arguments, "&-");
    EXPECT_EQ(run.exit_code, 1) << arguments[0];
    EXPECT_EQ(run.err, "vyr: cannot write the standard output: Bad file descriptor\n") << arguments[0];
  }
  // The same output to a file arrives whole; a command with nothing to print is not troubled.
  const ToolRun whole = RunVyr({"dump", Path("big.vyr")});
  ASSERT_EQ(whole.exit_code, 0) << whole.err;
  EXPECT_GT(whole.out.size(), 200000u);
  EXPECT_EQ(nlohmann::json::parse(whole.out)["locations"].size(), 4002u);
  EXPECT_EQ(RunVyr({"check", Path("good.vyr")}, "/dev/full").exit_code, 0);
  // A parse problem keeps its own exit code when there was nothing to print.
  Write("bad.vyr", "mission \"m\" {");
  EXPECT_EQ(RunVyr({"dump", Path("bad.vyr")}, "/dev/full").exit_code, 2);
}

}  // namespace
}  // namespace vyr::testing
