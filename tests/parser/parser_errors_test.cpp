// Every message the parser writes, with its line and the token it names.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "test_scripts.h"
#include "tests/lib_test_support.h"

namespace vyr::parser {
namespace {

using testing::Outcome;
using testing::Parse;
using testing::PlanScript;
using testing::Script;
using testing::SyntaxReport;

// Plan statements given to PlanScript start on this line.
constexpr int kFirstPlanLine = 19;

std::string Errors(std::string_view text) {
  ParsedMission m;
  const Outcome out = Parse(text, m);
  EXPECT_EQ(out.result, ParseResult::kParseProblem) << text;
  return out.errors;
}

std::string Lexical(int line, std::string_view near) {
  return "ERROR in syntax found by lex, at line " + std::to_string(line) + ", near: \"" + std::string(near) +
         "\".\n";
}

TEST(ParserErrors, SyntaxErrorsNameTheLookaheadAndItsLine) {
  EXPECT_EQ(Errors(PlanScript("join;\njoin join")), SyntaxReport(kFirstPlanLine + 1, "join", "parse error"));
  EXPECT_EQ(Errors(PlanScript("wait\n\n  set")), SyntaxReport(kFirstPlanLine + 2, "set", "parse error"));
  // The line counter already counts the line feeds skipped before the token.
  EXPECT_EQ(Errors("mission \"m\"\n\n\n;"), SyntaxReport(4, ";", "parse error"));
  // At the end of the input the token text is empty.
  EXPECT_EQ(Errors("mission \"m\" {\n"), SyntaxReport(2, "<unknown>", "parse error"));
  EXPECT_EQ(Errors(""), SyntaxReport(1, "<unknown>", "parse error"));
  EXPECT_EQ(Errors("mission \"m\" { author \"a\" /* never closed\n\n"),
            SyntaxReport(3, "<unknown>", "parse error"));
  // A literal that runs over a line break: the line feed is a piece of its own, read as the lookahead.
  EXPECT_EQ(Errors("mission \"m\" { author \"a\";\ndescription \"one\ntwo\";"),
            SyntaxReport(3, "\n", "parse error"));
  // The empty literal gives no token: the parser sees ";" where it wants a STRING.
  EXPECT_EQ(Errors("mission \"m\" { author \"\";"), SyntaxReport(1, ";", "parse error"));
  // A number followed by "." is an INT and then the unused "." token.
  EXPECT_EQ(Errors(PlanScript("wait 5.;")), SyntaxReport(kFirstPlanLine, ".", "parse error"));
  EXPECT_EQ(Errors(PlanScript("wait 5\njoin")), SyntaxReport(kFirstPlanLine + 1, "join", "parse error"));
}

TEST(ParserErrors, SemanticErrorsNameTheTokenThatCausedThem) {
  // Locations in areas and statements.
  EXPECT_EQ(Errors(Script("    location a = <0, 0, 0>;\n    area x { style = open; locations = a,\n  b; }")),
            SyntaxReport(9, "b", "use of undeclared location"));
  EXPECT_EQ(Errors(PlanScript("join;\ndefend towards l1 from zz;")),
            SyntaxReport(kFirstPlanLine + 1, "zz", "use of undeclared location"));
  EXPECT_EQ(Errors(PlanScript("signal towards nowhere \"c\"")),
            SyntaxReport(kFirstPlanLine, "nowhere", "use of undeclared location"));
  // Location names are compared with case.
  EXPECT_EQ(Errors(PlanScript("observe L1")),
            SyntaxReport(kFirstPlanLine, "L1", "use of undeclared location"));
  // Patrols.
  EXPECT_EQ(Errors(PlanScript("patrol (a1, zz)")),
            SyntaxReport(kFirstPlanLine, "zz", "undefined area label in patrol area list"));
  EXPECT_EQ(Errors(PlanScript("patrol (a1\n)")),
            SyntaxReport(kFirstPlanLine + 1, ")", "patrol area list needs to include at least two areas"));
  // A bare patrol is known to stand alone only once the next token is read.
  EXPECT_EQ(Errors(Script("    location l = <0, 0, 0>; area one { style = open; locations = l; }", "",
                          "plan \"alpha\" { patrol\n; join };")),
            SyntaxReport(17, ";", "patrol command requires at least 2 areas to be defined"));
  // Plans, objectives and conditions.
  EXPECT_EQ(Errors(Script("", "", "plan \"charlie\" { };")),
            SyntaxReport(16, "charlie", "use of undeclared team"));
  EXPECT_EQ(Errors(Script("", "", "plan \"Alpha\" { };")),
            SyntaxReport(16, "Alpha", "use of undeclared team"));
  EXPECT_EQ(Errors(Script("", "success(\"red\", \"m\") = timeout(1) -> { \"n\" }")),
            SyntaxReport(14, ")", "use of undeclared team or force"));
  // The name check of a term runs at its ")": near ")" and on the line of the ")".
  EXPECT_EQ(
      Errors(Script("", "success(\"blue\", \"m\") = ( timeout(1) || eliminated(\"zed\") ) -> { \"n\" }")),
      SyntaxReport(14, ")", "use of undeclared member, team or force"));
  EXPECT_EQ(Errors(Script("", "failure(\"blue\", \"m\") = alive(\"zed\"\n\n) -> { \"n\" }")),
            SyntaxReport(16, ")", "use of undeclared member, team or force"));
  // A syntax error before the ")" is reported first.
  EXPECT_EQ(Errors(Script("", "failure(\"blue\", \"m\") = alive(\"zed\" ; -> { \"n\" }")),
            SyntaxReport(14, ";", "parse error"));
  // Owners and condition names may be a team, a force or (for conditions) an actor.
  ParsedMission m;
  const Outcome ok = Parse(
      Script("",
             "success(\"alpha\", \"m\") = ( eliminated(\"blue\") && !( alive(\"pat\") ) ) -> { \"n\" };\n"
             "failure(\"blue\", \"m\") = eliminated(\"bravo\") -> { \"n\" }"),
      m);
  EXPECT_EQ(ok.result, ParseResult::kSuccess) << ok.errors;
}

TEST(ParserErrors, LexicalErrorsNameTheCharacter) {
  const std::string head = "mission \"m\" {\n author \"";
  // Which characters a literal refuses is the scanner test's; here, how one is reported.
  EXPECT_EQ(Errors(head + "ab;c\";"), Lexical(2, ";"));
  // A string character may not start a run, also after a line feed inside the literal.
  EXPECT_EQ(Errors(head + "#x\";"), Lexical(2, "#"));
  const std::string cut_annotation =
      "mission \"m\" { author \"a\"; description \"d\"; rules { }; map \"c\" { annotation = \"ab\" \"x\n%y\"";
  EXPECT_EQ(Errors(cut_annotation), Lexical(2, "%"));
  // The pieces read before the error stay in the model.
  ParsedMission cut;
  Parse(cut_annotation, cut);
  EXPECT_EQ(cut.annotation.view(), "abx\n");
  EXPECT_EQ(Errors(head + "\xe9t\xe9\";"), Lexical(2, "\xe9"));
  // Outside literals.
  EXPECT_EQ(Errors("mission \"m\" { author & "), Lexical(1, "&"));
  EXPECT_EQ(Errors("mission \"m\" {\n\n | "), Lexical(3, "|"));
  EXPECT_EQ(Errors("mission #"), Lexical(1, "#"));
  EXPECT_EQ(Errors("mission \x01"), Lexical(1, "\x01"));
  EXPECT_EQ(Errors(std::string("mission \0 ", 10)), Lexical(1, ""));
  // A carriage return is dropped only right before a line feed.
  EXPECT_EQ(Errors("mission\r\n\"m\"\r{"), Lexical(2, "\r"));
  EXPECT_EQ(Errors(head + "a\rb\";"), Lexical(2, "\r"));
  // A "*" that ends the input inside a comment; a line feed swallowed by "*" is not counted.
  EXPECT_EQ(Errors("mission /* one\n two *\n three\n *"), Lexical(3, "*"));
  // Nothing after the first error is read.
  EXPECT_EQ(Errors("mission & |"), Lexical(1, "&"));
}

TEST(ParserErrors, FileProblemsAndReadFailures) {
  namespace fs = std::filesystem;
  const ::vyr::testing::ScratchDir scratch;
  const fs::path& dir = scratch.path();
  ParsedMission m;
  std::ostringstream errors;
  EXPECT_EQ(ParseMissionFile(dir / "missing.vyr", m, errors), ParseResult::kFileProblem);
  EXPECT_EQ(ParseMissionFile("", m, errors), ParseResult::kFileProblem);
  std::string why;
  EXPECT_EQ(ParseMissionFile(dir, m, errors, &why), ParseResult::kFileProblem);
  EXPECT_EQ(why, "cannot open the file: it is a folder");
  ASSERT_EQ(::mkfifo((dir / "pipe.vyr").c_str(), 0600), 0);
  EXPECT_EQ(ParseMissionFile(dir / "pipe.vyr", m, errors, &why), ParseResult::kFileProblem) << "never blocks";
  EXPECT_EQ(why, "cannot open the file: it is not a regular file");
  EXPECT_EQ(errors.str(), "");
  EXPECT_EQ(m.ActorCount(), 0u);

  // A long path, a CR LF line end, no line feed at the end.
  fs::path deep = dir;
  for (int i = 0; i < 12; ++i)
    deep /= std::string(40, static_cast<char>('a' + i));
  fs::create_directories(deep);
  const fs::path file = deep / "mission with spaces.vyr";
  ::vyr::testing::WriteFileBytes(file, "// written on Windows\r\n" + std::string(testing::kSmallest));
  ASSERT_GT(file.string().size(), 255u);
  EXPECT_EQ(ParseMissionFile(file, m, errors), ParseResult::kSuccess) << errors.str();
  EXPECT_EQ(m.ActorCount(), 1u);
}

// A parse that fails in the plans keeps the objectives it finished, conditions and all.
TEST(ParserErrors, AFailureAfterTheObjectivesKeepsTheirConditions) {
  std::string raid = ::vyr::testing::ReadFileBytes(std::string(VYR_TEST_DATA_DIR) + "/automation/raid.vyr");
  raid.replace(raid.find("join };"), 7, "join; set };");
  ParsedMission m;
  EXPECT_EQ(Parse(raid, m).result, ParseResult::kParseProblem);
  ASSERT_EQ(m.ObjectiveCount(), 2u);
  ASSERT_NE(m.ObjectiveAt(0)->condition, nullptr);
  ASSERT_NE(m.ObjectiveAt(1)->condition, nullptr);
  EXPECT_EQ(m.ObjectiveAt(1)->condition->name.view(), "bob");
}

}  // namespace
}  // namespace vyr::parser
