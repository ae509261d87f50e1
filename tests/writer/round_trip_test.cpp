#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <sstream>
#include <string>

#include "tests/writer/golden.h"
#include "tests/writer/model_compare.h"
#include "tests/writer/script_generator.h"
#include "vyrparser/core/parser.h"
#include "vyrparser/core/writer.h"

namespace vyr::parser {
namespace {

using ::vyr::testing::ReadFileBytes;
using ::vyr::testing::SameModel;
using ::vyr::testing::ScriptGenerator;

struct Parsed {
  ParseResult result;
  std::string errors;
};

Parsed ParseText(const std::string& text, ParsedMission& mission) {
  std::ostringstream errors;
  const ParseResult result = ParseMissionBuffer(text, mission, errors);
  return {result, errors.str()};
}

// parse, write, parse again: the same model; writing it again: the same bytes.
void ExpectRoundTrip(const std::string& script, const std::string& label) {
  ParsedMission first;
  const Parsed parsed = ParseText(script, first);
  ASSERT_EQ(parsed.result, ParseResult::kSuccess) << label << "\n"
                                                  << parsed.errors << "--- script ---\n"
                                                  << script;
  const std::string written = WithCrLf(MissionText(first));

  ParsedMission second;
  const Parsed reparsed = ParseText(written, second);
  ASSERT_EQ(reparsed.result, ParseResult::kSuccess) << label << "\n"
                                                    << reparsed.errors << "--- written ---\n"
                                                    << written << "--- from ---\n"
                                                    << script;
  EXPECT_TRUE(SameModel(first, second)) << label << "\n--- script ---\n"
                                        << script << "--- written ---\n"
                                        << written;
  EXPECT_EQ(WithCrLf(MissionText(second)), written) << label;
}

TEST(RoundTripTest, GeneratedScripts) {
  for (std::uint32_t seed = 1; seed <= 400; ++seed) {
    ScriptGenerator generator(seed);
    ExpectRoundTrip(generator.Generate(), "seed " + std::to_string(seed));
    if (HasFatalFailure() || HasFailure()) return;
  }
}

TEST(RoundTripTest, GeneratedScriptsWithPlainSpacing) {
  for (std::uint32_t seed = 1000; seed < 1100; ++seed) {
    ScriptGenerator generator(seed, {.vary_spacing = false});
    ExpectRoundTrip(generator.Generate(), "plain seed " + std::to_string(seed));
    if (HasFatalFailure() || HasFailure()) return;
  }
}

// The forms the writer gives way on: no map styles, windows before a radius, a bare player, and
// values whose general format would need an exponent.
TEST(RoundTripTest, FormsTheWriterGivesWayOn) {
  const std::string script =
      "mission \"m\" { author \"a\"; description \"d\"; rules { }; map \"c\" { location a = <1, 2, 3>; "
      "area x { style = roof; locations = a; windows = a radius = 64; } }; force \"f\" { team \"t\" { "
      "player \"p\" \"q\" { }; npc \"n\" \"m\" { skill = 0.2 } }; }; objectives { }; plan \"t\" { "
      "freeze towards a for 1234560.0; spread towards a within 0.00001; wait 0.000123 }; }";
  ExpectRoundTrip(script, "gives way");
  ParsedMission m;
  ASSERT_EQ(ParseText(script, m).result, ParseResult::kSuccess);
  const std::string text = MissionText(m);
  EXPECT_EQ(text.find("style ="), std::string::npos);
  EXPECT_NE(text.find("      windows   = a\n      radius    = 64;\n"), std::string::npos) << text;
  EXPECT_NE(text.find("{ player \"p\" \"q\" { };\n"), std::string::npos) << text;
  EXPECT_NE(text.find("freeze towards a for 1234560.0;"), std::string::npos) << text;
  EXPECT_NE(text.find("spread towards a within 0.00001;"), std::string::npos) << text;
  EXPECT_NE(text.find("wait 0.000123;"), std::string::npos) << text;
}

TEST(RoundTripTest, TheGoldenMissionReadsBackAsWritten) {
  ParsedMission m;
  const std::string golden =
      ReadFileBytes(std::filesystem::path(VYR_TEST_DATA_DIR) / "writer/full_mission.vyr");
  const Parsed parsed = ParseText(golden, m);
  ASSERT_EQ(parsed.result, ParseResult::kSuccess) << parsed.errors;
  EXPECT_TRUE(::vyr::testing::SameText(golden, MissionText(m)));
}

TEST(RoundTripTest, WrittenFilesParseFromDisk) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "vyr_round_trip_files";
  std::filesystem::create_directories(dir);
  for (std::uint32_t seed = 1; seed <= 20; ++seed) {
    ParsedMission first;
    ASSERT_EQ(ParseText(ScriptGenerator(seed).Generate(), first).result, ParseResult::kSuccess);
    const std::filesystem::path path = dir / ("seed" + std::to_string(seed) + ".vyr");
    ASSERT_TRUE(WriteMission(first, path));
    ParsedMission second;
    std::ostringstream errors;
    ASSERT_EQ(ParseMissionFile(path, second, errors), ParseResult::kSuccess) << errors.str();
    EXPECT_TRUE(SameModel(first, second)) << "seed " << seed;
  }
  std::filesystem::remove_all(dir);
}

// Whatever a mutated script parses into, the writer's text parses again and writes the same bytes;
// a failed parse leaves a partial model that is still written without harm.
TEST(RoundTripTest, MutatedScriptsNeverBreakTheWriter) {
  std::mt19937 random(7);
  const std::string alphabet = "{}();,=<>!\"-.&|/*\n\r\t abz019";
  int parsed_ok = 0;
  for (std::uint32_t seed = 1; seed <= 600; ++seed) {
    std::string script = ScriptGenerator(seed).Generate();
    const int edits = std::uniform_int_distribution<int>(1, 4)(random);
    for (int e = 0; e < edits && !script.empty(); ++e) {
      const std::size_t at = std::uniform_int_distribution<std::size_t>(0, script.size() - 1)(random);
      const char c = alphabet[std::uniform_int_distribution<std::size_t>(0, alphabet.size() - 1)(random)];
      switch (std::uniform_int_distribution<int>(0, 2)(random)) {
        case 0:
          script.erase(at, std::uniform_int_distribution<std::size_t>(1, 12)(random));
          break;
        case 1:
          script.insert(script.begin() + static_cast<std::ptrdiff_t>(at), c);
          break;
        default:
          script[at] = c;
          break;
      }
    }
    ParsedMission first;
    const Parsed parsed = ParseText(script, first);
    const std::string written = MissionText(first);  // also for the partial model of a failed parse
    if (parsed.result != ParseResult::kSuccess) continue;
    ++parsed_ok;
    ParsedMission second;
    const Parsed reparsed = ParseText(written, second);
    ASSERT_EQ(reparsed.result, ParseResult::kSuccess) << reparsed.errors << "--- written ---\n"
                                                      << written << "--- from ---\n"
                                                      << script;
    EXPECT_EQ(MissionText(second), written) << "--- from ---\n" << script;
  }
  EXPECT_GT(parsed_ok, 20);  // the mutations must leave enough valid scripts to mean something
}

}  // namespace
}  // namespace vyr::parser
