#include "editor/shell/undo_actions.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QTimer>

#include "editor/gui/common/code_page_text.h"
#include "editor/gui/prefab_windows/prefab_windows.h"
#include "editor/shell/main_window.h"
#include "editor/shell/project_window.h"

namespace vyr::gui {

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
  undo_ = window.findChild<QAction*>("mn_edit_undo");
  redo_ = window.findChild<QAction*>("mn_edit_redo");

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

// Open property windows follow the document's announcements of what the step changed.
void UndoActions::Undo() {
  history_.Undo();
}

void UndoActions::Redo() {
  history_.Redo();
}

void UndoActions::Update() {
  const QString undo = FromMessage(history_.UndoLabel());
  const QString redo = FromMessage(history_.RedoLabel());
  if (undo_ == nullptr || redo_ == nullptr) return;
  // Once the bounds have dropped older steps, the menu says how many are left to undo.
  const QString left = history_.dropped_steps() == 0 || undo.isEmpty() ? QString()
                       : history_.undo_count() == 1
                           ? QStringLiteral(" (1 step left)")
                           : QStringLiteral(" (%1 steps left)").arg(history_.undo_count());
  undo_->setText(undo.isEmpty() ? QStringLiteral("&Undo") : "&Undo " + undo + left);
  redo_->setText(redo.isEmpty() ? QStringLiteral("&Redo") : "&Redo " + redo);
  undo_->setToolTip(undo.isEmpty() ? QStringLiteral("Undo") : "Undo " + undo);
  redo_->setToolTip(redo.isEmpty() ? QStringLiteral("Redo") : "Redo " + redo);
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
  if (undo_ == nullptr || redo_ == nullptr) return false;
  for (const QAction* action : {undo_, redo_}) {
    if (action->shortcuts().contains(pressed)) return true;  // not overridden: the action's shortcut runs
  }
  return false;
}

}  // namespace vyr::gui

#include "moc_undo_actions.cpp"
