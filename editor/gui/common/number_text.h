// The number boxes of the property windows: what a box's text means for its field.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "editor/document/records.h"

namespace vyr::gui {

// The whole text as one number (blanks around it allowed; "7.5" counts, halves go to even) when it
// lies within -32768 to 32767; nothing for anything else ("", "-", "12abc", "40000").
std::optional<editor::Integer> ParseInteger(std::string_view text);
// The whole text as one finite number that a Single can hold; nothing otherwise.
std::optional<editor::Single> ParseSingle(std::string_view text);
// The value of the text's leading number: "12abc" -> 12, " -1.5x" -> -1.5; 0 when there is none.
double LeadingNumber(std::string_view text);
// The nearest 16-bit Integer, halves to even, clamped to -32768 to 32767.
editor::Integer RoundToInteger(double value);
// The shortest decimal text that reads back as the same Single: 1 -> "1", 0.5 -> "0.5".
std::string SingleText(editor::Single value);

}  // namespace vyr::gui
