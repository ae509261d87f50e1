#include "vyrparser/core/model_memory.h"

#include <algorithm>
#include <iterator>

#include "platform/large_blocks.h"

#if defined(VYR_MODEL_MEMORY_CHECKED)
#include <sanitizer/asan_interface.h>
#define VYR_POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define VYR_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
#else
#define VYR_POISON(p, n) static_cast<void>(0)
#define VYR_UNPOISON(p, n) static_cast<void>(0)
#endif

namespace vyr::parser {

namespace {
// A first block of 64 KB holds a small script's model; then blocks double from one large page up
// to 32 MB, so a large script's model lives in a few dozen blocks.
constexpr std::size_t kFirstLargeBlock = std::size_t{2} << 20;
constexpr std::size_t kLargestBlock = std::size_t{32} << 20;
// ReusableSpace takes pieces of at least this size from the model's memory, room for this many
// lists of the size asked for (up to the largest block).
constexpr std::size_t kReusablePiece = std::size_t{256} << 10;
constexpr std::size_t kListsPerPiece = 16;
}  // namespace

ModelMemory::~ModelMemory() {
  for (const Block& block : blocks_) {
    VYR_UNPOISON(block.data, block.size);
    platform::FreeLargeBlock(block.data, block.size);
  }
}

void* ModelMemory::AllocateChecked(std::size_t bytes, std::size_t alignment) {
  constexpr std::size_t kGap = 16;
  void* p = Take(bytes + kGap, alignment);
  VYR_UNPOISON(p, bytes);
  return p;
}

void* ReusableSpace::Allocate(std::size_t bytes) {
  bytes = Rounded(bytes);
  for (auto it = free_.begin(); it != free_.end(); ++it) {
    if (it->second < bytes) continue;
    char* p = it->first;
    const std::size_t left = it->second - bytes;
    free_.erase(it);
    if (left) free_.emplace(p + bytes, left);
    VYR_UNPOISON(p, bytes);
    return p;
  }
  if (static_cast<std::size_t>(end_ - next_) < bytes) {
    if (next_ != end_) Release(next_, static_cast<std::size_t>(end_ - next_));
    // A piece holds many lists of the size asked for: lists continued in turn give back room that
    // the next longer list can only reuse when it merges with its neighbours in the same piece.
    const std::size_t piece =
        std::max({kReusablePiece, bytes, std::min(kListsPerPiece * bytes, kLargestBlock)});
    next_ = static_cast<char*>(memory_.Allocate(piece, 16));
    end_ = next_ + piece;
  }
  char* p = next_;
  next_ += bytes;
  return p;
}

void ReusableSpace::Release(void* block, std::size_t bytes) {
  bytes = Rounded(bytes);
  if (block == nullptr || bytes == 0) return;
  char* p = static_cast<char*>(block);
  VYR_POISON(p, bytes);
  auto next = free_.lower_bound(p);
  if (next != free_.end() && p + bytes == next->first) {
    bytes += next->second;
    next = free_.erase(next);
  }
  if (next != free_.begin()) {
    const auto previous = std::prev(next);
    if (previous->first + previous->second == p) {
      previous->second += bytes;
      return;
    }
  }
  free_.emplace_hint(next, p, bytes);
}

void* AllocateLargeTable(std::size_t bytes) {
  return platform::AllocateLargeBlock(bytes);
}

void FreeLargeTable(void* table, std::size_t bytes) noexcept {
  platform::FreeLargeBlock(table, bytes);
}

void* ModelMemory::AllocateInNewBlock(std::size_t bytes, std::size_t alignment) {
  if (bytes > SIZE_MAX / 4) throw std::bad_alloc();
  const std::size_t need = bytes + alignment;
  if (need > next_block_size_ / 4) {
    // A large request gets a block of its own, and the current block keeps its free space.
    blocks_.reserve(blocks_.size() + 1);
    void* data = platform::AllocateLargeBlock(need);
    VYR_POISON(data, need);
    blocks_.push_back({data, need});
    reserved_ += need;
    const auto at = (reinterpret_cast<std::uintptr_t>(data) + alignment - 1) & ~(alignment - 1);
    return reinterpret_cast<void*>(at);
  }
  blocks_.reserve(blocks_.size() + 1);
  void* data = platform::AllocateLargeBlock(next_block_size_);
  VYR_POISON(data, next_block_size_);
  blocks_.push_back({data, next_block_size_});
  reserved_ += next_block_size_;
  left_behind_ += static_cast<std::size_t>(end_ - next_);
  next_ = static_cast<char*>(data);
  end_ = next_ + next_block_size_;
  // After a first small block, a large page's worth: a script beyond the first block is a large one.
  next_block_size_ =
      next_block_size_ < kFirstLargeBlock ? kFirstLargeBlock : std::min(2 * next_block_size_, kLargestBlock);
  return Take(bytes, alignment);
}

}  // namespace vyr::parser
