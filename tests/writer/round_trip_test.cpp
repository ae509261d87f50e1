// Random scripts through the parser and the writer: what parses reads back from the writer's text
// into the same model, and damaged scripts end in a clean report, never a crash.
#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <string>

#include "tests/lib_test_support.h"
#include "tests/model_outline.h"
#include "tests/parser/test_scripts.h"
#include "tests/writer/script_generator.h"
#include "vyrparser/core/parser.h"
#include "vyrparser/core/writer.h"

namespace vyr::parser {
namespace {

using testing::Outcome;
using testing::Parse;
using ::vyr::testing::Outline;
using ::vyr::testing::SameText;
using ::vyr::testing::ScriptGenerator;

// parse, write, parse again: the same model; writing it again: the same bytes.
void ExpectRoundTrip(const std::string& script) {
  ParsedMission first;
  const Outcome parsed = Parse(script, first);
  ASSERT_EQ(parsed.result, ParseResult::kSuccess) << parsed.errors << "--- script ---\n" << script;
  const std::string written = WithCrLf(MissionText(first));

  ParsedMission second;
  const Outcome reparsed = Parse(written, second);
  ASSERT_EQ(reparsed.result, ParseResult::kSuccess) << reparsed.errors << "--- written ---\n"
                                                    << written << "--- from ---\n"
                                                    << script;
  EXPECT_TRUE(SameText(Outline(first), Outline(second))) << "--- script ---\n" << script;
  EXPECT_EQ(WithCrLf(MissionText(second)), written);
}

TEST(RoundTripTest, GeneratedScripts) {
  // Odd seeds vary the spacing with comments, tabs and CR LF; even ones use single blanks.
  for (std::uint32_t seed = 1; seed <= 500; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    ExpectRoundTrip(ScriptGenerator(seed, {.vary_spacing = seed % 2 == 1}).Generate());
    if (HasFailure()) return;
  }
}

// Random edits of valid scripts: every outcome is a success or a parse problem with a well-formed
// report; what still parses reads back from the writer's text, and the partial model of a failed parse
// is written without harm (the sanitizer build checks memory too).
TEST(RoundTripTest, DamagedScriptsEndCleanly) {
  const std::string fragments[] = {"\"",     "/*",   "*/", "//", "\n", "\r", "(",
                                   ")",      "{",    "}",  ";",  ",",  "-",  "5.",
                                   "patrol", "on",   "!",  "&&", "||", "->", std::string(1, '\0'),
                                   "*",      "\xff", "set"};
  const std::regex lexical("ERROR in syntax found by lex, at line [0-9]+, near: \"[^]*\"\\.\n");
  const std::regex syntax("ERROR in syntax found, at line [0-9]+\nnear: '[^]*'\\.\nCAUSE [^\n]+\n");
  std::mt19937 random(20240601);
  int successes = 0;
  for (std::uint32_t seed = 1; seed <= 3000; ++seed) {
    std::string text = ScriptGenerator(seed, {.vary_spacing = seed % 2 == 1}).Generate();
    const int edits = 1 + static_cast<int>(random() % 4);
    for (int e = 0; e < edits; ++e) {
      const std::size_t at = random() % (text.size() + 1);
      switch (random() % 4) {
        case 0:
          text.insert(at, 1, static_cast<char>(random() % 256));
          break;
        case 1:
          if (at < text.size()) text.erase(at, 1 + random() % 8);
          break;
        case 2:
          if (at < text.size()) text[at] = static_cast<char>(random() % 256);
          break;
        default:
          text.insert(at, fragments[random() % std::size(fragments)]);
          break;
      }
    }
    ParsedMission first;
    const Outcome parsed = Parse(text, first);
    const std::string written = MissionText(first);
    if (parsed.result != ParseResult::kSuccess) {
      ASSERT_EQ(parsed.result, ParseResult::kParseProblem);
      EXPECT_TRUE(std::regex_match(parsed.errors, lexical) || std::regex_match(parsed.errors, syntax))
          << parsed.errors;
      continue;
    }
    ++successes;
    EXPECT_EQ(parsed.errors, "");
    ParsedMission second;
    const Outcome reparsed = Parse(written, second);
    ASSERT_EQ(reparsed.result, ParseResult::kSuccess) << reparsed.errors << "--- written ---\n"
                                                      << written << "--- from ---\n"
                                                      << text;
    EXPECT_EQ(MissionText(second), written) << "--- from ---\n" << text;
  }
  EXPECT_GT(successes, 100);  // the edits must leave enough valid scripts to mean something
}

}  // namespace
}  // namespace vyr::parser
