#include "editor/document/window_slots.h"

namespace vyr::editor {

void WindowSlots::Reset() {
  for (int i = 0; i < kSlotCount; ++i) {
    links_[i] = i + 1;  // link(50) = 51, one past the table: the list is empty once slot 50 is taken
    in_use_[i] = false;
  }
  head_ = 0;
  used_ = 0;
}

std::optional<int> WindowSlots::Take() {
  if (head_ < 0 || head_ >= kSlotCount) return std::nullopt;
  const int slot = head_;
  in_use_[slot] = true;
  head_ = links_[slot];
  ++used_;
  return slot;
}

void WindowSlots::Release(int slot) {
  if (!in_use(slot)) return;
  in_use_[slot] = false;
  links_[slot] = head_;
  head_ = slot;
  --used_;
}

}  // namespace vyr::editor
