#include "vyrparser/core/scanner.h"

#include <array>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

namespace vyr::parser {

namespace {

enum : std::uint8_t {
  kIdentStart = 1,   // A-Z a-z
  kIdentPart = 2,    // letters, digits, "_" and "."
  kDigit = 4,        // 0-9
  kStringStart = 8,  // may open a run of a string literal
  kStringPart = 16,  // may continue a run
  kLowerWord = 32,   // a-z: the only letters keywords use
};

constexpr std::array<std::uint8_t, 256> MakeClasses() {
  std::array<std::uint8_t, 256> t{};
  for (int c = 'a'; c <= 'z'; ++c)
    t[c] |= kIdentStart | kIdentPart | kLowerWord;
  for (int c = 'A'; c <= 'Z'; ++c)
    t[c] |= kIdentStart | kIdentPart;
  for (int c = '0'; c <= '9'; ++c)
    t[c] |= kIdentPart | kDigit;
  t['_'] |= kIdentPart;
  t['.'] |= kIdentPart;
  for (unsigned char c : std::string_view(" !'(),-./:?\\_"))
    t[c] |= kStringStart;
  for (int c = 0; c < 256; ++c) {
    if (t[c] & (kIdentStart | kDigit)) t[c] |= kStringStart;
    if (t[c] & kStringStart) t[c] |= kStringPart;
  }
  for (unsigned char c : std::string_view("#%&+=@^|"))
    t[c] |= kStringPart;
  return t;
}

constexpr std::array<std::uint8_t, 256> kClasses = MakeClasses();

inline std::uint8_t ClassOf(char c) {
  return kClasses[static_cast<unsigned char>(c)];
}

// Keyword lookup: open addressing over a small power-of-two table, built once.
struct KeywordTable {
  static constexpr std::size_t kSize = 512;
  struct Entry {
    std::string_view text;
    Tok kind = Tok::kIdent;
  };
  std::array<Entry, kSize> entries{};

  static std::size_t Hash(std::string_view w) {
    std::size_t h = w.size() * 131;
    for (unsigned char c : w)
      h = h * 31 + c;
    return h & (kSize - 1);
  }

  KeywordTable() {
    struct Keyword {
      std::string_view text;
      Tok kind;
    };
    static constexpr Keyword kKeywords[] = {
#define VYR_KEYWORD_ENTRY(name, text) {text, Tok::k##name},
        VYR_KEYWORDS(VYR_KEYWORD_ENTRY)
#undef VYR_KEYWORD_ENTRY
    };
    for (const Keyword& k : kKeywords) {
      std::size_t i = Hash(k.text);
      while (!entries[i].text.empty())
        i = (i + 1) & (kSize - 1);
      entries[i] = Entry{k.text, k.kind};
    }
  }

  Tok Find(std::string_view w) const {
    std::size_t i = Hash(w);
    while (!entries[i].text.empty()) {
      if (entries[i].text == w) return entries[i].kind;
      i = (i + 1) & (kSize - 1);
    }
    return Tok::kIdent;
  }
};

const KeywordTable& Keywords() {
  static const KeywordTable table;
  return table;
}

constexpr std::size_t kLongestKeyword = 11;  // "description"

inline Token Make(Tok kind, const char* begin, const char* end) {
  Token t;
  t.kind = kind;
  t.text = std::string_view(begin, static_cast<std::size_t>(end - begin));
  return t;
}

}  // namespace

Scanner::Scanner(std::string_view input) : p_(input.data()), end_(input.data() + input.size()) {
  Keywords();
}

Token Scanner::Next() {
  // Opening or closing quotes produce no token: switch state and go on scanning.
  Token t;
  for (;;) {
    if (in_string_ ? ScanString(t) : ScanNormal(t)) return t;
  }
}

// Inside a comment: consumes up to and including "*/". Returns false at the end of the input
// (with `error` set when the input ends on a lone "*").
bool Scanner::SkipBlockComment(Token& error) {
  for (;;) {
    // Fast path: skip plain text up to the next "*" or line feed.
    while (p_ < end_ && *p_ != '*' && *p_ != '\n')
      ++p_;
    if (p_ >= end_) return false;
    if (*p_ == '\n') {
      ++line_;
      ++p_;
      continue;
    }
    // A "*": it ends the comment before "/", else it swallows the next character, line feed or not.
    if (p_ + 1 >= end_) {
      error = Make(Tok::kLexError, p_, p_ + 1);
      p_ = end_;
      return false;
    }
    if (p_[1] == '/') {
      p_ += 2;
      return true;
    }
    p_ += 2;
  }
}

// Returns false when it opened a string literal (no token yet).
bool Scanner::ScanNormal(Token& t) {
  for (;;) {
    // Blanks, tabs and line feeds separate tokens.
    while (*p_ == ' ' || *p_ == '\t' || *p_ == '\n') {
      if (*p_ == '\n') ++line_;
      ++p_;
    }
    const char* start = p_;
    if (p_ >= end_) {
      t = Make(Tok::kEnd, end_, end_);
      return true;
    }
    const char c = *p_;
    const std::uint8_t cls = ClassOf(c);

    if (cls & kIdentStart) {
      bool lower = true;
      while (ClassOf(*p_) & kIdentPart) {
        lower = lower && (ClassOf(*p_) & kLowerWord);
        ++p_;
      }
      const std::string_view word(start, static_cast<std::size_t>(p_ - start));
      t = Token{};
      t.kind = lower && word.size() <= kLongestKeyword ? Keywords().Find(word) : Tok::kIdent;
      t.text = word;
      return true;
    }
    if (cls & kDigit) {
      t = ScanNumber(start);
      return true;
    }

    ++p_;
    Tok kind = Tok::kLexError;
    switch (c) {
      case '{':
        kind = Tok::kLBrace;
        break;
      case '}':
        kind = Tok::kRBrace;
        break;
      case '(':
        kind = Tok::kLParen;
        break;
      case ')':
        kind = Tok::kRParen;
        break;
      case ',':
        kind = Tok::kComma;
        break;
      case '=':
        kind = Tok::kEquals;
        break;
      case '<':
        kind = Tok::kLess;
        break;
      case '>':
        kind = Tok::kGreater;
        break;
      case ';':
        kind = Tok::kSemicolon;
        break;
      case '!':
        kind = Tok::kBang;
        break;
      case '.':
        kind = Tok::kDot;
        break;
      case '&':
        if (*p_ == '&') kind = Tok::kAndAnd, ++p_;
        break;
      case '|':
        if (*p_ == '|') kind = Tok::kOrOr, ++p_;
        break;
      case '-':
        if (*p_ == '>') {
          kind = Tok::kArrow;
          ++p_;
        } else if (ClassOf(*p_) & kDigit) {
          t = ScanNumber(start);
          return true;
        }
        break;
      case '"':
        in_string_ = true;
        return false;
      case '/':
        if (*p_ == '/') {
          // A line comment runs to the end of the line; its line feed is counted above.
          while (p_ < end_ && *p_ != '\n')
            ++p_;
          continue;
        }
        if (*p_ == '*') {
          ++p_;
          Token error;
          if (SkipBlockComment(error)) continue;
          t = error.kind == Tok::kLexError ? error : Make(Tok::kEnd, end_, end_);
          return true;
        }
        break;
      default:
        break;
    }
    // A lexical error names the one offending character.
    t = Make(kind, start, kind == Tok::kLexError ? start + 1 : p_);
    return true;
  }
}

// `start` is the number's first character ("-" or a digit); p_ is at its first digit.
Token Scanner::ScanNumber(const char* start) {
  const char* digits = p_;
  while (ClassOf(*p_) & kDigit)
    ++p_;
  if (*p_ == '.' && (ClassOf(p_[1]) & kDigit)) {
    ++p_;
    while (ClassOf(*p_) & kDigit)
      ++p_;
    Token t = Make(Tok::kFloat, start, p_);
    float value = 0.0f;
    if (std::from_chars(start, p_, value).ec == std::errc::result_out_of_range) {
      // Beyond the float range either way: the C library gives the nearest value (infinity,
      // a denormal or zero).
      value = std::strtof(std::string(start, p_).c_str(), nullptr);
    }
    t.float_value = value;
    return t;
  }
  // The text is read as a 32-bit integer (saturating at its limits, as the C library does) and
  // its low 16 bits are kept.
  const bool negative = *start == '-';
  std::int64_t magnitude = 0;
  for (const char* d = digits; d < p_; ++d) {
    magnitude = magnitude * 10 + (*d - '0');
    if (magnitude > (std::int64_t{1} << 31)) magnitude = std::int64_t{1} << 31;
  }
  std::int64_t value = negative ? -magnitude : magnitude;
  if (value > INT32_MAX) value = INT32_MAX;
  Token t = Make(Tok::kInt, start, p_);
  t.int_value =
      static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::uint32_t>(value) & 0xFFFFu));
  return t;
}

// Returns false when the literal closed (no token yet).
bool Scanner::ScanString(Token& t) {
  const char* start = p_;
  if (p_ >= end_) {
    t = Make(Tok::kEnd, end_, end_);  // the literal is cut off by the end of the input
    return true;
  }
  const char c = *p_;
  if (c == '"') {
    ++p_;
    in_string_ = false;
    return false;
  }
  if (c == '\n') {
    // A line feed inside a literal is a piece of its own.
    ++p_;
    ++line_;
    t = Make(Tok::kString, start, p_);
    return true;
  }
  if (!(ClassOf(c) & kStringStart)) {
    t = Make(Tok::kLexError, start, start + 1);
    return true;
  }
  ++p_;
  while (ClassOf(*p_) & kStringPart)
    ++p_;
  t = Make(Tok::kString, start, p_);
  return true;
}

std::size_t DropCarriageReturnsBeforeLineFeeds(char* data, std::size_t size) {
  char* read = static_cast<char*>(std::memchr(data, '\r', size));
  if (!read) return size;
  char* const end = data + size;
  char* write = read;
  while (read < end) {
    // Copy the stretch up to the next CR, then drop that CR when a line feed follows it.
    char* cr = static_cast<char*>(std::memchr(read, '\r', static_cast<std::size_t>(end - read)));
    char* stop = cr ? cr : end;
    const std::size_t n = static_cast<std::size_t>(stop - read);
    if (write != read) std::memmove(write, read, n);
    write += n;
    read = stop;
    if (!cr) break;
    if (cr + 1 < end && cr[1] == '\n') {
      ++read;  // drop it
    } else {
      *write++ = '\r';  // a lone CR stays, for the scanner to reject
      ++read;
    }
  }
  return static_cast<std::size_t>(write - data);
}

}  // namespace vyr::parser
