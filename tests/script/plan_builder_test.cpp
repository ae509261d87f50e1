#include "editor/script/plan_builder.h"

#include <gtest/gtest.h>

#include "tests/script/script_test_support.h"

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

TEST(PlanBuilder, ListsStartAsTheWindowLoadsThem) {
  PlanCommandBuilder b = Warehouse();
  EXPECT_EQ(b.insert_location.entries, (std::vector<std::string>{"gate", "tower"}));
  EXPECT_EQ(b.insert_location.text, "gate");
  EXPECT_EQ(b.Snipe_to.text, "gate");
  EXPECT_EQ(b.formation[4].text, "column");
  EXPECT_EQ(b.wait_type.text, "Time delay");
  EXPECT_EQ(b.code_color.entries, (std::vector<std::string>{"Red", "Green", "Blue", "Yellow"}));
  EXPECT_EQ(b.oncodecolor.text, "contact");
  EXPECT_EQ(b.patrol_list.selected, (std::vector<bool>{false, false, false}));
  EXPECT_EQ(b.txt_timedelay, "2");
  EXPECT_TRUE(b.CommandText.empty());
  EXPECT_EQ(b.WaitEnabling().txt_timedelay, true);
  EXPECT_EQ(b.WaitEnabling().wait_color, false);

  PlanCommandBuilder empty({}, {});
  EXPECT_EQ(empty.attack_location.text, "");
  EXPECT_EQ(empty.attack_location.SelectedIndex(), -1);
  EXPECT_EQ(Build(empty, PlanPage::kAttack), "  attack towards ;\r\n  wait until ready;\r\n");
  EXPECT_EQ(Build(empty, PlanPage::kPatrol), "  patrol;\r\n");
}

TEST(PlanBuilder, ListsComeFromTheDocumentInRecordOrder) {
  MissionDocument doc;
  BuildWarehouse(doc);
  ASSERT_TRUE(doc.AddArea("dock", "", "", 0, ""));
  PlanCommandBuilder b = PlanCommandBuilder::FromDocument(doc);
  EXPECT_EQ(b.defend_pullback.entries, (std::vector<std::string>{"gate", "tower"}));
  EXPECT_EQ(b.defend_pullback.text, "gate");
  EXPECT_EQ(b.patrol_list.entries, (std::vector<std::string>{"yard", "dock"}));
  EXPECT_EQ(b.patrol_list.selected, (std::vector<bool>{false, false}));
}

TEST(PlanBuilder, EveryPageBuildsItsStatement) {
  PlanCommandBuilder b = Warehouse();
  b.Snipe_to.Select(1);
  b.defend_pullback.Select(1);
  b.spread_within = "10";
  b.radio_message = "Go go go";
  b.code_color.Select(2);
  b.phasename = "two";
  b.contname = "three";
  const std::string ready = "  wait until ready;\r\n";
  EXPECT_EQ(Build(b, PlanPage::kInsert), "  insert at gate using \"column\";\r\n" + ready);
  EXPECT_EQ(Build(b, PlanPage::kSnipe), "  snipe from gate towards tower;\r\n");
  EXPECT_EQ(Build(b, PlanPage::kAttack), "  attack towards gate;\r\n" + ready);
  EXPECT_EQ(Build(b, PlanPage::kDefend), "  defend towards gate from tower;\r\n" + ready);
  EXPECT_EQ(Build(b, PlanPage::kAdvance), "  advance towards gate using \"column\";\r\n" + ready);
  EXPECT_EQ(Build(b, PlanPage::kPullback), "  pullback to gate using \"column\";\r\n" + ready);
  EXPECT_EQ(Build(b, PlanPage::kMoveup), "  moveup to gate using \"column\";\r\n" + ready);
  EXPECT_EQ(Build(b, PlanPage::kSpread), "  spread towards gate within 10;\r\n" + ready);
  EXPECT_EQ(Build(b, PlanPage::kAssemble), "  assemble at gate using \"column\";\r\n" + ready);
  EXPECT_EQ(Build(b, PlanPage::kRadio), "  radio \"Go go go\";\r\n");
  EXPECT_EQ(Build(b, PlanPage::kSignalCode), "  signal code \"Blue\";\r\n");
  EXPECT_EQ(Build(b, PlanPage::kAbort), "  abort;\r\n");
  EXPECT_EQ(Build(b, PlanPage::kPhase), "  phase \"two\";\r\n");
  EXPECT_EQ(Build(b, PlanPage::kContinue), "  continue with phase \"three\";\r\n");
  // Typed text is taken as it stands: no trimming, no escaping.
  b.radio_message = " say \"hi\" ";
  EXPECT_EQ(Build(b, PlanPage::kRadio), "  radio \" say \"hi\" \";\r\n");
  b.radio_message.clear();
  EXPECT_EQ(Build(b, PlanPage::kRadio), "  radio \"\";\r\n");
  // A typed location that is no list entry is used as typed.
  b.attack_location.text = "some where";
  EXPECT_EQ(Build(b, PlanPage::kAttack), "  attack towards some where;\r\n" + ready);
}

TEST(PlanBuilder, PatrolJoinsSelectedAreasInListOrder) {
  PlanCommandBuilder b = Warehouse();
  EXPECT_EQ(Build(b, PlanPage::kPatrol), "  patrol;\r\n");
  b.patrol_list.SetSelected(1, true);
  EXPECT_EQ(Build(b, PlanPage::kPatrol), "  patrol (dock);\r\n");
  b.patrol_list.SetSelected(0, true);
  EXPECT_EQ(Build(b, PlanPage::kPatrol), "  patrol (yard, dock);\r\n");
  b.patrol_list.SetSelected(2, true);
  b.patrol_list.SetSelected(7, true);  // outside the list: ignored
  EXPECT_EQ(Build(b, PlanPage::kPatrol), "  patrol (yard, dock, roof);\r\n");
}

TEST(PlanBuilder, WaitVariantsAndTheirEnabling) {
  PlanCommandBuilder b = Warehouse();
  EXPECT_EQ(Build(b, PlanPage::kWait), "  wait 2;\r\n");

  b.wait_type.Select(1);
  EXPECT_EQ(Build(b, PlanPage::kWait), "  wait until ready;\r\n");
  WaitPageEnabling e = b.WaitEnabling();
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
  b.page = PlanPage::kAbort;
  ASSERT_TRUE(b.BuildCommand());
  b.wait_type.Select(-1);
  b.page = PlanPage::kWait;
  EXPECT_FALSE(b.BuildCommand());
  EXPECT_EQ(b.CommandText, "  abort;\r\n");
  e = b.WaitEnabling();
  EXPECT_FALSE(e.time_delay || e.wait_code);
}

TEST(PlanBuilder, OnWritesContactBareAndColoursQuoted) {
  PlanCommandBuilder b = Warehouse();
  EXPECT_EQ(Build(b, PlanPage::kOn), "  on(contact)\r\n  {\r\n\r\n  };\r\n");
  b.oncodecolor.Select(1);
  EXPECT_EQ(Build(b, PlanPage::kOn), "  on(\"Red\")\r\n  {\r\n\r\n  };\r\n");
  b.oncodecolor.text = "Contact";  // only the exact word is bare
  EXPECT_EQ(Build(b, PlanPage::kOn), "  on(\"Contact\")\r\n  {\r\n\r\n  };\r\n");
}

TEST(PlanBuilder, RebuildingReplacesRatherThanAccumulates) {
  PlanCommandBuilder b = Warehouse();
  const std::string first = Build(b, PlanPage::kAttack);
  EXPECT_EQ(Build(b, PlanPage::kAttack), first);
  EXPECT_EQ(Build(b, PlanPage::kAbort), "  abort;\r\n");
}

TEST(PlanBuilder, MenuItemsOpenTheirPages) {
  int on_items = 0;
  for (const PlanMenuItem& item : kPlanMenuItems) {
    if (item.page == PlanPage::kOn) ++on_items;
  }
  EXPECT_EQ(on_items, 2);
  EXPECT_EQ(kPlanMenuItems[13].caption, "&On(contact)");
  EXPECT_EQ(kPlanMenuItems[14].caption, "On(&code)");
  EXPECT_EQ(kPlanMenuItems.back().page, PlanPage::kContinue);
  EXPECT_EQ(kPlanPageCaptions[13], "On(contact/code)");
  EXPECT_EQ(kPlanPageCaptions[16], "Continue");
}

TEST(PlanBuilder, InsertAtCaretPlacesStatementAndCaret) {
  const std::string plan = "  abort;\r\n";
  PlanEdit at_start = InsertAtCaret(plan, 0, "X\r\n");
  EXPECT_EQ(at_start.text, "X\r\n  abort;\r\n");
  EXPECT_EQ(at_start.caret, 3u);

  PlanEdit at_end = InsertAtCaret(plan, plan.size(), "X\r\n");
  EXPECT_EQ(at_end.text, plan + "X\r\n");
  EXPECT_EQ(at_end.caret, plan.size() + 3);

  PlanEdit middle = InsertAtCaret(plan, 2, "ab");
  EXPECT_EQ(middle.text, "  ababort;\r\n");
  EXPECT_EQ(middle.caret, 4u);

  PlanEdit beyond = InsertAtCaret("ab", 99, "c");  // a caret past the end appends
  EXPECT_EQ(beyond.text, "abc");
  EXPECT_EQ(beyond.caret, 3u);

  PlanCommandBuilder b = Warehouse();
  b.page = PlanPage::kAbort;
  PlanEdit edit = b.InsertInto("", 0);
  EXPECT_EQ(edit.text, "  abort;\r\n");
  EXPECT_EQ(edit.caret, edit.text.size());
}

}  // namespace
}  // namespace vyr::editor
