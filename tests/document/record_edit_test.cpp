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
  ASSERT_TRUE(doc_.SetField(RecordRef::Actor(0, 0, 1), Field::kNpcName, std::string("Sniper")));
  EXPECT_EQ(doc_.actor(0, 0, 1).npc_name, "Sniper");
  EXPECT_EQ(doc_.tree().node(doc_.tree().ActorNode(0, 0, 1)).text, "Sniper");
  ASSERT_EQ(edits_.size(), 1u);
  EXPECT_EQ(edits_[0].old_value, FieldValue(std::string("Bot")));
  EXPECT_EQ(edits_[0].new_value, FieldValue(std::string("Sniper")));
  EXPECT_EQ(edits_[0].record, RecordRef::Actor(0, 0, 1));

  // The same value again is no edit; a description changes no node.
  ASSERT_TRUE(doc_.SetField(RecordRef::Actor(0, 0, 1), Field::kNpcName, std::string("Sniper")));
  ASSERT_TRUE(doc_.SetField(RecordRef::Location(1), Field::kLocDesc, std::string("high")));
  EXPECT_EQ(doc_.tree().node(doc_.tree().LocationNode(1)).text, "tower");
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

TEST_F(RecordEditTest, ElementsTypesAndMissingRecordsAreChecked) {
  ASSERT_TRUE(doc_.SetField(RecordRef::Actor(0, 0, 1), Field::kWeapon, true, 5));
  ASSERT_TRUE(doc_.SetField(RecordRef::Actor(0, 0, 1), Field::kAmmo, Integer{-7}, 4));
  EXPECT_TRUE(doc_.actor(0, 0, 1).weapon[5]);
  EXPECT_EQ(doc_.actor(0, 0, 1).ammo[4], -7);
  EXPECT_EQ(doc_.GetField(RecordRef::Actor(0, 0, 1), Field::kAmmo, 4), FieldValue(Integer{-7}));

  EXPECT_FALSE(doc_.SetField(RecordRef::Actor(0, 0, 1), Field::kWeapon, true, 6));
  EXPECT_FALSE(doc_.SetField(RecordRef::Actor(0, 0, 1), Field::kNpcName, std::string("x"), 1));
  EXPECT_FALSE(doc_.SetField(RecordRef::Actor(0, 0, 2), Field::kNpcName, std::string("x")));
  EXPECT_FALSE(doc_.SetField(RecordRef::Location(0), Field::kAreaName, std::string("x")));
  EXPECT_FALSE(doc_.SetField(RecordRef::Location(0), Field::kLocX, std::string("3")));
  EXPECT_EQ(edits_.size(), 2u);
}

}  // namespace
}  // namespace vyr::editor
