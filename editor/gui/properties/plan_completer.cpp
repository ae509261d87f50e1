#include "editor/gui/properties/plan_completer.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStringListModel>
#include <QTextBlock>

namespace vyr::gui {

namespace {

// The words a statement starts with or continues with.
const QStringList& StatementWords() {
  static const QStringList words = {
      "abort",    "advance", "assemble", "assembled", "at",     "attack",  "casualty", "code",    "contact",
      "continue", "cover",   "defend",   "fire",      "for",    "forever", "freeze",   "from",    "insert",
      "join",     "moveup",  "observe",  "on",        "patrol", "phase",   "pullback", "radio",   "ready",
      "signal",   "snipe",   "spawn",    "split",     "spread", "take",    "to",       "towards", "under",
      "until",    "using",   "wait",     "with",      "within"};
  return words;
}

bool IsWordCharacter(QChar c) {
  return c.isLetterOrNumber() || c == '_' || c == '.';
}

}  // namespace

PlanCompleter::PlanCompleter(QPlainTextEdit& box, std::function<PlanNames()> names)
    : QObject(&box),
      box_(box),
      names_(std::move(names)),
      completer_(new QCompleter(this)),
      model_(new QStringListModel(this)) {
  setObjectName("plan_completer");
  completer_->setModel(model_);
  completer_->setWidget(&box_);
  completer_->setCompletionMode(QCompleter::PopupCompletion);
  completer_->setCaseSensitivity(Qt::CaseSensitive);  // the language's words and names are
  completer_->popup()->setObjectName("plan_completions");
  connect(completer_->popup(), &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
    completer_->popup()->hide();
    Insert(index.data().toString());
  });
  connect(&box_, &QPlainTextEdit::textChanged, this, [this] {
    if (!inserting_ && box_.hasFocus()) Offer(false);
  });
  box_.installEventFilter(this);
  // Installed after the completer's own filter, so it runs first: Enter takes the completion instead of
  // reaching the box as a line break.
  completer_->popup()->installEventFilter(this);
}

QString PlanCompleter::Prefix() const {
  const QTextCursor caret = box_.textCursor();
  const QString line = caret.block().text().left(caret.positionInBlock());
  int start = static_cast<int>(line.size());
  while (start > 0 && IsWordCharacter(line[start - 1]))
    --start;
  return line.mid(start);
}

QStringList PlanCompleter::Candidates() const {
  const PlanNames names = names_ ? names_() : PlanNames{};
  const QTextCursor caret = box_.textCursor();
  QString before = caret.block().text().left(caret.positionInBlock());
  before.chop(Prefix().size());
  // Inside an unclosed "patrol (" only areas fit.
  const auto open = before.lastIndexOf("patrol");
  if (open >= 0 && before.indexOf('(', open) >= 0 && before.indexOf(')', open) < 0) return names.areas;
  const QStringList words = before.split(QRegularExpression("[^A-Za-z0-9_.]+"), Qt::SkipEmptyParts);
  static const QStringList kBeforeLocation = {"at", "towards", "to", "from", "observe"};
  if (!words.isEmpty() && kBeforeLocation.contains(words.back()) && before.back().isSpace())
    return names.locations;
  QStringList all = StatementWords();
  all << names.locations << names.areas << names.others;
  all.removeDuplicates();
  return all;
}

void PlanCompleter::Offer(bool asked) {
  const QString prefix = Prefix();
  if (!asked && prefix.size() < 2) {
    completer_->popup()->hide();
    return;
  }
  QStringList candidates = Candidates();
  candidates.sort();
  model_->setStringList(candidates);
  completer_->setCompletionPrefix(prefix);
  if (completer_->completionCount() == 0 ||
      (completer_->completionCount() == 1 && completer_->currentCompletion() == prefix)) {
    completer_->popup()->hide();
    return;
  }
  completer_->popup()->setCurrentIndex(completer_->completionModel()->index(0, 0));
  QRect at = box_.cursorRect();
  at.setWidth(completer_->popup()->sizeHintForColumn(0) +
              completer_->popup()->verticalScrollBar()->sizeHint().width());
  completer_->complete(at);
}

void PlanCompleter::Insert(const QString& completion) {
  inserting_ = true;
  QTextCursor caret = box_.textCursor();
  caret.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, static_cast<int>(Prefix().size()));
  caret.insertText(completion);
  box_.setTextCursor(caret);
  inserting_ = false;
}

bool PlanCompleter::eventFilter(QObject* watched, QEvent* event) {
  if (watched == completer_->popup() && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Tab) {
      const QModelIndex current = completer_->popup()->currentIndex();
      completer_->popup()->hide();
      if (current.isValid()) Insert(current.data().toString());
      return true;
    }
    if (key->key() == Qt::Key_Escape) {
      completer_->popup()->hide();
      return true;
    }
  }
  if (watched == &box_ && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Space && (key->modifiers() & Qt::ControlModifier)) {
      Offer(true);
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace vyr::gui
