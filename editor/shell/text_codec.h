// Text crossing between the core and Qt. Record texts are Windows-1252 bytes; file names are UTF-8, as
// the file system speaks it. Messages may carry both, so they are read as UTF-8 when they are valid
// UTF-8 and as Windows-1252 otherwise.
#pragma once

#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace vyr::gui {

QString FromCodePage(std::string_view bytes);
// Nothing when the text holds a character the code page cannot hold: it is never stored as another one.
std::optional<std::string> ToCodePage(const QString& text);

QString FromPath(std::string_view path);
std::string ToPath(const QString& path);

QString FromMessage(std::string_view text);

}  // namespace vyr::gui
