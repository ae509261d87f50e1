// Edit > Find: a dock with a search box, a kind filter and every record field that holds the text, each
// with its kind, path and where it was found; choosing one (double-click or Enter) selects its node and
// opens its window, a plan hit on its line. The same list shows the usages of a location or area.
#pragma once

#include <QDockWidget>
#include <functional>

#include "editor/document/find_records.h"
#include "editor/document/mission_document.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QModelIndex;
class QTimer;
class QTreeView;

namespace vyr::gui {

class FindResultsModel;

class FindWindow : public QDockWidget {
  Q_OBJECT

 public:
  // `open` receives the chosen record's node and, for a plan line, its 1-based line (else 0).
  FindWindow(editor::MissionDocument& document, std::function<void(editor::NodeId, int)> open,
             QWidget* parent = nullptr);
  ~FindWindow() override;

  // Shows the dock with the search text selected, ready for typing.
  void Start();
  // Shows the dock listing what names the location or area of `node`, until the search text changes.
  void ShowUsages(editor::NodeId node);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Refresh();
  void Choose(const QModelIndex& index);

  editor::MissionDocument& document_;
  std::function<void(editor::NodeId, int)> open_;
  QLineEdit* box_ = nullptr;
  QComboBox* kind_ = nullptr;
  QLabel* count_ = nullptr;
  QTreeView* results_ = nullptr;
  FindResultsModel* model_ = nullptr;
  QTimer* edit_refresh_ = nullptr;
  editor::NodeId usages_of_ = editor::kNoNode;  // while the list shows usages
  bool stale_ = false;                          // the document changed while the dock was hidden
  editor::Notifier<editor::DocumentChange>::Connection changes_;
  editor::Notifier<editor::RecordEdit>::Connection edits_;
};

}  // namespace vyr::gui
