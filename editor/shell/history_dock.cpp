#include "editor/shell/history_dock.h"

#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPalette>
#include <QVBoxLayout>

#include "editor/gui/common/code_page_text.h"

namespace vyr::gui {

HistoryDock::HistoryDock(editor::EditHistory& history, QWidget* parent)
    : QDockWidget("History", parent), history_(history), list_(new QListWidget), dropped_(new QLabel) {
  setObjectName("history_dock");
  list_->setObjectName("history_list");
  list_->setUniformItemSizes(true);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  dropped_->setObjectName("history_dropped");
  dropped_->setWordWrap(true);
  dropped_->setContentsMargins(4, 2, 4, 2);
  auto* body = new QWidget(this);
  auto* layout = new QVBoxLayout(body);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(dropped_);
  layout->addWidget(list_);
  setWidget(body);

  // Clicking and the keyboard's Enter both jump; a second signal for the same row finds nothing to do.
  connect(list_, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { JumpTo(list_->row(item)); });
  connect(list_, &QListWidget::itemActivated, this,
          [this](QListWidgetItem* item) { JumpTo(list_->row(item)); });
  changes_ = history_.changes().Connect([this] {
    if (!jumping_) Refresh();
  });
  Refresh();
}

HistoryDock::~HistoryDock() = default;

int HistoryDock::current_row() const {
  return static_cast<int>(history_.undo_count());
}

void HistoryDock::JumpTo(int row) {
  const int last = static_cast<int>(history_.undo_count() + history_.redo_count());
  if (row < 0 || row > last) return;
  jumping_ = true;
  bool moved = true;
  while (moved && current_row() > row)
    moved = history_.Undo();
  while (moved && current_row() < row)
    moved = history_.Redo();
  jumping_ = false;
  Refresh();
}

void HistoryDock::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    hide();
    return;
  }
  QDockWidget::keyPressEvent(event);
}

// Rows are rewritten in place rather than rebuilt: a refresh can come from a click on one of them.
void HistoryDock::Refresh() {
  const std::size_t dropped = history_.dropped_steps();
  QStringList labels{dropped > 0 ? QStringLiteral("<oldest kept state>") : QStringLiteral("<empty>")};
  for (const std::string& label : history_.UndoLabels())
    labels << FromMessage(label);
  const int current = static_cast<int>(labels.size()) - 1;
  for (const std::string& label : history_.RedoLabels())
    labels << FromMessage(label);

  while (list_->count() > labels.size())
    delete list_->takeItem(list_->count() - 1);
  while (list_->count() < labels.size())
    list_->addItem(new QListWidgetItem);
  const QBrush undone = list_->palette().brush(QPalette::Disabled, QPalette::Text);
  for (int row = 0; row < labels.size(); ++row) {
    QListWidgetItem* item = list_->item(row);
    item->setText(labels[row]);
    QFont font = list_->font();
    font.setBold(row == current);
    item->setFont(font);
    // The steps after the current one are undone: greyed as they would be in a desktop editor.
    item->setForeground(row > current ? undone : list_->palette().brush(QPalette::Text));
    item->setToolTip(row == current  ? QStringLiteral("The document now")
                     : row < current ? QStringLiteral("Click to undo back to here")
                                     : QStringLiteral("Click to redo up to here"));
  }
  list_->setCurrentRow(current);
  list_->scrollToItem(list_->item(current));

  dropped_->setVisible(dropped > 0);
  dropped_->setText(dropped == 1 ? QStringLiteral("1 older step was dropped")
                                 : QString::number(dropped) + " older steps were dropped");
}

}  // namespace vyr::gui
