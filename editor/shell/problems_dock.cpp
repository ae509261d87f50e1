#include "editor/shell/problems_dock.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QStyle>
#include <QTimer>
#include <QTreeWidget>

#include "editor/gui/common/code_page_text.h"

namespace vyr::gui {

namespace {

// Enter on a row activates it as a double-click does (a tree widget only does that on some platforms).
class ProblemList : public QTreeWidget {
 public:
  using QTreeWidget::QTreeWidget;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem() != nullptr) {
      emit itemActivated(currentItem(), 0);
      return;
    }
    QTreeWidget::keyPressEvent(event);
  }
};

QString Counted(int count, const char* one, const char* many) {
  return QString::number(count) + " " + (count == 1 ? one : many);
}

}  // namespace

ProblemsDock::ProblemsDock(editor::MissionDocument& document, editor::ScriptParser parse, QWidget* parent)
    : QDockWidget("Problems", parent),
      document_(document),
      parse_(std::move(parse)),
      list_(new ProblemList(this)),
      count_(new QLabel(this)),
      timer_(new QTimer(this)) {
  setObjectName("problems_dock");
  list_->setObjectName("problem_list");
  list_->setColumnCount(4);
  list_->setHeaderLabels({"", "Where", "Field", "Problem"});
  list_->setRootIsDecorated(false);
  list_->setUniformRowHeights(true);
  list_->setAllColumnsShowFocus(true);
  list_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  list_->header()->setStretchLastSection(true);
  setWidget(list_);
  count_->setObjectName("problem_count");

  timer_->setSingleShot(true);
  timer_->setInterval(kRefreshDelayMs);
  connect(timer_, &QTimer::timeout, this, &ProblemsDock::Refresh);
  connect(list_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
    const int index = item->data(0, Qt::UserRole).toInt();
    if (index >= 0 && index < static_cast<int>(problems_.size())) emit problemActivated(index);
  });
  changes_ = document_.changes().Connect([this](editor::DocumentChange) { Schedule(); });
  edits_ = document_.edits().Connect([this](const editor::RecordEdit&) { Schedule(); });
  Refresh();
}

ProblemsDock::~ProblemsDock() = default;

void ProblemsDock::Schedule() {
  timer_->start();
}

void ProblemsDock::Refresh() {
  timer_->stop();
  problems_ = editor::CheckDocument(document_, scans_.get());
  // The library's parse costs a scratch file and, on a large mission, a noticeable pause: it is asked only
  // while the list is shown; the status bar's count stands on the rules meanwhile.
  if (!editor::HasError(problems_) && parse_ && isVisible()) {
    const editor::GeneratedScript script = editor::GenerateScriptWithLines(document_);
    problems_ = editor::ProblemsOfVerdict(document_, script, parse_(script.text), scans_.get());
  }
  Fill();
}

void ProblemsDock::Fill() {
  const QIcon error = style()->standardIcon(QStyle::SP_MessageBoxCritical);
  const QIcon warning = style()->standardIcon(QStyle::SP_MessageBoxWarning);
  list_->setUpdatesEnabled(false);
  list_->clear();
  QList<QTreeWidgetItem*> items;
  int errors = 0;
  for (std::size_t i = 0; i < problems_.size(); ++i) {
    const editor::Problem& problem = problems_[i];
    const bool is_error = problem.severity == editor::Severity::kError;
    errors += is_error;
    QString field = problem.field ? FromCodePage(editor::FieldLabel(*problem.field)) : QString();
    if (problem.line > 0) field += ", line " + QString::number(problem.line);
    auto* item = new QTreeWidgetItem({QString(), FromCodePage(editor::RecordPath(document_, problem.record)),
                                      field, FromCodePage(problem.what)});
    item->setIcon(0, is_error ? error : warning);
    item->setToolTip(0, is_error ? "Error: the script will not parse or run" : "Warning: likely a mistake");
    item->setToolTip(3, FromCodePage(problem.message));
    item->setData(0, Qt::UserRole, static_cast<int>(i));
    items.push_back(item);
  }
  list_->addTopLevelItems(items);
  // The path and field stay readable; the message takes the rest of the width.
  list_->resizeColumnToContents(1);
  list_->resizeColumnToContents(2);
  list_->setUpdatesEnabled(true);
  const int warnings = static_cast<int>(problems_.size()) - errors;
  count_->setText(problems_.empty()
                      ? QString("No problems")
                      : Counted(errors, "error", "errors") + ", " + Counted(warnings, "warning", "warnings"));
  setWindowTitle(problems_.empty() ? QString("Problems")
                                   : "Problems (" + QString::number(problems_.size()) + ")");
}

}  // namespace vyr::gui
