#include "vyrparser/core/name_index.h"

namespace vyr::parser {

void NameIndex::Grow() {
  Rehash(slots_.empty() ? 16 : slots_.size() * 2);
}

void NameIndex::Reserve(std::size_t count) {
  std::size_t size = slots_.empty() ? 16 : slots_.size();
  while (count * 2 > size)
    size *= 2;
  if (size != slots_.size()) Rehash(size);
}

void NameIndex::Rehash(std::size_t size) {
  LargeTable<Slot> old = std::move(slots_);
  slots_.assign(size, Slot{});
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
