#include "editor/shell/find_window.h"

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "editor/document/find_records.h"
#include "editor/gui/common/code_page_text.h"

namespace vyr::gui {

namespace {

constexpr int kNodeRole = Qt::UserRole;

}  // namespace

FindWindow::FindWindow(editor::MissionDocument& document, std::function<void(editor::NodeId)> open,
                       QWidget* parent)
    : QDockWidget("Find", parent), document_(document), open_(std::move(open)) {
  setObjectName("find_dock");
  auto* contents = new QWidget(this);
  box_ = new QLineEdit(contents);
  box_->setObjectName("find_box");
  box_->setPlaceholderText("Name of a location, area, force, team, actor or outcome");
  box_->setClearButtonEnabled(true);
  box_->setValidator(new CodePageValidator(box_));
  box_->installEventFilter(this);
  results_ = new QTreeWidget(contents);
  results_->setObjectName("find_results");
  results_->setColumnCount(2);
  results_->setHeaderLabels({"Kind", "Path"});
  results_->setRootIsDecorated(false);
  results_->setUniformRowHeights(true);
  results_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  auto* layout = new QVBoxLayout(contents);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(box_);
  layout->addWidget(results_);
  setWidget(contents);

  connect(box_, &QLineEdit::textChanged, this, &FindWindow::Refresh);
  connect(box_, &QLineEdit::returnPressed, this, [this] {
    Choose(results_->currentItem() != nullptr ? results_->currentItem() : results_->topLevelItem(0));
  });
  connect(results_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) { Choose(item); });
  // The list follows renames, additions and deletions; a hidden dock catches up when it is shown.
  const auto changed = [this] {
    if (isVisible()) {
      Refresh();
    } else {
      stale_ = true;
    }
  };
  changes_ = document_.changes().Connect([changed](editor::DocumentChange) { changed(); });
  edits_ = document_.edits().Connect([changed](const editor::RecordEdit&) { changed(); });
}

void FindWindow::Start() {
  show();
  raise();
  if (stale_) Refresh();
  box_->setFocus();
  box_->selectAll();
}

bool FindWindow::eventFilter(QObject* watched, QEvent* event) {
  // Down from the box walks into the list.
  if (watched == box_ && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Down && results_->topLevelItemCount() > 0) {
    results_->setFocus();
    results_->setCurrentItem(results_->topLevelItem(0));
    return true;
  }
  return QDockWidget::eventFilter(watched, event);
}

void FindWindow::Refresh() {
  stale_ = false;
  results_->clear();
  QList<QTreeWidgetItem*> items;
  for (const editor::RecordMatch& match : editor::FindRecords(document_, ToCodePage(box_->text()))) {
    auto* item = new QTreeWidgetItem({FromCodePage(match.kind), FromCodePage(match.path)});
    item->setData(0, kNodeRole, QVariant::fromValue<qulonglong>(match.node));
    items << item;
  }
  results_->addTopLevelItems(items);
}

void FindWindow::Choose(QTreeWidgetItem* item) {
  if (item == nullptr || !open_) return;
  const auto node = static_cast<editor::NodeId>(item->data(0, kNodeRole).toULongLong());
  if (document_.tree().Contains(node)) open_(node);
}

}  // namespace vyr::gui
