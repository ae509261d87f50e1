#include "vyrparser/core/name_index.h"

namespace vyr::parser {

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
