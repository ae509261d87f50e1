// View > History: the undo history as a list, the state before the oldest kept step on top, the steps
// that can be redone below the current one; a click on a row undoes or redoes the steps up to it.
#pragma once

#include <QDockWidget>

#include "editor/document/edit_history.h"

class QLabel;
class QListWidget;

namespace vyr::gui {

class HistoryDock : public QDockWidget {
  Q_OBJECT

 public:
  HistoryDock(editor::EditHistory& history, QWidget* parent = nullptr);
  ~HistoryDock() override;

  // The row of the document's present state: how many steps Undo can take back.
  int current_row() const;
  // Undoes or redoes one step at a time until the document stands at `row`; rows out of range do nothing.
  void JumpTo(int row);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Refresh();

  editor::EditHistory& history_;
  QListWidget* list_;
  QLabel* dropped_;
  bool jumping_ = false;  // one refresh after the whole jump, not one per step
  editor::Notifier<>::Connection changes_;
};

}  // namespace vyr::gui
