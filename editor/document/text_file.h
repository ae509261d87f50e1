// The editor's text files: 8-bit code-page bytes kept as they are, one value per line, lines ended
// by CR LF, values assigned by position, "True"/"False", numbers in the sign-space general format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "editor/document/status.h"
#include "platform/read_file.h"

namespace vyr::editor {

inline constexpr std::string_view kLineEnd = "\r\n";
inline constexpr std::string_view kTrueText = "True";
inline constexpr std::string_view kFalseText = "False";

// What went wrong while reading or writing a file. `line` is 1-based; 0 when the fault has no line.
struct FileError {
  std::string path;
  int line = 0;
  std::string reason;

  // "path:line: reason", or "path: reason" without a line.
  std::string Message() const;
  Status ToStatus() const { return Status::Error(Message()); }
};

// Sign-space form of a whole number: " 120", "-64", " 0".
std::string SignSpaceInteger(long long value);

// Sign-space general form of a 32-bit value: at most 7 significant digits, no trailing zeros, no point
// for whole values, no zero before the point (" .5", "-.25", " 1"). Magnitudes of 1E+07 and above or
// below 1E-05 take an exponent (" 1.5E+07"). NaN writes " 0"; infinities write the largest finite value.
std::string SignSpaceSingle(float value);

// A 32-bit value with at most 7 significant digits and never an exponent: "1", "0.5", "-2.25",
// "0.00001", "15000000". NaN writes "0"; infinities write the largest finite value.
std::string PlainDecimal(float value);

// The leading number of a line: blanks skipped, an optional sign, digits with an optional point and an
// optional exponent. A line without one reads 0. Nothing when the number lies beyond a double's range.
std::optional<double> LeadingNumber(std::string_view line);

// Rounds half to even; nothing when the result does not fit a 16-bit Integer.
std::optional<std::int16_t> ToInteger(double value);

// Collects the lines of one file in memory; the file is written whole by platform::WriteFileAtomically.
class TextWriter {
 public:
  void Line(std::string_view text);
  // Numbers of the project and section files end with one blank: " 120 ", "-64 ", " .5 ".
  void Integer(long long value);
  void Single(float value);
  void Bool(bool value);

  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

// Reads a file line by line, from memory or straight from the file, so a reader that stops at its first
// fault has read no further. A line ends at CR LF. A file whose first line ends in a lone LF (a hand edit,
// a checkout with LF line ends) takes LF as its line end, CR LF included; otherwise a lone CR or LF is
// part of the value, as the editor writes values that hold one. A last line without a line end still
// counts; a file ending in a line end has no empty last line.
class TextReader {
 public:
  TextReader(std::string path, std::string bytes);
  // Opens a regular file of at most 1 GiB; nothing, and the path and reason in `error`, when it cannot.
  static std::optional<TextReader> Open(const std::string& path, FileError& error);
  TextReader(TextReader&&) noexcept;
  TextReader& operator=(TextReader&&) noexcept;
  ~TextReader();

  bool AtEnd() const;
  // Number of the line last read (1-based), 0 before the first.
  int line_number() const { return line_number_; }
  const std::string& path() const { return path_; }

  // Each reader returns false and sets `error` at the end of the file; `what` names the value expected,
  // as in "the file ends inside a location record (loc_x expected)".
  bool Line(std::string& out, std::string_view what);
  bool Integer(std::int16_t& out, std::string_view what);
  bool Single(float& out, std::string_view what);
  bool Bool(bool& out, std::string_view what);

  const std::optional<FileError>& error() const { return error_; }
  // The kind of record being read, named in the end-of-file message ("location record").
  void set_context(std::string context) { context_ = std::move(context); }

 private:
  TextReader(std::string path, std::unique_ptr<platform::FileReader> file);
  bool Fail(int line, std::string reason);
  // The text up to the next LF, or to the end; precondition: !AtEnd().
  void NextPiece(std::string& piece, bool& ended_by_line_feed);

  std::string path_;
  std::string bytes_;  // when read from memory
  std::size_t position_ = 0;
  std::unique_ptr<platform::FileReader> file_;  // when read from a file
  bool line_feed_ends_lines_ = false;
  int line_number_ = 0;
  std::string context_;
  std::optional<FileError> error_;
};

}  // namespace vyr::editor
