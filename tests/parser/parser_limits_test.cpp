// The parser stack bound, deep nesting, and random damage to valid scripts.
#include <gtest/gtest.h>

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
    list = list->instructions[0].body();
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

}  // namespace
}  // namespace vyr::parser
