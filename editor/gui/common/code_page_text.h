// Text crossing between the core (Windows-1252 bytes) and Qt (UTF-16). A character the code page cannot
// hold is never turned into another one: windows refuse it at entry instead.
#pragma once

#include <QString>
#include <QValidator>
#include <string>
#include <string_view>

class QTextDocument;

namespace vyr::gui {

QString FromCodePage(std::string_view bytes);
// Every character of `text` must fit the code page (see FitsCodePage); the rest would become '?'.
std::string ToCodePage(const QString& text);

// Whether the code page holds the character at `text[index]` (a surrogate pair never fits).
bool FitsCodePage(const QString& text, qsizetype index);
// The first character of `text` the code page cannot hold, or an empty string.
QString FirstForeignCharacter(const QString& text);

// Multi-line boxes: the box shows Qt's line breaks, the core holds CR LF. Reading the box back keeps a
// non-breaking space as one (QTextDocument::toPlainText would turn it into a plain space).
QString ToBoxLines(std::string_view bytes);
std::string FromBoxLines(const QTextDocument& document);
// Takes every character the code page cannot hold out of `document` (its own line breaks stay); returns
// the first one taken, or an empty string when all of them fit.
QString TakeOutForeignCharacters(QTextDocument& document);
// What a box says when it refused `character` (empty: a character it cannot name).
QString ForeignCharacterHint(const QString& character);

// File names are UTF-8, as the file system speaks it (a name that is not valid UTF-8 is shown as
// code-page text). Messages may carry names and record texts alike, so they are read the same way.
QString FromPath(std::string_view path);
std::string ToPath(const QString& path);
QString FromMessage(std::string_view text);

// What a one-line box says when it left out a line break.
QString LineBreakHint();

// For one-line boxes: takes every character the code page cannot hold and every line break out of typed
// or pasted text, keeping the rest and the caret's place among it, and says what it left out.
class CodePageValidator : public QValidator {
  Q_OBJECT

 public:
  using QValidator::QValidator;
  State validate(QString& input, int& position) const override;

 signals:
  // Something was left out: `hint` names the first foreign character, or says a line break was.
  void leftOut(const QString& hint) const;
};

}  // namespace vyr::gui
