#include "editor/script/generator.h"

#include <gtest/gtest.h>

#include <limits>

#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "editor/document/mission_document.h"
#include "tests/editor_test_support.h"

namespace vyr::editor {
namespace {

using namespace vyr::editor::testing;

// The text of a script between two markers (both excluded).
std::string Between(const std::string& text, const std::string& from, const std::string& to) {
  const std::size_t begin = text.find(from);
  if (begin == std::string::npos) return "<missing " + from + ">";
  const std::size_t start = begin + from.size();
  const std::size_t end = text.find(to, start);
  if (end == std::string::npos) return "<missing " + to + ">";
  return text.substr(start, end - start);
}

// A force named `name` with one team `team` and no actors; returns the force index.
int AddForceWithTeam(MissionDocument& doc, const std::string& name, const std::string& team) {
  EXPECT_TRUE(doc.AddForce(name, ""));
  const int force = doc.force_count() - 1;
  EXPECT_TRUE(doc.AddTeam(force, team, "", ""));
  return force;
}

TEST(Generator, WorkedExampleIsByteExact) {
  MissionDocument doc;
  BuildWarehouse(doc);
  doc.info.map_styles = "indoor?";  // never written: the style line is fixed
  ScratchFolder dir;
  std::vector<std::string> captions;
  const std::string path = dir / "warehouse.vyr";
  ASSERT_TRUE(CompileMission(doc, path, [&](std::string_view c) { captions.emplace_back(c); }));
  EXPECT_TRUE(SameBytes(TestData("script/warehouse.vyr"), Slurp(path)));
  EXPECT_EQ(captions, (std::vector<std::string>{"Creating general mission information", "Creating locations",
                                                "Creating areas", "Creating forces",
                                                "Creating mission outcomes", "Creating plans", "Done."}));
  // Writing again over the file gives the same bytes, and no temporary file is left behind.
  ASSERT_TRUE(CompileMission(doc, path));
  EXPECT_TRUE(SameBytes(TestData("script/warehouse.vyr"), Slurp(path)));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.str()), {}), 1);

  // A file that cannot be written is reported, before "Done.", and an old file is kept.
  captions.clear();
  const Status missing = CompileMission(doc, dir / "no/such/folder/m.vyr",
                                        [&](std::string_view c) { captions.emplace_back(c); });
  EXPECT_FALSE(missing);
  EXPECT_NE(missing.message.find("no/such/folder/m.vyr"), std::string::npos) << missing.message;
  EXPECT_NE(captions.back(), "Done.");
  if (::geteuid() != 0) {                       // root writes anywhere
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);  // a writable file would be rewritten in place
    ASSERT_EQ(::chmod(dir.str().c_str(), 0555), 0);
    doc.info.vyr_author = "Lee";  // other bytes, were they written
    const Status denied = CompileMission(doc, path);
    ::chmod(dir.str().c_str(), 0755);
    EXPECT_FALSE(denied);
    EXPECT_TRUE(SameBytes(TestData("script/warehouse.vyr"), Slurp(path)));
  }
}

TEST(Generator, EmptyDocumentStillYieldsTheWholeFrame) {
  MissionDocument doc;
  const std::string script = GenerateScript(doc);
  EXPECT_NE(script.find("mission \"\"\r\n{\r\n    author\r\n    \"\";\r\n"), std::string::npos);
  EXPECT_NE(script.find(
                "        // LOCATIONS\r\n        // ---------\r\n\r\n        // AREAS\r\n        // -----\r\n"
                "    };\r\n\r\n\r\n\r\n\r\nobjectives\r\n{\r\n};\r\n\r\n\r\n}\r\n"),
            std::string::npos)
      << script;
  EXPECT_EQ(script.find("plan "), std::string::npos);
  EXPECT_EQ(script.substr(script.size() - 3), "}\r\n");
  // An empty annotation leaves the clause out: an empty string would not parse.
  EXPECT_NE(script.find("        style = open, dark, urban;\r\n\r\n        // LOCATIONS"), std::string::npos);
  EXPECT_EQ(script.find("annotation"), std::string::npos);
}

TEST(Generator, NumbersUseSignSpaceAndSkillForms) {
  const std::pair<float, const char*> skills[] = {{1.0f, "1"},
                                                  {0.5f, "0.5"},
                                                  {0.0f, "0"},
                                                  {1.2345678f, "1.234568"},
                                                  {10.0f, "10"},
                                                  {-0.75f, "-0.75"},
                                                  {0.0001f, "0.0001"},
                                                  {0.00001f, "0.00001"},  // no exponent
                                                  {1.5e-7f, "0.00000015"},
                                                  {12345678.0f, "12345680.0"},
                                                  {40000.0f, "40000.0"},
                                                  {32767.0f, "32767"},
                                                  {std::numeric_limits<float>::quiet_NaN(), "0"}};
  for (const auto& [skill, text] : skills)
    EXPECT_EQ(SkillText(skill), text) << skill;

  MissionDocument doc;
  ASSERT_TRUE(doc.AddLocation("a", "", -5, 0, 32767));
  ASSERT_TRUE(doc.AddLocation("b", "", -32768, 1, -1));
  EXPECT_NE(GenerateScript(doc).find(
                "        location a = <-5, 0, 32767>;\r\n        location b = <-32768, 1,-1>;\r\n\r\n"),
            std::string::npos);
}

TEST(Generator, AreaListsRadiusAndTheAppendedTerminator) {
  MissionDocument doc;
  ASSERT_TRUE(doc.AddArea("plain", "", "[none]", 0, "open"));  // the defaults of a new area
  ASSERT_TRUE(doc.AddArea("bare", "", "", -7, ""));
  ASSERT_TRUE(doc.AddArea("gappy", "", "?a?", 1, "a??b?"));
  const std::string script = GenerateScript(doc);
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
  // The document keeps the terminators the generator added, and only those.
  EXPECT_EQ(doc.area(0).area_style, "open?");
  EXPECT_EQ(doc.area(0).area_locations, "[none]?");
  EXPECT_EQ(doc.area(1).area_style, "");
  EXPECT_EQ(doc.area(2).area_locations, "?a?");
  // A second run finds them terminated and writes the same text.
  EXPECT_EQ(GenerateScript(doc), script);
}

TEST(Generator, ActorsWriteOnlyWhatTheyCarry) {
  MissionDocument doc;
  AddForceWithTeam(doc, "F", "T");
  ActorRecord plain;
  plain.npc_name = "plain";
  ASSERT_TRUE(doc.AddActor(0, 0, plain));
  ActorRecord full;
  full.npc_name = "full";
  full.npc_skin = "male/resdog";
  full.weapon.fill(true);
  full.item.fill(true);
  full.ammo = {1, 0, -2, 0, 300};
  full.npc_skill = 0.25f;
  ASSERT_TRUE(doc.AddActor(0, 0, full));
  const std::string script = GenerateScript(doc);
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
  MissionDocument doc;
  for (const std::string name : {"Red", "Blue"}) {
    const int force = AddForceWithTeam(doc, name, name + "1");
    ASSERT_TRUE(doc.AddTeam(force, name + "2", "", "  abort;\r\n"));
  }
  ASSERT_TRUE(doc.AddOutcome("Red", "Lost", "", "failure", "eliminated(Red)"));
  ASSERT_TRUE(doc.AddOutcome("Blue", "Won", "?only", "success", "x"));
  const std::string script = GenerateScript(doc);
  EXPECT_EQ(Between(script, "    failure\r\n", "    success"),
            "        (\r\n        \"Red\",\r\n        \"Lost\"\r\n        )\r\n        = eliminated(Red)\r\n"
            "        -> {\r\n           };\r\n\r\n");
  EXPECT_EQ(Between(script, "= x\r\n", "\r\n};"), "        -> {\r\n        \"only\"\r\n           };\r\n");
  EXPECT_EQ(doc.outcome(1).nextmission, "?only");  // outcome lists are read, never changed
  // Every team gets a plan block, in force order; an empty plan leaves a line of four blanks.
  const std::size_t plans = script.find("plan \"");
  ASSERT_NE(plans, std::string::npos);
  EXPECT_EQ(script.substr(plans),
            "plan \"Red1\"\r\n    {\r\n    \r\n    };\r\n\r\n"
            "plan \"Red2\"\r\n    {\r\n      abort;\r\n\r\n    };\r\n\r\n"
            "plan \"Blue1\"\r\n    {\r\n    \r\n    };\r\n\r\n"
            "plan \"Blue2\"\r\n    {\r\n      abort;\r\n\r\n    };\r\n\r\n}\r\n");
}

}  // namespace
}  // namespace vyr::editor
