#include "editor/shell/project_tree_model.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QFont>
#include <QSignalSpy>
#include <random>

#include "editor/document/project_file.h"
#include "editor/document/section_files.h"
#include "platform/codepage.h"
#include "tests/editor_test_support.h"

namespace vyr::gui {
namespace {

using namespace vyr::editor;
using vyr::editor::testing::BuildWarehouse;
using vyr::editor::testing::Numbered;
using vyr::editor::testing::ScratchFolder;

// Turns the model tester's complaints (warnings in "qt.modeltest") into test failures.
class ModelTestFailures {
 public:
  ModelTestFailures() { previous_ = qInstallMessageHandler(&Handle); }
  ~ModelTestFailures() { qInstallMessageHandler(previous_); }

 private:
  static void Handle(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtDebugMsg && QByteArray(context.category) == "qt.modeltest")
      ADD_FAILURE() << message.toStdString();
  }
  QtMessageHandler previous_ = nullptr;
};

// Every node reachable through the model, with its text, against the tree's own node count.
int CheckMirror(const ProjectTreeModel& model, const QModelIndex& parent) {
  int count = 0;
  for (int row = 0; row < model.rowCount(parent); ++row) {
    const QModelIndex index = model.index(row, 0, parent);
    const TreeNode& node = model.tree().node(ProjectTreeModel::NodeOf(index));
    const std::u16string text = platform::Cp1252ToUtf16(node.text);
    EXPECT_EQ(index.data().toString(), QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())));
    EXPECT_EQ(model.IndexOf(ProjectTreeModel::NodeOf(index)), index);
    count += 1 + CheckMirror(model, index);
  }
  return count;
}

TEST(ProjectTreeModel, StaysConsistentUnderRandomEdits) {
  ModelTestFailures failures;
  ScratchFolder folder;
  vyr::editor::testing::RecordedRecent recent;
  MissionDocument doc;
  ProjectTreeModel model(doc.tree());
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);

  // A saved project and forces file to load in between.
  BuildWarehouse(doc);
  for (Section section : kAllSections)
    ASSERT_TRUE(ExportSection(doc, section, folder / Numbered("w", static_cast<int>(section))));
  vyr::editor::testing::ScriptedUi ui;
  ASSERT_TRUE(WriteProject(doc, ui, recent, folder / "w.cme"));

  std::mt19937 random(7);
  const auto pick = [&](int count) { return static_cast<int>(random() % static_cast<unsigned>(count)); };
  for (int step = 0; step < 600; ++step) {
    const int forces = doc.force_count();
    const int force = forces > 0 ? pick(forces) : 0;
    const int teams = doc.team_count(force);
    const int team = teams > 0 ? pick(teams) : 0;
    switch (pick(20)) {
      case 0:
        (void)doc.AddLocation(Numbered("loc", step), "", 0, 0, 0);
        (void)doc.AddOutcome("", "", "", step % 2 == 0 ? "success" : "failure", "");
        break;
      case 1:
        (void)doc.AddForce(Numbered("force", step), "");
        break;
      case 2:
      case 3:
      case 4:
        (void)doc.AddTeam(force, Numbered("team", step), "", "");
        break;
      default: {
        ActorRecord actor;
        actor.npc_name = "\x80" + Numbered("actor", step);
        (void)doc.AddActor(force, team, actor);
        break;
      }
      case 7:
        (void)doc.DeleteActor(force, team, pick(std::max(doc.actor_count(force, team), 1)));
        break;
      case 8:
        (void)doc.DeleteTeam(force, team);
        break;
      case 9:
        if (pick(3) == 0) (void)doc.DeleteForce(force);
        break;
      case 10:
        (void)doc.DeleteLocation(0);
        (void)doc.DeleteOutcome(doc.outcome_count() - 1);
        break;
      case 11:
        (void)doc.CopyTeam(force, team);
        (void)doc.PasteTeam(forces > 0 ? pick(forces) : 0);
        break;
      case 12:
        (void)doc.CutActor(force, team, 0);
        (void)doc.PasteActor(force, teams > 0 ? pick(teams) : 0);
        break;
      case 13:
        if (pick(6) == 0) pick(2) == 0 ? doc.ClearForces() : doc.ClearLocations();
        break;
      case 14:
        doc.tree().SetText(doc.tree().NodeAt(1 + pick(doc.tree().node_count())), Numbered("renamed", step));
        break;
    }
    if (step == 250) {
      ASSERT_TRUE(LoadProject(doc, recent, folder / "w.cme"));
    } else if (step == 450) {
      ASSERT_TRUE(ReadSection(doc, Section::kForces, folder / "w2"));
    }
    if (step % 100 == 99) {
      EXPECT_EQ(CheckMirror(model, QModelIndex()), doc.tree().node_count());
    }
  }
}

TEST(ProjectTreeModel, ShowsTextsInTheCodePageAndFixedNodesBold) {
  MissionDocument doc;
  ASSERT_TRUE(doc.AddLocation("Caf\xE9 \x80\x81", "", 0, 0, 0));
  ProjectTreeModel model(doc.tree());
  const QModelIndex root = model.index(0, 0);
  EXPECT_EQ(root.data().toString(), "VYR (unnamed)");
  EXPECT_TRUE(root.data(Qt::FontRole).value<QFont>().bold());
  EXPECT_EQ(model.rowCount(root), 4);
  const QModelIndex location = model.IndexOf(doc.tree().LocationNode(0));
  EXPECT_EQ(location.parent(), model.index(0, 0, root));
  EXPECT_EQ(location.data().toString(), QString::fromUtf8("Caf\u00E9 \u20AC\u0081"));
  EXPECT_FALSE(location.data(Qt::FontRole).isValid());
  EXPECT_FALSE(model.IndexOf(kNoNode).isValid());
  EXPECT_EQ(model.index(1, 0).isValid(), false) << "one top-level row: the root";
}

TEST(ProjectTreeModel, ReadingAForcesFileIsOneResetAndAnAddIsOneRow) {
  ScratchFolder folder;
  MissionDocument doc;
  for (int f = 0; f < 30; ++f) {
    ASSERT_TRUE(doc.AddForce(Numbered("force", f), ""));
    for (int t = 0; t < 10; ++t) {
      ASSERT_TRUE(doc.AddTeam(f, "team", "", ""));
      for (int a = 0; a < 10; ++a)
        ASSERT_TRUE(doc.AddActor(f, t, ActorRecord{}));
    }
  }
  ASSERT_TRUE(ExportSection(doc, Section::kForces, folder / "big.mfr"));
  doc.NewProject();

  ProjectTreeModel model(doc.tree());
  QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
  QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
  ASSERT_TRUE(ReadSection(doc, Section::kForces, folder / "big.mfr"));
  EXPECT_EQ(inserted.count(), 0);
  EXPECT_EQ(resets.count(), 1);
  EXPECT_EQ(model.rowCount(model.IndexOf(doc.tree().TeamNode(29, 9))), 10);

  ASSERT_TRUE(doc.AddActor(0, 0, ActorRecord{}));
  EXPECT_EQ(inserted.count(), 1);
  EXPECT_EQ(resets.count(), 1);
}

}  // namespace
}  // namespace vyr::gui
