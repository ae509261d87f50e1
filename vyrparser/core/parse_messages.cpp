#include "vyrparser/core/parse_messages.h"

#include <charconv>
#include <ostream>
#include <streambuf>

namespace vyr::parser {
namespace {

constexpr std::string_view kSyntax = "ERROR in syntax found, at line ";
constexpr std::string_view kLexical = "ERROR in syntax found by lex, at line ";
constexpr std::string_view kNoLine = "ERROR in syntax found\nCAUSE ";
constexpr std::string_view kReadFailure = "input in flex scanner failed\n";

// Reads the text up to `end` (consumed too); false, reading nothing, when `end` does not follow.
bool ReadUntil(std::string_view& rest, std::string_view end, std::string* out) {
  const std::size_t at = rest.find(end);
  if (at == std::string_view::npos) return false;
  *out = std::string(rest.substr(0, at));
  rest.remove_prefix(at + end.size());
  return true;
}

bool ReadLineNumber(std::string_view& rest, std::int32_t* line) {
  const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), *line);
  if (error != std::errc{}) return false;
  rest.remove_prefix(static_cast<std::size_t>(end - rest.data()));
  return true;
}

// One message at the start of `rest`, consumed; false when `rest` holds none of the known formats.
bool ReadOne(std::string_view& rest, ParseMessage* message) {
  std::string_view text = rest;
  if (text.starts_with(kLexical)) {
    text.remove_prefix(kLexical.size());
    if (!ReadLineNumber(text, &message->line) || !text.starts_with(", near: \"")) return false;
    text.remove_prefix(9);
    if (!ReadUntil(text, "\".\n", &message->near_text)) return false;
    message->cause = "unexpected character";
  } else if (text.starts_with(kSyntax)) {
    text.remove_prefix(kSyntax.size());
    if (!ReadLineNumber(text, &message->line) || !text.starts_with("\nnear: '")) return false;
    text.remove_prefix(8);
    // A token holds no line feed but the one-character piece of a literal, so this end is unambiguous.
    if (!ReadUntil(text, "'.\nCAUSE ", &message->near_text) || !ReadUntil(text, "\n", &message->cause)) {
      return false;
    }
  } else if (text.starts_with(kNoLine)) {
    text.remove_prefix(kNoLine.size());
    if (!ReadUntil(text, "\n", &message->cause)) return false;
  } else if (text.starts_with(kReadFailure)) {
    text.remove_prefix(kReadFailure.size());
    message->cause = kReadFailure.substr(0, kReadFailure.size() - 1);
  } else {
    return false;
  }
  rest = text;
  return true;
}

// Passes everything on to another stream buffer and keeps a copy.
class TeeBuffer : public std::streambuf {
 public:
  explicit TeeBuffer(std::streambuf* forward) : forward_(forward) {}
  const std::string& text() const { return text_; }

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    text_ += traits_type::to_char_type(c);
    if (forward_ != nullptr) forward_->sputc(traits_type::to_char_type(c));
    return c;
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    text_.append(s, static_cast<std::size_t>(n));
    if (forward_ != nullptr) forward_->sputn(s, n);
    return n;
  }
  int sync() override { return forward_ != nullptr ? forward_->pubsync() : 0; }

 private:
  std::streambuf* forward_;
  std::string text_;
};

}  // namespace

std::vector<ParseMessage> ReadParseMessages(std::string_view error_text) {
  std::vector<ParseMessage> messages;
  while (!error_text.empty()) {
    ParseMessage message;
    if (!ReadOne(error_text, &message)) {
      const std::size_t end = error_text.find('\n');
      message = ParseMessage{};
      message.cause = std::string(error_text.substr(0, end));
      error_text.remove_prefix(end == std::string_view::npos ? error_text.size() : end + 1);
      if (message.cause.empty()) continue;
    }
    messages.push_back(std::move(message));
  }
  return messages;
}

ParseResult ParseMissionFileWithMessages(const std::filesystem::path& path, ParsedMission& mission,
                                         std::ostream& errors, std::vector<ParseMessage>& messages) {
  TeeBuffer tee(errors.rdbuf());
  std::ostream both(&tee);
  std::string why_unreadable;
  const ParseResult result = ParseMissionFile(path, mission, both, &why_unreadable);
  both.flush();
  messages = ReadParseMessages(tee.text());
  if (result == ParseResult::kFileProblem) messages.push_back(ParseMessage{0, {}, why_unreadable});
  return result;
}

}  // namespace vyr::parser
