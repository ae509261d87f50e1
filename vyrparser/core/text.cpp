#include "vyrparser/core/text.h"

#include <algorithm>

namespace vyr::parser {

namespace {

constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;

// A-Z to a-z in all eight bytes at once; other bytes, those of 0x80 and above included, stay.
std::uint64_t FoldWord(std::uint64_t w) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  constexpr std::uint64_t kHigh = 0x8080808080808080ull;
  const std::uint64_t low7 = w & ~kHigh;
  const std::uint64_t at_least_a = low7 + kOnes * (0x80 - 'A');    // high bit: byte >= 'A'
  const std::uint64_t above_z = low7 + kOnes * (0x80 - 'Z' - 1);   // high bit: byte > 'Z'
  const std::uint64_t upper = at_least_a & ~above_z & ~w & kHigh;  // and the byte is below 0x80
  return w | (upper >> 2);
}

}  // namespace

// Eight bytes at a time, multiplied and folded; the length is mixed in last.
std::uint32_t HashText(std::string_view bytes, bool fold_case) {
  std::uint64_t h = 0;
  const char* p = bytes.data();
  std::size_t n = bytes.size();
  for (; n >= 8; p += 8, n -= 8) {
    std::uint64_t w;
    std::memcpy(&w, p, 8);
    if (fold_case) w = FoldWord(w);
    h = (h ^ w) * kMultiplier;
    h ^= h >> 29;
  }
  if (n) {
    // The last 1 to 7 bytes as two loads that may overlap (the length, mixed in below, tells them
    // apart), without a byte-by-byte copy.
    std::uint64_t w;
    if (n >= 4) {
      std::uint32_t first, last;
      std::memcpy(&first, p, 4);
      std::memcpy(&last, p + n - 4, 4);
      w = first | (std::uint64_t{last} << 32);
    } else {
      w = static_cast<unsigned char>(p[0]) | (std::uint64_t{static_cast<unsigned char>(p[n / 2])} << 8) |
          (std::uint64_t{static_cast<unsigned char>(p[n - 1])} << 16);
    }
    if (fold_case) w = FoldWord(w);
    h = (h ^ w) * kMultiplier;
    h ^= h >> 29;
  }
  h = (h ^ bytes.size()) * kMultiplier;
  return static_cast<std::uint32_t>(h >> 32);
}

Text TextPool::Make(std::string_view s) {
  const std::uint32_t n = static_cast<std::uint32_t>(std::min<std::size_t>(s.size(), UINT32_MAX - 8));
  const std::size_t need = sizeof n + n + 1;
  if (!released_.empty()) {
    const auto it = released_.find(n);
    if (it != released_.end() && !it->second.empty()) {
      char* p = it->second.back();
      it->second.pop_back();
      std::memmove(p + sizeof n, s.data(), n);
      p[sizeof n + n] = '\0';
      return Text(p + sizeof n);
    }
  }
  char* p = static_cast<char*>(memory_.Allocate(need, 1));
  std::memcpy(p, &n, sizeof n);
  if (n) std::memcpy(p + sizeof n, s.data(), n);
  p[sizeof n + n] = '\0';
  return Text(p + sizeof n);
}

Text TextPool::Intern(std::string_view s) {
  if ((shared_count_ + 1) * 2 > shared_.size()) {
    LargeTable<Shared> old = std::move(shared_);
    shared_.assign(old.empty() ? 64 : old.size() * 2, Shared{});
    const std::size_t mask = shared_.size() - 1;
    for (const Shared& e : old) {
      if (e.text.is_null()) continue;
      std::size_t i = e.hash & mask;
      while (!shared_[i].text.is_null())
        i = (i + 1) & mask;
      shared_[i] = e;
    }
  }
  const std::uint32_t h = HashText(s);
  const std::size_t mask = shared_.size() - 1;
  std::size_t i = h & mask;
  for (; !shared_[i].text.is_null(); i = (i + 1) & mask) {
    if (shared_[i].hash == h && shared_[i].text.view() == s) return shared_[i].text;
  }
  shared_[i] = Shared{h, Make(s)};
  ++shared_count_;
  return shared_[i].text;
}

bool TextPool::IsShared(Text text) const {
  if (shared_.empty()) return false;
  const std::uint32_t h = HashText(text.view());
  const std::size_t mask = shared_.size() - 1;
  for (std::size_t i = h & mask; !shared_[i].text.is_null(); i = (i + 1) & mask) {
    if (shared_[i].text.data_ == text.data_) return true;
  }
  return false;
}

void TextPool::Release(Text text) {
  if (text.is_null() || IsShared(text)) return;
  released_[static_cast<std::uint32_t>(text.size())].push_back(const_cast<char*>(text.data_) -
                                                               sizeof(std::uint32_t));
}

}  // namespace vyr::parser
