#include "editor/document/project_tree.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "editor/document/mission_document.h"
#include "tests/document/document_test_helpers.h"
#include "tests/editor_test_support.h"

namespace vyr::editor {
namespace {

using vyr::editor::testing::AddForces;
using vyr::editor::testing::EventsText;
using vyr::editor::testing::Numbered;

std::vector<std::string> Texts(const ProjectTree& tree) {
  std::vector<std::string> texts;
  for (int i = 1; i <= tree.node_count(); ++i)
    texts.push_back(tree.node(tree.NodeAt(i)).text);
  return texts;
}

std::vector<int> ChildBindings(const ProjectTree& tree, NodeId parent) {
  std::vector<int> bindings;
  for (NodeId child : tree.node(parent).children)
    bindings.push_back(tree.node(child).binding);
  return bindings;
}

// That a model following the notifications stays in step is the tree model's test (Qt's model tester).
TEST(ProjectTree, NewTreeHasTheFiveFixedNodes) {
  MissionDocument doc;
  const ProjectTree& tree = doc.tree();
  ASSERT_EQ(tree.node_count(), 5);
  EXPECT_EQ(Texts(tree), (std::vector<std::string>{"VYR (unnamed)", "Locations (unnamed)", "Areas (unnamed)",
                                                   "Forces (unnamed)", "Mission outcome (unnamed)"}));
  const char* keys[] = {"root", "location", "area", "force", "outcome"};
  for (int i = 1; i <= 5; ++i) {
    const TreeNode& node = tree.node(tree.NodeAt(i));
    EXPECT_EQ(node.key, keys[i - 1]);
    EXPECT_EQ(ImageKey(node.image), keys[i - 1]);
    EXPECT_TRUE(node.bold);
    EXPECT_TRUE(node.expanded);
    EXPECT_EQ(node.parent, i == 1 ? kNoNode : tree.root());
  }
  EXPECT_EQ(tree.selected(), tree.root());
  EXPECT_EQ(tree.NodeAt(6), kNoNode);
}

TEST(ProjectTree, RecordNodesTakeUniqueKeysAndBindings) {
  MissionDocument doc;
  for (int i = 0; i < 3; ++i)
    ASSERT_TRUE(doc.AddLocation(Numbered("loc", i), "", 0, 0, 0));
  const ProjectTree& tree = doc.tree();
  const NodeId category = tree.category(Section::kLocations);
  ASSERT_EQ(tree.node(category).children.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(tree.node(tree.LocationNode(i)).key, Numbered("U", i));
    EXPECT_EQ(tree.node(tree.LocationNode(i)).binding, i);
  }
  EXPECT_EQ(tree.selected(), tree.LocationNode(2));

  ASSERT_TRUE(doc.DeleteLocation(0));
  EXPECT_EQ(ChildBindings(tree, category), (std::vector<int>{0, 1}));
  EXPECT_EQ(tree.node(tree.LocationNode(0)).key, "U1");
  EXPECT_EQ(tree.node(tree.LocationNode(1)).key, "U2");
  ASSERT_TRUE(doc.AddLocation("loc3", "", 0, 0, 0));
  EXPECT_EQ(tree.node(tree.LocationNode(2)).key, "U3") << "keys are never reused";
}

// Node indices follow creation, not display order: checked against a plain list after random edits.
TEST(ProjectTree, NodeIndicesStayExactUnderRandomEdits) {
  MissionDocument doc;
  std::mt19937 random(7);
  for (int step = 0; step < 3000; ++step) {
    const int choice = static_cast<int>(random() % 10);
    const int forces = doc.force_count();
    if (choice < 2 || forces == 0) {
      (void)doc.AddForce("f", "");
    } else if (choice < 4) {
      (void)doc.AddTeam(static_cast<int>(random() % forces), "t", "", "");
    } else if (choice < 7) {
      const int f = static_cast<int>(random() % forces);
      if (doc.team_count(f) > 0) (void)doc.AddActor(f, static_cast<int>(random() % doc.team_count(f)), {});
    } else if (choice < 9) {
      const int f = static_cast<int>(random() % forces);
      const int t = doc.team_count(f) > 0 ? static_cast<int>(random() % doc.team_count(f)) : 0;
      if (doc.actor_count(f, t) > 0)
        (void)doc.DeleteActor(f, t, static_cast<int>(random() % doc.actor_count(f, t)));
      else if (doc.team_count(f) > 0)
        (void)doc.DeleteTeam(f, t);
    } else {
      (void)doc.DeleteForce(static_cast<int>(random() % forces));
    }
  }
  const ProjectTree& tree = doc.tree();
  // Creation order is NodeId order; node indices must count the live nodes before each one.
  std::vector<NodeId> live;
  for (NodeId id = 0; id < 100000 && static_cast<int>(live.size()) < tree.node_count(); ++id) {
    if (tree.Contains(id)) live.push_back(id);
  }
  ASSERT_EQ(static_cast<int>(live.size()), tree.node_count());
  for (std::size_t i = 0; i < live.size(); ++i) {
    ASSERT_EQ(tree.NodeIndex(live[i]), static_cast<int>(i) + 1);
    ASSERT_EQ(tree.NodeAt(static_cast<int>(i) + 1), live[i]);
  }
  EXPECT_EQ(tree.NodeIndex(kNoNode), 0);
  // Every team node leads back to its record, and holds one node per actor.
  for (int f = 0; f < doc.force_count(); ++f) {
    for (int t = 0; t < doc.team_count(f); ++t) {
      const NodeAddress address = tree.AddressOf(tree.TeamNode(f, t));
      ASSERT_EQ(std::make_pair(address.force, address.team), std::make_pair(f, t));
      ASSERT_EQ(static_cast<int>(tree.node(tree.TeamNode(f, t)).children.size()), doc.actor_count(f, t));
    }
  }
}

TEST(ProjectTree, RenumberingStaysUnderTheSameParent) {
  MissionDocument doc;
  AddForces(doc, 2, 2, 3);
  const ProjectTree& tree = doc.tree();
  ASSERT_TRUE(doc.DeleteTeam(0, 0));
  EXPECT_EQ(ChildBindings(tree, tree.ForceNode(0)), (std::vector<int>{0}));
  EXPECT_EQ(ChildBindings(tree, tree.ForceNode(1)), (std::vector<int>{0, 1}));
  EXPECT_EQ(tree.node(tree.TeamNode(0, 0)).text, "team1");

  ASSERT_TRUE(doc.DeleteActor(1, 0, 0));
  EXPECT_EQ(ChildBindings(tree, tree.TeamNode(1, 0)), (std::vector<int>{0, 1}));
  EXPECT_EQ(ChildBindings(tree, tree.TeamNode(1, 1)), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(ChildBindings(tree, tree.TeamNode(0, 0)), (std::vector<int>{0, 1, 2}));

  const NodeAddress actor = tree.AddressOf(tree.ActorNode(1, 1, 2));
  EXPECT_EQ(actor.image, NodeImage::kNpc);
  EXPECT_EQ(actor.index, 2);
}

TEST(ProjectTree, SuccessAndFailureOutcomesRenumberTogether) {
  MissionDocument doc;
  ASSERT_TRUE(doc.AddOutcome("Blue", "won", "", "success", "time 10"));
  ASSERT_TRUE(doc.AddOutcome("Red", "lost", "", "failure", ""));
  ASSERT_TRUE(doc.AddOutcome("Red", "odd", "", "Success", ""));  // only exact "success" reads as success
  const ProjectTree& tree = doc.tree();
  EXPECT_EQ(tree.node(tree.OutcomeNode(0)).image, NodeImage::kPos);
  EXPECT_EQ(tree.node(tree.OutcomeNode(0)).text, "Success");
  EXPECT_EQ(tree.node(tree.OutcomeNode(1)).image, NodeImage::kNeg);
  EXPECT_EQ(tree.node(tree.OutcomeNode(2)).text, "Failure");
  ASSERT_TRUE(doc.DeleteOutcome(0));
  EXPECT_EQ(ChildBindings(tree, tree.category(Section::kOutcomes)), (std::vector<int>{0, 1}));
  EXPECT_EQ(doc.outcome(0).outcome_message, "lost");
}

TEST(ProjectTree, SearchByNameIgnoresCaseInTheEightBitCodePage) {
  MissionDocument doc;
  ASSERT_TRUE(doc.AddLocation("Gate", "", 0, 0, 0));
  ASSERT_TRUE(doc.AddLocation("\xC4RGER \x8A\x8C\x8E\x9F", "", 0, 0, 0));  // ÄRGER ŠŒŽŸ
  ASSERT_TRUE(doc.AddForce("gate", ""));
  ASSERT_TRUE(doc.AddLocation("x\xD7y", "", 0, 0, 0));  // the multiplication sign has no lower case
  const ProjectTree& tree = doc.tree();
  EXPECT_EQ(doc.SearchByName("GATE"), tree.LocationNode(0)) << "the first in node-index order";
  EXPECT_EQ(doc.SearchByName("\xE4rger \x9A\x9C\x9E\xFF"), tree.LocationNode(1));
  EXPECT_EQ(doc.SearchByName("x\xF7y"), kNoNode);
  EXPECT_EQ(doc.SearchByName("gat"), kNoNode);
  EXPECT_EQ(doc.SearchByName("locations (UNNAMED)"), tree.category(Section::kLocations));
  ASSERT_TRUE(doc.DeleteLocation(0));
  EXPECT_EQ(doc.SearchByName("Gate"), tree.ForceNode(0));
}

TEST(ProjectTree, WindowSlotsAreAStackOfFreedSlots) {
  WindowSlots slots;
  for (int i = 0; i < WindowSlots::kSlotCount; ++i)
    ASSERT_EQ(slots.Take(), i);
  EXPECT_EQ(slots.Take(), std::nullopt) << "all 51 slots taken";
  slots.Release(7);
  slots.Release(3);
  slots.Release(3);   // a second release of a free slot changes nothing
  slots.Release(51);  // nor does a slot outside the table
  slots.Release(-1);
  EXPECT_EQ(slots.Take(), 3);
  EXPECT_EQ(slots.Take(), 7);
  EXPECT_EQ(slots.Take(), std::nullopt);
}

TEST(ProjectTree, OpeningAndClosingWindowsRekeysNodes) {
  MissionDocument doc;
  ASSERT_TRUE(doc.AddLocation("a", "", 0, 0, 0));  // U0
  ASSERT_TRUE(doc.AddLocation("b", "", 0, 0, 0));  // U1
  ProjectTree& tree = doc.tree();
  const NodeId a = tree.LocationNode(0);
  const NodeId b = tree.LocationNode(1);

  EXPECT_EQ(tree.OpenWindow(tree.category(Section::kLocations)).result, WindowOpen::kNoWindow)
      << "category nodes have no window";
  EXPECT_EQ(tree.OpenWindow(kNoNode).result, WindowOpen::kNoWindow);
  ASSERT_EQ(tree.OpenWindow(tree.root()).slot, 0);
  EXPECT_EQ(tree.node(tree.root()).key, "P0");
  const auto first = tree.OpenWindow(a);
  ASSERT_EQ(first.result, WindowOpen::kOpened);
  EXPECT_EQ(tree.node(a).key, "P1");
  EXPECT_EQ(tree.WindowNodeIndex(first.slot), 6);
  const auto again = tree.OpenWindow(a);
  ASSERT_EQ(again.result, WindowOpen::kAlreadyOpen);
  EXPECT_EQ(again.slot, 1);

  tree.CloseWindow(1);
  EXPECT_EQ(tree.node(a).key, "U2");
  tree.CloseWindow(1);  // closing twice neither re-keys nor frees anything
  EXPECT_EQ(tree.node(a).key, "U2");
  EXPECT_EQ(tree.unique_key_counter(), 3u);
  EXPECT_EQ(tree.OpenWindow(b).slot, 1) << "the slot freed last is taken first";
  EXPECT_EQ(tree.OpenWindow(a).slot, 2);
  tree.CloseWindow(0);
  EXPECT_EQ(tree.node(tree.root()).key, "U3");

  // 51 windows at most; a refused node keeps its key, and an open window is still found.
  for (int i = 2; i < 53; ++i)
    ASSERT_TRUE(doc.AddLocation("l", "", 0, 0, 0));
  for (int i = 2; i < 51; ++i)
    ASSERT_TRUE(tree.OpenWindow(tree.LocationNode(i)));
  const WindowOpening refused = tree.OpenWindow(tree.LocationNode(52));
  EXPECT_EQ(refused.result, WindowOpen::kNoFreeSlot)
      << "a full registry is told apart from a node without window";
  EXPECT_FALSE(refused);
  EXPECT_EQ(tree.node(tree.LocationNode(52)).key[0], 'U');
  EXPECT_TRUE(tree.OpenWindow(tree.LocationNode(50)).already_open());
}

TEST(ProjectTree, RemovalsCloseWindowsAndTellTheOthersTheirNewIndex) {
  MissionDocument doc;
  ASSERT_TRUE(doc.AddLocation("a", "", 0, 0, 0));
  ASSERT_TRUE(doc.AddLocation("b", "", 0, 0, 0));
  ASSERT_TRUE(doc.AddLocation("c", "", 0, 0, 0));
  ASSERT_TRUE(doc.AddForce("Blue", ""));
  ASSERT_TRUE(doc.AddTeam(0, "Alpha", "", ""));
  ASSERT_TRUE(doc.AddActor(0, 0, ActorRecord{}));
  ProjectTree& tree = doc.tree();
  std::vector<WindowEvent> events;
  auto connection = tree.window_events().Connect([&](const WindowEvent& e) { events.push_back(e); });

  const int c_slot = tree.OpenWindow(tree.LocationNode(2)).slot;
  const int team_slot = tree.OpenWindow(tree.TeamNode(0, 0)).slot;
  const int actor_slot = tree.OpenWindow(tree.ActorNode(0, 0, 0)).slot;
  const int a_slot = tree.OpenWindow(tree.LocationNode(0)).slot;
  EXPECT_EQ(tree.WindowNodeIndex(c_slot), 8);

  // The removed node's window closes; every window below it is told its new index once.
  ASSERT_TRUE(doc.DeleteLocation(0));
  EXPECT_EQ(EventsText(events), "closed 3; reindexed 0 to 7; reindexed 1 to 9; reindexed 2 to 10");
  EXPECT_FALSE(tree.window_slots().in_use(a_slot));
  EXPECT_EQ(tree.WindowNodeIndex(c_slot), 7);
  EXPECT_EQ(tree.AddressOf(tree.WindowNode(c_slot)).index, 1) << "the window still finds its record";

  events.clear();
  ASSERT_TRUE(doc.DeleteForce(0));
  EXPECT_EQ(EventsText(events), "closed 2; closed 1");  // the actor's window, then its team's
  EXPECT_FALSE(tree.window_slots().in_use(team_slot));
  EXPECT_FALSE(tree.window_slots().in_use(actor_slot));
  EXPECT_TRUE(tree.window_slots().in_use(c_slot));
  EXPECT_EQ(tree.node_count(), 7);

  events.clear();
  doc.NewProject();
  EXPECT_EQ(EventsText(events), Numbered("closed ", c_slot));
  EXPECT_EQ(tree.window_slots().free_head(), 0);
  ASSERT_TRUE(doc.AddLocation("fresh", "", 0, 0, 0));
  EXPECT_EQ(tree.node(tree.LocationNode(0)).key, "U0");
}

TEST(ProjectTree, SelectionFollowsAddsDeletesAndPaste) {
  MissionDocument doc;
  ProjectTree& tree = doc.tree();
  ASSERT_TRUE(doc.AddForce("Blue", ""));
  const NodeId force = tree.ForceNode(0);
  EXPECT_EQ(tree.selected(), force);
  ASSERT_TRUE(doc.AddTeam(0, "Alpha", "", ""));
  EXPECT_EQ(tree.selected(), force) << "adding a team leaves the force selected";
  EXPECT_EQ(tree.last_added(), tree.TeamNode(0, 0));
  ASSERT_TRUE(doc.AddActor(0, 0, ActorRecord{}));
  ASSERT_TRUE(doc.CopyTeam(0, 0));

  std::vector<NodeId> selections;
  auto connection = tree.changes().Connect([&](const TreeEvent& e) {
    if (e.change == TreeChange::kSelection) selections.push_back(e.node);
  });
  ASSERT_TRUE(doc.PasteTeam(0));
  EXPECT_EQ(selections, std::vector<NodeId>{force}) << "a paste is one batch, ending on the force";
  EXPECT_EQ(tree.last_added(), tree.ActorNode(0, 1, 0));

  tree.Select(tree.TeamNode(0, 1));
  ASSERT_TRUE(doc.DeleteTeam(0, 1));
  EXPECT_EQ(tree.selected(), force) << "a deleted selected node hands the selection to its parent";
  EXPECT_EQ(tree.last_added(), kNoNode);
  ASSERT_TRUE(doc.DeleteForce(0));
  EXPECT_EQ(tree.selected(), tree.category(Section::kForces));
  tree.Select(12345);
  EXPECT_EQ(tree.selected(), kNoNode);
}

// The changes an observer sees during `operation`, in order.
template <typename Operation>
std::vector<TreeChange> ChangesDuring(ProjectTree& tree, Operation operation) {
  std::vector<TreeChange> changes;
  auto connection = tree.changes().Connect([&](const TreeEvent& e) { changes.push_back(e.change); });
  operation();
  return changes;
}

TEST(ProjectTree, BulkChangesReachObserversAsOneReset) {
  MissionDocument doc;
  ProjectTree& tree = doc.tree();
  AddForces(doc, 3, 3, 3);
  ASSERT_TRUE(doc.CopyTeam(0, 0));
  const std::vector<TreeChange> one_reset = {TreeChange::kAboutToReset, TreeChange::kReset,
                                             TreeChange::kSelection};
  EXPECT_EQ(ChangesDuring(tree, [&] { ASSERT_TRUE(doc.PasteTeam(1)); }), one_reset);
  EXPECT_EQ(tree.selected(), tree.ForceNode(1));
  EXPECT_EQ(ChangesDuring(tree, [&] { ASSERT_TRUE(doc.DeleteForce(0)); }), one_reset);
  EXPECT_EQ(tree.selected(), tree.category(Section::kForces));

  // Nested batches end once; a refused paste changes nothing and says nothing.
  EXPECT_EQ(ChangesDuring(tree,
                          [&] {
                            ProjectTree::Batch outer(tree);
                            doc.ClearForces();
                            ASSERT_TRUE(doc.AddForce("lone", ""));
                          }),
            one_reset);
  EXPECT_TRUE(ChangesDuring(tree, [&] { EXPECT_FALSE(doc.PasteTeam(5)); }).empty());

  // Single records stay fine-grained, an empty force included.
  EXPECT_EQ(ChangesDuring(tree, [&] { ASSERT_TRUE(doc.DeleteForce(0)); }),
            (std::vector<TreeChange>{TreeChange::kSelection, TreeChange::kAboutToRemove, TreeChange::kRemoved,
                                     TreeChange::kSelection}));
  EXPECT_EQ(ChangesDuring(tree, [&] { doc.NewProject(); }), one_reset);
}

TEST(ProjectTree, KeysKeepCountingPastSixteenBits) {
  MissionDocument doc;
  AddForces(doc, 80, 20, 20);
  const ProjectTree& tree = doc.tree();
  EXPECT_EQ(tree.node(tree.ActorNode(79, 19, 19)).key, "U33679");
  EXPECT_EQ(tree.NodeIndex(tree.ActorNode(79, 19, 19)), 33685);
}

}  // namespace
}  // namespace vyr::editor
