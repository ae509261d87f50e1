// The property-window slots: 51 slots handed out through a free list whose head is the slot the next
// window takes. A freed slot goes back to the front, so the list is a stack of freed slots on top of
// the never-used ones.
#pragma once

#include <array>
#include <optional>

namespace vyr::editor {

class WindowSlots {
 public:
  static constexpr int kSlotCount = 51;

  WindowSlots() { Reset(); }

  // Every slot free; link(i) = i + 1, head 0.
  void Reset();

  // The free head, now taken; nothing when all slots are in use.
  std::optional<int> Take();

  // Puts a taken slot back at the front of the free list. A slot that is not taken is left alone,
  // so a double release cannot tie the list into a loop.
  void Release(int slot);

  int free_head() const { return head_; }  // kSlotCount when every slot is taken
  int link(int slot) const { return links_[slot]; }
  bool in_use(int slot) const { return slot >= 0 && slot < kSlotCount && in_use_[slot]; }
  int used_count() const { return used_; }

 private:
  std::array<int, kSlotCount> links_{};
  std::array<bool, kSlotCount> in_use_{};
  int head_ = 0;
  int used_ = 0;
};

}  // namespace vyr::editor
