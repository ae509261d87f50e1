#include "editor/shell/code_page_text.h"

#include <QStringDecoder>

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
