#include "editor/gui/common/number_text.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace vyr::gui {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back()))
    text.remove_suffix(1);
  return text;
}

struct Scanned {
  double value = 0;
  std::size_t length = 0;  // characters of the number, sign included; 0 when there is none
};

// The longest number at the start of `text`: sign, digits, a fraction, an exponent. Names like
// "inf" or "nan" are not numbers here, and a number too large for a double counts as infinite.
Scanned ScanNumber(std::string_view text) {
  std::size_t sign = 0;
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    sign = 1;
  }
  const std::string_view rest = text.substr(sign);
  if (rest.empty() || !(std::isdigit(static_cast<unsigned char>(rest.front())) || rest.front() == '.'))
    return {};
  double value = 0;
  const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
  if (error == std::errc::invalid_argument) return {};
  if (error == std::errc::result_out_of_range) value = std::numeric_limits<double>::infinity();
  return {negative ? -value : value, sign + static_cast<std::size_t>(end - rest.data())};
}

std::optional<double> WholeNumber(std::string_view text) {
  text = Trimmed(text);
  const Scanned scanned = ScanNumber(text);
  if (scanned.length == 0 || scanned.length != text.size() || !std::isfinite(scanned.value))
    return std::nullopt;
  return scanned.value;
}

}  // namespace

std::optional<editor::Integer> ParseInteger(std::string_view text) {
  const std::optional<double> value = WholeNumber(text);
  if (!value) return std::nullopt;
  const double rounded = std::nearbyint(*value);
  if (rounded < std::numeric_limits<editor::Integer>::min() ||
      rounded > std::numeric_limits<editor::Integer>::max())
    return std::nullopt;
  return static_cast<editor::Integer>(rounded);
}

std::optional<editor::Single> ParseSingle(std::string_view text) {
  const std::optional<double> value = WholeNumber(text);
  if (!value || std::fabs(*value) > std::numeric_limits<editor::Single>::max()) return std::nullopt;
  return static_cast<editor::Single>(*value);
}

double LeadingNumber(std::string_view text) {
  while (!text.empty() && IsBlank(text.front()))
    text.remove_prefix(1);
  return ScanNumber(text).value;
}

editor::Integer RoundToInteger(double value) {
  if (std::isnan(value)) return 0;
  constexpr double kLow = std::numeric_limits<editor::Integer>::min();
  constexpr double kHigh = std::numeric_limits<editor::Integer>::max();
  return static_cast<editor::Integer>(std::clamp(std::nearbyint(value), kLow, kHigh));
}

std::string SingleText(editor::Single value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

}  // namespace vyr::gui
