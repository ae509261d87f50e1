#include "editor/document/edit_history.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "editor/document/mission_document.h"
#include "editor/document/project_file.h"
#include "editor/document/section_files.h"
#include "tests/document/document_test_helpers.h"
#include "tests/editor_test_support.h"

namespace vyr::editor {
namespace {

using vyr::editor::testing::AddForces;
using vyr::editor::testing::BuildWarehouse;
using vyr::editor::testing::EventsText;
using vyr::editor::testing::Numbered;

// Everything an edit can change: MissionInfo and every record compared whole (the unused team and actor
// slots of a force left out), and every tree node in node-index order with its id, so a restore that
// renumbers or re-creates nodes shows up. Keys and the selection are left out; they have tests of their
// own. A force equal to the previous image's is shared with it, so a long run of images stays small.
struct Image {
  MissionInfo info;
  std::vector<LocationRecord> locations;
  std::vector<AreaRecord> areas;
  std::vector<std::shared_ptr<const ForceRecord>> forces;
  std::vector<OutcomeRecord> outcomes;
  std::string tree;

  bool operator==(const Image& other) const {
    return info == other.info && locations == other.locations && areas == other.areas &&
           outcomes == other.outcomes && tree == other.tree &&
           std::equal(forces.begin(), forces.end(), other.forces.begin(), other.forces.end(),
                      [](const auto& a, const auto& b) { return *a == *b; });
  }
};

Image ImageOf(const MissionDocument& doc, const Image* previous = nullptr) {
  Image image;
  image.info = doc.info;
  for (int i = 0; i < doc.location_count(); ++i)
    image.locations.push_back(doc.location(i));
  for (int i = 0; i < doc.area_count(); ++i)
    image.areas.push_back(doc.area(i));
  for (int f = 0; f < doc.force_count(); ++f) {
    auto force = std::make_shared<ForceRecord>(doc.force(f));
    for (int t = 0; t < kMaxTeams; ++t) {
      TeamRecord& team = force->teams[static_cast<std::size_t>(t)];
      if (t >= doc.team_count(f)) team = TeamRecord{};
      std::fill(team.actors.begin() + std::clamp<int>(team.actor_count, 0, kMaxActors), team.actors.end(),
                ActorRecord{});
    }
    const auto i = static_cast<std::size_t>(f);
    if (previous != nullptr && i < previous->forces.size() && *previous->forces[i] == *force) {
      image.forces.push_back(previous->forces[i]);
    } else {
      image.forces.push_back(std::move(force));
    }
  }
  for (int i = 0; i < doc.outcome_count(); ++i)
    image.outcomes.push_back(doc.outcome(i));
  std::ostringstream out;
  const ProjectTree& tree = doc.tree();
  for (int i = 1; i <= tree.node_count(); ++i) {
    const NodeId id = tree.NodeAt(i);
    const TreeNode& node = tree.node(id);
    out << "N" << id << ' ' << node.text << " b" << node.binding << " p" << tree.NodeIndex(node.parent)
        << '\n';
  }
  image.tree = out.str();
  return image;
}

// Keys are unique, and every open window's node carries "P" and its slot, and no other node does.
void ExpectSoundRegistry(const ProjectTree& tree) {
  std::set<std::string> keys;
  int p_keys = 0;
  for (int i = 1; i <= tree.node_count(); ++i) {
    const TreeNode& node = tree.node(tree.NodeAt(i));
    EXPECT_TRUE(keys.insert(node.key).second) << "duplicate key " << node.key;
    if (node.key[0] == 'P') ++p_keys;
  }
  int open = 0;
  for (int slot = 0; slot < WindowSlots::kSlotCount; ++slot) {
    if (!tree.window_slots().in_use(slot)) continue;
    ++open;
    ASSERT_TRUE(tree.Contains(tree.WindowNode(slot))) << "slot " << slot;
    std::string expected = "P";
    expected += std::to_string(slot);
    EXPECT_EQ(tree.node(tree.WindowNode(slot)).key, expected);
  }
  EXPECT_EQ(p_keys, open);
  EXPECT_EQ(tree.window_slots().used_count(), open);
}

NodeId RandomRecordNode(const MissionDocument& doc, std::mt19937& rng) {
  const ProjectTree& tree = doc.tree();
  const int count = tree.node_count();
  for (int tries = 0; tries < 8; ++tries) {
    const NodeId id = tree.NodeAt(std::uniform_int_distribution<int>(1, count)(rng));
    if (IsRecordImage(tree.node(id).image)) return id;
  }
  return kNoNode;
}

// One random edit, non-edit (a click, a window) or a merge break; structural edits go through Perform.
void RandomAction(MissionDocument& doc, EditHistory& history, std::mt19937& rng) {
  auto pick = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
  const NodeId node = RandomRecordNode(doc, rng);
  const NodeAddress at = doc.tree().AddressOf(node);
  switch (pick(16)) {
    case 0:
      history.Perform("Add location",
                      [&] { (void)doc.AddLocation(Numbered("loc", pick(100)), "", 1, 2, 3); });
      break;
    case 1:
      history.Perform("Add area", [&] { (void)doc.AddArea("area", "", "[none]", 0, "open"); });
      break;
    case 2:
      history.Perform("Add force", [&] { (void)doc.AddForce(Numbered("force", pick(100)), ""); });
      break;
    case 3:
      if (doc.force_count() > 0)
        history.Perform("Add team", [&] { (void)doc.AddTeam(pick(doc.force_count()), "team", "", "wait"); });
      break;
    case 4:
      if (at.image == NodeImage::kTeam)
        history.Perform("Add actor", [&] { (void)doc.AddActor(at.force, at.team, ActorRecord{}); });
      break;
    case 5:
      history.Perform("Add outcome",
                      [&] { (void)doc.AddOutcome("f", "m", "", pick(2) ? "success" : "failure", ""); });
      break;
    case 6:
      history.Perform("Delete", [&] {
        switch (at.image) {
          case NodeImage::kSubLocation:
            (void)doc.DeleteLocation(at.index);
            break;
          case NodeImage::kSubArea:
            (void)doc.DeleteArea(at.index);
            break;
          case NodeImage::kSubForce:
            (void)doc.DeleteForce(at.force);
            break;
          case NodeImage::kTeam:
            (void)doc.CutTeam(at.force, at.team);
            break;
          case NodeImage::kNpc:
            (void)doc.CutActor(at.force, at.team, at.index);
            break;
          default:
            (void)doc.DeleteOutcome(at.index);
            break;
        }
      });
      break;
    case 7:
      history.Perform("Paste", [&] {
        if (at.image == NodeImage::kSubForce) (void)doc.PasteTeam(at.force);
        if (at.image == NodeImage::kTeam) (void)doc.PasteActor(at.force, at.team);
      });
      break;
    case 8:
      if (pick(4) == 0) history.Perform("Clear", [&] { pick(2) ? doc.ClearLocations() : doc.ClearForces(); });
      break;
    case 9:
    case 10: {  // typing into a box of the record's window, letter by letter
      const std::string text = Numbered("name", pick(1000));
      const bool second = pick(2) == 1;  // the name box or another one
      for (std::size_t n = 1; n <= text.size(); ++n) {
        const std::string typed = text.substr(0, n);
        switch (at.image) {
          case NodeImage::kSubLocation:
            (void)doc.SetField(RecordRef::Location(at.index), second ? Field::kLocDesc : Field::kLocName,
                               typed);
            break;
          case NodeImage::kSubForce:
            (void)doc.SetField(RecordRef::Force(at.force), second ? Field::kForceDesc : Field::kForceName,
                               typed);
            break;
          case NodeImage::kTeam:
            (void)doc.SetField(RecordRef::Team(at.force, at.team), second ? Field::kTeamDesc : Field::kPlan,
                               typed);
            break;
          case NodeImage::kNpc:
            if (second) {
              (void)doc.SetField(RecordRef::Actor(at.force, at.team, at.index), Field::kNpcSkin, typed);
            } else {
              (void)doc.SetField(RecordRef::Actor(at.force, at.team, at.index), Field::kAmmo, Integer(n), 2);
            }
            break;
          case NodeImage::kSubArea:
            if (second) {
              (void)doc.SetField(RecordRef::Area(at.index), Field::kAreaDesc, typed);
            } else {
              (void)doc.SetField(RecordRef::Area(at.index), Field::kAreaRadius, Integer(n));
            }
            break;
          case NodeImage::kPos:
          case NodeImage::kNeg:
            (void)doc.SetField(RecordRef::Outcome(at.index), Field::kOutcomeMessage, typed);
            break;
          default:
            (void)doc.SetField(RecordRef::Mission(), second ? Field::kAuthor : Field::kMissionName, typed);
            break;
        }
      }
      break;
    }
    case 11:
      doc.SetAnnotation(doc.info.annotation + Numbered("\r\nnote", pick(10)));
      break;
    case 12:
      if (node != kNoNode) doc.MakeCurrent(node);
      break;
    case 13:
      if (node != kNoNode) (void)doc.tree().OpenWindow(node);
      break;
    case 14:
      doc.tree().CloseWindow(pick(WindowSlots::kSlotCount));
      break;
    default:
      history.CloseMerge();
      break;
  }
}

// Random edits; undo one step at a time back to the start, then redo to the end: after each step the
// document and tree are what they were after that step, and the window registry stays sound.
TEST(EditHistoryTest, RandomEditsUndoAndRedoThroughEveryStep) {
  for (unsigned seed : {1u, 2u, 3u, 4u, 5u, 6u}) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    MissionDocument doc;
    EditHistory history(doc, {100000, std::size_t{1} << 40});
    std::mt19937 rng(seed);
    std::vector<Image> images{ImageOf(doc)};
    for (int i = 0; i < 400; ++i) {
      RandomAction(doc, history, rng);
      Image image = ImageOf(doc, &images.back());
      images.resize(history.undo_count() + 1);
      images.back() = std::move(image);
      ASSERT_EQ(history.redo_count(), 0u);
    }
    ASSERT_GT(history.undo_count(), 50u);
    while (history.CanUndo()) {
      ASSERT_TRUE(history.Undo());
      ASSERT_TRUE(ImageOf(doc) == images[history.undo_count()])
          << "after undoing to step " << history.undo_count();
      ExpectSoundRegistry(doc.tree());
      if (rng() % 8 == 0) (void)doc.tree().OpenWindow(RandomRecordNode(doc, rng));
    }
    while (history.CanRedo()) {
      ASSERT_TRUE(history.Redo());
      ASSERT_TRUE(ImageOf(doc) == images[history.undo_count()])
          << "after redoing step " << history.undo_count();
      ExpectSoundRegistry(doc.tree());
    }
  }
}

TEST(EditHistoryTest, TypingInOneBoxIsOneStepUntilTheMergeCloses) {
  MissionDocument doc;
  EditHistory history(doc);
  history.Perform("Add location", [&] { (void)doc.AddLocation("Gate", "", 0, 0, 0); });
  const RecordRef gate = RecordRef::Location(0);
  for (const char* text : {"B", "Br", "Bridge"})
    (void)doc.SetField(gate, Field::kLocName, std::string(text));
  (void)doc.SetField(gate, Field::kLocX, Integer{5});  // another field: a step of its own
  (void)doc.SetField(gate, Field::kLocX, Integer{50});
  history.CloseMerge();
  (void)doc.SetField(gate, Field::kLocX, Integer{7});
  ASSERT_EQ(history.undo_count(), 4u);
  EXPECT_EQ(history.UndoLabel(), "Edit location x");

  ASSERT_TRUE(history.Undo());
  EXPECT_EQ(doc.location(0).loc_x, 50);
  ASSERT_TRUE(history.Undo());
  EXPECT_EQ(doc.location(0).loc_x, 0);
  EXPECT_EQ(history.UndoLabel(), "Rename location");
  ASSERT_TRUE(history.Undo());
  EXPECT_EQ(doc.location(0).loc_name, "Gate");
  EXPECT_EQ(doc.tree().node(doc.tree().LocationNode(0)).text, "Gate");
  EXPECT_EQ(history.RedoLabel(), "Rename location");
  ASSERT_TRUE(history.Redo());
  EXPECT_EQ(doc.tree().node(doc.tree().LocationNode(0)).text, "Bridge");

  // A new edit drops what could be redone; typing back to the start leaves no step.
  (void)doc.SetField(gate, Field::kLocDesc, std::string("x"));
  EXPECT_FALSE(history.CanRedo());
  (void)doc.SetField(gate, Field::kLocDesc, std::string());
  EXPECT_EQ(history.UndoLabel(), "Rename location");

  // A group is one step under its own label, apart from its neighbours; a field it edits twice goes
  // back to where the group began. Two groups in a row are two steps.
  (void)doc.SetField(gate, Field::kLocDesc, std::string("a"));
  for (const char* second : {"abc", "abcd"}) {
    EditHistory::Group group(history, "Insert plan command");
    (void)doc.SetField(gate, Field::kLocDesc, std::string(second).substr(0, 2));
    (void)doc.SetField(gate, Field::kLocZ, Integer{3});
    (void)doc.SetField(gate, Field::kLocDesc, std::string(second));
  }
  EXPECT_EQ(history.UndoLabel(), "Insert plan command");
  ASSERT_TRUE(history.Undo());
  EXPECT_EQ(doc.location(0).loc_desc, "abc");
  ASSERT_TRUE(history.Undo());
  EXPECT_EQ(doc.location(0).loc_desc, "a");
  EXPECT_EQ(doc.location(0).loc_z, 0);
  ASSERT_TRUE(history.Redo());
  EXPECT_EQ(doc.location(0).loc_desc, "abc");
  ASSERT_TRUE(history.Undo());

  // Typing after an undo starts a step of its own, even in the box the undone step edited.
  history.CloseMerge();
  (void)doc.SetField(gate, Field::kLocDesc, std::string("a2"));
  ASSERT_TRUE(history.Undo());
  (void)doc.SetField(gate, Field::kLocDesc, std::string("a3"));
  ASSERT_TRUE(history.Undo());
  EXPECT_EQ(doc.location(0).loc_desc, "a");

  // The missing "?" an area's lists get when a window first shows them is upkeep, not a step: what
  // could be redone stays.
  history.Perform("Add area", [&] { (void)doc.AddArea("Yard", "", "[none]", 0, "open"); });
  (void)doc.SetField(RecordRef::Area(0), Field::kAreaRadius, Integer{4});
  ASSERT_TRUE(history.Undo());
  (void)doc.SetField(RecordRef::Area(0), Field::kAreaStyle, std::string("open?"));
  (void)doc.SetField(RecordRef::Area(0), Field::kAreaLocations, std::string("[none]?"));
  EXPECT_EQ(history.UndoLabel(), "Add area");
  EXPECT_EQ(history.RedoLabel(), "Edit area radius");
  (void)doc.SetField(RecordRef::Area(0), Field::kAreaStyle, std::string("open?dark?"));  // an edit
  EXPECT_EQ(history.UndoLabel(), "Edit area style");
  ASSERT_TRUE(history.Undo());

  // The boxes of a repeated control are apart: two ammunition counts typed in turn are two steps.
  history.Perform("Add actor", [&] {
    (void)doc.AddForce("f", "");
    (void)doc.AddTeam(0, "t", "", "");
    (void)doc.AddActor(0, 0, ActorRecord{});
  });
  (void)doc.SetField(RecordRef::Actor(0, 0, 0), Field::kAmmo, Integer{5}, 1);
  (void)doc.SetField(RecordRef::Actor(0, 0, 0), Field::kAmmo, Integer{6}, 2);
  ASSERT_TRUE(history.Undo());
  EXPECT_EQ(doc.actor(0, 0, 0).ammo, (std::array<Integer, 5>{0, 5, 0, 0, 0}));

  // The annotation window sets the whole text; that is a step too.
  doc.SetAnnotation("line one\r\n");
  EXPECT_EQ(history.UndoLabel(), "Edit annotation");
  ASSERT_TRUE(history.Undo());
  EXPECT_EQ(doc.info.annotation, "");
}

TEST(EditHistoryTest, UndoRestoresSelectionWindowsAndIndices) {
  MissionDocument doc;
  EditHistory history(doc);
  for (const char* name : {"a", "b", "c"})
    history.Perform("Add location", [&] { (void)doc.AddLocation(name, "", 0, 0, 0); });
  ProjectTree& tree = doc.tree();
  const NodeId b = tree.LocationNode(1), c = tree.LocationNode(2);
  const int c_slot = tree.OpenWindow(c).slot;
  doc.MakeCurrent(b);
  std::vector<WindowEvent> events;
  auto connection = tree.window_events().Connect([&](const WindowEvent& e) { events.push_back(e); });

  history.Perform("Delete location", [&] { (void)doc.DeleteLocation(1); });
  EXPECT_EQ(tree.AddressOf(c).index, 1);
  doc.MakeCurrent(tree.LocationNode(0));  // a click after the step: undo goes back to where it began
  events.clear();
  ASSERT_TRUE(history.Undo());
  EXPECT_EQ(tree.selected(), b);
  EXPECT_EQ(doc.editing.current_location, 1);
  EXPECT_EQ(tree.AddressOf(c).index, 2);  // the open window's record is back at its index
  EXPECT_EQ(tree.WindowNode(c_slot), c);
  EXPECT_EQ(EventsText(events), Numbered("reindexed ", c_slot) + Numbered(" to ", tree.NodeIndex(c)));

  // A window on a record an undo removes closes, and its slot is free again.
  ASSERT_TRUE(history.Redo());
  history.Perform("Add location", [&] { (void)doc.AddLocation("d", "", 0, 0, 0); });
  const int d_slot = tree.OpenWindow(tree.LocationNode(2)).slot;
  events.clear();
  ASSERT_TRUE(history.Undo());
  EXPECT_EQ(EventsText(events), Numbered("closed ", d_slot));
  EXPECT_FALSE(tree.window_slots().in_use(d_slot));
  EXPECT_EQ(tree.WindowNode(c_slot), c);
  ExpectSoundRegistry(tree);

  // A window closed after a step was taken: its node no longer carries the old "P" key after an undo.
  ASSERT_TRUE(history.Undo());  // the location "b" is back
  tree.CloseWindow(c_slot);
  ASSERT_TRUE(history.Redo());
  ASSERT_TRUE(history.Undo());
  EXPECT_EQ(tree.node(c).key[0], 'U');
  ExpectSoundRegistry(tree);
}

TEST(EditHistoryTest, MemoryBoundDropsTheOldestSteps) {
  // Deleting full forces: each step holds the force it deleted (441 actors), so few fit in 400 KB.
  MissionDocument big;
  AddForces(big, 8, kMaxTeams, kMaxActors);
  std::vector<ForceRecord> forces(big.force_count());
  for (int f = 0; f < big.force_count(); ++f)
    forces[static_cast<std::size_t>(f)] = big.force(f);
  EditHistory bounded(big, {100, std::size_t{400} << 10});
  for (int f = 7; f >= 0; --f) {
    bounded.Perform("Delete force", [&] { (void)big.DeleteForce(f); });
    EXPECT_TRUE(bounded.bytes() <= bounded.limits().max_bytes || bounded.undo_count() == 1);
    EXPECT_EQ(bounded.undo_count() + bounded.dropped_steps(), static_cast<std::size_t>(8 - f));
  }
  const std::size_t kept = bounded.undo_count();
  EXPECT_LT(kept, 8u);
  EXPECT_GT(kept, 1u);
  while (bounded.Undo()) {
  }
  ASSERT_EQ(big.force_count(), static_cast<int>(kept));
  for (int f = 0; f < big.force_count(); ++f)
    EXPECT_TRUE(big.force(f) == forces[static_cast<std::size_t>(f)]) << "force " << f;
  bounded.Clear();
  EXPECT_EQ(bounded.dropped_steps(), 0u);
}

// The labels come oldest first for undo and next first for redo; past the step bound the oldest go.
TEST(EditHistoryTest, LabelsListTheKeptStepsInHistoryOrder) {
  MissionDocument doc;
  EditHistory history(doc, {3, std::size_t{64} << 20});
  for (const char* name : {"a", "b", "c", "d"})
    history.Perform(std::string("Add ") + name, [&] { (void)doc.AddLocation(name, "", 0, 0, 0); });
  using Labels = std::vector<std::string>;
  EXPECT_EQ(history.UndoLabels(), (Labels{"Add b", "Add c", "Add d"}));
  EXPECT_TRUE(history.RedoLabels().empty());
  history.Undo();
  history.Undo();
  EXPECT_EQ(history.UndoLabels(), Labels{"Add b"});
  EXPECT_EQ(history.RedoLabels(), (Labels{"Add c", "Add d"}));
  history.Redo();
  EXPECT_EQ(history.UndoLabels(), (Labels{"Add b", "Add c"}));
  EXPECT_EQ(history.RedoLabels(), Labels{"Add d"});
  history.Perform("Add e", [&] { (void)doc.AddLocation("e", "", 0, 0, 0); });
  EXPECT_EQ(history.UndoLabels(), (Labels{"Add b", "Add c", "Add e"}));
  EXPECT_TRUE(history.RedoLabels().empty());
  while (history.Undo()) {
  }
  ASSERT_EQ(doc.location_count(), 1);  // the dropped step's location stays
  EXPECT_EQ(doc.location(0).loc_name, "a");
}

TEST(EditHistoryTest, NewProjectAndLoadingStartANewHistory) {
  MissionDocument doc;
  EditHistory history(doc);
  history.Perform("Add force", [&] { (void)doc.AddForce("f", ""); });
  (void)doc.SetField(RecordRef::Force(0), Field::kForceName, std::string("g"));
  doc.SetProjectFile(FileNamePair{"saved.cme", "/tmp/"});  // what saving changes: no new history
  EXPECT_EQ(history.undo_count(), 2u);

  ASSERT_TRUE(history.Undo());
  doc.NewProject();  // nothing of the old project can be redone into the new one
  EXPECT_FALSE(history.CanUndo());
  EXPECT_FALSE(history.CanRedo());
  EXPECT_FALSE(history.Redo());
  history.Perform("Add force", [&] { (void)doc.AddForce("f", ""); });
  (void)doc.AddLocation("loaded", "", 0, 0, 0);  // records that came outside the history
  EXPECT_FALSE(history.CanUndo());
  EXPECT_FALSE(history.Undo());

  // Nothing changed: no step. A nested Perform joins the outer one.
  history.Perform("Delete location", [&] { (void)doc.DeleteLocation(7); });
  EXPECT_FALSE(history.CanUndo());
  history.Perform("Paste team", [&] {
    (void)doc.AddForce("f2", "");
    history.Perform("inner", [&] { (void)doc.AddTeam(1, "t", "", ""); });
  });
  EXPECT_EQ(history.undo_count(), 1u);
  EXPECT_EQ(history.UndoLabel(), "Paste team");

  // Undoing a step that changed the annotation tells whoever shows it.
  history.Perform("Import", [&] {
    doc.SetAnnotation("imported");
    (void)doc.AddForce("f3", "");
  });
  std::vector<DocumentChange> changes;
  auto connection = doc.changes().Connect([&](DocumentChange change) { changes.push_back(change); });
  ASSERT_TRUE(history.Undo());
  EXPECT_EQ(doc.info.annotation, "");
  EXPECT_NE(std::find(changes.begin(), changes.end(), DocumentChange::kMissionInfo), changes.end());
}

// Import other.moc, undo, save: the project's own outcomes go back to its own file, other.moc is untouched.
TEST(EditHistoryTest, UndoingASectionImportNamesTheSectionsFileAgain) {
  using namespace vyr::editor::testing;
  ScratchFolder folder;
  MissionDocument doc;
  BuildWarehouse(doc);
  ScriptedUi ui;
  RecordedRecent recent;
  for (const char* extension : {".cme", ".mlc", ".mar", ".mfr", ".moc"})
    ui.Answer(folder / (std::string("w") + extension));
  ASSERT_TRUE(SaveProject(doc, ui, recent));
  const std::string own = Slurp(folder / "w.moc");
  const std::string other = Lines(
      {"[VERSION 0.2]", "Red", "Too late", "", "failure", "timeout(60)", "Red", "Hold", "", "success", ""});
  Spit(folder / "other.moc", other);

  EditHistory history(doc);
  const auto import = [&] {
    history.Perform("Import outcomes",
                    [&] { ASSERT_TRUE(ReadSection(doc, Section::kOutcomes, folder / "other.moc")); });
  };
  import();
  EXPECT_EQ(doc.outcome_count(), 2);
  ASSERT_TRUE(history.Undo());
  EXPECT_EQ(doc.outcome_count(), 1);
  EXPECT_EQ(doc.section_file(Section::kOutcomes), SplitPath(folder / "w.moc"));
  EXPECT_EQ(doc.tree().node(doc.tree().category(Section::kOutcomes)).text, "Mission outcome (w.moc)");
  ASSERT_TRUE(SaveProject(doc, ui, recent));
  EXPECT_EQ(Slurp(folder / "other.moc"), other);
  EXPECT_EQ(Slurp(folder / "w.moc"), own);
  EXPECT_EQ(Slurp(folder / "w.cme").find("other.moc"), std::string::npos);

  ASSERT_TRUE(history.Redo());
  EXPECT_EQ(doc.section_file(Section::kOutcomes).name, "other.moc");
  EXPECT_EQ(doc.tree().node(doc.tree().category(Section::kOutcomes)).text, "Mission outcome (other.moc)");

  // A file chosen after the import stays chosen: undo takes back the import, not the author's save.
  ASSERT_TRUE(history.Undo());
  import();
  ASSERT_TRUE(ExportSection(doc, Section::kOutcomes, folder / "kept.moc"));
  ASSERT_TRUE(history.Undo());
  EXPECT_EQ(doc.outcome_count(), 1);
  EXPECT_EQ(doc.section_file(Section::kOutcomes).name, "kept.moc");
  EXPECT_EQ(doc.tree().node(doc.tree().category(Section::kOutcomes)).text, "Mission outcome (kept.moc)");
  // The next step starts from the names as they are now, not from older ones.
  history.Perform("Add location", [&] { ASSERT_TRUE(doc.AddLocation("well", "", 0, 0, 0)); });
  ASSERT_TRUE(history.Undo());
  EXPECT_EQ(doc.section_file(Section::kOutcomes).name, "kept.moc");
}

// A failed operation leaves the document as it found it (records, nodes and their ids) and no step;
// an inner transaction's rollback takes back only what the inner one changed.
TEST(EditHistoryTest, FailedOperationsRollBackWithoutAStep) {
  MissionDocument doc;
  BuildWarehouse(doc);
  EditHistory history(doc);
  history.Perform("Rename",
                  [&] { (void)doc.SetField(RecordRef::Location(0), Field::kLocName, std::string("x")); });
  const Image start = ImageOf(doc);

  EXPECT_THROW(history.Perform("Delete",
                               [&] {
                                 (void)doc.DeleteActor(0, 0, 0);
                                 (void)doc.SetField(RecordRef::Location(1), Field::kLocX, Integer(9));
                                 (void)doc.DeleteLocation(0);
                                 throw std::runtime_error("disk full");
                               }),
               std::runtime_error);
  EXPECT_TRUE(ImageOf(doc) == start);
  EXPECT_EQ(history.undo_count(), 1u);
  EXPECT_EQ(history.UndoLabel(), "Rename");

  const Status refused = history.Attempt("Paste team", [&] {
    (void)doc.AddForce("g", "");
    return doc.PasteTeam(1);  // nothing on the clipboard
  });
  EXPECT_FALSE(refused);
  EXPECT_TRUE(ImageOf(doc) == start);
  EXPECT_EQ(history.undo_count(), 1u);

  history.Perform("Both", [&] {
    (void)doc.DeleteActor(0, 0, 1);
    EditHistory::Transaction inner(history, "inner");
    (void)doc.DeleteForce(0);
    (void)doc.DeleteLocation(1);
  });  // the inner one was never committed
  EXPECT_EQ(doc.force_count(), 1);
  EXPECT_EQ(doc.actor_count(0, 0), 1);
  EXPECT_EQ(doc.location_count(), 2);
  ASSERT_EQ(history.undo_count(), 2u);
  EXPECT_EQ(history.UndoLabel(), "Both");
  ASSERT_TRUE(history.Undo());
  EXPECT_TRUE(ImageOf(doc) == start);
  ASSERT_TRUE(history.Redo());
  EXPECT_EQ(doc.actor_count(0, 0), 1);
}

// One step that changes several forces, and records before the run it already saved, undoes all of it.
TEST(EditHistoryTest, OneStepOverSeveralSpansUndoesThemAll) {
  MissionDocument doc;
  BuildWarehouse(doc);
  (void)doc.AddForce("g", "");
  (void)doc.AddTeam(1, "u", "", "");
  for (int i = 2; i < 8; ++i)
    (void)doc.AddLocation(Numbered("l", i), "", 0, 0, 0);
  EditHistory history(doc);
  const Image start = ImageOf(doc);
  history.Perform("Move actor", [&] {
    (void)doc.CutActor(0, 0, 0);
    (void)doc.PasteActor(1, 0);
  });
  history.Perform("Delete locations", [&] {
    (void)doc.DeleteLocation(6);
    (void)doc.DeleteLocation(2);
  });
  const Image end = ImageOf(doc);
  ASSERT_TRUE(history.Undo());
  ASSERT_TRUE(history.Undo());
  EXPECT_TRUE(ImageOf(doc) == start);
  ASSERT_TRUE(history.Redo());
  ASSERT_TRUE(history.Redo());
  EXPECT_TRUE(ImageOf(doc) == end);
}

// On a full mission a step holds what it changed: a deleted actor costs its force, not the mission.
TEST(EditHistoryTest, AStepCostsWhatItChanged) {
  MissionDocument doc;
  for (int i = 0; i < kMaxLocations; ++i)
    (void)doc.AddLocation(Numbered("location", i), "", 0, 0, 0);
  AddForces(doc, 10, kMaxTeams, kMaxActors);
  EditHistory history(doc);
  history.Perform("Delete actor", [&] { (void)doc.DeleteActor(5, 3, 3); });
  const std::size_t one_force = history.bytes();
  EXPECT_GT(one_force, kMaxTeams * kMaxActors * sizeof(ActorRecord));
  EXPECT_LT(one_force, 2 * kMaxTeams * kMaxActors * (sizeof(ActorRecord) + sizeof(TreeNode)));
  history.Perform("Delete location", [&] { (void)doc.DeleteLocation(kMaxLocations - 1); });
  EXPECT_LT(history.bytes() - one_force, std::size_t{4096});  // the last location, its node, the state
  history.Perform("Clear forces", [&] { doc.ClearForces(); });
  EXPECT_GT(history.bytes(), 9 * one_force);
}

// A copy made through the field table holds every field and element of every kind of record.
TEST(FieldTableTest, CopiesHoldEveryField) {
  MissionDocument doc;
  BuildWarehouse(doc);
  EditHistory history(doc);
  const std::vector<RecordRef> refs = {RecordRef::Mission(),  RecordRef::Location(1),    RecordRef::Force(0),
                                       RecordRef::Team(0, 0), RecordRef::Actor(0, 0, 1), RecordRef::Area(0),
                                       RecordRef::Outcome(0)};
  // Every field and element takes a value of its own.
  int n = 0;
  for (const FieldInfo& info : AllFields()) {
    const RecordRef& ref =
        *std::find_if(refs.begin(), refs.end(), [&](const RecordRef& r) { return r.kind == info.kind; });
    for (int e = 0; e < info.elements; ++e, ++n) {
      FieldValue value = doc.GetField(ref, info.field, e).value();
      if (auto* text = std::get_if<std::string>(&value)) *text = Numbered("v", n);
      if (auto* integer = std::get_if<Integer>(&value)) *integer = static_cast<Integer>(100 + n);
      if (auto* single = std::get_if<Single>(&value)) *single = 0.5f + static_cast<Single>(n);
      if (auto* flag = std::get_if<bool>(&value)) *flag = !*flag;
      ASSERT_TRUE(doc.SetField(ref, info.field, value, e)) << EditLabel(info.field) << " element " << e;
    }
  }

  auto round_trip = [](const auto& record) {
    std::remove_cvref_t<decltype(record)> copy{};
    LoadFields(copy, SaveFields(record));
    return copy;
  };
  EXPECT_EQ(round_trip(doc.info), doc.info);
  EXPECT_EQ(round_trip(doc.location(1)), doc.location(1));
  EXPECT_EQ(round_trip(doc.area(0)), doc.area(0));
  EXPECT_EQ(round_trip(doc.actor(0, 0, 1)), doc.actor(0, 0, 1));
  EXPECT_EQ(round_trip(doc.outcome(0)), doc.outcome(0));
  TeamRecord team = round_trip(doc.team(0, 0));
  EXPECT_EQ(team.team_name, doc.team(0, 0).team_name);
  EXPECT_EQ(team.team_desc, doc.team(0, 0).team_desc);
  EXPECT_EQ(team.plan, doc.team(0, 0).plan);

  // A step that deletes and undoes the force brings every one of those values back.
  const ForceRecord force = doc.force(0);
  history.Perform("Delete force", [&] { (void)doc.DeleteForce(0); });
  ASSERT_TRUE(history.Undo());
  EXPECT_TRUE(doc.force(0) == force);
}

}  // namespace
}  // namespace vyr::editor
