// The main window's side of the problem list: the dock, View > Problems, the count in the status bar, and
// taking the author to the record, field and line of a problem.
#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTextBlock>

#include "editor/document/paths.h"
#include "editor/gui/map_view/map_view.h"
#include "editor/gui/properties/property_window.h"
#include "editor/gui/properties/property_windows.h"
#include "editor/shell/main_window.h"
#include "editor/shell/problems_dock.h"
#include "platform/atomic_file.h"

namespace vyr::gui {

namespace {

editor::NodeId NodeOfRecord(const editor::ProjectTree& tree, const editor::RecordRef& record) {
  switch (record.kind) {
    case editor::RecordKind::kMission:
      return tree.root();
    case editor::RecordKind::kLocation:
      return tree.LocationNode(record.index);
    case editor::RecordKind::kArea:
      return tree.AreaNode(record.index);
    case editor::RecordKind::kForce:
      return tree.ForceNode(record.force);
    case editor::RecordKind::kTeam:
      return tree.TeamNode(record.force, record.team);
    case editor::RecordKind::kActor:
      return tree.ActorNode(record.force, record.team, record.index);
    case editor::RecordKind::kOutcome:
      return tree.OutcomeNode(record.index);
  }
  return editor::kNoNode;
}

}  // namespace

void MainWindow::CreateProblems() {
  // The library is asked through a scratch file beside the error checker's; when it cannot be asked,
  // the rules' verdict stands alone.
  editor::ScriptParser parse = [this](std::string_view script) {
    editor::ParseVerdict verdict{true, {}};
    const std::string file = editor::JoinPath(services_.editor_folder, "problems.vyr");
    if (!services_.parse || services_.editor_folder.empty() ||
        !editor::EnsureFolder(services_.editor_folder) || !platform::WriteFileAtomically(file, script))
      return verdict;
    editor::ParseOutcome outcome = services_.parse(file);
    if (!outcome.library_reached) return verdict;
    verdict.parsed = outcome.result == 0;
    verdict.messages = std::move(outcome.messages);
    return verdict;
  };
  problems_dock_ = new ProblemsDock(document_, std::move(parse), this);
  problems_dock_->setAllowedAreas(Qt::AllDockWidgetAreas);
  addDockWidget(Qt::BottomDockWidgetArea, problems_dock_);
  problems_dock_->hide();
  statusBar()->addPermanentWidget(problems_dock_->count_label());
  connect(problems_dock_, &ProblemsDock::problemActivated, this, &MainWindow::OpenProblem);
  // The map marks the names the check finds no location for from the same scans of the plans.
  map_dock_->view()->SharePlanScans(problems_dock_->plan_scans());

  connect(problems_dock_, &QDockWidget::visibilityChanged, this, [this] { UpdateActions(); });
}

void MainWindow::ToggleProblems() {
  const bool showing = problems_dock_->isHidden();
  problems_dock_->setVisible(showing);
  if (showing) problems_dock_->Refresh();  // now with the library's word
  UpdateActions();                         // also while the main window itself is not shown
}

void MainWindow::OpenProblem(int index) {
  const editor::Problem problem = problems_dock_->problems().at(static_cast<std::size_t>(index));
  QWidget* window = nullptr;
  if (problem.field == editor::Field::kAnnotation) {
    property_windows_->ShowAnnotation();
    window = mdi_->findChild<QWidget*>("frm_annotation");
  } else {
    const editor::NodeId node = NodeOfRecord(document_.tree(), problem.record);
    if (node == editor::kNoNode) return;
    document_.MakeCurrent(node);
    OnNodeClicked(node);
    for (PropertyWindow* open : mdi_->findChildren<PropertyWindow*>())
      if (open->node() == node) window = open;
  }
  if (window == nullptr || !problem.field) return;
  const char* name = ControlNameOf(*problem.field);
  QWidget* control = name != nullptr ? window->findChild<QWidget*>(name) : nullptr;
  if (control == nullptr) return;
  control->setFocus(Qt::OtherFocusReason);
  auto* text = qobject_cast<QPlainTextEdit*>(control);
  if (text == nullptr || problem.line <= 0) return;
  const QTextBlock block = text->document()->findBlockByNumber(problem.line - 1);
  if (!block.isValid()) return;
  QTextCursor caret(block);
  text->setTextCursor(caret);
  text->ensureCursorVisible();
}

}  // namespace vyr::gui
