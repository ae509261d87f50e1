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
  // Names the steps on the window's commands "mn_edit_undo" and "mn_edit_redo", which run Undo and Redo.
  UndoActions(MainWindow& window, editor::MissionDocument& document);
  ~UndoActions() override;

  editor::EditHistory& history() { return history_; }
  const editor::EditHistory& history() const { return history_; }
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

}  // namespace vyr::gui
