// Text boxes of the property windows and builders: they edit Windows-1252 text, refuse a character the
// code page cannot hold with a visible hint, and insert at the caret the way the condition and plan
// builders do.
#pragma once

#include <QLabel>
#include <QString>
#include <functional>

class QLineEdit;
class QPlainTextEdit;

namespace vyr::gui {

// A line under a window's boxes that says a typed or pasted character was left out; hidden until then.
class RefusalHint : public QLabel {
  Q_OBJECT

 public:
  explicit RefusalHint(QWidget* parent = nullptr);

  // `character` may be empty when the box does not say which character it refused.
  void Refused(const QString& character);
  void Say(const QString& message);
};

// One-line boxes leave out characters outside the code page and line breaks, typed or pasted, and keep the
// rest. What was left out is told to `say`; the author's next edit that leaves nothing out calls `clear`.
void GuardOneLine(QLineEdit& box, std::function<void(const QString& hint)> say, std::function<void()> clear);

// The same, told in `hint`.
void GuardCodePage(QLineEdit& box, RefusalHint& hint);

// The box drops characters outside the code page (and line breaks when `one_line`) as they arrive,
// keeping the caret in place, and says so in `hint`. Connect it before any handler that stores the text.
void GuardCodePage(QPlainTextEdit& box, RefusalHint& hint, bool one_line);

// What a number box says when its text is not taken: the field `label` needs `what` ("a whole number
// from -32768 to 32767" by default) and keeps `kept`.
QString NumberNotTakenHint(const QString& label, const QString& kept,
                           const QString& what = QStringLiteral("a whole number from -32768 to 32767"));

// Shows `box` as not taken, saying `reason` (or taken again when `reason` is empty).
void MarkRejected(QLineEdit& box, const QString& reason);

// Shows `text` in the box unless it shows it already, so that a caret and selection in a box that
// already agrees stay where they are. True when the text was replaced.
bool ShowText(QLineEdit& box, const QString& text);
bool ShowText(QPlainTextEdit& box, const QString& text);

// Puts `text` at the start of the box's selection (a selection is not replaced; the text lands before
// it), moves the caret right behind it and gives the box the focus. CR LF counts as one line break.
void InsertAtCaret(QPlainTextEdit& box, const QString& text);

}  // namespace vyr::gui
