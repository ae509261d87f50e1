// Edit > Undo and Redo, with their toolbar buttons: the GUI side of the core's edit history. Menu
// commands that add, delete, cut, paste, clear or import run as one step each; prefab drops too. Open
// windows follow an undo or redo through the document's own announcements.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "editor/document/edit_history.h"

class QAction;
class QTimer;

namespace vyr::gui {

class MainWindow;

class UndoActions : public QObject {
  Q_OBJECT

 public:
  // Puts Undo and Redo first in the main window's Edit menu (which it shows) and on its toolbar.
  UndoActions(MainWindow& window, editor::MissionDocument& document);
  ~UndoActions() override;

  editor::EditHistory& history() { return history_; }
  // Runs a main-window command, as one step when the command edits the document.
  void Run(const QString& command, const std::function<void()>& run);
  void Undo();
  void Redo();

  // Typing pauses this long before the next keystroke starts a new step.
  static constexpr int kPauseMilliseconds = 1000;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  class DropTarget;

  void Update();

  MainWindow& window_;
  editor::EditHistory history_;
  QAction* undo_ = nullptr;
  QAction* redo_ = nullptr;
  QTimer* pause_ = nullptr;
  std::unique_ptr<DropTarget> drop_target_;
  editor::Notifier<>::Connection history_connection_;
  editor::Notifier<editor::RecordEdit>::Connection edit_connection_;
};

// The step label of a main-window command that edits the document ("Delete location"); nullptr for
// commands that do not.
const char* UndoLabelOf(const QString& command);

}  // namespace vyr::gui
