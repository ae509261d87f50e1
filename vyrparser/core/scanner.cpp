#include "vyrparser/core/scanner.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cfloat>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vyr::parser {

namespace {

enum : std::uint8_t {
  kIdentStart = 1,   // A-Z a-z
  kIdentPart = 2,    // letters, digits, "_" and "."
  kDigit = 4,        // 0-9
  kStringStart = 8,  // may open a run of a string literal
  kStringPart = 16,  // may continue a run
  kSpace = 32,       // blank, tab, line feed, CR
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
  for (unsigned char c : std::string_view(" \t\n\r"))
    t[c] |= kSpace;
  return t;
}

constexpr std::array<std::uint8_t, 256> kClasses = MakeClasses();

inline std::uint8_t ClassOf(char c) {
  return kClasses[static_cast<unsigned char>(c)];
}

// The first byte at or after `p` outside class `cls`, testing four bytes a step. The NUL sentinel is
// in no class, and the run's padding makes reading up to three bytes past it safe.
template <std::uint8_t cls>
inline const char* SkipClass(const char* p) {
  while (ClassOf(p[0]) & ClassOf(p[1]) & ClassOf(p[2]) & ClassOf(p[3]) & cls)
    p += 4;
  while (ClassOf(*p) & cls)
    ++p;
  return p;
}

// The first byte at or after `p` that cannot continue an identifier. The run's padding makes reading
// 16 bytes from any byte up to its sentinel safe.
inline const char* SkipIdentPart(const char* p) {
#if defined(__SSE2__)
  // Sixteen bytes a step: most words end within the first. A byte is in [lo, hi] when, moved by
  // 128 - lo, it is below -128 + (hi - lo + 1) as a signed byte.
  const auto in_range = [](__m128i bytes, char lo, char hi) {
    const __m128i moved = _mm_add_epi8(bytes, _mm_set1_epi8(static_cast<char>(128 - lo)));
    return _mm_cmplt_epi8(moved, _mm_set1_epi8(static_cast<char>(-128 + (hi - lo + 1))));
  };
  for (;;) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i letter = in_range(_mm_or_si128(bytes, _mm_set1_epi8(0x20)), 'a', 'z');  // A-Z onto a-z
    const __m128i mark =
        _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('_')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('.')));
    const __m128i part = _mm_or_si128(_mm_or_si128(letter, in_range(bytes, '0', '9')), mark);
    const auto rest = static_cast<unsigned>(_mm_movemask_epi8(part)) ^ 0xFFFFu;
    if (rest) return p + std::countr_zero(rest);
    p += 16;
  }
#else
  return SkipClass<kIdentPart>(p);
#endif
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

// Keyword lookup: a small power-of-two table, built at compile time, keyed by the word's bytes as
// numbers. The multiplier is chosen so no two keywords share a slot: a lookup is one probe and a
// comparison of two numbers (an empty slot holds zero bits, which no word matches).
struct KeywordTable {
  static constexpr std::size_t kBits = 9;
  static constexpr std::size_t kSize = std::size_t{1} << kBits;
  struct Entry {
    WordBits bits;
    Tok kind = Tok::kIdent;
  };
  struct Keyword {
    std::string_view text;
    Tok kind;
  };
  static constexpr Keyword kKeywords[] = {
#define VYR_KEYWORD_ENTRY(name, text) {text, Tok::k##name},
      VYR_KEYWORDS(VYR_KEYWORD_ENTRY)
#undef VYR_KEYWORD_ENTRY
  };

  std::array<Entry, kSize> entries{};
  std::uint64_t multiplier = 0;

  static constexpr std::size_t Hash(const WordBits& b, std::uint64_t multiplier) {
    const std::uint64_t h = (b.low ^ b.high) * multiplier;
    return static_cast<std::size_t>(h >> (64 - kBits));
  }

  // Places every keyword with `m`; false on the first shared slot.
  constexpr bool Build(std::uint64_t m) {
    entries = {};
    multiplier = m;
    for (const Keyword& k : kKeywords) {
      const WordBits bits = BitsOf(k.text);
      Entry& e = entries[Hash(bits, m)];
      if (e.kind != Tok::kIdent) return false;
      e = Entry{bits, k.kind};
    }
    return true;
  }

  constexpr KeywordTable() {
    for (std::uint64_t k = 1; !Build((k * 0x9E3779B97F4A7C15ull) | 1); ++k) {
    }
  }

  Tok Find(const WordBits& bits) const {
    const Entry& e = entries[Hash(bits, multiplier)];
    return e.bits == bits ? e.kind : Tok::kIdent;
  }
};

constexpr KeywordTable kKeywordTable;

constexpr std::size_t kLongestKeyword = 11;  // "description"

// Up to this many digits make a whole number below 2^24, exact as a float, and the powers of ten up
// to 10^(kExactDigits - 1) are exact floats too.
constexpr std::ptrdiff_t kExactDigits = 7;
constexpr float kExactPowersOfTen[kExactDigits] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f};

// The nearest float to the number in [begin, end), kept out of line: few numbers need it.
[[gnu::noinline]] float ConvertFloat(const char* begin, const char* end) {
  float value = 0.0f;
  if (std::from_chars(begin, end, value).ec == std::errc::result_out_of_range) {
    // Beyond the float range either way: the C library gives the nearest value (infinity,
    // a denormal or zero).
    value = std::strtof(std::string(begin, end).c_str(), nullptr);
  }
  return value;
}

// Spare chunks kept for reuse.
constexpr std::size_t kSpareChunks = 2;

// NUL bytes after a run: its sentinel, and room to load a word of up to 16 bytes whole.
constexpr std::size_t kPadding = 16;
const char kNoInput[kPadding] = {};

// Masks that keep the first n bytes of a word's two little-endian numbers.
constexpr std::array<WordBits, 17> MakeWordMasks() {
  std::array<WordBits, 17> masks{};
  for (std::size_t n = 0; n <= 16; ++n) {
    masks[n].low = n >= 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * n)) - 1;
    masks[n].high = n <= 8 ? 0 : n == 16 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * (n - 8))) - 1;
  }
  return masks;
}
constexpr std::array<WordBits, 17> kWordMasks = MakeWordMasks();

// The bytes of a word of at most 16 bytes that starts at `p`, with kPadding bytes readable after it.
inline WordBits LoadWord(const char* p, std::size_t n) {
  WordBits b;
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(&b.low, p, 8);
    std::memcpy(&b.high, p + 8, 8);
    b.low &= kWordMasks[n].low;
    b.high &= kWordMasks[n].high;
  } else {
    b = BitsOf(std::string_view(p, n));
  }
  return b;
}

inline void Set(Token& t, Tok kind, const char* begin, const char* end) {
  t.kind = kind;
  t.text = std::string_view(begin, static_cast<std::size_t>(end - begin));
}

// White space: blanks, tabs, line feeds, and a CR right before a line feed. Returns the first byte
// at or after `p` that is none of these. A 16-byte load starts at or before the run's sentinel,
// which is no white space, so the padding makes it safe.
inline const char* SkipSpace(const char* p) {
  // Tokens mostly follow one another directly or after one blank, tab or line feed.
  if (!(ClassOf(*p) & kSpace)) return p;
  if (*p != '\r' && !(ClassOf(p[1]) & kSpace)) return p + 1;
#if defined(__SSE2__)
  for (;;) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i feed = _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n'));
    const __m128i blank =
        _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(' ')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\t')));
    // A CR counts when the next byte is a line feed: the feeds moved down one byte.
    const __m128i cr_lf = _mm_and_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r')), _mm_srli_si128(feed, 1));
    const auto rest =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(blank, feed), cr_lf))) ^ 0xFFFFu;
    if (!rest) {
      p += 16;
      continue;
    }
    const int skipped = std::countr_zero(rest);
    p += skipped;
    // The last byte of the load may be a CR whose line feed is the next load's first byte.
    if (skipped != 15 || p[0] != '\r' || p[1] != '\n') return p;
    p += 2;
  }
#else
  for (;;) {
    if (*p == ' ' || *p == '\t' || *p == '\n') {
      ++p;
    } else if (*p == '\r' && p[1] == '\n') {
      p += 2;
    } else {
      return p;
    }
  }
#endif
}

// The first "*" or NUL at or after `p`. As above, the loads start at or before the sentinel, which
// stops the search.
inline const char* FindCommentStop(const char* p) {
#if defined(__SSE2__)
  for (;;) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i stop =
        _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('*')), _mm_cmpeq_epi8(bytes, _mm_setzero_si128()));
    if (const auto found = static_cast<unsigned>(_mm_movemask_epi8(stop))) return p + std::countr_zero(found);
    p += 16;
  }
#else
  while (*p != '*' && *p != '\0')
    ++p;
  return p;
#endif
}

// The line feeds in [p, end).
int CountLineFeeds(const char* p, const char* end) {
  std::size_t count = 0;
#if defined(__SSE2__)
  while (end - p >= 16) {
    // Up to 255 loads add their matches (each -1) into byte counters, which are then summed.
    __m128i counters = _mm_setzero_si128();
    for (int k = 0; k < 255 && end - p >= 16; ++k, p += 16) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
      counters = _mm_sub_epi8(counters, _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n')));
    }
    const __m128i sums = _mm_sad_epu8(counters, _mm_setzero_si128());
    count += static_cast<std::size_t>(_mm_cvtsi128_si32(sums)) +
             static_cast<std::size_t>(_mm_extract_epi16(sums, 4));
  }
#endif
  for (; p < end; ++p)
    count += *p == '\n';
  return static_cast<int>(count);
}

// Where the bytes after the last line feed in data[from, to) start, or 0 when there is none.
inline std::size_t AfterLastLineFeed(const char* data, std::size_t from, std::size_t to) {
  while (to > from) {
    if (data[--to] == '\n') return to + 1;
  }
  return 0;
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
      own_source_(std::make_unique<MemorySource>(input)),
      source_(own_source_.get()),
      chunk_size_(input.size() + 1) {
  counted_to_ = kNoInput;
}

Scanner::Scanner(ByteSource& source, std::size_t chunk_size)
    : p_(kNoInput), lim_(kNoInput), source_(&source), chunk_size_(chunk_size ? chunk_size : 1) {
  counted_to_ = kNoInput;
}

Scanner::~Scanner() = default;

// ---------------------------------------------------------------- the reader

Scanner::Chunk Scanner::TakeChunk(std::size_t capacity) {
  for (auto it = spare_.begin(); it != spare_.end(); ++it) {
    if (it->capacity >= capacity) {
      Chunk chunk = std::move(*it);
      spare_.erase(it);
      return chunk;
    }
  }
  Chunk chunk;
  chunk.capacity = capacity;
  chunk.data = std::make_unique_for_overwrite<char[]>(capacity);
  return chunk;
}

void Scanner::RetireChunks() {
  const std::uint64_t serial = Serial();
  while (!retiring_.empty() && retiring_.front().retire_after <= serial) {
    if (spare_.size() < kSpareChunks && retiring_.front().capacity <= chunk_size_ + kPadding)
      spare_.push_back(std::move(retiring_.front()));
    retiring_.pop_front();
  }
  SetNextRetirement(serial, retiring_.empty() ? UINT64_MAX : retiring_.front().retire_after);
}

int Scanner::line() const {
  lines_counted_ += CountLineFeeds(counted_to_, p_);
  counted_to_ = p_;
  return lines_before_run_ + lines_counted_ - swallowed_feeds_;
}

bool Scanner::Fill() {
  if (at_end_ && carry_.empty()) return false;
  // The run read so far is behind: its line feeds count from now on.
  lines_before_run_ += lines_counted_ + CountLineFeeds(counted_to_, lim_);
  lines_counted_ = 0;
  counted_to_ = lim_;
  Chunk next = TakeChunk(std::max(chunk_size_, 2 * carry_.size()) + kPadding);
  std::size_t size = carry_.size();
  if (size) std::memcpy(next.data.get(), carry_.data(), size);
  carry_.clear();
  // Read until the chunk is full or the input ends; a chunk without a line feed grows.
  std::size_t searched = 0;  // bytes known to hold no line feed
  std::size_t run = 0;       // the run handed out: up to the last line feed, or all at the end
  for (;;) {
    char* data = next.data.get();
    while (!at_end_ && size + kPadding < next.capacity) {
      const std::ptrdiff_t n = source_->Read(data + size, next.capacity - kPadding - size);
      if (n <= 0) {
        at_end_ = true;
        read_failed_ = n < 0;
      } else {
        size += static_cast<std::size_t>(n);
      }
    }
    if (at_end_ && !read_failed_) {
      run = size;
      break;
    }
    if (const std::size_t end = AfterLastLineFeed(data, searched, size)) {
      run = end;
      break;
    }
    if (at_end_) break;  // a failed read: the unfinished line is not scanned
    searched = size;
    Chunk bigger = TakeChunk(2 * next.capacity);
    std::memcpy(bigger.data.get(), data, size);
    next = std::move(bigger);
  }
  if (!read_failed_) carry_.assign(next.data.get() + run, next.data.get() + size);
  std::memset(next.data.get() + run, 0, kPadding);
  if (current_.data) {
    const std::uint64_t serial = Serial();
    current_.retire_after = serial + kTokensKept + 1;
    retiring_.push_back(std::move(current_));
    SetNextRetirement(serial, retiring_.front().retire_after);
  }
  current_ = std::move(next);
  p_ = current_.data.get();
  lim_ = p_ + run;
  counted_to_ = p_;
  lines_counted_ = 0;
  return run > 0;
}

void Scanner::EndOfInput(Token& t) {
  p_ = lim_;
  Set(t, read_failed_ ? Tok::kReadError : Tok::kEnd, lim_, lim_);
}

// ---------------------------------------------------------------- tokens

bool Scanner::ScanNormal(Token& t) {
  const char* p = p_;
  for (;;) {
    p = SkipSpace(p);
    const char* start = p;
    const char c = *p++;
    const std::uint8_t cls = ClassOf(c);
    if (cls & kIdentStart) {
      p = SkipIdentPart(p);
      const auto length = static_cast<std::size_t>(p - start);
      // Keywords are lower case: a word with a capital matches none of them.
      t.kind = length <= kLongestKeyword ? kKeywordTable.Find(LoadWord(start, length)) : Tok::kIdent;
      t.text = std::string_view(start, length);
      p_ = p;
      return true;
    }
    if (cls & kDigit) return ScanNumber(start, start, t);
    Tok kind = Tok::kLexError;
    switch (c) {
      case '\0':
        if (start != lim_) break;  // a NUL byte of the script
        return NextRun(t);
      case '"':
        in_string_ = true;
        if (ClassOf(*p) & kStringStart) {
          // The usual literal, one run closed by its quote, read here at once: the same piece
          // ScanString would give, with the closing quote taken along.
          const char* end = SkipClass<kStringPart>(p + 1);
          Set(t, Tok::kString, p, end);
          in_string_ = *end != '"';
          p_ = in_string_ ? end : end + 1;
          return true;
        }
        p_ = p;
        return false;
      case '/':
        if (*p == '/') return SkipLineComment(p);
        if (*p == '*') {
          p_ = p + 1;
          return SkipBlockComment(t);
        }
        break;
      case '-':
        if (ClassOf(*p) & kDigit) return ScanNumber(start, p, t);
        if (*p == '>') kind = Tok::kArrow, ++p;
        break;
      case '&':
        if (*p == '&') kind = Tok::kAndAnd, ++p;
        break;
      case '|':
        if (*p == '|') kind = Tok::kOrOr, ++p;
        break;
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
      default:
        break;
    }
    // A lexical error names the one offending character.
    if (kind == Tok::kLexError) p = start + 1;
    Set(t, kind, start, p);
    p_ = p;
    return true;
  }
}

// A line comment runs to the line feed, which is then read as a separator.
bool Scanner::SkipLineComment(const char* p) {
  const void* nl = std::memchr(p, '\n', static_cast<std::size_t>(lim_ - p));
  p_ = nl ? static_cast<const char*>(nl) : lim_;
  return false;
}

bool Scanner::NextRun(Token& t) {
  if (Fill()) return false;
  EndOfInput(t);
  return true;
}

// Inside a comment a "*" ends it before "/" and otherwise swallows the next byte, a line feed
// included (and a CR LF pair, which stands for one line feed): a swallowed line feed is not counted.
bool Scanner::SkipBlockComment(Token& t) {
  const char* p = p_;
  for (;;) {
    p = FindCommentStop(p);
    const char* at = p++;
    if (*at == '*') {
      if (at + 1 == lim_) {  // the input's last byte: runs end with a line feed otherwise
        p_ = lim_;
        Set(t, Tok::kLexError, at, at + 1);
        return true;
      }
      if (*p == '/') {
        p_ = p + 1;
        return false;
      }
      if (p[0] == '\r' && p[1] == '\n') {
        ++swallowed_feeds_;
        p += 2;
      } else {
        swallowed_feeds_ += *p == '\n';
        ++p;
      }
    } else if (at == lim_) {
      if (!Fill()) {
        EndOfInput(t);
        return true;
      }
      p = p_;
    }
  }
}

// A number from `start` ("-" or its first digit); `digits` is at its first digit.
bool Scanner::ScanNumber(const char* start, const char* digits, Token& t) {
  const char* p = digits;
  while (ClassOf(*p) & kDigit)
    ++p;
  const char* int_end = p;
  if (*p == '.' && (ClassOf(p[1]) & kDigit)) {
    p += 2;
    while (ClassOf(*p) & kDigit)
      ++p;
    p_ = p;
    Set(t, Tok::kFloat, start, p);
    if (FLT_EVAL_METHOD == 0 && p - digits <= kExactDigits + 1) {
      // The digits as a whole number and the power of ten are exact floats, so one correctly
      // rounded division gives the nearest float, as the full conversion would.
      std::uint32_t whole = 0;
      for (const char* d = digits; d < p; ++d) {
        if (d != int_end) whole = whole * 10 + static_cast<std::uint32_t>(*d - '0');
      }
      const float value = static_cast<float>(whole) / kExactPowersOfTen[p - int_end - 1];
      t.float_value = *start == '-' ? -value : value;
      return true;
    }
    t.float_value = ConvertFloat(start, p);
    return true;
  }
  p_ = p;
  // The text is read as a 32-bit integer (saturating at its limits, as the C library does) and
  // its low 16 bits are kept.
  std::int64_t magnitude = 0;
  for (const char* d = digits; d < int_end; ++d) {
    magnitude = magnitude * 10 + (*d - '0');
    if (magnitude > (std::int64_t{1} << 31)) magnitude = std::int64_t{1} << 31;
  }
  std::int64_t value = *start == '-' ? -magnitude : magnitude;
  if (value > INT32_MAX) value = INT32_MAX;
  Set(t, Tok::kInt, start, p);
  t.int_value =
      static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::uint32_t>(value) & 0xFFFFu));
  return true;
}

// A piece of a literal: a run of string characters, or one line feed.
bool Scanner::ScanString(Token& t) {
  for (;;) {
    const char* p = p_;
    const char* start = p;
    const char c = *p++;
    if (ClassOf(c) & kStringStart) {
      p = SkipClass<kStringPart>(p);
      Set(t, Tok::kString, start, p);
      p_ = p;
      return true;
    }
    switch (c) {
      case '"':
        in_string_ = false;
        p_ = p;
        return false;
      case '\r':  // dropped before a line feed
        if (*p != '\n') break;
        ++p;
        [[fallthrough]];
      case '\n':
        Set(t, Tok::kString, p - 1, p);
        p_ = p;
        return true;
      case '\0':
        if (start != lim_) break;
        if (Fill()) continue;
        EndOfInput(t);  // the literal is cut off by the end of the input
        return true;
      default:
        break;
    }
    Set(t, Tok::kLexError, start, start + 1);
    p_ = start + 1;
    return true;
  }
}

}  // namespace vyr::parser
