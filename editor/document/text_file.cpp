#include "editor/document/text_file.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

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
  // The path may come from a damaged project file: quote no more than a readable part of it.
  const std::string where = platform::PathExcerpt(path);
  if (line > 0) return where + ":" + std::to_string(line) + ": " + reason;
  return where + ": " + reason;
}

std::string SignSpaceInteger(long long value) {
  if (value < 0) return std::to_string(value);
  std::string out(1, ' ');
  out += std::to_string(value);
  return out;
}

namespace {

// A finite value other than zero as its magnitude's seven significant digits, correctly rounded from
// the 32-bit value with trailing zeros dropped, and the decimal exponent of the first digit.
struct Decimal {
  std::string digits;
  int exponent = 0;
};

Decimal SevenDigits(float value) {
  char buffer[32];  // "d.dddddde+XX"
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific, 6);
  const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
  const auto e = text.find('e');
  Decimal decimal;
  for (char c : text.substr(0, e)) {
    if (IsDigit(c)) decimal.digits += c;
  }
  std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), text.data() + text.size(),
                  decimal.exponent);
  while (decimal.digits.size() > 1 && decimal.digits.back() == '0')
    decimal.digits.pop_back();
  return decimal;
}

// The digits without exponent: "120", "2.5", ".05" (or "0.05" with `zero_before_point`).
void AppendPlain(std::string& out, const Decimal& decimal, bool zero_before_point) {
  const std::string& digits = decimal.digits;
  if (decimal.exponent >= 0) {
    const auto whole = static_cast<std::size_t>(decimal.exponent) + 1;
    if (digits.size() <= whole) {
      out.append(digits);
      out.append(whole - digits.size(), '0');
    } else {
      out.append(digits, 0, whole);
      out += '.';
      out.append(digits, whole);
    }
    return;
  }
  if (zero_before_point) out += '0';
  out += '.';
  out.append(static_cast<std::size_t>(-decimal.exponent - 1), '0');
  out.append(digits);
}

float Finite(float value) {
  if (std::isnan(value)) return 0.0f;
  if (std::isinf(value))
    return value < 0 ? std::numeric_limits<float>::lowest() : std::numeric_limits<float>::max();
  return value;
}

}  // namespace

std::string SignSpaceSingle(float value) {
  value = Finite(value);
  if (value == 0.0f) return " 0";
  const Decimal decimal = SevenDigits(value);
  std::string out = value < 0 ? "-" : " ";
  if (decimal.exponent >= -5 && decimal.exponent < 7) {
    AppendPlain(out, decimal, false);
    return out;
  }
  out += decimal.digits[0];
  if (decimal.digits.size() > 1) {
    out += '.';
    out.append(decimal.digits, 1);
  }
  out += decimal.exponent < 0 ? "E-" : "E+";
  const int magnitude = decimal.exponent < 0 ? -decimal.exponent : decimal.exponent;
  if (magnitude < 10) out += '0';
  out += std::to_string(magnitude);
  return out;
}

std::string PlainDecimal(float value) {
  value = Finite(value);
  if (value == 0.0f) return std::signbit(value) ? "-0" : "0";
  std::string out = value < 0 ? "-" : "";
  AppendPlain(out, SevenDigits(value), true);
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

TextReader::TextReader(std::string path, std::unique_ptr<platform::FileReader> file)
    : path_(std::move(path)), file_(std::move(file)) {}

TextReader::TextReader(TextReader&&) noexcept = default;
TextReader& TextReader::operator=(TextReader&&) noexcept = default;
TextReader::~TextReader() = default;

std::optional<TextReader> TextReader::Open(const std::string& path, FileError& error) {
  error = FileError{path, 0, {}};
  auto file = std::make_unique<platform::FileReader>();
  platform::ReadResult opened = file->Open(path, kMaxFileSize);
  if (!opened) {
    error.reason = opened.fault == platform::ReadFault::kTooLarge
                       ? "cannot open the file: it is larger than any mission file"
                       : std::move(opened.reason);
    return std::nullopt;
  }
  return TextReader(path, std::move(file));
}

bool TextReader::AtEnd() const {
  return file_ ? file_->AtEnd() : position_ >= bytes_.size();
}

void TextReader::NextPiece(std::string& piece, bool& ended_by_line_feed) {
  if (file_) {
    file_->NextLine(piece, &ended_by_line_feed);
    return;
  }
  const auto end = bytes_.find('\n', position_);
  ended_by_line_feed = end != std::string::npos;
  const std::size_t stop = ended_by_line_feed ? end : bytes_.size();
  piece.assign(bytes_, position_, stop - position_);
  position_ = ended_by_line_feed ? end + 1 : bytes_.size();
}

bool TextReader::Fail(int line, std::string reason) {
  error_ = FileError{path_, line, std::move(reason)};
  return false;
}

bool TextReader::Line(std::string& out, std::string_view what) {
  if (AtEnd()) {
    if (file_ && !file_->result()) return Fail(line_number_ + 1, file_->result().reason);
    std::string reason = "the file ends";
    if (!context_.empty()) reason += " inside " + context_;
    reason += " (" + std::string(what) + " expected)";
    return Fail(line_number_ + 1, std::move(reason));
  }
  bool ended = false;
  NextPiece(out, ended);
  // The first line end decides what ends every line of the file.
  if (line_number_ == 0) line_feed_ends_lines_ = ended && (out.empty() || out.back() != '\r');
  while (ended) {
    if (!out.empty() && out.back() == '\r') {
      out.pop_back();
      break;
    }
    if (line_feed_ends_lines_) break;
    out += '\n';  // a lone LF inside a value
    if (AtEnd()) break;
    std::string piece;
    NextPiece(piece, ended);
    out += piece;
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
    return Fail(line_number_,
                std::string(what) + " \"" + platform::Excerpt(text) + "\" is out of range (-32768 to 32767)");
  }
  out = *value;
  return true;
}

bool TextReader::Single(float& out, std::string_view what) {
  std::string text;
  if (!Line(text, what)) return false;
  const auto number = LeadingNumber(text);
  if (!number || std::fabs(*number) > std::numeric_limits<float>::max()) {
    return Fail(line_number_, std::string(what) + " \"" + platform::Excerpt(text) + "\" is out of range");
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

}  // namespace vyr::editor
