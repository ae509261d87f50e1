#include "vyrparser/core/number_format.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace vyr::parser {
namespace {

// Rewrites "[-]d[.ddd]e[+-]xx" as plain decimal with the same digits.
std::string ExpandExponent(const std::string& text, std::size_t e_pos) {
  std::string sign;
  std::size_t start = 0;
  if (text[0] == '-') {
    sign = "-";
    start = 1;
  }
  std::string digits;
  for (std::size_t i = start; i < e_pos; ++i)
    if (text[i] != '.') digits += text[i];
  const int exponent = std::atoi(text.c_str() + e_pos + 1);
  std::string whole;
  std::string fraction;
  if (exponent >= 0) {
    const auto whole_length = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= whole_length) {
      whole = digits + std::string(whole_length - digits.size(), '0');
    } else {
      whole = digits.substr(0, whole_length);
      fraction = digits.substr(whole_length);
    }
  } else {
    whole = "0";
    fraction = std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
  }
  while (!fraction.empty() && fraction.back() == '0')
    fraction.pop_back();
  return sign + whole + (fraction.empty() ? "" : "." + fraction);
}

}  // namespace

std::string FormatGeneral(float value) {
  if (std::isnan(value)) value = 0.0f;
  if (std::isinf(value)) value = std::copysign(std::numeric_limits<float>::max(), value);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%g", static_cast<double>(value));
  std::string text = buffer;
  if (const std::size_t e_pos = text.find('e'); e_pos != std::string::npos)
    text = ExpandExponent(text, e_pos);
  if (text.find('.') == std::string::npos) {
    const double written = std::strtod(text.c_str(), nullptr);
    if (written < -32768.0 || written > 32767.0) text += ".0";
  }
  return text;
}

std::string FormatCoordinate(float value) {
  std::string text = FormatGeneral(value);
  if (text.size() < 5) text.insert(0, 5 - text.size(), ' ');
  return text;
}

}  // namespace vyr::parser
