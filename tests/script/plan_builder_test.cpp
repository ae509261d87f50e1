#include "editor/script/plan_builder.h"

#include <gtest/gtest.h>

#include "tests/editor_test_support.h"

namespace vyr::editor {
namespace {

PlanCommandBuilder Warehouse() {
  return PlanCommandBuilder({"gate", "tower"}, {"yard", "dock", "roof"});
}

std::string Build(PlanCommandBuilder& b, PlanPage page) {
  b.page = page;
  EXPECT_TRUE(b.BuildCommand());
  return b.CommandText;
}

TEST(PlanBuilder, ListsComeFromTheDocumentAndMayBeEmpty) {
  MissionDocument doc;
  testing::BuildWarehouse(doc);
  ASSERT_TRUE(doc.AddArea("dock", "", "", 0, ""));
  PlanCommandBuilder b = PlanCommandBuilder::FromDocument(doc);
  EXPECT_EQ(b.defend_pullback.entries, (std::vector<std::string>{"gate", "tower"}));
  EXPECT_EQ(b.defend_pullback.text, "gate");
  EXPECT_EQ(b.patrol_list.entries, (std::vector<std::string>{"yard", "dock"}));
  EXPECT_EQ(b.patrol_list.selected, (std::vector<bool>{false, false}));

  PlanCommandBuilder empty({}, {});
  EXPECT_EQ(empty.attack_location.SelectedIndex(), -1);
  EXPECT_EQ(Build(empty, PlanPage::kAttack), "  attack towards ;\r\n  wait until ready;\r\n");
  EXPECT_EQ(Build(empty, PlanPage::kPatrol), "  patrol;\r\n");
}

// The command window's tests build every page through its controls; here what only the builder shows.
TEST(PlanBuilder, TypedTextStandsAsTypedAndOnlyListedAreasJoinAPatrol) {
  PlanCommandBuilder b = Warehouse();
  // No trimming, no escaping; a typed location need not be an entry; only the exact word is bare.
  b.radio_message = " say \"hi\" ";
  EXPECT_EQ(Build(b, PlanPage::kRadio), "  radio \" say \"hi\" \";\r\n");
  b.attack_location.text = "some where";
  EXPECT_EQ(Build(b, PlanPage::kAttack), "  attack towards some where;\r\n  wait until ready;\r\n");
  b.oncodecolor.text = "Contact";
  EXPECT_EQ(Build(b, PlanPage::kOn), "  on(code \"Contact\")\r\n  {\r\n\r\n  };\r\n");
  b.txt_timedelay = "soon";
  EXPECT_EQ(Build(b, PlanPage::kWait), "  wait soon;\r\n");
  b.wait_type.Select(1);
  const WaitPageEnabling e = b.WaitEnabling();
  EXPECT_FALSE(e.time_delay || e.Label23 || e.txt_timedelay || e.wait_code || e.wait_color);

  b.patrol_list.SetSelected(2, true);
  b.patrol_list.SetSelected(7, true);  // outside the list: ignored
  b.patrol_list.SetSelected(0, true);
  EXPECT_EQ(Build(b, PlanPage::kPatrol), "  patrol (yard, roof);\r\n");
}

TEST(PlanBuilder, InsertAtCaretPlacesStatementAndCaret) {
  struct {
    std::string text;
    std::size_t caret;
    std::string statement, result;
    std::size_t new_caret;
  } const cases[] = {{"  abort;\r\n", 0, "X\r\n", "X\r\n  abort;\r\n", 3},
                     {"  abort;\r\n", 10, "X\r\n", "  abort;\r\nX\r\n", 13},
                     {"  abort;\r\n", 2, "ab", "  ababort;\r\n", 4},
                     {"ab", 99, "c", "abc", 3}};  // a caret past the end appends
  for (const auto& c : cases) {
    const PlanEdit edit = InsertAtCaret(c.text, c.caret, c.statement);
    EXPECT_EQ(edit.text, c.result);
    EXPECT_EQ(edit.caret, c.new_caret) << c.result;
  }
  PlanCommandBuilder b = Warehouse();
  b.page = PlanPage::kAbort;
  const PlanEdit edit = b.InsertInto("", 0);
  EXPECT_EQ(edit.text, "  abort;\r\n");
  EXPECT_EQ(edit.caret, edit.text.size());
}

}  // namespace
}  // namespace vyr::editor
