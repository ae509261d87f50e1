#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "vyrparser/core/model_memory.h"

namespace vyr::parser {

// An immutable 8-bit string owned by a TextPool (and so by the model that owns the pool).
// A default-constructed Text is the missing (null) string. Copying a Text shares the same bytes;
// to change a record's string, assign it a new Text made by the model.
class Text {
 public:
  Text() = default;

  bool is_null() const { return data_ == nullptr; }
  explicit operator bool() const { return data_ != nullptr; }

  // The bytes; empty for a null Text.
  std::string_view view() const { return data_ ? std::string_view(data_, size()) : std::string_view(); }
  std::string str() const { return std::string(view()); }
  // NUL-terminated bytes; "" for a null Text.
  const char* c_str() const { return data_ ? data_ : ""; }
  std::size_t size() const {
    if (!data_) return 0;
    std::uint32_t n;
    std::memcpy(&n, data_ - sizeof n, sizeof n);
    return n;
  }
  bool empty() const { return size() == 0; }

  // True when both are null or both hold the same bytes.
  friend bool SameText(Text a, Text b) {
    if (a.is_null() || b.is_null()) return a.is_null() == b.is_null();
    return a.view() == b.view();
  }

 private:
  friend class TextPool;
  explicit Text(const char* data) : data_(data) {}
  const char* data_ = nullptr;  // preceded by a 32-bit length, followed by a NUL
};

// A hash of `bytes`; with `fold_case`, A-Z hash as a-z.
inline std::uint32_t HashText(std::string_view bytes, bool fold_case = false);

// One place that asks for shared texts, and whether sharing pays there: lookups are counted in
// windows, and after a window in which fewer than one in four found their bytes already shared the
// place makes plain copies for a while before it tries again. Scripts repeat their equipment and
// movement modes many times over but rarely their messages, and a table of texts that never repeat
// costs more memory and time than the copies it would spare.
class SharingSite {
 public:
  static constexpr std::uint32_t kWindow = 512;
  static constexpr std::uint32_t kPause = 32 * kWindow;

 private:
  friend class TextPool;
  std::uint32_t lookups_ = 0;
  std::uint32_t hits_ = 0;
  std::uint32_t paused_ = 0;  // plain copies left before the next window of lookups
};

// The model's strings, in the model's memory: no heap block per string, all freed with the model.
class TextPool {
 public:
  explicit TextPool(ModelMemory& memory) : memory_(memory) {}
  TextPool(const TextPool&) = delete;
  TextPool& operator=(const TextPool&) = delete;

  Text Make(std::string_view s);
  // A text equal to `s` that every record asking for the same bytes shares: scripts repeat their
  // equipment, formations and messages many times over.
  Text Intern(std::string_view s);
  // Intern, or a plain copy where `site` finds that sharing does not pay.
  Text Share(std::string_view s, SharingSite& site);
  // Takes back the bytes of `text`, which no record may hold any more: a later text of the same
  // length gets them. Shared texts are never taken back.
  void Release(Text text);

 private:
  ModelMemory& memory_;
  // Released texts by length.
  std::unordered_map<std::uint32_t, std::vector<char*>> released_;
  // The shared texts: open addressing, at most half full.
  struct Shared {
    std::uint32_t hash = 0;
    Text text;  // null: empty slot
  };
  bool IsShared(Text text) const;
  // The shared text equal to `s`, made when there is none; `found` tells which.
  Text Lookup(std::string_view s, bool& found);
  LargeTable<Shared> shared_;
  std::size_t shared_count_ = 0;
};

namespace text_hash {

constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;

// A-Z to a-z in all eight bytes at once; other bytes, those of 0x80 and above included, stay.
inline std::uint64_t FoldWord(std::uint64_t w) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  constexpr std::uint64_t kHigh = 0x8080808080808080ull;
  const std::uint64_t low7 = w & ~kHigh;
  const std::uint64_t at_least_a = low7 + kOnes * (0x80 - 'A');    // high bit: byte >= 'A'
  const std::uint64_t above_z = low7 + kOnes * (0x80 - 'Z' - 1);   // high bit: byte > 'Z'
  const std::uint64_t upper = at_least_a & ~above_z & ~w & kHigh;  // and the byte is below 0x80
  return w | (upper >> 2);
}

}  // namespace text_hash

// Up to 16 bytes from `p` as two numbers, read without a byte past p[n): two loads that overlap
// for 9 to 15 bytes (and for 5 to 7), so with the length they tell any two such strings apart.
inline void LoadShort(const char* p, std::size_t n, std::uint64_t& first, std::uint64_t& last) {
  if (n >= 8) {
    std::memcpy(&first, p, 8);
    std::memcpy(&last, p + n - 8, 8);
  } else if (n >= 4) {
    std::uint32_t a, b;
    std::memcpy(&a, p, 4);
    std::memcpy(&b, p + n - 4, 4);
    first = a | (std::uint64_t{b} << 32);
    last = 0;
  } else {
    first = n == 0 ? 0
                   : static_cast<unsigned char>(p[0]) |
                         (std::uint64_t{static_cast<unsigned char>(p[n / 2])} << 8) |
                         (std::uint64_t{static_cast<unsigned char>(p[n - 1])} << 16);
    last = 0;
  }
}

// Whether the `n` bytes at `a` and at `b` are the same; short strings, the usual names, without a
// call.
inline bool SameBytes(const char* a, const char* b, std::size_t n) {
  if (n > 16) return std::memcmp(a, b, n) == 0;
  std::uint64_t a1, a2, b1, b2;
  LoadShort(a, n, a1, a2);
  LoadShort(b, n, b1, b2);
  return ((a1 ^ b1) | (a2 ^ b2)) == 0;
}

// Sixteen bytes or fewer at once, longer texts eight bytes at a time, multiplied and folded; the
// length is mixed in last.
inline std::uint32_t HashText(std::string_view bytes, bool fold_case) {
  using text_hash::FoldWord;
  using text_hash::kMultiplier;
  const char* p = bytes.data();
  std::size_t n = bytes.size();
  std::uint64_t h = 0;
  if (n <= 16) {
    std::uint64_t first, last;
    LoadShort(p, n, first, last);
    if (fold_case) {
      first = FoldWord(first);
      last = FoldWord(last);
    }
    h = (first * kMultiplier) ^ last;
  } else {
    for (; n >= 8; p += 8, n -= 8) {
      std::uint64_t w;
      std::memcpy(&w, p, 8);
      if (fold_case) w = FoldWord(w);
      h = (h ^ w) * kMultiplier;
      h ^= h >> 29;
    }
    if (n) {
      std::uint64_t w, unused;
      LoadShort(p, n, w, unused);
      if (fold_case) w = FoldWord(w);
      h = (h ^ w) * kMultiplier;
      h ^= h >> 29;
    }
  }
  h = (h ^ bytes.size()) * kMultiplier;
  h ^= h >> 29;
  return static_cast<std::uint32_t>((h * kMultiplier) >> 32);
}

}  // namespace vyr::parser
