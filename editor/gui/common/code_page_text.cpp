#include "editor/gui/common/code_page_text.h"

#include <QStringDecoder>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

#include "platform/codepage.h"

namespace vyr::gui {

QString FromCodePage(std::string_view bytes) {
  const std::u16string wide = platform::Cp1252ToUtf16(bytes);
  return QString::fromUtf16(wide.data(), static_cast<qsizetype>(wide.size()));
}

std::string ToCodePage(const QString& text) {
  return platform::Utf16ToCp1252(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                                     static_cast<std::size_t>(text.size())));
}

bool FitsCodePage(const QString& text, qsizetype index) {
  const char16_t unit = text.at(index).unicode();
  if (unit >= 0xD800 && unit <= 0xDFFF) return false;
  return unit == u'?' || platform::UnicodeToCp1252(unit) != '?';
}

QString FirstForeignCharacter(const QString& text) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (FitsCodePage(text, i)) continue;
    const bool pair = text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
    return text.mid(i, pair ? 2 : 1);
  }
  return {};
}

namespace {

// A line break as a text document or a line box holds it between lines.
bool IsBoxLineBreak(QChar c) {
  return c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

}  // namespace

QString ToBoxLines(std::string_view bytes) {
  QString text = FromCodePage(bytes);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return text;
}

std::string FromBoxLines(const QTextDocument& document) {
  QString text = document.toRawText();
  text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
  text.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
  return ToCodePage(text);
}

QString TakeOutForeignCharacters(QTextDocument& document) {
  const QString text = document.toRawText();
  QString refused;
  QTextCursor cursor(&document);
  for (qsizetype i = text.size() - 1; i >= 0; --i) {
    // The document's own line breaks are no characters of the text.
    if (FitsCodePage(text, i) || IsBoxLineBreak(text.at(i))) continue;
    const qsizetype end = i + 1;
    if (text.at(i).isLowSurrogate() && i > 0 && text.at(i - 1).isHighSurrogate()) --i;
    refused = text.mid(i, end - i);  // walking backwards: the last one found is the first in the text
    cursor.setPosition(static_cast<int>(i));
    cursor.setPosition(static_cast<int>(end), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
  }
  return refused;
}

QString ForeignCharacterHint(const QString& character) {
  if (character.isEmpty())
    return QStringLiteral("That character cannot be kept in a mission file and was left out.");
  return QStringLiteral("\u201C%1\u201D cannot be kept in a mission file and was left out.").arg(character);
}

QString FromPath(std::string_view path) {
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  const QString text = decoder.decode(QByteArrayView(path.data(), static_cast<qsizetype>(path.size())));
  return decoder.hasError() ? FromCodePage(path) : text;
}

std::string ToPath(const QString& path) {
  return path.toUtf8().toStdString();
}

QString FromMessage(std::string_view text) {
  return FromPath(text);
}

QString LineBreakHint() {
  return QStringLiteral("This box holds one line; the line break was left out.");
}

QValidator::State CodePageValidator::validate(QString& input, int& position) const {
  QString kept;
  QString first_foreign;
  int caret = position;
  for (qsizetype i = 0; i < input.size(); ++i) {
    const bool line_end = input.at(i) == u'\n' || input.at(i) == u'\r' || IsBoxLineBreak(input.at(i));
    if (!line_end && FitsCodePage(input, i)) {
      kept += input.at(i);
      continue;
    }
    const bool pair =
        input.at(i).isHighSurrogate() && i + 1 < input.size() && input.at(i + 1).isLowSurrogate();
    const qsizetype length = pair ? 2 : 1;
    if (!line_end && first_foreign.isEmpty()) first_foreign = input.mid(i, length);
    if (i < position) caret -= static_cast<int>(std::min<qsizetype>(length, position - i));
    i += length - 1;
  }
  if (kept.size() == input.size()) return Acceptable;
  input = kept;
  position = std::max(0, caret);
  emit leftOut(first_foreign.isEmpty() ? LineBreakHint() : ForeignCharacterHint(first_foreign));
  return Acceptable;
}

}  // namespace vyr::gui

#include "moc_code_page_text.cpp"
