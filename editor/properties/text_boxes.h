// Text boxes of the property windows and builders: they edit Windows-1252 text, refuse a character the
// code page cannot hold with a visible hint, and insert at the caret the way the condition and plan
// builders do.
#pragma once

#include <QLabel>
#include <QString>

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

// The box refuses text outside the code page; a refusal shows `hint`.
void GuardCodePage(QLineEdit& box, RefusalHint& hint);

// The box drops characters outside the code page (and line breaks when `one_line`) as they arrive,
// keeping the caret in place, and says so in `hint`. Connect it before any handler that stores the text.
void GuardCodePage(QPlainTextEdit& box, RefusalHint& hint, bool one_line);

// Puts `text` at the start of the box's selection (a selection is not replaced; the text lands before
// it), moves the caret right behind it and gives the box the focus. CR LF counts as one line break.
void InsertAtCaret(QPlainTextEdit& box, const QString& text);

}  // namespace vyr::gui
