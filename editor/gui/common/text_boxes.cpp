#include "editor/gui/common/text_boxes.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTextCursor>
#include <algorithm>
#include <memory>

#include "editor/gui/common/code_page_text.h"

namespace vyr::gui {

namespace {

bool IsLineBreak(QChar c) {
  return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

}  // namespace

RefusalHint::RefusalHint(QWidget* parent) : QLabel(parent) {
  setObjectName("refusal_hint");
  setWordWrap(true);
  setStyleSheet("color: #a00000;");
  hide();
}

void RefusalHint::Refused(const QString& character) {
  const QString what =
      character.isEmpty() ? QStringLiteral("A character") : u'\u201C' + character + u'\u201D';
  Say(what + " cannot be kept in a mission file and was left out.");
}

void RefusalHint::Say(const QString& message) {
  setText(message);
  show();
}

void GuardOneLine(QLineEdit& box, std::function<void(const QString& hint)> say, std::function<void()> clear) {
  auto* validator = new CodePageValidator(&box);
  box.setValidator(validator);
  // The validator speaks before the box announces the edit, so that edit must not clear what it said.
  auto just_said = std::make_shared<bool>(false);
  QObject::connect(validator, &CodePageValidator::leftOut, &box,
                   [just_said, say = std::move(say)](const QString& hint) {
                     *just_said = true;
                     say(hint);
                   });
  QObject::connect(&box, &QLineEdit::textEdited, &box, [just_said, clear = std::move(clear)] {
    if (*just_said) {
      *just_said = false;
    } else if (clear) {
      clear();
    }
  });
}

void GuardCodePage(QLineEdit& box, RefusalHint& hint) {
  GuardOneLine(box, [&hint](const QString& text) { hint.Say(text); }, {});
}

void GuardCodePage(QPlainTextEdit& box, RefusalHint& hint, bool one_line) {
  // Runs before the owner's own textChanged handler, so the owner only ever stores accepted text.
  QObject::connect(&box, &QPlainTextEdit::textChanged, &hint, [&box, &hint, one_line] {
    const QString text = box.toPlainText();
    QString kept;
    kept.reserve(text.size());
    QString first_refused;
    bool line_break = false;
    int caret = box.textCursor().position();
    for (qsizetype i = 0; i < text.size(); ++i) {
      const bool pair =
          text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
      const qsizetype length = pair ? 2 : 1;
      const bool refused_break = one_line && IsLineBreak(text.at(i));
      if (!refused_break && FitsCodePage(text, i)) {
        kept += text.at(i);
        continue;
      }
      if (refused_break) {
        line_break = true;
      } else if (first_refused.isEmpty()) {
        first_refused = text.mid(i, length);
      }
      if (i < caret) caret -= static_cast<int>(std::min<qsizetype>(length, caret - i));
      i += length - 1;
    }
    if (kept.size() == text.size()) return;
    {
      QTextCursor cursor(box.document());
      cursor.select(QTextCursor::Document);
      const QSignalBlocker quiet(box);
      cursor.insertText(kept);
    }
    QTextCursor cursor = box.textCursor();
    cursor.setPosition(std::min(caret, static_cast<int>(kept.size())));
    box.setTextCursor(cursor);
    if (!first_refused.isEmpty()) {
      hint.Refused(first_refused);
    } else if (line_break) {
      hint.Say(LineBreakHint());
    }
    // The signal now goes on to the owner's handler, which reads the text as kept.
  });
}

QString NumberNotTakenHint(const QString& label, const QString& kept, const QString& what) {
  return QStringLiteral("Not taken: %1 needs %2. It keeps %3.").arg(label, what, kept);
}

void InsertAtCaret(QPlainTextEdit& box, const QString& text) {
  QString plain = text;
  plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  QTextCursor cursor = box.textCursor();
  cursor.setPosition(cursor.selectionStart());
  cursor.insertText(plain);
  box.setTextCursor(cursor);
  box.setFocus();
}

bool ShowText(QLineEdit& box, const QString& text) {
  if (box.text() == text) return false;
  box.setText(text);
  return true;
}

bool ShowText(QPlainTextEdit& box, const QString& text) {
  if (box.toPlainText() == text) return false;
  box.setPlainText(text);
  return true;
}

void MarkRejected(QLineEdit& box, const QString& reason) {
  box.setProperty("taken", reason.isEmpty());
  box.setToolTip(reason);
  box.setStyleSheet(reason.isEmpty() ? QString()
                                     : QStringLiteral("QLineEdit { border: 2px solid #c00000; }"));
}

}  // namespace vyr::gui
