#include "editor/check/problems.h"

#include <gtest/gtest.h>

#include <string>

#include "bench/full_project.h"
#include "editor/document/project_file.h"
#include "editor/document/quoted.h"
#include "editor/script/generator.h"
#include "tests/check/in_memory_parser.h"
#include "tests/editor_test_support.h"

namespace vyr::editor {
namespace {

using testing::BuildWarehouse;
using testing::Numbered;
using testing::ParseInMemory;

std::vector<std::string> Messages(const std::vector<Problem>& problems, Severity severity) {
  std::vector<std::string> out;
  for (const Problem& p : problems)
    if (p.severity == severity) out.push_back(p.message);
  return out;
}

TEST(StringRule, AcceptsTheLanguagesCharactersAndRefusesTheRest) {
  EXPECT_EQ(StringFault("Kim (the 2nd) - a/b: c? d_e! f's \\x", false), std::nullopt);
  EXPECT_EQ(StringFault("a#b%c&d+e=f@g^h|i", false), std::nullopt);  // allowed after the first character
  EXPECT_EQ(StringFault("Kim M\xFCller", false), "\"\xFC\" cannot be written in a mission script");
  EXPECT_EQ(StringFault("a\x7F", false), "the control character 0x7F cannot be written in a mission script");
  EXPECT_EQ(StringFault("a\tb", false), "a tab cannot be written in a mission script");
  for (char c : std::string("$*;<>[]{}~`\""))
    EXPECT_NE(StringFault(std::string("a") + c, false), std::nullopt) << c;
  EXPECT_EQ(StringFault("#1", false), "\"#\" cannot start a text in a mission script");
  EXPECT_EQ(StringFault("", false), "a mission script needs text here; it is empty");
  EXPECT_EQ(StringFault("a\r\nb", false), "a line break cannot be written here in a mission script");
  // Only an annotation spans lines; each line is a run of its own and starts as a text does.
  EXPECT_EQ(StringFault("", true), std::nullopt);
  EXPECT_EQ(StringFault("one\r\ntwo\n\nthree", true), std::nullopt);
  EXPECT_EQ(StringFault("one\r\n+two", true), "\"+\" cannot start a line in a mission script");
  EXPECT_EQ(StringFault("one\rtwo", true), "a line break cannot be written here in a mission script");
}

TEST(NameRule, TakesIdentifiersThatAreNoKeyword) {
  EXPECT_EQ(NameFault("gate"), std::nullopt);
  EXPECT_EQ(NameFault("a.b_3"), std::nullopt);
  EXPECT_EQ(NameFault("Open"), std::nullopt);  // keywords are lower case only
  for (const std::string word : {"open", "set", "annotation"})
    EXPECT_EQ(NameFault(word),
              "\"" + word + "\" is a word of the mission script language and cannot be a name");
  EXPECT_EQ(NameFault("3rd"), "a name must start with a letter (A-Z, a-z), not \"3\"");
  EXPECT_EQ(NameFault("_x"), "a name must start with a letter (A-Z, a-z), not \"_\"");
  EXPECT_NE(NameFault("New location"), std::nullopt);
  EXPECT_NE(NameFault(""), std::nullopt);
  EXPECT_FALSE(IsScriptKeyword("gate"));
  EXPECT_TRUE(IsScriptKeyword("individual"));
}

TEST(Problems, EachMistakeOfANewAuthorIsNamedOnItsRecordAndField) {
  MissionDocument doc;
  BuildWarehouse(doc);
  doc.info.vyr_author = "Kim M\xFCller";
  ASSERT_TRUE(doc.SetField(RecordRef::Area(0), Field::kAreaStyle, std::string("open?roof?")));
  ASSERT_TRUE(doc.AddOutcome("Alpha", "Lost", "", "failure", "eliminated(\"Alpha\")"));
  ASSERT_TRUE(doc.AddLocation("open", "", 0, 0, 0));
  ASSERT_TRUE(doc.SetField(RecordRef::Team(0, 0), Field::kPlan,
                           std::string("  insert at gate using \"column\";\r\n  patrol (yard);\r\n"
                                       "  attack towards Nowhere;")));
  const auto problems = CheckDocument(doc);
  EXPECT_EQ(Messages(problems, Severity::kError),
            (std::vector<std::string>{
                "Author: \"\xFC\" cannot be written in a mission script",
                "Location open: \"open\" is a word of the mission script language and cannot be a name",
                "Area yard, style: a mission script takes one style; 2 are selected",
                "Outcome 2, next missions: a mission script needs at least one next mission",
                "Team Alpha, plan line 3: no location named \"Nowhere\"",
                "Team Alpha, plan line 2: a patrol takes at least two areas",
            }));
  EXPECT_EQ(problems[2].record, RecordRef::Area(0));
  EXPECT_EQ(problems[2].field, Field::kAreaStyle);
}

TEST(Problems, PatrolsAndAreas) {
  MissionDocument doc;
  BuildWarehouse(doc);
  ASSERT_TRUE(
      doc.SetField(RecordRef::Team(0, 0), Field::kPlan, std::string("patrol;\r\npatrol (yard, shed)")));
  ASSERT_TRUE(doc.AddArea("bad area", "", "[none]", 0, ""));
  EXPECT_EQ(
      Messages(CheckDocument(doc), Severity::kError),
      (std::vector<std::string>{
          "Area bad area: \" \" cannot be part of a name in a mission script (letters, digits, \"_\" and "
          "\".\" can)",
          "Area bad area, style: a mission script takes one style; none is selected",
          "Area bad area, locations: a mission script needs at least one location in an area",
          "Team Alpha, plan line 2: no area named \"shed\"",
      }));
  // With one area a bare patrol has nothing to walk between.
  ASSERT_TRUE(doc.DeleteArea(1));
  EXPECT_EQ(Messages(CheckDocument(doc), Severity::kError),
            (std::vector<std::string>{
                "Team Alpha, plan line 1: a patrol needs at least two areas in the mission; it has 1",
                "Team Alpha, plan line 2: no area named \"shed\"",
            }));
}

TEST(Problems, WarningsForWhatParsesButLooksWrong) {
  MissionDocument doc;
  BuildWarehouse(doc);
  ASSERT_TRUE(doc.AddLocation("spare", "", 1, 2, 3));
  ASSERT_TRUE(doc.AddLocation("roofs", "", 1, 2, 3));
  ASSERT_TRUE(doc.AddForce("Red", ""));
  ASSERT_TRUE(doc.AddTeam(1, "Bravo", "", " \r\n "));
  ASSERT_TRUE(doc.AddOutcome("Blue", "Held", "m2", "failure", "(occupied(roofs) && alive(\"Alpha\"))"));
  const auto problems = FindProblems(doc, ParseInMemory);
  EXPECT_FALSE(HasError(problems));
  EXPECT_EQ(Messages(problems, Severity::kWarning),
            (std::vector<std::string>{
                "Team Bravo, plan: the plan is empty",
                "Team Bravo: no outcome names this team or its force",
                "Location spare: no area, plan or outcome uses this location",
            }));
}

TEST(Problems, ConditionsNameMembersThatExist) {
  MissionDocument doc;
  BuildWarehouse(doc);
  ASSERT_TRUE(doc.SetField(RecordRef::Outcome(0), Field::kOutcomeReason,
                           std::string("(alive(\"Bot\") &&\r\n eliminated(\"Ghosts\"))")));
  const auto problems = FindProblems(doc, ParseInMemory);
  ASSERT_EQ(
      Messages(problems, Severity::kError),
      std::vector<std::string>{"Outcome 1, condition line 2: no actor, team or force named \"Ghosts\""});
  EXPECT_EQ(problems[0].field, Field::kOutcomeReason);
  // The parser's message about the same record and field adds nothing; its own text would lack the name.
  const GeneratedScript script = GenerateScriptWithLines(doc);
  EXPECT_EQ(MapParseMessages(doc, script, ParseInMemory(script.text).messages)[0].message,
            "Outcome 1, condition line 2: no actor, team or force of that name");
}

TEST(Problems, WhatOnlyTheParserFindsIsMappedToTheRecordThatWroteIt) {
  MissionDocument doc;
  BuildWarehouse(doc);
  ASSERT_TRUE(
      doc.SetField(RecordRef::Team(0, 0), Field::kPlan,
                   std::string("  insert at gate using \"column\";\r\n  wait until\r\n  ready ready;")));
  EXPECT_FALSE(HasError(CheckDocument(doc)));
  const auto plan = FindProblems(doc, ParseInMemory);
  ASSERT_EQ(Messages(plan, Severity::kError),
            std::vector<std::string>{
                "Team Alpha, plan line 3: the mission script language does not take \"ready\" here"});
  EXPECT_EQ(plan[0].record, RecordRef::Team(0, 0));
  EXPECT_EQ(plan[0].field, Field::kPlan);
  EXPECT_EQ(plan[0].line, 3);
}

TEST(Problems, AParserThatRefusesWithoutAWordIsStillAnError) {
  MissionDocument doc;
  BuildWarehouse(doc);
  const auto problems = FindProblems(doc, [](std::string_view) { return ParseVerdict{false, {}}; });
  EXPECT_EQ(Messages(problems, Severity::kError),
            std::vector<std::string>{
                "Mission: the mission script library refuses the script without saying where"});
  // A line beyond the script, or none, goes to the mission as a whole.
  const GeneratedScript script = GenerateScriptWithLines(doc);
  const auto mapped = MapParseMessages(doc, script, {{100000, "x", "parse error"}, {0, "", "out of memory"}});
  ASSERT_EQ(mapped.size(), 2u);
  EXPECT_EQ(mapped[0].record, RecordRef::Mission());
  EXPECT_EQ(mapped[1].message, "Mission: the mission script library says: out of memory");
}

TEST(Problems, AFailedBuildsMessageNamesTheRecordsThenTheScriptLine) {
  MissionDocument doc;
  BuildWarehouse(doc);
  for (int i = 0; i < 10; ++i)
    ASSERT_TRUE(doc.AddArea(Numbered("a", i), "", "gate?", 0, "open?roof?"));
  ASSERT_TRUE(
      doc.SetField(RecordRef::Team(0, 0), Field::kPlan, std::string("  wait until\r\n  ready ready;")));
  const GeneratedScript script = GenerateScriptWithLines(doc);
  const ParseVerdict verdict = ParseInMemory(script.text);
  ASSERT_FALSE(verdict.parsed);
  ASSERT_FALSE(verdict.messages.empty());
  EXPECT_EQ(DescribeFailedParse(doc, verdict.messages, 3),
            "Area a0, style: a mission script takes one style; 2 are selected\n"
            "Area a1, style: a mission script takes one style; 2 are selected\n"
            "Area a2, style: a mission script takes one style; 2 are selected\n"
            "(7 more)\n\n"
            "In the generated script: Line " +
                std::to_string(verdict.messages[0].line) + ", near ',': parse error");
}

TEST(RecordPath, FollowsTheProjectTree) {
  MissionDocument doc;
  BuildWarehouse(doc);
  EXPECT_EQ(RecordPath(doc, RecordRef::Mission()), "Mission");
  EXPECT_EQ(RecordPath(doc, RecordRef::Location(1)), "Locations / tower");
  EXPECT_EQ(RecordPath(doc, RecordRef::Area(0)), "Areas / yard");
  EXPECT_EQ(RecordPath(doc, RecordRef::Team(0, 0)), "Forces / Blue / Alpha");
  EXPECT_EQ(RecordPath(doc, RecordRef::Actor(0, 0, 1)), "Forces / Blue / Alpha / Bot");
  EXPECT_EQ(RecordPath(doc, RecordRef::Outcome(0)), "Mission outcome / Success 1");
}

// Every line of the script against the map: the record's own text stands on the lines it maps to.
void ExpectLineMapMatches(const MissionDocument& doc) {
  const GeneratedScript generated = GenerateScriptWithLines(doc);
  ASSERT_EQ(generated.lines.size(),
            static_cast<std::size_t>(std::count(generated.text.begin(), generated.text.end(), '\n')));
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < generated.text.size();) {
    const std::size_t end = generated.text.find('\n', start);
    lines.push_back(generated.text.substr(start, end - start));
    start = end + 1;
  }
  const auto text_line = [](const std::string& text, int line) {
    std::size_t start = 0;
    for (int i = 1; i < line; ++i)
      start = text.find('\n', start) + 1;
    std::string out = text.substr(start, text.find('\n', start) - start);
    if (!out.empty() && out.back() == '\r') out.pop_back();
    return out;
  };
  int plans = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const ScriptLineSource& source = generated.lines[i];
    if (!source.field) continue;
    const std::string& line = lines[i];
    SCOPED_TRACE("script line " + std::to_string(i + 1) + ": " + line);
    switch (*source.field) {
      case Field::kPlan: {
        const TeamRecord& team = doc.team(source.record.force, source.record.team);
        EXPECT_NE(line.find(text_line(team.plan, source.text_line)), std::string::npos);
        ++plans;
        break;
      }
      case Field::kAnnotation:
        EXPECT_NE(line.find(text_line(doc.info.annotation, source.text_line)), std::string::npos);
        break;
      case Field::kLocName:
        EXPECT_EQ(line.rfind("        location " + doc.location(source.record.index).loc_name + " = <", 0),
                  0u);
        break;
      case Field::kAreaName:
        EXPECT_EQ(line, "        area " + doc.area(source.record.index).area_name + "\r");
        break;
      case Field::kTeamName:
        EXPECT_NE(line.find(Quoted(doc.team(source.record.force, source.record.team).team_name)),
                  std::string::npos);
        break;
      case Field::kNpcName: {
        const RecordRef& r = source.record;
        EXPECT_NE(line.find(Quoted(doc.actor(r.force, r.team, r.index).npc_name)), std::string::npos);
        break;
      }
      case Field::kOutcomeReason:
        EXPECT_EQ(line, "        = " + doc.outcome(source.record.index).outcome_reason + "\r");
        break;
      case Field::kAuthor:
        EXPECT_TRUE(line == "    author\r" || line == "    " + Quoted(doc.info.vyr_author) + ";\r");
        break;
      default:
        break;
    }
  }
  int plan_lines = 0;
  for (int f = 0; f < doc.force_count(); ++f)
    for (int t = 0; t < doc.team_count(f); ++t)
      plan_lines +=
          1 + static_cast<int>(std::count(doc.team(f, t).plan.begin(), doc.team(f, t).plan.end(), '\n'));
  EXPECT_EQ(plans, plan_lines);
}

TEST(LineMap, TheWorkedExampleMapsEveryLineAndKeepsTheBytes) {
  MissionDocument doc;
  bench::NoRecent recent;
  ASSERT_TRUE(
      LoadProject(doc, recent, std::string(VYR_TEST_DATA_DIR) + "/../../examples/warehouse/warehouse.cme"));
  doc.info.annotation = "Night raid\r\nsecond line\r\nthird";
  ExpectLineMapMatches(doc);
  const std::string with_lines = GenerateScriptWithLines(doc).text;
  EXPECT_TRUE(testing::SameBytes(GenerateScript(doc), with_lines));
  // The parser's lines are the map's lines: a fault on the annotation's third line is found there.
  doc.info.annotation = "Night raid\r\nsecond line\r\n<third>";
  const auto problems = MapParseMessages(doc, GenerateScriptWithLines(doc),
                                         ParseInMemory(GenerateScriptWithLines(doc).text).messages);
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].message, "Annotation line 3: \"<\" cannot be written in a mission script");
}

TEST(LineMap, AFullCapacityMissionMapsEveryLine) {
  MissionDocument doc;
  bench::FillToCapacity(doc);
  ExpectLineMapMatches(doc);
  const MissionDocument& unchanged = doc;
  const std::string before = unchanged.area(0).area_style;
  (void)GenerateScriptWithLines(unchanged);
  EXPECT_EQ(unchanged.area(0).area_style, before);
}

}  // namespace
}  // namespace vyr::editor
