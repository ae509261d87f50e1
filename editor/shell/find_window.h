// Edit > Find: a dock with a search box and the records whose names hold its text, each with its kind
// and path; choosing one (double-click or Enter) selects its node and opens its window.
#pragma once

#include <QDockWidget>
#include <functional>

#include "editor/document/mission_document.h"

class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace vyr::gui {

class FindWindow : public QDockWidget {
  Q_OBJECT

 public:
  // `open` receives the chosen record's node.
  FindWindow(editor::MissionDocument& document, std::function<void(editor::NodeId)> open,
             QWidget* parent = nullptr);

  // Shows the dock with the search text selected, ready for typing.
  void Start();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Refresh();
  void Choose(QTreeWidgetItem* item);

  editor::MissionDocument& document_;
  std::function<void(editor::NodeId)> open_;
  QLineEdit* box_ = nullptr;
  QTreeWidget* results_ = nullptr;
  bool stale_ = false;  // the document changed while the dock was hidden
  editor::Notifier<editor::DocumentChange>::Connection changes_;
  editor::Notifier<editor::RecordEdit>::Connection edits_;
};

}  // namespace vyr::gui
