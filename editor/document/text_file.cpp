#include "editor/document/text_file.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

#include "platform/read_file.h"

namespace vyr::editor {

namespace {

// Far beyond a full forces file (some ten megabytes), yet it keeps a wrong file from filling the memory.
constexpr std::uint64_t kMaxFileSize = std::uint64_t{1} << 30;

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

std::string FileError::Message() const {
  if (line > 0) return path + ":" + std::to_string(line) + ": " + reason;
  return path + ": " + reason;
}

std::string SignSpaceInteger(long long value) {
  if (value < 0) return std::to_string(value);
  std::string out(1, ' ');
  out += std::to_string(value);
  return out;
}

std::string SignSpaceSingle(float value) {
  if (std::isnan(value) || value == 0.0f) return " 0";
  if (std::isinf(value)) {
    value = value < 0 ? std::numeric_limits<float>::lowest() : std::numeric_limits<float>::max();
  }
  const bool negative = value < 0;

  // Seven significant digits, correctly rounded from the 32-bit value: "d.dddddde+XX".
  char buffer[32];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific, 6);
  const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
  const auto e = text.find('e');
  std::string digits;
  for (char c : text.substr(0, e)) {
    if (IsDigit(c)) digits += c;
  }
  int exponent = 0;
  std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), text.data() + text.size(), exponent);
  while (digits.size() > 1 && digits.back() == '0')
    digits.pop_back();

  std::string out = negative ? "-" : " ";
  if (exponent >= -5 && exponent < 7) {
    if (exponent >= 0) {
      const auto whole = static_cast<std::size_t>(exponent) + 1;
      if (digits.size() <= whole) {
        out += digits + std::string(whole - digits.size(), '0');
      } else {
        out += digits.substr(0, whole) + "." + digits.substr(whole);
      }
    } else {
      out += "." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    }
    return out;
  }
  out += digits.substr(0, 1);
  if (digits.size() > 1) out += "." + digits.substr(1);
  out += exponent < 0 ? "E-" : "E+";
  const int magnitude = exponent < 0 ? -exponent : exponent;
  if (magnitude < 10) out += '0';
  out += std::to_string(magnitude);
  return out;
}

std::optional<double> LeadingNumber(std::string_view line) {
  std::size_t i = 0;
  while (i < line.size() && IsBlank(line[i]))
    ++i;
  bool negative = false;
  if (i < line.size() && (line[i] == '-' || line[i] == '+')) negative = line[i++] == '-';

  std::string number;  // unsigned, in the form std::from_chars reads
  int whole_digits = 0;
  int leading_fraction_zeros = 0;
  bool significant_seen = false;
  bool any_digit = false;
  for (; i < line.size() && IsDigit(line[i]); ++i) {
    number += line[i];
    any_digit = true;
    if (line[i] != '0') significant_seen = true;
    if (significant_seen) ++whole_digits;
  }
  if (i < line.size() && line[i] == '.') {
    number += '.';
    for (++i; i < line.size() && IsDigit(line[i]); ++i) {
      number += line[i];
      any_digit = true;
      if (line[i] != '0') significant_seen = true;
      if (!significant_seen) ++leading_fraction_zeros;
    }
  }
  if (!any_digit) return 0.0;

  long long exponent = 0;
  if (i < line.size() && (line[i] == 'E' || line[i] == 'e' || line[i] == 'D' || line[i] == 'd')) {
    std::size_t j = i + 1;
    bool exponent_negative = false;
    if (j < line.size() && (line[j] == '-' || line[j] == '+')) exponent_negative = line[j++] == '-';
    if (j < line.size() && IsDigit(line[j])) {
      for (; j < line.size() && IsDigit(line[j]); ++j) {
        if (exponent < 100000) exponent = exponent * 10 + (line[j] - '0');
      }
      if (exponent_negative) exponent = -exponent;
    }
  }
  if (!significant_seen) return negative ? -0.0 : 0.0;

  // Decimal magnitude of the value, to tell an overflow from an underflow without trusting a huge exponent.
  const long long magnitude = (whole_digits > 0 ? whole_digits : -leading_fraction_zeros) + exponent;
  if (magnitude > 400) return std::nullopt;
  if (magnitude < -400) return negative ? -0.0 : 0.0;
  number += 'e';
  number += std::to_string(exponent);

  double value = 0;
  const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    if (magnitude > 0) return std::nullopt;
    value = 0;
  }
  if (!std::isfinite(value)) return std::nullopt;
  return negative ? -value : value;
}

std::optional<std::int16_t> ToInteger(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  const double rounded = std::nearbyint(value);  // the default rounding mode: half to even
  if (rounded < std::numeric_limits<std::int16_t>::min() ||
      rounded > std::numeric_limits<std::int16_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int16_t>(rounded);
}

void TextWriter::Line(std::string_view text) {
  bytes_ += text;
  bytes_ += kLineEnd;
}

void TextWriter::Integer(long long value) {
  char buffer[32];
  char* at = buffer;
  if (value >= 0) *at++ = ' ';
  at = std::to_chars(at, buffer + sizeof buffer, value).ptr;
  *at++ = ' ';
  Line(std::string_view(buffer, static_cast<std::size_t>(at - buffer)));
}

void TextWriter::Single(float value) {
  Line(SignSpaceSingle(value) + " ");
}

void TextWriter::Bool(bool value) {
  Line(value ? kTrueText : kFalseText);
}

TextReader::TextReader(std::string path, std::string bytes)
    : path_(std::move(path)), bytes_(std::move(bytes)) {}

bool TextReader::Fail(int line, std::string reason) {
  error_ = FileError{path_, line, std::move(reason)};
  return false;
}

bool TextReader::Line(std::string& out, std::string_view what) {
  if (AtEnd()) {
    std::string reason = "the file ends";
    if (!context_.empty()) reason += " inside " + context_;
    reason += " (" + std::string(what) + " expected)";
    return Fail(line_number_ + 1, std::move(reason));
  }
  const auto end = bytes_.find(kLineEnd, position_);
  if (end == std::string::npos) {
    out.assign(bytes_, position_);
    position_ = bytes_.size();
  } else {
    out.assign(bytes_, position_, end - position_);
    position_ = end + kLineEnd.size();
  }
  ++line_number_;
  return true;
}

bool TextReader::Integer(std::int16_t& out, std::string_view what) {
  std::string text;
  if (!Line(text, what)) return false;
  const auto number = LeadingNumber(text);
  const auto value = number ? ToInteger(*number) : std::nullopt;
  if (!value) {
    return Fail(line_number_, std::string(what) + " \"" + text + "\" is out of range (-32768 to 32767)");
  }
  out = *value;
  return true;
}

bool TextReader::Single(float& out, std::string_view what) {
  std::string text;
  if (!Line(text, what)) return false;
  const auto number = LeadingNumber(text);
  if (!number || std::fabs(*number) > std::numeric_limits<float>::max()) {
    return Fail(line_number_, std::string(what) + " \"" + text + "\" is out of range");
  }
  out = static_cast<float>(*number);
  return true;
}

bool TextReader::Bool(bool& out, std::string_view what) {
  std::string text;
  if (!Line(text, what)) return false;
  out = text == kTrueText;
  return true;
}

bool ReadFileBytes(const std::string& path, std::string& bytes, FileError& error) {
  error = FileError{path, 0, {}};
  platform::ReadResult read = platform::ReadFileBytes(path, bytes, kMaxFileSize);
  if (read) return true;
  error.reason = read.fault == platform::ReadFault::kTooLarge
                     ? "cannot open the file: it is larger than any mission file"
                     : std::move(read.reason);
  return false;
}

}  // namespace vyr::editor
