#include "editor/gui/properties/plan_highlighter.h"

#include <QEvent>
#include <QHelpEvent>
#include <QPlainTextEdit>
#include <QToolTip>

#include "editor/check/problems.h"

namespace vyr::gui {

namespace {

constexpr int kInComment = 1;  // block state: the line ends inside a /* */ comment

bool IsLetter(QChar c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsDigit(QChar c) {
  return c >= '0' && c <= '9';
}

QTextCharFormat Coloured(const QColor& colour, bool bold = false, bool italic = false) {
  QTextCharFormat format;
  format.setForeground(colour);
  if (bold) format.setFontWeight(QFont::Bold);
  format.setFontItalic(italic);
  return format;
}

}  // namespace

PlanHighlighter::PlanHighlighter(QPlainTextEdit& box) : QSyntaxHighlighter(box.document()), box_(box) {
  setObjectName("plan_highlighter");
  ChooseColours();
  box_.viewport()->installEventFilter(this);
}

void PlanHighlighter::ChooseColours() {
  // Light and dark palettes each get colours that keep their contrast against the box's background.
  const bool dark = box_.palette().color(QPalette::Base).lightness() < 128;
  keyword_ = Coloured(dark ? QColor(0x7a, 0xa6, 0xff) : QColor(0x00, 0x33, 0xb3), true);
  name_ = Coloured(dark ? QColor(0xd0, 0x9c, 0xff) : QColor(0x87, 0x10, 0x94));
  number_ = Coloured(dark ? QColor(0xf0, 0xb0, 0x6a) : QColor(0xa3, 0x4a, 0x00));
  string_ = Coloured(dark ? QColor(0x8f, 0xd0, 0x6a) : QColor(0x06, 0x7d, 0x17));
  wave_ = dark ? QColor(0xff, 0x5c, 0x5c) : QColor(0xd0, 0x00, 0x00);
  comment_ = Coloured(dark ? QColor(0x9a, 0x9a, 0x9a) : QColor(0x73, 0x73, 0x73), false, true);
}

void PlanHighlighter::SetProblems(std::map<int, QString> problems) {
  if (problems == problems_) return;
  problems_ = std::move(problems);
  rehighlight();
}

void PlanHighlighter::highlightBlock(const QString& text) {
  const int size = static_cast<int>(text.size());
  int i = 0;
  setCurrentBlockState(0);
  if (previousBlockState() == kInComment) {
    const int end = static_cast<int>(text.indexOf("*/"));
    if (end < 0) {
      setFormat(0, size, comment_);
      setCurrentBlockState(kInComment);
      i = size;
    } else {
      setFormat(0, end + 2, comment_);
      i = end + 2;
    }
  }
  while (i < size) {
    const QChar c = text[i];
    if (c == '/' && i + 1 < size && text[i + 1] == '/') {
      setFormat(i, size - i, comment_);
      break;
    }
    if (c == '/' && i + 1 < size && text[i + 1] == '*') {
      const int end = static_cast<int>(text.indexOf("*/", i + 2));
      if (end < 0) {
        setFormat(i, size - i, comment_);
        setCurrentBlockState(kInComment);
        break;
      }
      setFormat(i, end + 2 - i, comment_);
      i = end + 2;
    } else if (c == '"') {
      int end = static_cast<int>(text.indexOf('"', i + 1));
      end = end < 0 ? size : end + 1;
      setFormat(i, end - i, string_);
      i = end;
    } else if (IsLetter(c)) {
      int end = i + 1;
      while (end < size &&
             (IsLetter(text[end]) || IsDigit(text[end]) || text[end] == '_' || text[end] == '.'))
        ++end;
      const bool keyword = editor::IsScriptKeyword(text.mid(i, end - i).toStdString());
      setFormat(i, end - i, keyword ? keyword_ : name_);
      i = end;
    } else if (IsDigit(c) || (c == '-' && i + 1 < size && IsDigit(text[i + 1]))) {
      int end = i + 1;
      while (end < size && (IsDigit(text[end]) || text[end] == '.'))
        ++end;
      setFormat(i, end - i, number_);
      i = end;
    } else {
      ++i;
    }
  }
  if (problems_.contains(currentBlock().blockNumber() + 1)) {
    for (int at = 0; at < size; ++at) {
      QTextCharFormat marked = format(at);
      marked.setUnderlineStyle(QTextCharFormat::WaveUnderline);
      marked.setUnderlineColor(wave_);
      setFormat(at, 1, marked);
    }
  }
}

bool PlanHighlighter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ToolTip && watched == box_.viewport()) {
    auto* help = static_cast<QHelpEvent*>(event);
    const int line = box_.cursorForPosition(help->pos()).blockNumber() + 1;
    if (const auto found = problems_.find(line); found != problems_.end()) {
      QToolTip::showText(help->globalPos(), found->second, box_.viewport());
    } else {
      QToolTip::hideText();
      event->ignore();
    }
    return true;
  }
  if (event->type() == QEvent::PaletteChange) {
    ChooseColours();
    rehighlight();
  }
  return QSyntaxHighlighter::eventFilter(watched, event);
}

}  // namespace vyr::gui
