#include "vyrparser/core/scanner.h"

#include <algorithm>
#include <array>
#include <bit>
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
};

constexpr std::array<std::uint8_t, 256> MakeClasses() {
  std::array<std::uint8_t, 256> t{};
  for (int c = 'a'; c <= 'z'; ++c)
    t[c] |= kIdentStart | kIdentPart;
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

// Up to 16 bytes of a word as two little-endian numbers, zero past its end.
struct WordBits {
  std::uint64_t low = 0, high = 0;
  friend constexpr bool operator==(const WordBits&, const WordBits&) = default;
};

constexpr WordBits BitsOf(std::string_view w) {
  WordBits b;
  for (std::size_t i = 0; i < w.size() && i < 16; ++i) {
    const auto byte = static_cast<std::uint64_t>(static_cast<unsigned char>(w[i]));
    (i < 8 ? b.low : b.high) |= byte << (8 * (i % 8));
  }
  return b;
}

// Keyword lookup: open addressing over a small power-of-two table, built at compile time, keyed by
// the word's bytes as numbers so a probe compares two numbers, not strings.
struct KeywordTable {
  static constexpr std::size_t kBits = 9;
  static constexpr std::size_t kSize = std::size_t{1} << kBits;
  struct Entry {
    WordBits bits;
    Tok kind = Tok::kIdent;  // kIdent: empty entry
  };
  std::array<Entry, kSize> entries{};

  static constexpr std::size_t Hash(const WordBits& b) {
    const std::uint64_t h = (b.low ^ (b.high * 0xFF51AFD7ED558CCDull)) * 0x9E3779B97F4A7C15ull;
    return static_cast<std::size_t>(h >> (64 - kBits));
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
      const WordBits bits = BitsOf(k.text);
      std::size_t i = Hash(bits);
      while (entries[i].kind != Tok::kIdent)
        i = (i + 1) & (kSize - 1);
      entries[i] = Entry{bits, k.kind};
    }
  }

  Tok Find(const WordBits& bits) const {
    for (std::size_t i = Hash(bits);; i = (i + 1) & (kSize - 1)) {
      const Entry& e = entries[i];
      if (e.kind == Tok::kIdent || e.bits == bits) return e.kind;
    }
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

// NUL bytes after the bytes in memory: a word of up to 16 bytes can be loaded whole.
constexpr std::size_t kPadding = 16;
const char kNoInput[kPadding] = {};

// The bytes of a word of at most 16 bytes that starts at `p`, with kPadding bytes readable after it.
inline WordBits LoadWord(const char* p, std::size_t n) {
  WordBits b;
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(&b.low, p, 8);
    std::memcpy(&b.high, p + 8, 8);
    if (n < 8) {
      b.low &= (std::uint64_t{1} << (8 * n)) - 1;
      b.high = 0;
    } else if (n < 16) {
      b.high &= (std::uint64_t{1} << (8 * (n - 8))) - 1;
    }
  } else {
    b = BitsOf(std::string_view(p, n));
  }
  return b;
}

inline void Set(Token& t, Tok kind, const char* begin, const char* end) {
  t.kind = kind;
  t.text = std::string_view(begin, static_cast<std::size_t>(end - begin));
}

// The first byte at or after `p` that is not a blank, with kPadding bytes readable after the window.
inline const char* SkipBlanks(const char* p) {
  if constexpr (std::endian::native == std::endian::little) {
    for (;;) {
      std::uint64_t w;
      std::memcpy(&w, p, 8);
      const std::uint64_t other = w ^ 0x2020202020202020ull;  // zero bytes are blanks
      if (other) return p + std::countr_zero(other) / 8;
      p += 8;
    }
  } else {
    while (*p == ' ')
      ++p;
    return p;
  }
}

}  // namespace

std::ptrdiff_t MemorySource::Read(char* dst, std::size_t n) {
  n = std::min(n, rest_.size());
  if (n) std::memcpy(dst, rest_.data(), n);
  rest_.remove_prefix(n);
  return static_cast<std::ptrdiff_t>(n);
}

Scanner::Scanner(std::string_view input)
    : p_(kNoInput),
      lim_(kNoInput),
      at_end_(false),
      own_source_(std::make_unique<MemorySource>(input)),
      source_(own_source_.get()),
      chunk_size_(input.size() + 1) {}

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
    if (spare_.size() < kSpareChunks && retiring_.front().capacity <= 2 * chunk_size_ + kAhead + kPadding) {
      spare_.push_back(std::move(retiring_.front()));
    }
    retiring_.pop_front();
  }
}

const char* Scanner::Refill(const char* keep, std::size_t want) {
  const auto kept = static_cast<std::size_t>(lim_ - keep);
  const std::size_t need = std::max(want, kept + chunk_size_) + kPadding;
  Chunk next;
  for (auto it = spare_.begin(); it != spare_.end(); ++it) {
    if (it->capacity >= need) {
      next = std::move(*it);
      spare_.erase(it);
      break;
    }
  }
  if (!next.data) {
    next.capacity = std::max(need, chunk_size_ + kAhead + kPadding);
    next.data = std::make_unique_for_overwrite<char[]>(next.capacity);
  }
  char* data = next.data.get();
  if (kept) std::memcpy(data, keep, kept);
  std::size_t size = kept;
  while (!at_end_ && size + kPadding < next.capacity) {
    const std::ptrdiff_t n = source_->Read(data + size, next.capacity - kPadding - size);
    if (n <= 0) {
      at_end_ = true;
      read_failed_ = n < 0;
    } else {
      size += static_cast<std::size_t>(n);
    }
  }
  std::memset(data + size, 0, kPadding);
  if (current_.data) {
    current_.retire_after = serial_ + kTokensKept + 1;
    retiring_.push_back(std::move(current_));
  }
  current_ = std::move(next);
  lim_ = data + size;
  return data;
}

// Inside a comment: consumes up to and including "*/". At the end of the input `closed` is false
// (and `error` set when the input ends on a lone "*").
const char* Scanner::SkipBlockComment(const char* p, bool& closed, Token& error) {
  closed = false;
  for (;;) {
    // Fast path: skip plain text up to the next "*" or line feed.
    while (p < lim_ && *p != '*' && *p != '\n')
      ++p;
    if (p >= lim_) {
      if (at_end_) return p;
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
      return lim_;
    }
    if (p[1] == '/') {
      closed = true;
      return p + 2;
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
      p = SkipBlanks(p);
      const char w = *p;
      if (w == '\t') {
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
      while (ClassOf(*p) & kIdentPart)
        ++p;
      if (!at_end_ && lim_ - p < kSlack) {
        p_ = Refill(start, 2 * static_cast<std::size_t>(p - start) + kAhead);
        return false;
      }
      const auto length = static_cast<std::size_t>(p - start);
      // Keywords are lower case: a word with a capital matches none of them.
      t.kind = length <= kLongestKeyword ? kKeywordTable.Find(LoadWord(start, length)) : Tok::kIdent;
      t.text = std::string_view(start, length);
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
          bool closed = false;
          p = SkipBlockComment(p, closed, error);
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
