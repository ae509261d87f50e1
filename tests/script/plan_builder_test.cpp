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

TEST(PlanBuilder, EveryPageBuildsItsStatementAfresh) {
  PlanCommandBuilder b = Warehouse();
  b.Snipe_to.Select(1);
  b.defend_pullback.Select(1);
  b.spread_within = "10";
  b.radio_message = "Go go go";
  b.code_color.Select(2);
  b.phasename = "two";
  b.contname = "three";
  const std::string ready = "  wait until ready;\r\n";
  const std::pair<PlanPage, std::string> pages[] = {
      {PlanPage::kInsert, "  insert at gate using \"column\";\r\n" + ready},
      {PlanPage::kSnipe, "  snipe from gate towards tower;\r\n"},
      {PlanPage::kAttack, "  attack towards gate;\r\n" + ready},
      {PlanPage::kAttack, "  attack towards gate;\r\n" + ready},  // built twice: not accumulated
      {PlanPage::kDefend, "  defend towards gate from tower;\r\n" + ready},
      {PlanPage::kAdvance, "  advance towards gate using \"column\";\r\n" + ready},
      {PlanPage::kPullback, "  pullback to gate using \"column\";\r\n" + ready},
      {PlanPage::kMoveup, "  moveup to gate using \"column\";\r\n" + ready},
      {PlanPage::kSpread, "  spread towards gate within 10;\r\n" + ready},
      {PlanPage::kAssemble, "  assemble at gate using \"column\";\r\n" + ready},
      {PlanPage::kRadio, "  radio \"Go go go\";\r\n"},
      {PlanPage::kSignalCode, "  signal code \"Blue\";\r\n"},
      {PlanPage::kAbort, "  abort;\r\n"},
      {PlanPage::kPhase, "  phase \"two\";\r\n"},
      {PlanPage::kContinue, "  continue with phase \"three\";\r\n"}};
  for (const auto& [page, statement] : pages)
    EXPECT_EQ(Build(b, page), statement) << static_cast<int>(page);
  // Typed text is taken as it stands: no trimming, no escaping; a typed location need not be an entry.
  b.radio_message = " say \"hi\" ";
  EXPECT_EQ(Build(b, PlanPage::kRadio), "  radio \" say \"hi\" \";\r\n");
  b.attack_location.text = "some where";
  EXPECT_EQ(Build(b, PlanPage::kAttack), "  attack towards some where;\r\n" + ready);
}

TEST(PlanBuilder, PatrolJoinsSelectedAreasInListOrder) {
  PlanCommandBuilder b = Warehouse();
  b.patrol_list.SetSelected(1, true);
  EXPECT_EQ(Build(b, PlanPage::kPatrol), "  patrol (dock);\r\n");
  b.patrol_list.SetSelected(0, true);
  b.patrol_list.SetSelected(2, true);
  b.patrol_list.SetSelected(7, true);  // outside the list: ignored
  EXPECT_EQ(Build(b, PlanPage::kPatrol), "  patrol (yard, dock, roof);\r\n");
}

TEST(PlanBuilder, WaitVariantsAndTheirEnabling) {
  PlanCommandBuilder b = Warehouse();
  EXPECT_EQ(Build(b, PlanPage::kWait), "  wait 2;\r\n");
  WaitPageEnabling e = b.WaitEnabling();
  EXPECT_TRUE(e.txt_timedelay && !e.wait_color);

  b.wait_type.Select(1);
  EXPECT_EQ(Build(b, PlanPage::kWait), "  wait until ready;\r\n");
  e = b.WaitEnabling();
  EXPECT_FALSE(e.time_delay || e.Label23 || e.txt_timedelay || e.wait_code || e.wait_color);

  b.wait_type.Select(2);
  EXPECT_EQ(Build(b, PlanPage::kWait), "  wait forever;\r\n");

  b.wait_type.Select(3);
  b.wait_color.Select(3);
  EXPECT_EQ(Build(b, PlanPage::kWait), "  wait until code(\"Yellow\");\r\n");
  e = b.WaitEnabling();
  EXPECT_TRUE(e.wait_code && e.wait_color);
  EXPECT_FALSE(e.time_delay || e.Label23 || e.txt_timedelay);

  b.wait_type.Select(0);
  b.txt_timedelay = "soon";  // not checked
  EXPECT_EQ(Build(b, PlanPage::kWait), "  wait soon;\r\n");

  // No wait type selected: nothing is built and the last statement stays.
  Build(b, PlanPage::kAbort);
  b.wait_type.Select(-1);
  b.page = PlanPage::kWait;
  EXPECT_FALSE(b.BuildCommand());
  EXPECT_EQ(b.CommandText, "  abort;\r\n");
}

TEST(PlanBuilder, OnWritesContactBareAndColoursQuoted) {
  std::vector<std::string_view> on_items;
  for (const PlanMenuItem& item : kPlanMenuItems) {
    if (item.page == PlanPage::kOn) on_items.push_back(item.caption);
  }
  EXPECT_EQ(on_items, (std::vector<std::string_view>{"&On(contact)", "On(&code)"}));

  PlanCommandBuilder b = Warehouse();
  EXPECT_EQ(Build(b, PlanPage::kOn), "  on(contact)\r\n  {\r\n\r\n  };\r\n");
  b.oncodecolor.Select(1);
  EXPECT_EQ(Build(b, PlanPage::kOn), "  on(code \"Red\")\r\n  {\r\n\r\n  };\r\n");
  b.oncodecolor.text = "Contact";  // only the exact word is bare
  EXPECT_EQ(Build(b, PlanPage::kOn), "  on(code \"Contact\")\r\n  {\r\n\r\n  };\r\n");
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
