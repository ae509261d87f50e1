#include "editor/shell/text_codec.h"

#include <QList>
#include <QStringDecoder>

#include "platform/codepage.h"

namespace vyr::gui {

namespace {

bool IsValidUtf8(std::string_view text) {
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  (void)decoder.decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
  return !decoder.hasError();
}

}  // namespace

QString FromCodePage(std::string_view bytes) {
  const std::u16string text = platform::Cp1252ToUtf16(bytes);
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::optional<std::string> ToCodePage(const QString& text) {
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(text.size()));
  for (const char32_t cp : text.toUcs4()) {
    const char byte = platform::UnicodeToCp1252(cp);
    if (byte == '?' && cp != U'?') return std::nullopt;
    bytes.push_back(byte);
  }
  return bytes;
}

QString FromPath(std::string_view path) {
  if (IsValidUtf8(path)) return QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size()));
  return FromCodePage(path);
}

std::string ToPath(const QString& path) {
  return path.toUtf8().toStdString();
}

QString FromMessage(std::string_view text) {
  return FromPath(text);
}

}  // namespace vyr::gui
