#include "vyrparser/core/name_index.h"

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
std::uint32_t NameIndex::Hash(std::string_view name) const {
  std::uint64_t h = 0;
  const char* p = name.data();
  std::size_t n = name.size();
  for (; n >= 8; p += 8, n -= 8) {
    std::uint64_t w;
    std::memcpy(&w, p, 8);
    if (ignore_case_) w = FoldWord(w);
    h = (h ^ w) * kMultiplier;
    h ^= h >> 29;
  }
  if (n) {
    std::uint64_t w = 0;
    std::memcpy(&w, p, n);
    if (ignore_case_) w = FoldWord(w);
    h = (h ^ w) * kMultiplier;
    h ^= h >> 29;
  }
  h = (h ^ name.size()) * kMultiplier;
  return static_cast<std::uint32_t>(h >> 32);
}

void NameIndex::Insert(Text name, std::uint32_t position) {
  if ((count_ + 1) * 2 > slots_.size()) Grow();
  const std::string_view view = name.view();
  const std::uint32_t h = Hash(view);
  const std::size_t mask = slots_.size() - 1;
  std::size_t i = h & mask;
  while (slots_[i].position_plus_one) {
    if (slots_[i].hash == h && Equal(slots_[i].name, view)) return;
    i = (i + 1) & mask;
  }
  slots_[i] = Slot{h, position + 1, name};
  ++count_;
}

void NameIndex::Grow() {
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(old.empty() ? 16 : old.size() * 2, Slot{});
  const std::size_t mask = slots_.size() - 1;
  for (const Slot& s : old) {
    if (!s.position_plus_one) continue;
    std::size_t i = s.hash & mask;
    while (slots_[i].position_plus_one)
      i = (i + 1) & mask;
    slots_[i] = s;
  }
}

void NameIndex::Clear() {
  slots_.clear();
  count_ = 0;
}

}  // namespace vyr::parser
