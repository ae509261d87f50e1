// The document's rules against the library's parser over many random missions: a script parses exactly
// when the rules find no error, and a fault planted in one record is reported on that record.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "editor/check/problems.h"
#include "editor/document/mission_document.h"
#include "editor/map/mission_map.h"
#include "editor/script/generator.h"
#include "tests/check/in_memory_parser.h"
#include "tests/editor_test_support.h"

namespace vyr::editor {
namespace {

using testing::Numbered;
using testing::ParseInMemory;

enum class Fault {
  kNone,
  kAuthorByte,
  kTwoStyles,
  kFailureWithoutNext,
  kPatrolOfOne,
  kKeywordLocation,
  kUndeclaredName
};
constexpr Fault kFaults[] = {
    Fault::kNone,        Fault::kAuthorByte,      Fault::kTwoStyles,     Fault::kFailureWithoutNext,
    Fault::kPatrolOfOne, Fault::kKeywordLocation, Fault::kUndeclaredName};

class RandomMission {
 public:
  explicit RandomMission(unsigned seed) : random_(seed) {}

  int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  template <typename T>
  const T& Choose(const std::vector<T>& from) {
    return from[static_cast<std::size_t>(Pick(0, static_cast<int>(from.size()) - 1))];
  }

  // A text of the characters the language's strings take, never empty.
  std::string Text() {
    static const std::string kStart = "abcXYZ019 !'(),-./:\\_";  // no "?": it separates list entries
    static const std::string kMore = "#%&+=@^|";
    std::string text(1, kStart[static_cast<std::size_t>(Pick(0, static_cast<int>(kStart.size()) - 1))]);
    for (int i = Pick(0, 12); i > 0; --i) {
      const std::string& from = Pick(0, 3) == 0 ? kMore : kStart;
      text += from[static_cast<std::size_t>(Pick(0, static_cast<int>(from.size()) - 1))];
    }
    return text;
  }

  void Build(MissionDocument& doc) {
    doc.info.vyr_missionname = Text();
    doc.info.vyr_author = Text();
    doc.info.vyr_missiondescription = Text();
    doc.info.vyr_mapname = Text();
    doc.info.annotation = Pick(0, 2) == 0 ? "" : Text() + "\r\n" + Text();
    for (int i = Pick(1, 6); i > 0; --i) {
      locations_.push_back(
          Numbered(Pick(0, 1) ? "loc" : "Loc_a.", static_cast<long long>(locations_.size())));
      ASSERT_TRUE(doc.AddLocation(locations_.back(), "", static_cast<Integer>(Pick(-32768, 32767)), 0, 0));
    }
    static const std::vector<std::string> kStyles = {"open", "closed", "roof"};
    for (int i = Pick(0, 4); i > 0; --i) {
      areas_.push_back(Numbered("area", static_cast<long long>(areas_.size())));
      std::string list;
      for (int n = Pick(1, 3); n > 0; --n)
        list += Choose(locations_) + "?";
      ASSERT_TRUE(doc.AddArea(areas_.back(), "", list, static_cast<Integer>(Pick(0, 500)),
                              Choose(kStyles) + (Pick(0, 1) ? "?" : "")));
    }
    for (int f = Pick(1, 3); f > 0; --f) {
      const int force = doc.force_count();
      owners_.push_back(Text());
      ASSERT_TRUE(doc.AddForce(owners_.back(), ""));
      for (int t = Pick(1, 3); t > 0; --t) {
        owners_.push_back(Text());
        ASSERT_TRUE(doc.AddTeam(force, owners_.back(), "", Plan()));
        for (int a = Pick(0, 3); a > 0; --a) {
          ActorRecord actor;
          actor.npc_name = Text();
          actor.npc_player = Pick(0, 1) == 1;
          actor.npc_skill = static_cast<float>(Pick(0, 60)) / 10.0f;
          actor.weapon[static_cast<std::size_t>(Pick(0, 5))] = true;
          actor.ammo[static_cast<std::size_t>(Pick(0, 4))] = static_cast<Integer>(Pick(-3, 9));
          ASSERT_TRUE(doc.AddActor(force, doc.team_count(force) - 1, actor));
        }
      }
    }
    for (int i = Pick(0, 3); i > 0; --i) {
      const std::vector<std::string> conditions = {
          "timeout(" + std::to_string(Pick(0, 900)) + ")", "eliminated(\"" + Choose(owners_) + "\")",
          "(alive(\"" + Choose(owners_) + "\") && occupied(" + Choose(locations_) + "))",
          "!(occupied(" + Choose(locations_) + "))"};
      std::string next;
      for (int n = Pick(1, 2); n > 0; --n)
        next += Text() + "?";
      ASSERT_TRUE(doc.AddOutcome(Choose(owners_), Text(), next, Pick(0, 1) ? "success" : "failure",
                                 Choose(conditions)));
    }
  }

  // A plan the language takes, of the statements authors use, on lines ended by CR LF.
  std::string Plan() {
    std::vector<std::string> statements = {
        "insert at " + Choose(locations_) + " using \"column\"",
        "advance towards " + Choose(locations_) + " using \"run\"",
        "wait " + std::to_string(Pick(0, 99)),
        "wait until ready",
        "attack towards " + Choose(locations_),
        "defend towards " + Choose(locations_) + " from " + Choose(locations_),
        "radio \"" + Text() + "\"",
        "on (contact, under fire) { take cover from " + Choose(locations_) + "; }",
        "// a comment naming Nowhere\r\n  abort",
        "radio \"attack towards Nowhere\"",
        "/* snipe from Nowhere\r\n towards Nowhere */ join",
        "snipe from " + Choose(locations_) + " towards " + Choose(locations_),
        "observe " + Choose(locations_),
        "freeze towards " + Choose(locations_) + " for 2.5",
        "moveup to " + Choose(locations_) + " using \"crawl\"",
        "spread towards " + Choose(locations_) + " within 30",
        "pullback to " + Choose(locations_) + " using \"run\"",
        "assemble at " + Choose(locations_) + " using \"wedge\"",
        "signal towards " + Choose(locations_) + " \"go\"",
        "signal towards " + Choose(locations_)};
    if (areas_.size() >= 2) {
      statements.push_back("patrol");
      statements.push_back("patrol (" + areas_[0] + ", " + areas_[1] + ")");
    }
    std::string plan;
    for (int i = Pick(0, 5); i > 0; --i)
      plan += (plan.empty() ? "  " : ";\r\n  ") + Choose(statements);
    if (!plan.empty() && Pick(0, 1)) plan += ";";
    return plan;
  }

  // Plants `fault` and returns the record it is in.
  RecordRef Plant(MissionDocument& doc, Fault fault) {
    switch (fault) {
      case Fault::kNone:
        break;
      case Fault::kAuthorByte: {
        const std::vector<std::string> bad = {"\xFC", "\t", "$", "*", ";", "<",   ">",
                                              "[",    "]",  "{", "}", "~", "\x7F"};
        std::string author = doc.info.vyr_author;
        author.insert(static_cast<std::size_t>(Pick(0, static_cast<int>(author.size()))), Choose(bad));
        if (Pick(0, 3) == 0) author = "#" + author;  // a string character first in the run
        doc.info.vyr_author = author;
        return RecordRef::Mission();
      }
      case Fault::kTwoStyles: {
        if (doc.area_count() == 0) doc.AddArea("lone", "", locations_[0] + "?", 0, "open?");
        const int area = Pick(0, doc.area_count() - 1);
        (void)doc.SetField(RecordRef::Area(area), Field::kAreaStyle, std::string("closed?roof?"));
        return RecordRef::Area(area);
      }
      case Fault::kFailureWithoutNext:
        (void)doc.AddOutcome(Choose(owners_), "Lost", "", "failure", "timeout(10)");
        return RecordRef::Outcome(doc.outcome_count() - 1);
      case Fault::kPatrolOfOne:
      case Fault::kUndeclaredName: {
        if (doc.area_count() == 0) doc.AddArea("lone", "", locations_[0] + "?", 0, "open?");
        const int force = Pick(0, doc.force_count() - 1);
        const int team = Pick(0, doc.team_count(force) - 1);
        const std::vector<std::string> undeclared = {"attack towards Nowhere",
                                                     "snipe from " + locations_[0] + " towards Nowhere",
                                                     "on (casualty) { wait 3; observe Nowhere }",
                                                     "defend towards Nowhere from " + locations_[0],
                                                     "spread towards Nowhere within 3",
                                                     "take cover from Nowhere"};
        const std::string statement =
            fault == Fault::kPatrolOfOne ? "patrol (" + doc.area(0).area_name + ")" : Choose(undeclared);
        std::string plan = doc.team(force, team).plan;
        plan = plan.empty() ? "  " + statement : statement + ";\r\n" + plan;
        (void)doc.SetField(RecordRef::Team(force, team), Field::kPlan, plan);
        return RecordRef::Team(force, team);
      }
      case Fault::kKeywordLocation: {
        static const std::vector<std::string> kWords = {"open", "set", "map", "team", "wait", "none"};
        const int location = Pick(0, doc.location_count() - 1);
        (void)doc.SetField(RecordRef::Location(location), Field::kLocName, Choose(kWords));
        return RecordRef::Location(location);
      }
    }
    return RecordRef::Mission();
  }

 private:
  std::mt19937 random_;
  std::vector<std::string> locations_, areas_, owners_;
};

bool HasErrorOn(const std::vector<Problem>& problems, const RecordRef& record) {
  return std::any_of(problems.begin(), problems.end(),
                     [&](const Problem& p) { return p.severity == Severity::kError && p.record == record; });
}

std::string Listed(const std::vector<Problem>& problems) {
  std::string out;
  for (const Problem& p : problems)
    out += p.message + "\n";
  return out;
}

TEST(ProblemsAgreement, TheRulesAndTheParserAgreeOnRandomMissions) {
  int parsed_count = 0, undeclared_marks = 0;
  for (unsigned seed = 1; seed <= 700; ++seed) {
    const Fault fault = kFaults[seed % std::size(kFaults)];
    MissionDocument doc;
    RandomMission random(seed);
    random.Build(doc);
    if (HasFatalFailure()) return;
    const RecordRef planted = random.Plant(doc, fault);
    const std::vector<Problem> rules = CheckDocument(doc);
    const GeneratedScript script = GenerateScriptWithLines(doc);
    const ParseVerdict verdict = ParseInMemory(script.text);
    SCOPED_TRACE("seed " + std::to_string(seed) + "\nrules:\n" + Listed(rules) + "parser:\n" +
                 Listed(MapParseMessages(doc, script, verdict.messages)));
    ASSERT_EQ(verdict.parsed, !HasError(rules));
    parsed_count += verdict.parsed;
    const std::vector<Problem> all = FindProblems(doc, ParseInMemory);
    EXPECT_EQ(HasError(all), !verdict.parsed);
    // A record's own check (its window's) says what the whole check says of it.
    for (const RecordRef& record :
         {planted, RecordRef::Mission(), RecordRef::Location(0), RecordRef::Outcome(0)}) {
      std::vector<std::string> expected, own;
      for (const Problem& p : rules)
        if (p.record == record && p.severity == Severity::kError) expected.push_back(p.message);
      for (const Problem& p : CheckRecord(doc, record))
        own.push_back(p.message);
      EXPECT_EQ(own, expected);
    }
    // The map marks exactly the plan names the check finds no location for, and the two share the scans.
    auto scans = std::make_shared<PlanScans>();
    const MissionMap map = MissionMapBuilder(scans).Build(doc);
    const long scanned = scans->scan_count();
    EXPECT_EQ(CheckDocument(doc, scans.get()), rules);
    EXPECT_EQ(scans->scan_count(), scanned) << "the check scanned a plan the map had read";
    std::vector<std::string> marks, missing;
    for (const MapWarning& mark : map.warnings)
      if (mark.team >= 0)
        marks.push_back(RecordPath(doc, RecordRef::Team(mark.force, mark.team)) + ":" +
                        std::to_string(mark.line) + ": no location named \"" + mark.name + "\"");
    for (const Problem& p : rules)
      if (p.field == Field::kPlan && p.what.starts_with("no location named"))
        missing.push_back(RecordPath(doc, p.record) + ":" + std::to_string(p.line) + ": " + p.what);
    EXPECT_EQ(marks, missing);
    undeclared_marks += static_cast<int>(marks.size());
    if (fault == Fault::kNone) continue;
    EXPECT_TRUE(HasErrorOn(rules, planted));
    // The parser stops at the first fault in the script: with one planted, that is the one it maps.
    const auto mapped = MapParseMessages(doc, script, verdict.messages);
    ASSERT_FALSE(mapped.empty());
    EXPECT_EQ(mapped.front().record, planted);
  }
  EXPECT_EQ(parsed_count, 100);  // every unplanted mission parses
  EXPECT_GT(undeclared_marks, 20);
}

}  // namespace
}  // namespace vyr::editor
