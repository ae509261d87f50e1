#include "editor/shell/code_page_text.h"

#include <QStringDecoder>
#include <QTextCursor>
#include <QTextDocument>

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
  const QString refused = FirstForeignCharacter(text);
  if (refused.isEmpty()) return refused;
  QTextCursor cursor(&document);
  for (qsizetype i = text.size() - 1; i >= 0; --i) {
    if (FitsCodePage(text, i) || text.at(i) == QChar::ParagraphSeparator ||
        text.at(i) == QChar::LineSeparator)
      continue;
    const qsizetype end = i + 1;
    if (text.at(i).isLowSurrogate() && i > 0 && text.at(i - 1).isHighSurrogate()) --i;
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

QValidator::State CodePageValidator::validate(QString& input, int&) const {
  return FirstForeignCharacter(input).isEmpty() ? Acceptable : Invalid;
}

}  // namespace vyr::gui
