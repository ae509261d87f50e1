// View > Problems: every problem of the mission in a list, refreshed a moment after the author stops
// changing things, and the counts for the status bar.
#pragma once

#include <QDockWidget>
#include <memory>
#include <vector>

#include "editor/check/problems.h"
#include "editor/document/mission_document.h"

class QLabel;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace vyr::gui {

class ProblemsDock : public QDockWidget {
  Q_OBJECT

 public:
  // Quiet time after a change before the list is refreshed.
  static constexpr int kRefreshDelayMs = 400;

  // `parse` asks the library about a script; it is asked only while the list is shown and the document's
  // rules find no error (the library stops at the first one, which the rules then name better). Empty:
  // the rules alone.
  ProblemsDock(editor::MissionDocument& document, editor::ScriptParser parse, QWidget* parent = nullptr);
  ~ProblemsDock() override;

  // Checks now instead of after the delay.
  void Refresh();
  const std::vector<editor::Problem>& problems() const { return problems_; }
  // The plans as the check last scanned them; the map reads them too, so a plan is scanned once a change.
  const std::shared_ptr<editor::PlanScans>& plan_scans() const { return scans_; }
  // "2 errors, 1 warning", "No problems"; the status bar shows it.
  QLabel* count_label() const { return count_; }

 signals:
  // Double-click or Enter on the problem at `index` of problems().
  void problemActivated(int index);

 private:
  void Schedule();
  void Fill();

  editor::MissionDocument& document_;
  editor::ScriptParser parse_;
  QTreeWidget* list_;
  QLabel* count_;
  QTimer* timer_;
  std::vector<editor::Problem> problems_;
  std::shared_ptr<editor::PlanScans> scans_ = std::make_shared<editor::PlanScans>();
  editor::Notifier<editor::DocumentChange>::Connection changes_;
  editor::Notifier<editor::RecordEdit>::Connection edits_;
};

}  // namespace vyr::gui
