#include "editor/script/generator.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <vector>

#include "tests/script/script_test_support.h"

namespace vyr::editor {
namespace {

// Records of a mission held outside any document, for the text-only tests.
struct Tables {
  MissionInfo info;
  std::vector<LocationRecord> locations;
  std::vector<AreaRecord> areas;
  std::vector<ForceRecord> forces;
  std::vector<OutcomeRecord> outcomes;

  std::string Generate(const CompileProgress& progress = {}) {
    return GenerateScript(ScriptSource{info, locations, areas, forces, outcomes}, progress);
  }
};

Tables WarehouseTables() {
  Tables t;
  t.info.vyr_missionname = "Warehouse";
  t.info.vyr_author = "Kim";
  t.info.vyr_missiondescription = "Clear the warehouse.";
  t.info.vyr_mapname = "urban1";
  t.info.annotation = "Night raid";
  t.info.map_styles = "indoor?";  // never written: the style line is fixed
  t.locations = {{"gate", "", 100, -20, 0}, {"tower", "", -5, 40, 128}};
  t.areas = {{"yard", "", "gate?tower?", "open?", 200}};
  ForceRecord blue;
  blue.force_name = "Blue";
  blue.team_count = 1;
  TeamRecord& alpha = blue.teams[0];
  alpha.team_name = "Alpha";
  alpha.plan = "  insert at gate using \"column\";\r\n  wait until ready;";
  alpha.actor_count = 2;
  ActorRecord& lead = alpha.actors[0];
  lead.npc_player = true;
  lead.npc_name = "Lead";
  lead.npc_skill = 1.0f;
  lead.weapon[0] = true;
  lead.item[1] = true;
  lead.ammo[0] = 2;
  ActorRecord& bot = alpha.actors[1];
  bot.npc_name = "Bot";
  bot.npc_skill = 0.5f;
  bot.weapon[1] = true;
  bot.ammo[1] = 3;
  t.forces = {blue};
  t.outcomes = {{"success", "Blue", "Well done", "timeout(300)", "m2?m3?"}};
  return t;
}

// The lines of a script between two markers (both excluded), CR LF kept on each line.
std::string Between(const std::string& text, const std::string& from, const std::string& to) {
  const std::size_t begin = text.find(from);
  if (begin == std::string::npos) return "<missing " + from + ">";
  const std::size_t start = begin + from.size();
  const std::size_t end = text.find(to, start);
  if (end == std::string::npos) return "<missing " + to + ">";
  return text.substr(start, end - start);
}

TEST(Generator, WorkedExampleIsByteExact) {
  Tables t = WarehouseTables();
  std::vector<std::string> captions;
  const std::string script = t.Generate([&](std::string_view c) { captions.emplace_back(c); });
  ExpectSameText(ReadTestData("script/warehouse.vyr"), script);
  EXPECT_EQ(captions, (std::vector<std::string>{"Creating general mission information", "Creating locations",
                                                "Creating areas", "Creating forces",
                                                "Creating mission outcomes", "Creating plans"}));
}

TEST(Generator, HeaderAddressLineIsPaddedToTheSeparatorWidth) {
  Tables t;
  const std::string script = t.Generate();
  std::istringstream in(script);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  ASSERT_GE(lines.size(), 6u);
  EXPECT_EQ(lines[1], "// =============================================\r");
  EXPECT_EQ(lines[4].size(), lines[1].size());
  EXPECT_EQ(lines[4].rfind("// https://www.example.org/", 0), 0u);
}

TEST(Generator, EmptyDocumentStillYieldsTheWholeFrame) {
  Tables t;
  const std::string script = t.Generate();
  EXPECT_NE(script.find("mission \"\"\r\n{\r\n    author\r\n    \"\";\r\n"), std::string::npos);
  EXPECT_NE(script.find(
                "        // LOCATIONS\r\n        // ---------\r\n\r\n        // AREAS\r\n        // -----\r\n"
                "    };\r\n\r\n\r\n\r\n\r\nobjectives\r\n{\r\n};\r\n\r\n\r\n}\r\n"),
            std::string::npos)
      << script;
  EXPECT_EQ(script.find("plan "), std::string::npos);
  EXPECT_EQ(script.substr(script.size() - 3), "}\r\n");
  // Nothing but CR LF ends a line.
  for (std::size_t i = 0; i < script.size(); ++i) {
    if (script[i] == '\n') {
      EXPECT_EQ(script[i - 1], '\r') << "at " << i;
    }
  }
}

TEST(Generator, NumbersUseSignSpaceAndSkillForms) {
  EXPECT_EQ(SignSpaceInteger(25), " 25");
  EXPECT_EQ(SignSpaceInteger(0), " 0");
  EXPECT_EQ(SignSpaceInteger(-3), "-3");
  EXPECT_EQ(SignSpaceInteger(-32768), "-32768");
  EXPECT_EQ(SkillText(1.0f), "1");
  EXPECT_EQ(SkillText(0.5f), "0.5");
  EXPECT_EQ(SkillText(0.25f), "0.25");
  EXPECT_EQ(SkillText(0.1f), "0.1");
  EXPECT_EQ(SkillText(0.0f), "0");
  EXPECT_EQ(SkillText(1.2345678f), "1.234568");
  EXPECT_EQ(SkillText(10.0f), "10");
  EXPECT_EQ(SkillText(-0.75f), "-0.75");

  Tables t;
  t.locations = {{"a", "", -5, 0, 32767}};
  EXPECT_NE(t.Generate().find("        location a = <-5, 0, 32767>;\r\n"), std::string::npos);
}

TEST(Generator, AreaListsRadiusAndTheAppendedTerminator) {
  Tables t;
  t.areas = {{"plain", "", "[none]", "open", 0}, {"bare", "", "", "", -7}, {"gappy", "", "?a?", "a??b?", 1}};
  const std::string script = t.Generate();
  EXPECT_EQ(Between(script, "area plain\r\n", "area bare"),
            "        {\r\n"
            "            style = \r\n"
            "            open\r\n"
            "            ;\r\n"
            "            locations = \r\n"
            "            [none]\r\n"
            "            ;\r\n"
            "        };\r\n\r\n        ");
  // Empty lists give neither entries nor ";"; a negative radius is written, zero is not.
  EXPECT_EQ(Between(script, "area bare\r\n", "area gappy"),
            "        {\r\n"
            "            style = \r\n"
            "            locations = \r\n"
            "            radius =-7;\r\n"
            "        };\r\n\r\n        ");
  EXPECT_EQ(Between(script, "area gappy\r\n", "\r\n    };\r\n"),
            "        {\r\n"
            "            style = \r\n"
            "            a\r\n"
            "            , b\r\n"
            "            ;\r\n"
            "            locations = \r\n"
            "            a\r\n"
            "            ;\r\n"
            "            radius = 1;\r\n"
            "        };\r\n");
  // The document keeps the terminators it was given.
  EXPECT_EQ(t.areas[0].area_style, "open?");
  EXPECT_EQ(t.areas[0].area_locations, "[none]?");
  EXPECT_EQ(t.areas[1].area_style, "");
  EXPECT_EQ(t.areas[2].area_locations, "?a?");
  // A second run finds them terminated and writes the same text.
  EXPECT_EQ(t.Generate(), script);
}

TEST(Generator, ActorsWriteOnlyWhatTheyCarry) {
  Tables t;
  ForceRecord force;
  force.force_name = "F";
  force.team_count = 1;
  force.teams[0].team_name = "T";
  force.teams[0].actor_count = 2;
  ActorRecord& plain = force.teams[0].actors[0];
  plain.npc_name = "plain";
  ActorRecord& full = force.teams[0].actors[1];
  full.npc_name = "full";
  full.npc_skin = "male/resdog";
  full.weapon.fill(true);
  full.item.fill(true);
  full.ammo = {1, 0, -2, 0, 300};
  full.npc_skill = 0.25f;
  t.forces = {force};
  const std::string script = t.Generate();
  EXPECT_EQ(Between(script, "npc \"plain\" \"terror/terror\"\r\n", "npc \"full\""),
            "            {\r\n                skill =1;\r\n            };\r\n        ");
  EXPECT_EQ(Between(script, "npc \"full\" \"male/resdog\"\r\n", "    };\r\n};"),
            "            {\r\n"
            "                weapon \"Dual MK23 Pistols\";\r\n"
            "                weapon \"MP5/10 Submachinegun\";\r\n"
            "                weapon \"M4 Assault Rifle\";\r\n"
            "                weapon \"M3 Super 90 Assault Shotgun\";\r\n"
            "                weapon \"Handcannon\";\r\n"
            "                weapon \"Sniper Rifle\";\r\n"
            "                item \"Bandolier\";\r\n"
            "                item \"Kevlar Vest\";\r\n"
            "                item \"Lasersight\";\r\n"
            "                item \"Silencer\";\r\n"
            "                item \"Stealth Slippers\";\r\n"
            "                ammo \"Pistol Clip\" =  1;\r\n"
            "                ammo \"M4 Clip\" = -2;\r\n"
            "                ammo \"AP Sniper Ammo\" =  300;\r\n"
            "                skill =0.25;\r\n"
            "            };\r\n");
}

TEST(Generator, OutcomesAndPlansFollowTheForces) {
  Tables t;
  for (const char* name : {"Red", "Blue"}) {
    ForceRecord force;
    force.force_name = name;
    force.team_count = 2;
    force.teams[0].team_name = std::string(name) + "1";
    force.teams[1].team_name = std::string(name) + "2";
    force.teams[1].plan = "  abort;\r\n";
    t.forces.push_back(force);
  }
  t.outcomes = {{"failure", "Red", "Lost", "eliminated(Red)", ""}, {"success", "Blue", "Won", "x", "?only"}};
  const std::string script = t.Generate();
  EXPECT_EQ(Between(script, "    failure\r\n", "    success"),
            "        (\r\n        \"Red\",\r\n        \"Lost\"\r\n        )\r\n        = eliminated(Red)\r\n"
            "        -> {\r\n           };\r\n\r\n");
  EXPECT_EQ(Between(script, "= x\r\n", "\r\n};"), "        -> {\r\n        \"only\"\r\n           };\r\n");
  // Every team gets a plan block, in force order; an empty plan leaves a line of four blanks.
  const std::size_t plans = script.find("plan \"");
  ASSERT_NE(plans, std::string::npos);
  EXPECT_EQ(script.substr(plans),
            "plan \"Red1\"\r\n    {\r\n    \r\n    };\r\n\r\n"
            "plan \"Red2\"\r\n    {\r\n      abort;\r\n\r\n    };\r\n\r\n"
            "plan \"Blue1\"\r\n    {\r\n    \r\n    };\r\n\r\n"
            "plan \"Blue2\"\r\n    {\r\n      abort;\r\n\r\n    };\r\n\r\n}\r\n");
}

TEST(Generator, DamagedCountsNeverReadPastTheTables) {
  Tables t;
  ForceRecord force;
  force.team_count = 500;
  force.teams[0].actor_count = -4;
  t.forces = {force};
  const std::string script = t.Generate();
  std::size_t plans = 0;
  for (std::size_t at = script.find("plan \""); at != std::string::npos; at = script.find("plan \"", at + 1))
    ++plans;
  EXPECT_EQ(plans, static_cast<std::size_t>(kMaxTeams));
}

}  // namespace
}  // namespace vyr::editor
