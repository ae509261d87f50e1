// One-field edits: the record, the node that shows it and the one announcement with both values.
#include <gtest/gtest.h>

#include <vector>

#include "editor/document/mission_document.h"
#include "tests/editor_test_support.h"

namespace vyr::editor {
namespace {

using testing::BuildWarehouse;

class RecordEditTest : public ::testing::Test {
 protected:
  RecordEditTest() {
    BuildWarehouse(doc_);
    connection_ = doc_.edits().Connect([this](const RecordEdit& edit) { edits_.push_back(edit); });
  }
  MissionDocument doc_;
  std::vector<RecordEdit> edits_;
  Notifier<RecordEdit>::Connection connection_;
};

TEST_F(RecordEditTest, ANameChangesRecordAndNodeInOneAnnouncedEdit) {
  const ProjectTree& tree = doc_.tree();
  const struct {
    RecordRef record;
    Field field;
    NodeId node;
  } names[] = {{RecordRef::Location(1), Field::kLocName, tree.LocationNode(1)},
               {RecordRef::Area(0), Field::kAreaName, tree.AreaNode(0)},
               {RecordRef::Force(0), Field::kForceName, tree.ForceNode(0)},
               {RecordRef::Team(0, 0), Field::kTeamName, tree.TeamNode(0, 0)}};
  for (const auto& name : names) {
    ASSERT_TRUE(doc_.SetField(name.record, name.field, std::string("Renamed")));
    EXPECT_EQ(tree.node(name.node).text, "Renamed") << "field " << static_cast<int>(name.field);
    EXPECT_EQ(doc_.GetField(name.record, name.field), FieldValue(std::string("Renamed")));
  }
  edits_.clear();
  ASSERT_TRUE(doc_.SetField(RecordRef::Actor(0, 0, 1), Field::kNpcName, std::string("Sniper")));
  EXPECT_EQ(doc_.actor(0, 0, 1).npc_name, "Sniper");
  EXPECT_EQ(doc_.tree().node(doc_.tree().ActorNode(0, 0, 1)).text, "Sniper");
  ASSERT_EQ(edits_.size(), 1u);
  EXPECT_EQ(edits_[0].old_value, FieldValue(std::string("Bot")));
  EXPECT_EQ(edits_[0].new_value, FieldValue(std::string("Sniper")));
  EXPECT_EQ(edits_[0].record, RecordRef::Actor(0, 0, 1));

  // The same value again is no edit; a description changes no node.
  ASSERT_TRUE(doc_.SetField(RecordRef::Actor(0, 0, 1), Field::kNpcName, std::string("Sniper")));
  ASSERT_TRUE(doc_.SetField(RecordRef::Location(0), Field::kLocDesc, std::string("high")));
  EXPECT_EQ(doc_.tree().node(doc_.tree().LocationNode(0)).text, doc_.location(0).loc_name);
  EXPECT_EQ(edits_.size(), 2u);
}

TEST_F(RecordEditTest, AnOutcomeTypeRelabelsItsNodeButKeepsItsImage) {
  const NodeId node = doc_.tree().OutcomeNode(0);
  ASSERT_TRUE(doc_.SetField(RecordRef::Outcome(0), Field::kOutcomeType, std::string("failure")));
  EXPECT_EQ(doc_.tree().node(node).text, "Failure");
  EXPECT_EQ(doc_.tree().node(node).image, NodeImage::kPos);
  ASSERT_TRUE(doc_.SetField(RecordRef::Outcome(0), Field::kOutcomeType, std::string("Success")));
  EXPECT_EQ(doc_.tree().node(node).text, "Failure");  // only the exact word labels it "Success"
}

// Every field and element gets a value of its own; each then reads back its own value, so no two
// share storage. The record one past the last and the element past the last are refused.
TEST_F(RecordEditTest, EveryFieldAndElementHasStorageOfItsOwn) {
  const auto owner = [](Field field, int past) {
    if (field <= Field::kAnnotation) return RecordRef::Mission();
    if (field <= Field::kLocZ) return RecordRef::Location(past ? 2 : 1);
    if (field <= Field::kAreaRadius) return RecordRef::Area(past ? 1 : 0);
    if (field <= Field::kForceDesc) return RecordRef::Force(past ? 1 : 0);
    if (field <= Field::kPlan) return RecordRef::Team(0, past ? 1 : 0);
    if (field <= Field::kItem) return RecordRef::Actor(0, 0, past ? 2 : 1);
    return RecordRef::Outcome(past ? 1 : 0);
  };
  struct Slot {
    Field field;
    int element;
    FieldValue value;
  };
  std::vector<Slot> slots;
  for (int f = 0; f <= static_cast<int>(Field::kNextMission); ++f) {
    const Field field = static_cast<Field>(f);
    const int elements = field == Field::kWeapon ? 6 : field == Field::kAmmo || field == Field::kItem ? 5 : 1;
    for (int e = 0; e < elements; ++e) {
      const auto current = doc_.GetField(owner(field, 0), field, e);
      ASSERT_TRUE(current) << "field " << f << " element " << e;
      const int n = static_cast<int>(slots.size());
      FieldValue value = std::string("value ") + std::to_string(n);
      if (std::holds_alternative<Integer>(*current)) value = static_cast<Integer>(100 + n);
      if (std::holds_alternative<Single>(*current)) value = static_cast<Single>(n) + 0.5f;
      if (std::holds_alternative<bool>(*current)) value = n % 2 == 0;
      if (field == Field::kOutcomeType) value = std::string("failure");
      slots.push_back({field, e, value});
      EXPECT_TRUE(doc_.SetField(owner(field, 0), field, value, e)) << "field " << f << " element " << e;
      if (field > Field::kAnnotation) {
        EXPECT_FALSE(doc_.SetField(owner(field, 1), field, value, e)) << "field " << f << " past the last";
      }
    }
    EXPECT_FALSE(
        doc_.SetField(owner(field, 0), field, doc_.GetField(owner(field, 0), field).value(), elements))
        << "field " << f << " element " << elements;
  }
  for (const Slot& slot : slots) {
    EXPECT_EQ(doc_.GetField(owner(slot.field, 0), slot.field, slot.element), slot.value)
        << "field " << static_cast<int>(slot.field) << " element " << slot.element;
  }
  EXPECT_EQ(doc_.location(1).loc_y, std::get<Integer>(slots[9].value));  // the members behind the fields
  EXPECT_EQ(doc_.team(0, 0).team_desc, std::get<std::string>(slots[19].value));
  EXPECT_EQ(doc_.outcome(0).outcome_reason, std::get<std::string>(slots[slots.size() - 2].value));
  // Another kind's field or another type of value is refused and announces nothing.
  const std::size_t edits = edits_.size();
  EXPECT_FALSE(doc_.SetField(RecordRef::Location(1), Field::kAreaName, std::string("x")));
  EXPECT_FALSE(doc_.SetField(RecordRef::Location(1), Field::kLocX, std::string("3")));
  EXPECT_EQ(edits_.size(), edits);
}

}  // namespace
}  // namespace vyr::editor
