#include "vyrparser/core/scanner.h"

#include <algorithm>
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

// Keyword lookup: open addressing over a small power-of-two table, built at compile time.
struct KeywordTable {
  static constexpr std::size_t kSize = 512;
  struct Entry {
    std::string_view text;
    Tok kind = Tok::kIdent;
  };
  std::array<Entry, kSize> entries{};

  static constexpr std::size_t Hash(std::string_view w) {
    std::size_t h = w.size() * 131;
    for (char c : w)
      h = h * 31 + static_cast<unsigned char>(c);
    return h & (kSize - 1);
  }

  constexpr KeywordTable() {
    struct Keyword {
      std::string_view text;
      Tok kind;
    };
    constexpr Keyword kKeywords[] = {
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

constexpr KeywordTable kKeywordTable;

constexpr std::size_t kLongestKeyword = 11;  // "description"

// Bytes the window holds past the start of a token (unless the input ends first), so the scanner
// may look a few characters ahead without checking.
constexpr std::size_t kAhead = 64;
// A token that ends closer than this to the window's end may go on past it: read more and rescan.
constexpr std::ptrdiff_t kSlack = 2;
// Spare chunks kept for reuse.
constexpr std::size_t kSpareChunks = 2;

const char kNoInput[1] = {'\0'};

inline void Set(Token& t, Tok kind, const char* begin, const char* end) {
  t.kind = kind;
  t.text = std::string_view(begin, static_cast<std::size_t>(end - begin));
}

}  // namespace

Scanner::Scanner(std::string_view input)
    : p_(input.data()), lim_(input.data() + input.size()), at_end_(true) {}

Scanner::Scanner(ByteSource& source, std::size_t chunk_size)
    : p_(kNoInput),
      lim_(kNoInput),
      at_end_(false),
      source_(&source),
      chunk_size_(chunk_size ? chunk_size : 1) {}

Scanner::~Scanner() = default;

void Scanner::Read(Token& t) {
  ++serial_;
  if (!retiring_.empty() && retiring_.front().retire_after <= serial_) RetireChunks();
  // Opening or closing quotes produce no token: switch state and go on scanning.
  for (;;) {
    if (in_string_ ? ScanString(t) : ScanNormal(t)) break;
  }
  // Bytes read before a failure are scanned; a token that reaches their end may be cut short.
  if (read_failed_ && lim_ - p_ < kSlack) Set(t, Tok::kReadError, lim_, lim_);
}

void Scanner::RetireChunks() {
  while (!retiring_.empty() && retiring_.front().retire_after <= serial_) {
    if (spare_.size() < kSpareChunks && retiring_.front().capacity <= 2 * chunk_size_ + kAhead + 1) {
      spare_.push_back(std::move(retiring_.front()));
    }
    retiring_.pop_front();
  }
}

const char* Scanner::Refill(const char* keep, std::size_t want) {
  const auto kept = static_cast<std::size_t>(lim_ - keep);
  const std::size_t need = std::max(want, kept + chunk_size_) + 1;  // and the NUL after the bytes
  Chunk next;
  for (auto it = spare_.begin(); it != spare_.end(); ++it) {
    if (it->capacity >= need) {
      next = std::move(*it);
      spare_.erase(it);
      break;
    }
  }
  if (!next.data) {
    next.capacity = std::max(need, chunk_size_ + kAhead + 1);
    next.data = std::make_unique_for_overwrite<char[]>(next.capacity);
  }
  char* data = next.data.get();
  if (kept) std::memcpy(data, keep, kept);
  std::size_t size = kept;
  while (!at_end_ && size + 1 < next.capacity) {
    const std::ptrdiff_t n = source_->Read(data + size, next.capacity - 1 - size);
    if (n <= 0) {
      at_end_ = true;
      read_failed_ = n < 0;
    } else {
      size += static_cast<std::size_t>(n);
    }
  }
  data[size] = '\0';
  if (current_.data) {
    current_.retire_after = serial_ + kTokensKept + 1;
    retiring_.push_back(std::move(current_));
  }
  current_ = std::move(next);
  lim_ = data + size;
  return data;
}

// Inside a comment: consumes up to and including "*/". Returns false at the end of the input
// (with `error` set when the input ends on a lone "*").
bool Scanner::SkipBlockComment(const char*& p, Token& error) {
  for (;;) {
    // Fast path: skip plain text up to the next "*" or line feed.
    while (p < lim_ && *p != '*' && *p != '\n')
      ++p;
    if (p >= lim_) {
      if (at_end_) return false;
      p = Refill(lim_, kAhead);
      continue;
    }
    if (*p == '\n') {
      ++line_;
      ++p;
      continue;
    }
    // A "*": it ends the comment before "/", else it swallows the next character, line feed or not.
    if (!at_end_ && lim_ - p < 3) {
      p = Refill(p, kAhead);
      continue;
    }
    if (p + 1 >= lim_) {
      Set(error, Tok::kLexError, p, p + 1);
      p = lim_;
      return false;
    }
    if (p[1] == '/') {
      p += 2;
      return true;
    }
    // A CR LF pair counts as the one line feed it stands for.
    p += (p[1] == '\r' && p + 2 < lim_ && p[2] == '\n') ? 3 : 2;
  }
}

// Returns false when it opened a string literal, or must rescan with more bytes (no token yet).
bool Scanner::ScanNormal(Token& t) {
  const char* p = p_;
  for (;;) {
    // Blanks, tabs and line feeds separate tokens; a CR right before a line feed goes with it.
    for (;;) {
      const char w = *p;
      if (w == ' ' || w == '\t') {
        ++p;
      } else if (w == '\n') {
        ++line_;
        ++p;
      } else if (w == '\r' && p[1] == '\n') {
        ++line_;
        p += 2;
      } else {
        break;
      }
    }
    if (!at_end_ && lim_ - p < static_cast<std::ptrdiff_t>(kAhead)) {
      p = Refill(p, kAhead);
      continue;
    }
    const char* start = p;
    if (p >= lim_) {
      p_ = lim_;
      Set(t, Tok::kEnd, lim_, lim_);
      return true;
    }
    const char c = *p;
    const std::uint8_t cls = ClassOf(c);

    if (cls & kIdentStart) {
      std::uint8_t all = kLowerWord;
      for (std::uint8_t k; (k = ClassOf(*p)) & kIdentPart; ++p)
        all &= k;
      if (!at_end_ && lim_ - p < kSlack) {
        p_ = Refill(start, 2 * static_cast<std::size_t>(p - start) + kAhead);
        return false;
      }
      const std::string_view word(start, static_cast<std::size_t>(p - start));
      t.kind = (all & kLowerWord) && word.size() <= kLongestKeyword ? kKeywordTable.Find(word) : Tok::kIdent;
      t.text = word;
      p_ = p;
      return true;
    }
    if (cls & kDigit) return FinishNumber(start, p, t);

    ++p;
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
        if (*p == '&') kind = Tok::kAndAnd, ++p;
        break;
      case '|':
        if (*p == '|') kind = Tok::kOrOr, ++p;
        break;
      case '-':
        if (*p == '>') {
          kind = Tok::kArrow;
          ++p;
        } else if (ClassOf(*p) & kDigit) {
          return FinishNumber(start, p, t);
        }
        break;
      case '"':
        in_string_ = true;
        p_ = p;
        return false;
      case '/':
        if (*p == '/') {
          // A line comment runs to the end of the line; its line feed is counted above.
          for (;;) {
            const void* nl = std::memchr(p, '\n', static_cast<std::size_t>(lim_ - p));
            if (nl) {
              p = static_cast<const char*>(nl);
              break;
            }
            if (at_end_) {
              p = lim_;
              break;
            }
            p = Refill(lim_, kAhead);
          }
          continue;
        }
        if (*p == '*') {
          ++p;
          Token error;
          const bool closed = SkipBlockComment(p, error);
          p_ = p;
          if (closed) continue;
          if (error.kind == Tok::kLexError) {
            t = error;
          } else {
            Set(t, Tok::kEnd, lim_, lim_);
          }
          return true;
        }
        break;
      default:
        break;
    }
    // A lexical error names the one offending character.
    Set(t, kind, start, kind == Tok::kLexError ? start + 1 : p);
    p_ = p;
    return true;
  }
}

// A number from `start` ("-" or its first digit); `p` is at its first digit. Returns false when it
// may go on past the window: the scan starts again with more bytes.
bool Scanner::FinishNumber(const char* start, const char* p, Token& t) {
  const char* digits = p;
  while (ClassOf(*p) & kDigit)
    ++p;
  const char* int_end = p;
  const bool is_float = *p == '.' && (ClassOf(p[1]) & kDigit);
  if (is_float) {
    p += 2;
    while (ClassOf(*p) & kDigit)
      ++p;
  }
  if (!at_end_ && lim_ - p < kSlack) {
    p_ = Refill(start, 2 * static_cast<std::size_t>(p - start) + kAhead);
    return false;
  }
  p_ = p;
  if (is_float) {
    Set(t, Tok::kFloat, start, p);
    float value = 0.0f;
    if (std::from_chars(start, p, value).ec == std::errc::result_out_of_range) {
      // Beyond the float range either way: the C library gives the nearest value (infinity,
      // a denormal or zero).
      value = std::strtof(std::string(start, p).c_str(), nullptr);
    }
    t.float_value = value;
    return true;
  }
  // The text is read as a 32-bit integer (saturating at its limits, as the C library does) and
  // its low 16 bits are kept.
  const bool negative = *start == '-';
  std::int64_t magnitude = 0;
  for (const char* d = digits; d < int_end; ++d) {
    magnitude = magnitude * 10 + (*d - '0');
    if (magnitude > (std::int64_t{1} << 31)) magnitude = std::int64_t{1} << 31;
  }
  std::int64_t value = negative ? -magnitude : magnitude;
  if (value > INT32_MAX) value = INT32_MAX;
  Set(t, Tok::kInt, start, p);
  t.int_value =
      static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::uint32_t>(value) & 0xFFFFu));
  return true;
}

// Returns false when the literal closed, or must rescan with more bytes (no token yet).
bool Scanner::ScanString(Token& t) {
  const char* p = p_;
  if (!at_end_ && lim_ - p < static_cast<std::ptrdiff_t>(kAhead)) p = Refill(p, kAhead);
  const char* start = p;
  if (p >= lim_) {
    p_ = lim_;
    Set(t, Tok::kEnd, lim_, lim_);  // the literal is cut off by the end of the input
    return true;
  }
  const char c = *p;
  if (c == '"') {
    p_ = p + 1;
    in_string_ = false;
    return false;
  }
  if (c == '\n' || (c == '\r' && p[1] == '\n')) {
    // A line feed inside a literal is a piece of its own (a CR before it is dropped).
    p += c == '\n' ? 1 : 2;
    ++line_;
    Set(t, Tok::kString, p - 1, p);
    p_ = p;
    return true;
  }
  if (!(ClassOf(c) & kStringStart)) {
    Set(t, Tok::kLexError, start, start + 1);
    p_ = p;
    return true;
  }
  ++p;
  while (ClassOf(*p) & kStringPart)
    ++p;
  if (!at_end_ && lim_ - p < kSlack) {
    p_ = Refill(start, 2 * static_cast<std::size_t>(p - start) + kAhead);
    return false;
  }
  Set(t, Tok::kString, start, p);
  p_ = p;
  return true;
}

}  // namespace vyr::parser
