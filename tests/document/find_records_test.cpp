// Finding records by name: every kind, partial and ignoring letter case, in tree order, with paths.
#include "editor/document/find_records.h"

#include <gtest/gtest.h>

#include "tests/editor_test_support.h"

namespace vyr::editor {
namespace {

std::vector<std::string> Found(const MissionDocument& doc, std::string_view text, std::size_t limit = 1000) {
  std::vector<std::string> out;
  for (const RecordMatch& match : FindRecords(doc, text, limit)) {
    EXPECT_TRUE(doc.tree().Contains(match.node)) << match.path;
    out.push_back(match.kind + " " + match.path + " @" + doc.tree().node(match.node).text);
  }
  return out;
}

TEST(FindRecords, MatchesEveryKindPartlyIgnoringCaseInTreeOrder) {
  MissionDocument doc;
  testing::BuildWarehouse(doc);
  ASSERT_TRUE(
      doc.AddLocation("\xC9"
                      "cole",
                      "", 0, 0, 0));  // E acute, folded to e acute
  ASSERT_TRUE(doc.AddOutcome("Blue", "All dead", "", "failure", ""));
  ASSERT_TRUE(doc.AddTeam(0, "Bravo Team", "", ""));

  EXPECT_EQ(Found(doc, "A"),
            (std::vector<std::string>{"Location gate @gate", "Area yard @yard", "Team Blue / Alpha @Alpha",
                                      "Actor Blue / Alpha / Lead @Lead", "Team Blue / Bravo Team @Bravo Team",
                                      "Outcome Failure: All dead @Failure"}));
  EXPECT_EQ(Found(doc, " bOt "), (std::vector<std::string>{"Actor Blue / Alpha / Bot @Bot"}));
  EXPECT_EQ(Found(doc, "success"), (std::vector<std::string>{"Outcome Success: Well done @Success"}));
  EXPECT_EQ(Found(doc,
                  "\xE9"
                  "COLE"),
            (std::vector<std::string>{"Location \xC9"
                                      "cole @\xC9"
                                      "cole"}));
  EXPECT_EQ(Found(doc, "blue").size(), 1u);  // the force; an outcome's force is not its name
  EXPECT_TRUE(Found(doc, "").empty());
  EXPECT_TRUE(Found(doc, "  ").empty());
  EXPECT_TRUE(Found(doc, "gatehouse").empty());
  EXPECT_EQ(Found(doc, "a", 2).size(), 2u);
}

}  // namespace
}  // namespace vyr::editor
