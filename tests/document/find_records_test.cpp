// Finding records: folding as Windows-1252 letters fold, every searched field in tree order with its
// plan line, the kind filter, no cap at full capacity, and the usages of a location or area.
#include "editor/document/find_records.h"

#include <gtest/gtest.h>

#include "bench/full_project.h"
#include "editor/document/project_file.h"
#include "tests/editor_test_support.h"

namespace vyr::editor {
namespace {

std::vector<std::string> Rows(const MissionDocument& doc, const std::vector<RecordMatch>& matches) {
  std::vector<std::string> out;
  for (const RecordMatch& match : matches) {
    EXPECT_TRUE(doc.tree().Contains(match.node)) << MatchPath(doc, match);
    out.push_back(std::string(KindName(match.record.kind)) + " " + MatchPath(doc, match) + " | " +
                  MatchPlace(doc, match) + " @" + doc.tree().node(match.node).text);
  }
  return out;
}

std::vector<std::string> Found(const MissionDocument& doc, std::string_view text,
                               KindMask kinds = kAllKinds) {
  return Rows(doc, FindRecords(doc, text, kinds));
}

TEST(FoldForSearch, LettersLoseCaseAndAccentsAndOtherBytesStay) {
  EXPECT_EQ(FoldForSearch("Caf\xE9_North"), "cafe_north");
  EXPECT_EQ(FoldForSearch("\xC0\xC1\xC2\xC3\xC4\xC5\xE0\xE1\xE2\xE3\xE4\xE5"), "aaaaaaaaaaaa");
  EXPECT_EQ(FoldForSearch("\xC7\xE7\xC8\xC9\xCA\xCB\xE8\xE9\xEA\xEB"), "cceeeeeeee");
  EXPECT_EQ(FoldForSearch("\xCC\xCD\xCE\xCF\xEC\xED\xEE\xEF\xD1\xF1"), "iiiiiiiinn");
  EXPECT_EQ(FoldForSearch("\xD2\xD3\xD4\xD5\xD6\xD8\xF2\xF3\xF4\xF5\xF6\xF8"), "oooooooooooo");
  EXPECT_EQ(FoldForSearch("\xD9\xDA\xDB\xDC\xF9\xFA\xFB\xFC\xDD\xFD\xFF\x9F"), "uuuuuuuuyyyy");
  EXPECT_EQ(FoldForSearch("\xC6\xE6\x8C\x9C\xDF\xDE\xFE\xD0\xF0"), "aeaeoeoessththdd");
  EXPECT_EQ(FoldForSearch("\x8A\x9A\x8E\x9E\x83"), "sszzf");
  // Signs, digits, punctuation and the unassigned bytes are not letters.
  EXPECT_EQ(FoldForSearch("\xD7\xF7\xB5\xAA 09_?\x81\x8D\x8F\x90\x9D\x80"),
            "\xD7\xF7\xB5\xAA 09_?\x81\x8D\x8F\x90\x9D\x80");
  EXPECT_EQ(FoldForSearch(std::string_view("a\0B", 3)), std::string("a\0b", 3));
}

TEST(FindRecords, SearchesNamesDescriptionsMessagesTriggersAndPlanLinesInTreeOrder) {
  MissionDocument doc;
  testing::BuildWarehouse(doc);
  ASSERT_TRUE(doc.AddLocation("Caf\xE9_north",
                              "by the STRA\xDF"
                              "E",
                              0, 0, 0));
  ASSERT_TRUE(doc.AddOutcome("Blue", "All dead", "", "failure", "occupied(yard) && timeout(60)"));
  ASSERT_TRUE(doc.AddTeam(0, "Bravo Team", "Gate watch", "wait until ready;\r\nadvance towards gate;\r\n"));

  EXPECT_EQ(Found(doc, "cafe"), (std::vector<std::string>{"Location Caf\xE9_north | Name @Caf\xE9_north"}));
  EXPECT_EQ(Found(doc, "CAF\xC9"), Found(doc, "cafe"));
  EXPECT_EQ(Found(doc, "strasse"),
            (std::vector<std::string>{"Location Caf\xE9_north | Description @Caf\xE9_north"}));
  EXPECT_EQ(Found(doc, " gAtE "),
            (std::vector<std::string>{
                "Location gate | Name @gate",
                "Team Blue / Alpha | Plan line 1: insert at gate using \"column\"; @Alpha",
                "Team Blue / Bravo Team | Description @Bravo Team",
                "Team Blue / Bravo Team | Plan line 2: advance towards gate; @Bravo Team",
            }));
  // One row per plan line however often the line holds the text; a line break between two plan lines is
  // counted right after a first hit on the same line.
  EXPECT_EQ(Found(doc, "a"), Found(doc, "A"));
  EXPECT_EQ(Found(doc, "ready"), (std::vector<std::string>{
                                     "Team Blue / Alpha | Plan line 2: wait until ready; @Alpha",
                                     "Team Blue / Bravo Team | Plan line 1: wait until ready; @Bravo Team"}));
  EXPECT_EQ(Found(doc, "success"), (std::vector<std::string>{"Outcome Success: Well done | Type @Success"}));
  EXPECT_EQ(Found(doc, "yard"),
            (std::vector<std::string>{"Area yard | Name @yard",
                                      "Outcome Failure: All dead | Trigger: occupied(yard) && "
                                      "timeout(60) @Failure"}));
  EXPECT_EQ(Found(doc, "dead"), (std::vector<std::string>{"Outcome Failure: All dead | Message @Failure"}));
  EXPECT_EQ(Found(doc, "blue").size(), 1u);  // the force; an outcome's force is not searched
  EXPECT_TRUE(Found(doc, "").empty());
  EXPECT_TRUE(Found(doc, " \t ").empty());
  EXPECT_TRUE(Found(doc, "gatehouse").empty());

  // The kind filter.
  EXPECT_EQ(Found(doc, "gate", KindBit(RecordKind::kLocation)),
            (std::vector<std::string>{"Location gate | Name @gate"}));
  EXPECT_EQ(Found(doc, "o", KindBit(RecordKind::kActor)),
            (std::vector<std::string>{"Actor Blue / Alpha / Bot | Name @Bot"}));
  EXPECT_EQ(Found(doc, "a", KindBit(RecordKind::kTeam) | KindBit(RecordKind::kArea)).size(), 8u);
  EXPECT_TRUE(Found(doc, "gate", KindBit(RecordKind::kOutcome)).empty());
}

TEST(FindRecords, ListsEveryMatchOfAFullMission) {
  MissionDocument doc;
  bench::FillToCapacity(doc);
  const std::vector<RecordMatch> actors = FindRecords(doc, "ACTOR20");
  ASSERT_EQ(actors.size(), 2121u);
  EXPECT_EQ(MatchPath(doc, actors.back()), "force100 / team20 / actor20");
  EXPECT_EQ(FindRecords(doc, "actor").size(), 44541u);
  // Every team's plan names location1 on line 1; location1 itself, location10..19 and location100 too.
  const std::vector<RecordMatch> places =
      FindRecords(doc, "location1", KindBit(RecordKind::kTeam) | KindBit(RecordKind::kLocation));
  EXPECT_EQ(places.size(), 2121u + 12u);
  EXPECT_EQ(MatchPlace(doc, places.back()), "Plan line 1: insert at location1 using \"column\";");
  // Every area lists location1 and every plan names it; location10 is named nowhere.
  EXPECT_EQ(FindUsages(doc, doc.tree().LocationNode(1)).size(), 101u + 2121u);
  EXPECT_EQ(FindUsages(doc, doc.tree().LocationNode(2)).size(), 101u + 2121u);
  EXPECT_TRUE(FindUsages(doc, doc.tree().LocationNode(10)).empty());
}

class FindUsagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string example = std::string(VYR_TEST_DATA_DIR) + "/../../examples/warehouse/warehouse.cme";
    bench::NoRecent recent;
    const Status status = LoadProject(doc, recent, example);
    ASSERT_TRUE(status) << status.message;
  }
  std::vector<std::string> Usages(NodeId node) { return Rows(doc, FindUsages(doc, node)); }

  MissionDocument doc;
};

TEST_F(FindUsagesTest, TheExampleNamesItsPlacesInAreasPlansAndTriggers) {
  const ProjectTree& tree = doc.tree();
  ASSERT_EQ(doc.location(0).loc_name, "gate");
  EXPECT_EQ(
      Usages(tree.LocationNode(0)),
      (std::vector<std::string>{"Area yard | Locations @yard",
                                "Team Blue / Alpha | Plan line 1: insert at gate using \"column\"; @Alpha"}));
  EXPECT_EQ(Usages(tree.LocationNode(1)), (std::vector<std::string>{"Area yard | Locations @yard"}));
  EXPECT_TRUE(Usages(tree.AreaNode(0)).empty());
  ASSERT_TRUE(doc.SetField(RecordRef::Outcome(0), Field::kOutcomeReason, std::string("occupied(yard)")));
  EXPECT_EQ(Usages(tree.AreaNode(0)),
            (std::vector<std::string>{"Outcome Success: Well done | Trigger: occupied(yard) @Success"}));

  // Only whole names in the script's own letter case count; strings and comments name nothing.
  ASSERT_TRUE(
      doc.SetField(RecordRef::Team(0, 0), Field::kPlan,
                   std::string("insert at Gate;\r\nradio \"gate\"; // gate\r\n/* gate\r\n gate */ "
                               "advance towards gatehouse;\r\nmoveup to gate.2;\r\npatrol from yard,gate")));
  EXPECT_EQ(Usages(tree.LocationNode(0)),
            (std::vector<std::string>{"Area yard | Locations @yard",
                                      "Team Blue / Alpha | Plan line 6: patrol from yard,gate @Alpha"}));
  ASSERT_TRUE(doc.SetField(RecordRef::Area(0), Field::kAreaLocations, std::string("gatehouse?tower")));
  EXPECT_EQ(Usages(tree.LocationNode(1)), (std::vector<std::string>{"Area yard | Locations @yard"}));
  EXPECT_EQ(Usages(tree.LocationNode(0)).size(), 1u);

  // Nodes other than a location or an area have none.
  EXPECT_TRUE(FindUsages(doc, tree.TeamNode(0, 0)).empty());
  EXPECT_TRUE(FindUsages(doc, tree.category(Section::kLocations)).empty());
  EXPECT_TRUE(FindUsages(doc, kNoNode).empty());
}

}  // namespace
}  // namespace vyr::editor
