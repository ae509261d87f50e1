#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <nlohmann/json.hpp>
#include <sstream>

#include "tests/vyr/run_vyr.h"
#include "vyrparser/core/parser.h"
#include "vyrparser/core/writer.h"

namespace vyr::testing {
namespace {

namespace fs = std::filesystem;

class VyrToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("vyr_tool_test_" + std::to_string(::getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream out(dir_ / name, std::ios::binary);
    out << bytes;
  }

  fs::path dir_;
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

  run = RunVyr({});
  EXPECT_EQ(run.exit_code, 64);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("missing command"), std::string::npos) << run.err;

  run = RunVyr({"frobnicate", "x"});
  EXPECT_EQ(run.exit_code, 64);
  EXPECT_NE(run.err.find("unknown command 'frobnicate'"), std::string::npos) << run.err;

  run = RunVyr({"--bogus"});
  EXPECT_EQ(run.exit_code, 64);
  EXPECT_NE(run.err.find("unknown option '--bogus'"), std::string::npos) << run.err;

  run = RunVyr({"advise"});
  EXPECT_EQ(run.exit_code, 64);
  EXPECT_NE(run.err.find("usage: vyr advise PARTIAL"), std::string::npos) << run.err;
  run = RunVyr({"advise", "a", "b"});
  EXPECT_EQ(run.exit_code, 64);
  EXPECT_EQ(run.out, "");

  run = RunVyr({"advise", "--help"});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_NE(run.out.find("usage: vyr advise PARTIAL"), std::string::npos) << run.out;
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
  EXPECT_EQ(ReadWhole(Path("city.tac")), std::string("[VYR tac info 0.80]\x2c\x01\0\0rest", 27));
  EXPECT_EQ(RunVyr({"advise", partial}).out, "0 300 300\n");

  // A file name that starts with "-" is reached after "--".
  Write("-odd.exp", std::string("\0\0\0\0\0\0\x05\0\0\0", 10));
  run = RunVyr({"advise", "--", "-odd"});
  EXPECT_EQ(run.exit_code, 0);
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
  parser::ParsedMission mission;
  std::ostringstream library;
  EXPECT_EQ(parser::ParseMissionBuffer(bad, mission, library), parser::ParseResult::kParseProblem);
  EXPECT_EQ(run.err, library.str());
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
  const nlohmann::json dump = nlohmann::json::parse(run.out);
  EXPECT_EQ(dump["mission"], "m");
  EXPECT_EQ(dump["description"], "d\\nx");
  EXPECT_TRUE(dump["annotation"].is_null());
  EXPECT_EQ(dump["map_styles"], nlohmann::json({"urban", "dark"}));
  EXPECT_EQ(dump["rules"][0]["value"], "team");
  EXPECT_EQ(dump["locations"][1], nlohmann::json({{"name", "l2"}, {"x", 100.0}, {"y", -5.0}, {"z", 7.0}}));
  const nlohmann::json& area = dump["areas"][0];
  EXPECT_EQ(area["styles"], nlohmann::json({"open"}));
  EXPECT_EQ(area["locations"], nlohmann::json({"l1", "l2"}));
  EXPECT_EQ(area["entrances"], nlohmann::json::array());
  EXPECT_EQ(area["windows"], nlohmann::json({"l2"}));
  EXPECT_EQ(area["radius"], 4464);
  const nlohmann::json& team = dump["forces"][0]["teams"][0];
  EXPECT_EQ(team["name"], "alpha");
  EXPECT_EQ(team["plan"],
            "  wait 5;\n  on (contact, code \"go\")\n  {\n    attack towards l2;\n  };\n\nphase \"two\";\n  "
            "join ;\n");
  const nlohmann::json& bob = team["actors"][0];
  EXPECT_EQ(bob["type"], "npc");
  EXPECT_EQ(bob["model_and_skin"], "terror/terror");
  EXPECT_EQ(bob["skill"], 2.5);
  EXPECT_EQ(bob["weapons"], nlohmann::json({"Handcannon"}));
  EXPECT_EQ(bob["ammunition"], nlohmann::json::parse(R"([{"name": "M4 Clip", "count": 3}])"));
  EXPECT_EQ(bob["items"], nlohmann::json({"Silencer"}));
  EXPECT_EQ(team["actors"][1]["type"], "player");
  const nlohmann::json& objective = dump["objectives"][0];
  EXPECT_EQ(objective["type"], "failure");
  EXPECT_EQ(objective["owner"], "alpha");
  EXPECT_EQ(objective["condition"], "( timeout(300) || !( alive(\"bob\") ) )");
  EXPECT_EQ(objective["next_missions"], nlohmann::json({"m2"}));

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
  const std::string written = ReadWhole(Path("out.vyr"));
  EXPECT_EQ(written, parser::WithCrLf(parser::MissionText(mission)));
  EXPECT_EQ(RunVyr({"check", Path("out.vyr")}).exit_code, 0);

  // Rewriting a file onto itself works: the input is read whole before the output is replaced.
  run = RunVyr({"rewrite", Path("out.vyr"), Path("out.vyr")});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(ReadWhole(Path("out.vyr")), written);

  Write("bad.vyr", "mission \"m\" {");
  run = RunVyr({"rewrite", Path("bad.vyr"), Path("out.vyr")});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_EQ(ReadWhole(Path("out.vyr")), written);

  run = RunVyr({"rewrite", Path("good.vyr"), Path("no/such/folder/out.vyr")});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.err.find("no/such/folder/out.vyr"), std::string::npos) << run.err;
}

TEST_F(VyrToolTest, PlanPrintsOneTeamsPlan) {
  Write("good.vyr", kScript);
  ToolRun run = RunVyr({"plan", Path("good.vyr"), "alpha"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out,
            "  wait 5;\n  on (contact, code \"go\")\n  {\n    attack towards l2;\n  };\n\nphase \"two\";\n  "
            "join ;\n");

  run = RunVyr({"plan", Path("good.vyr"), "ALPHA"});  // team names are matched exactly here
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("no team 'ALPHA'"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace vyr::testing
