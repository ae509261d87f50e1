#pragma once

// The memory of one parsed model: records, lists and strings are handed out front to back from a
// few large blocks and all given back at once when the model goes. A large script's model is tens of
// megabytes of small records, so this saves a heap block per record and, with large pages, almost
// every page fault of filling them.

#include <cstddef>
#include <cstdint>
#include <map>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

// Under AddressSanitizer every allocation is followed by a gap the sanitizer watches, and free room
// is marked unusable, so a write past the end of a record is caught as it is on the heap.
#if defined(__SANITIZE_ADDRESS__)
#define VYR_MODEL_MEMORY_CHECKED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VYR_MODEL_MEMORY_CHECKED 1
#endif
#endif

namespace vyr::parser {

class ModelMemory {
 public:
  ModelMemory() = default;
  ~ModelMemory();
  ModelMemory(const ModelMemory&) = delete;
  ModelMemory& operator=(const ModelMemory&) = delete;

  // `bytes` (at least one) aligned to `alignment` (a power of two); valid until the model goes.
  void* Allocate(std::size_t bytes, std::size_t alignment) {
#if defined(VYR_MODEL_MEMORY_CHECKED)
    return AllocateChecked(bytes, alignment);
#else
    return Take(bytes, alignment);
#endif
  }

  // A new record; records here are never destroyed, only their memory given back.
  template <class T, class... Args>
  T* New(Args&&... args) {
    static_assert(std::is_trivially_destructible_v<T>);
    return new (Allocate(sizeof(T), alignof(T))) T{std::forward<Args>(args)...};
  }

  // Bytes taken from the system so far.
  std::size_t reserved() const {
    return reserved_;
  }
  // Bytes handed out so far, with their alignment: the most the model can have touched.
  std::size_t handed_out() const {
    return reserved_ - left_behind_ - static_cast<std::size_t>(end_ - next_);
  }

 private:
  void* Take(std::size_t bytes, std::size_t alignment) {
    const auto at = (reinterpret_cast<std::uintptr_t>(next_) + alignment - 1) & ~(alignment - 1);
    const auto end = reinterpret_cast<std::uintptr_t>(end_);
    if (at <= end && bytes <= end - at) {
      next_ = reinterpret_cast<char*>(at + bytes);
      return reinterpret_cast<void*>(at);
    }
    return AllocateInNewBlock(bytes, alignment);
  }
  void* AllocateChecked(std::size_t bytes, std::size_t alignment);
  void* AllocateInNewBlock(std::size_t bytes, std::size_t alignment);

  struct Block {
    void* data;
    std::size_t size;
  };
  std::vector<Block> blocks_;
  char* next_ = nullptr;
  char* end_ = nullptr;
  std::size_t next_block_size_ = 64 * 1024;
  std::size_t reserved_ = 0;
  std::size_t left_behind_ = 0;  // the free ends of blocks given up for a new one
};

// Room, in a model's memory, for lists that are replaced by longer copies of themselves (the plan of a
// team that a later part of the script continues): a replaced list's room is given back, merged with
// free neighbours and handed out again first fit, so a script that continues many plans wastes
// almost nothing.
class ReusableSpace {
 public:
  explicit ReusableSpace(ModelMemory& memory) : memory_(memory) {}
  ReusableSpace(const ReusableSpace&) = delete;
  ReusableSpace& operator=(const ReusableSpace&) = delete;

  // `bytes` (at least one) aligned to 16.
  void* Allocate(std::size_t bytes);
  // Gives back what Allocate handed out for `bytes`.
  void Release(void* p, std::size_t bytes);

 private:
  static std::size_t Rounded(std::size_t bytes) { return (bytes + 15) & ~std::size_t{15}; }

  ModelMemory& memory_;
  std::map<char*, std::size_t> free_;  // by address; no two adjacent
  char* next_ = nullptr;               // the untouched rest of the last piece taken from memory_
  char* end_ = nullptr;
};

void* AllocateLargeTable(std::size_t bytes);
void FreeLargeTable(void* table, std::size_t bytes) noexcept;

// An allocator for the model's large tables, which grow by doubling and are freed when they do: a
// table of a large page or more lives on large pages, smaller ones on the heap.
template <class T>
struct LargeTableAllocator {
  using value_type = T;
  static constexpr std::size_t kLargeBytes = std::size_t{2} << 20;

  LargeTableAllocator() = default;
  template <class U>
  LargeTableAllocator(const LargeTableAllocator<U>&) {}

  T* allocate(std::size_t n) {
    if (n > SIZE_MAX / sizeof(T)) throw std::bad_alloc();
    const std::size_t bytes = n * sizeof(T);
    return static_cast<T*>(bytes >= kLargeBytes ? AllocateLargeTable(bytes) : ::operator new(bytes));
  }
  void deallocate(T* p, std::size_t n) noexcept {
    const std::size_t bytes = n * sizeof(T);
    if (bytes >= kLargeBytes) {
      FreeLargeTable(p, bytes);
    } else {
      ::operator delete(p);
    }
  }
  template <class U>
  friend bool operator==(const LargeTableAllocator&, const LargeTableAllocator<U>&) {
    return true;
  }
};

template <class T>
using LargeTable = std::vector<T, LargeTableAllocator<T>>;

}  // namespace vyr::parser
