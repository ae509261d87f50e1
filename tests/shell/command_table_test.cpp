// The main window's command table as a whole: every command that edits the document is one undo step
// under its own label, every other command leaves the history alone, and the toolbar's edit buttons and
// the context menus follow the rows.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTimer>
#include <QToolBar>
#include <set>
#include <string>

#include "editor/script/generator.h"
#include "editor/shell/main_window.h"
#include "editor/shell/main_window_menus.h"
#include "editor/shell/project_window.h"
#include "editor/shell/undo_actions.h"
#include "tests/shell/main_window_fixture.h"

namespace vyr::gui {
namespace {

using editor::NodeImage;
using editor::Section;

// Says No to every question and cancels every file dialog, counting what it was asked.
class DecliningUi : public editor::UserInterface {
 public:
  std::optional<std::string> AskOpenPath(const editor::FileDialogRequest&) override {
    ++asked;
    return std::nullopt;
  }
  std::optional<std::string> AskSavePath(const editor::FileDialogRequest&) override {
    ++asked;
    return std::nullopt;
  }
  void ShowMessage(const std::string&, const std::string&, editor::MessageIcon) override {}
  editor::Answer AskQuestion(const std::string&, const std::string&, bool) override {
    return editor::Answer::kNo;
  }
  int asked = 0;
};

class CommandTableTest : public MainWindowFixture {
 protected:
  CommandTableTest() {
    MakeWindow(&declining_);
    window_->StartUp("");
    // What the plan command builder does when the author inserts a statement.
    window_->SetPlanBuilderOpener([this](int) {
      (void)document_.SetField(editor::RecordRef::Team(0, 0), editor::Field::kPlan, std::string("wait;\r\n"));
    });
    // Modal windows (about, settings) close as soon as they show.
    connect_closer_.setInterval(0);
    QObject::connect(&connect_closer_, &QTimer::timeout, [this] {
      if (QWidget* modal = QApplication::activeModalWidget()) {
        ++modals_;
        modal->close();
      }
    });
  }

  ~CommandTableTest() override { window_.reset(); }  // before the dialogs it was given

  // One record of each kind, and `actor` or a team on the clipboard; the history starts empty.
  void Fill(bool actor) {
    document_.NewProject();
    ASSERT_TRUE(document_.AddLocation("harbour", "", 1, 2, 3));
    ASSERT_TRUE(
        document_.AddArea("dock", "", "[none]?", 0, "open?"));  // lists the generator leaves as they are
    ASSERT_TRUE(document_.AddForce("blue", ""));
    ASSERT_TRUE(document_.AddTeam(0, "alpha", "", ""));
    ASSERT_TRUE(document_.AddActor(0, 0, editor::ActorRecord{}));
    ASSERT_TRUE(document_.AddOutcome("", "", "", "success", ""));
    ASSERT_TRUE(actor ? document_.CopyActor(0, 0, 0) : document_.CopyTeam(0, 0));
  }

  // The first node of a kind, a team's when there is no such node.
  editor::NodeId NodeOf(NodeImage kind) const {
    const editor::ProjectTree& tree = document_.tree();
    for (int i = 1; i <= tree.node_count(); ++i) {
      if (tree.node(tree.NodeAt(i)).image == kind) return tree.NodeAt(i);
    }
    return tree.TeamNode(0, 0);
  }

  // The node a command is chosen on: one whose context menu holds it, else a team's.
  editor::NodeId SelectionFor(const Command& command) const {
    for (const MenuSpec& menu : Menus()) {
      if (command.menu != nullptr && std::string(command.menu) == menu.name && !menu.context_of.empty())
        return NodeOf(menu.context_of.front());
    }
    return NodeOf(NodeImage::kTeam);
  }

  static const Command* Row(const std::string& name) {
    for (const Command& command : MainWindow::Commands()) {
      if (name == command.name) return &command;
    }
    return nullptr;
  }

  DecliningUi declining_;
  QTimer connect_closer_;
  int modals_ = 0;
};

TEST_F(CommandTableTest, EveryEditIsOneStepUnderItsLabelAndNothingElseTouchesTheHistory) {
  int edits = 0;
  auto record_edits = document_.edits().Connect([&edits](const editor::RecordEdit&) { ++edits; });
  auto document_changes = document_.changes().Connect([&edits](editor::DocumentChange change) {
    if (change != editor::DocumentChange::kFileNames && change != editor::DocumentChange::kClipboard) ++edits;
  });
  editor::EditHistory& history = window_->undo()->history();
  std::set<std::string> stepped;  // the labels seen on a step

  for (const bool actor_on_clipboard : {true, false}) {
    for (const Command& row : MainWindow::Commands()) {
      SCOPED_TRACE(std::string(row.name) + (actor_on_clipboard ? ", actor copied" : ", team copied"));
      Fill(actor_on_clipboard);
      document_.MakeCurrent(SelectionFor(row));
      if (!window_->findChild<QAction*>(row.name)->isEnabled()) continue;  // the author cannot choose it
      // A toolbar button edits as the command it hands on to.
      const Command* acting = &row;
      if (row.forward != nullptr) {
        const char* target = row.forward(*window_);
        if (target == nullptr) continue;
        acting = Row(target);
        ASSERT_NE(acting, nullptr) << target;
      }
      const std::string filled = editor::GenerateScriptWithLines(document_).text;
      const std::size_t steps = history.undo_count();
      const std::string top = history.UndoLabel();
      edits = 0;
      declining_.asked = 0;
      modals_ = 0;
      connect_closer_.start();
      window_->RunCommand(row.name);
      connect_closer_.stop();

      if ((acting->flags & kNewDocument) != 0) {
        if (edits > 0) {
          EXPECT_EQ(history.undo_count(), 0u);  // a new document starts a new history
        }
        continue;
      }
      if (acting->undo == kNotAnEdit) {
        EXPECT_EQ(edits, 0) << "an edit outside any step";
        EXPECT_EQ(history.undo_count(), steps);
        EXPECT_EQ(history.UndoLabel(), top);
        continue;
      }
      if (edits == 0) {
        // Only a dialog the author cancelled leaves an edit command without effect here.
        EXPECT_GT(declining_.asked + modals_, 0) << "the command did nothing";
        EXPECT_EQ(history.undo_count(), steps);
        continue;
      }
      EXPECT_EQ(history.undo_count(), steps + 1);
      EXPECT_EQ(history.UndoLabel(), acting->undo);
      stepped.insert(acting->undo);
      ASSERT_TRUE(history.Undo());  // the step takes back everything the command did
      EXPECT_EQ(editor::GenerateScriptWithLines(document_).text, filled);
    }
  }
  for (const char* label : {"Add location", "Delete force", "Paste team", "Paste actor", "Cut actor",
                            "Clear outcomes", "Insert plan command"})
    EXPECT_EQ(stepped.count(label), 1u) << label;
}

TEST_F(CommandTableTest, RowsNameOneActionEachInTheirMenuAndOneDeleteItemPerContextMenu) {
  std::set<std::string> names;
  for (const Command& row : MainWindow::Commands()) {
    EXPECT_TRUE(names.insert(row.name).second) << "two rows named " << row.name;
    EXPECT_EQ(window_->findChildren<QAction*>(row.name).size(), 1) << row.name;
    if (row.menu != nullptr) {
      ASSERT_NE(window_->menu(row.menu), nullptr) << row.menu;
      EXPECT_TRUE(window_->menu(row.menu)->actions().contains(window_->findChild<QAction*>(row.name)));
    }
    if ((row.flags & kDeleteKey) != 0) {
      EXPECT_NE(row.undo, kNotAnEdit) << row.name;
    }
  }
  for (const MenuSpec& menu : Menus()) {
    int delete_items = 0;
    for (const Command& row : MainWindow::Commands())
      delete_items +=
          row.menu != nullptr && std::string(row.menu) == menu.name && (row.flags & kDeleteKey) != 0;
    EXPECT_LE(delete_items, 1) << menu.name;
  }
  // Undo and Redo are the same actions in the Edit menu and on the toolbar, after Save.
  const QList<QAction*> tools = window_->findChild<QToolBar*>("Toolbar1")->actions();
  QStringList keys;
  for (const QAction* tool : tools)
    keys << tool->objectName();
  EXPECT_EQ(keys.join(' '), "sep1 open save mn_edit_undo mn_edit_redo sep2 copy cut paste sep3 create play");
}

TEST_F(CommandTableTest, TheToolbarPasteFollowsACopyFromAContextMenuForTheNodeLastClicked) {
  Fill(false);
  const editor::NodeId team = document_.tree().TeamNode(0, 0);
  document_.MakeCurrent(team);
  emit window_->project_window()->nodeClicked(team);
  QAction* paste = window_->findChild<QAction*>("paste");
  EXPECT_FALSE(paste->isEnabled());  // a team on the clipboard; the team node wants an actor
  // Copying from the actor's context menu, without clicking it, offers the paste at once.
  document_.MakeCurrent(document_.tree().ActorNode(0, 0, 0));
  window_->RunCommand("mn_npc_copy");
  EXPECT_TRUE(paste->isEnabled());
}

}  // namespace
}  // namespace vyr::gui
