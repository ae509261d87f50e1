#include <windows.h>

#include <new>

#include "platform/large_blocks.h"

namespace platform {

// Committed pages are zero-filled and taken from memory only as they are first written. Large pages
// need a privilege ordinary users lack, so they are not asked for.
void* AllocateLargeBlock(std::size_t size) {
  void* block = size == 0 ? nullptr : VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}

void FreeLargeBlock(void* block, std::size_t) noexcept {
  if (block != nullptr) VirtualFree(block, 0, MEM_RELEASE);
}

}  // namespace platform
