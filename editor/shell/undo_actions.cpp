#include "editor/shell/undo_actions.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <map>

#include "editor/gui/common/code_page_text.h"
#include "editor/gui/prefab_windows/prefab_windows.h"
#include "editor/gui/properties/property_window.h"
#include "editor/gui/properties/property_windows.h"
#include "editor/shell/main_window.h"
#include "editor/shell/project_window.h"

namespace vyr::gui {

const char* UndoLabelOf(const QString& command) {
  static const std::map<QString, const char*> kLabels = {
      {"loc_add", "Add location"},
      {"mn_area_add", "Add area"},
      {"mn_force_Add", "Add force"},
      {"mn_team_add", "Add team"},
      {"mn_addnpc_npc", "Add actor"},
      {"mn_outcome_success", "Add outcome"},
      {"mn_outcome_failure", "Add outcome"},
      {"mn_loc_clear", "Clear locations"},
      {"mn_area_clear", "Clear areas"},
      {"mn_force_clear", "Clear forces"},
      {"mn_outcome_clear", "Clear outcomes"},
      {"loc_import", "Import locations"},
      {"mn_area_import", "Import areas"},
      {"mn_force_import", "Import forces"},
      {"mn_outcome_import", "Import outcomes"},
      {"mn_loc_delete1", "Delete location"},
      {"mn_area_delete1", "Delete area"},
      {"mn_outcome_delete1", "Delete outcome"},
      {"mn_npc_delete1", "Delete actor"},
      {"mn_delete_team", "Delete team"},
      {"mn_team_delete_force", "Delete force"},
      {"mn_npc_cut", "Cut actor"},
      {"mn_team_cut", "Cut team"},
      {"mn_team_paste", "Paste actor"},
      {"mn_force_paste", "Paste team"},
  };
  const auto it = kLabels.find(command);
  return it == kLabels.end() ? nullptr : it->second;
}

// Stands between the project window and the prefab library window, so a drop is one step.
class UndoActions::DropTarget : public PrefabDropTarget {
 public:
  DropTarget(editor::EditHistory& history, PrefabDropTarget& target) : history_(history), target_(target) {}
  void DropPrefab(const PrefabDrag& drag, editor::NodeId node) override {
    const char* label = drag.kind == PrefabDrag::Kind::kTeam ? "Drop prefab team" : "Drop prefab actor";
    history_.Perform(label, [&] { target_.DropPrefab(drag, node); });
  }

 private:
  editor::EditHistory& history_;
  PrefabDropTarget& target_;
};

UndoActions::UndoActions(MainWindow& window, editor::MissionDocument& document)
    : QObject(&window), window_(window), history_(document) {
  undo_ = new QAction(QIcon(":/icons/toolbar/undo.svg"), "&Undo", &window);
  undo_->setObjectName("mn_edit_undo");
  undo_->setShortcut(QKeySequence::Undo);
  redo_ = new QAction(QIcon(":/icons/toolbar/redo.svg"), "&Redo", &window);
  redo_->setObjectName("mn_edit_redo");
  redo_->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  connect(undo_, &QAction::triggered, this, &UndoActions::Undo);
  connect(redo_, &QAction::triggered, this, &UndoActions::Redo);

  if (QMenu* edit = window.menu("mn_edit")) {
    QAction* first = edit->actions().value(0);
    edit->insertAction(first, undo_);
    edit->insertAction(first, redo_);
    if (first != nullptr) edit->insertSeparator(first);
    edit->menuAction()->setVisible(true);
  }
  // The same actions, so a shortcut belongs to one action only; after "save".
  if (auto* toolbar = window.findChild<QToolBar*>("Toolbar1")) {
    const QList<QAction*> tools = toolbar->actions();
    QAction* before = nullptr;
    for (qsizetype i = 0; i + 1 < tools.size(); ++i) {
      if (tools[i]->objectName() == "save") before = tools[i + 1];
    }
    toolbar->insertAction(before, undo_);
    toolbar->insertAction(before, redo_);
  }

  if (auto* library = window.prefab_window()) {
    drop_target_ = std::make_unique<DropTarget>(history_, *library);
    window.project_window()->SetPrefabDropTarget(drop_target_.get());
  }

  // Typing merges into one step until the author leaves the box or pauses.
  pause_ = new QTimer(this);
  pause_->setSingleShot(true);
  pause_->setInterval(kPauseMilliseconds);
  connect(pause_, &QTimer::timeout, this, [this] { history_.CloseMerge(); });
  edit_connection_ = document.edits().Connect([this](const editor::RecordEdit&) { pause_->start(); });
  connect(qApp, &QApplication::focusChanged, this, [this] { history_.CloseMerge(); });
  qApp->installEventFilter(this);

  history_connection_ = history_.changes().Connect([this] { Update(); });
  Update();
}

// The main window hands the project window its drop target back before its children go.
UndoActions::~UndoActions() = default;

void UndoActions::Run(const QString& command, const std::function<void()>& run) {
  if (const char* label = UndoLabelOf(command)) {
    history_.Perform(label, run);
  } else {
    run();
  }
}

void UndoActions::Undo() {
  if (history_.Undo()) ReloadWindows();
}

void UndoActions::Redo() {
  if (history_.Redo()) ReloadWindows();
}

void UndoActions::Update() {
  const QString undo = FromMessage(history_.UndoLabel());
  const QString redo = FromMessage(history_.RedoLabel());
  // Once the bounds have dropped older steps, the menu says how many are left to undo.
  const QString left = history_.dropped_steps() == 0 || undo.isEmpty()
                           ? QString()
                           : QStringLiteral(" (%1 steps left)").arg(history_.undo_count());
  undo_->setText(undo.isEmpty() ? QStringLiteral("&Undo") : "&Undo " + undo + left);
  redo_->setText(redo.isEmpty() ? QStringLiteral("&Redo") : "&Redo " + redo);
  undo_->setToolTip(undo.isEmpty() ? QStringLiteral("Undo") : "Undo " + undo);
  redo_->setToolTip(redo.isEmpty() ? QStringLiteral("Redo") : "Redo " + redo);
  undo_->setEnabled(history_.CanUndo());
  redo_->setEnabled(history_.CanRedo());
}

void UndoActions::ReloadWindows() {
  PropertyWindows* windows = window_.property_windows();
  if (windows == nullptr) return;
  for (int slot = 0; slot < editor::WindowSlots::kSlotCount; ++slot) {
    if (PropertyWindow* open = windows->WindowInSlot(slot)) open->Reload();
  }
}

// A text box would take Ctrl+Z for its own undo, which knows nothing of the document's steps; in the
// editor's windows the keys go to Edit > Undo and Redo instead.
bool UndoActions::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::ShortcutOverride) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (widget == nullptr || widget->window() != &window_) return false;
  const bool text_box =
      qobject_cast<QLineEdit*>(widget) != nullptr || qobject_cast<QPlainTextEdit*>(widget) != nullptr ||
      qobject_cast<QTextEdit*>(widget) != nullptr || qobject_cast<QComboBox*>(widget) != nullptr;
  if (!text_box) return false;
  const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
  for (const QAction* action : {undo_, redo_}) {
    if (action->shortcuts().contains(pressed)) return true;  // not overridden: the action's shortcut runs
  }
  return false;
}

}  // namespace vyr::gui

#include "moc_undo_actions.cpp"
