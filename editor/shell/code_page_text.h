// Text crossing between the core (Windows-1252 bytes) and Qt (UTF-16). A character the code page cannot
// hold is never turned into another one: windows refuse it at entry instead.
#pragma once

#include <QString>
#include <QValidator>
#include <string>
#include <string_view>

namespace vyr::gui {

QString FromCodePage(std::string_view bytes);
// Every character of `text` must fit the code page (see FitsCodePage); the rest would become '?'.
std::string ToCodePage(const QString& text);

// Whether the code page holds the character at `text[index]` (a surrogate pair never fits).
bool FitsCodePage(const QString& text, qsizetype index);
// The first character of `text` the code page cannot hold, or an empty string.
QString FirstForeignCharacter(const QString& text);

// File names are UTF-8, as the file system speaks it (a name that is not valid UTF-8 is shown as
// code-page text). Messages may carry names and record texts alike, so they are read the same way.
QString FromPath(std::string_view path);
std::string ToPath(const QString& path);
QString FromMessage(std::string_view text);

// Refuses typed or pasted text holding a character the code page cannot hold.
class CodePageValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& position) const override;
};

}  // namespace vyr::gui
