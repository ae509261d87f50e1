// The parser stack bound, deep nesting, and random damage to valid scripts.
#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <string>

#include "test_scripts.h"

namespace vyr::parser {
namespace {

using testing::Outcome;
using testing::Parse;
using testing::PlanScript;
using testing::Script;
using testing::SyntaxReport;

std::string Repeat(std::string_view piece, int n) {
  std::string s;
  s.reserve(piece.size() * static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i)
    s += piece;
  return s;
}

// One line: a plan for team "t" holding `statements`.
std::string OneLinePlan(const std::string& statements) {
  return "mission \"m\" { author \"a\"; description \"d\"; rules { }; map \"c\" { }; force \"f\" { team "
         "\"t\" { }; };"
         " objectives { }; plan \"t\" { " +
         statements + " }; }";
}

TEST(ParserLimits, LongPlansOverflowTheStackAtTheBound) {
  ParsedMission m;
  // Before the statements the stack holds 13 entries; each "join ;" adds two, and the empty
  // list after a final ";" one more: the 10000th entry is refused.
  EXPECT_EQ(Parse(OneLinePlan(Repeat("join; ", 4992)), m).result, ParseResult::kSuccess);
  EXPECT_EQ(m.FindTeam("t")->plan.instructions.size(), 4992u);
  Outcome out = Parse(OneLinePlan(Repeat("join; ", 4993)), m);
  EXPECT_EQ(out.errors, SyntaxReport(1, "}", "parser stack overflow"));
  EXPECT_EQ(Parse(OneLinePlan(Repeat("join; ", 4992) + "join"), m).result, ParseResult::kSuccess);
  out = Parse(OneLinePlan(Repeat("join; ", 4993) + "join"), m);
  EXPECT_EQ(out.errors, SyntaxReport(1, "join", "parser stack overflow"));
}

TEST(ParserLimits, OtherListsCountTheirEntriesToo) {
  ParsedMission m;
  // Every piece of an annotation stays on the stack until the last one is read.
  Outcome out = Parse(Script("    annotation = \"" + Repeat("x\n", 3000) + "\";"), m);
  EXPECT_EQ(out.result, ParseResult::kSuccess) << out.errors;
  EXPECT_EQ(m.annotation.size(), 6000u);
  out = Parse(Script("    annotation = \"" + Repeat("x\n", 6000) + "\";"), m);
  EXPECT_NE(out.errors.find("CAUSE parser stack overflow\n"), std::string::npos);

  std::string locations;
  for (int i = 0; i < 6000; ++i)
    locations += "location l" + std::to_string(i) + " = <1, 2, 3>;\n";
  out = Parse(Script(locations), m);
  EXPECT_NE(out.errors.find("CAUSE parser stack overflow\n"), std::string::npos);
}

TEST(ParserLimits, DeepNestingParsesWithinTheBoundAndNeverExhaustsTheNativeStack) {
  ParsedMission m;
  // Conditions: each "!" "(" holds two entries.
  const int depth = 4900;
  Outcome out = Parse(Script("", "success(\"alpha\", \"x\") = " + Repeat("!(", depth) + "timeout(1)" +
                                     Repeat(")", depth) + " -> { \"n\" }"),
                      m);
  ASSERT_EQ(out.result, ParseResult::kSuccess) << out.errors;
  const ConditionNode* node = m.ObjectiveAt(0)->condition;
  int levels = 0;
  while (node && node->kind == kConditionNot) {
    node = node->first;
    ++levels;
  }
  EXPECT_EQ(levels, depth);
  ASSERT_NE(node, nullptr);
  EXPECT_EQ(node->kind, kConditionTimeout);

  // Binary nesting on both sides.
  out = Parse(Script("", "success(\"alpha\", \"x\") = " + Repeat("(timeout(1) && ", 3000) + "timeout(2)" +
                             Repeat(")", 3000) + " -> { \"n\" }"),
              m);
  EXPECT_EQ(out.result, ParseResult::kSuccess) << out.errors;

  // Nested on statements.
  out = Parse(PlanScript(Repeat("on (contact) { ", 1500) + "join" + Repeat(" }", 1500)), m);
  ASSERT_EQ(out.result, ParseResult::kSuccess) << out.errors;
  const InstructionList* list = &m.FindTeam("alpha")->plan;
  levels = 0;
  while (!list->instructions.empty() && list->instructions[0].kind == InstructionKind::kOn) {
    list = list->instructions[0].body.get();
    ASSERT_NE(list, nullptr);
    ++levels;
  }
  EXPECT_EQ(levels, 1500);

  // Far beyond the bound: a clean overflow report, whatever the shape.
  for (const std::string& text : {Script("", "success(\"alpha\", \"x\") = " + Repeat("(", 1000000)),
                                  Script("", "success(\"alpha\", \"x\") = " + Repeat("!(", 500000)),
                                  PlanScript(Repeat("on (contact) { ", 200000))}) {
    out = Parse(text, m);
    EXPECT_EQ(out.result, ParseResult::kParseProblem);
    EXPECT_NE(out.errors.find("CAUSE parser stack overflow\n"), std::string::npos);
  }
}

// Random edits of valid scripts: every outcome is a success or a parse problem with a well-formed
// report, and nothing crashes (the sanitizer build checks memory too).
TEST(ParserLimits, DamagedScriptsNeverCrash) {
  const std::string seeds[] = {
      std::string(testing::kSmallest),
      PlanScript("wait 5; wait 2.5; on (contact, code \"x\") { on (casualty) { join }; patrol (a1, a2) };\n"
                 "signal towards l1 \"c\"; split \"bravo\" 3; take cover from l2; patrol; phase \"two\""),
      Script("    style = urban, open;\n    annotation = \"a\nb\";\n    location l1 = <1, -2, 3>;\n"
             "    area x { style = closed; locations = l1; entrances = l1; exits = l1; windows = l1 radius = "
             "9; }",
             "failure(\"blue\", \"lost\") = ( timeout(300) || !( alive(\"bob\") ) ) -> { \"m2\", \"m3\" };"),
  };
  const std::string fragments[] = {"\"",     "/*",   "*/", "//", "\n", "\r", "(",
                                   ")",      "{",    "}",  ";",  ",",  "-",  "5.",
                                   "patrol", "on",   "!",  "&&", "||", "->", std::string(1, '\0'),
                                   "*",      "\xff", "set"};
  const std::regex lexical("ERROR in syntax found by lex, at line [0-9]+, near: \"[^]*\"\\.\n");
  const std::regex syntax("ERROR in syntax found, at line [0-9]+\nnear: '[^]*'\\.\nCAUSE [^\n]+\n");
  std::mt19937 random(20240601);
  int successes = 0;
  for (int round = 0; round < 20000; ++round) {
    std::string text = seeds[round % std::size(seeds)];
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
    ParsedMission m;
    const Outcome out = Parse(text, m);
    if (out.result == ParseResult::kSuccess) {
      ++successes;
      EXPECT_EQ(out.errors, "");
    } else {
      ASSERT_EQ(out.result, ParseResult::kParseProblem);
      EXPECT_TRUE(std::regex_match(out.errors, lexical) || std::regex_match(out.errors, syntax))
          << out.errors;
    }
  }
  EXPECT_GT(successes, 0);
}

}  // namespace
}  // namespace vyr::parser
