#include "vyrparser/core/name_index.h"

namespace vyr::parser {

namespace {

inline unsigned char Fold(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

}  // namespace

std::uint32_t NameIndex::Hash(std::string_view name) const {
  // FNV-1a; never 0 so a slot's hash is never mistaken for an empty one.
  std::uint32_t h = 2166136261u;
  for (unsigned char c : name) {
    h ^= ignore_case_ ? Fold(c) : c;
    h *= 16777619u;
  }
  return h | 1u;
}

bool NameIndex::Equal(std::string_view a, std::string_view b) const {
  if (a.size() != b.size()) return false;
  if (!ignore_case_) return a == b;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Fold(static_cast<unsigned char>(a[i])) != Fold(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
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

void NameIndex::Insert(std::string_view name, std::uint32_t position, const NameOf& name_of) {
  if ((count_ + 1) * 2 > slots_.size()) Grow();
  const std::uint32_t h = Hash(name);
  const std::size_t mask = slots_.size() - 1;
  std::size_t i = h & mask;
  while (slots_[i].position_plus_one) {
    if (slots_[i].hash == h && Equal(name_of(slots_[i].position_plus_one - 1), name)) return;
    i = (i + 1) & mask;
  }
  slots_[i] = Slot{position + 1, h};
  ++count_;
}

std::uint32_t NameIndex::Find(std::string_view name, const NameOf& name_of) const {
  if (slots_.empty()) return kNotFound;
  const std::uint32_t h = Hash(name);
  const std::size_t mask = slots_.size() - 1;
  std::size_t i = h & mask;
  while (slots_[i].position_plus_one) {
    if (slots_[i].hash == h && Equal(name_of(slots_[i].position_plus_one - 1), name)) {
      return slots_[i].position_plus_one - 1;
    }
    i = (i + 1) & mask;
  }
  return kNotFound;
}

void NameIndex::Clear() {
  slots_.clear();
  count_ = 0;
}

}  // namespace vyr::parser
