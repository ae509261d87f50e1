#include "platform/large_blocks.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <new>

namespace platform {

namespace {

// The size of the system's large pages; the kernel maps one only at an address aligned to it.
constexpr std::size_t kLargePage = std::size_t{2} << 20;

std::size_t PageSize() {
  static const std::size_t size = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  return size;
}

std::size_t Rounded(std::size_t size, std::size_t unit) {
  return (size + unit - 1) / unit * unit;
}

void* Map(std::size_t size) {
  void* p = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) throw std::bad_alloc();
  return p;
}

}  // namespace

void* AllocateLargeBlock(std::size_t size) {
  if (size == 0 || size > SIZE_MAX - 2 * kLargePage) throw std::bad_alloc();
  if (size < kLargePage) return Map(Rounded(size, PageSize()));
  // Map a large page more than needed and cut the ends off, so the block starts on a large page.
  const std::size_t rounded = Rounded(size, kLargePage);
  char* mapped = static_cast<char*>(Map(rounded + kLargePage));
  char* block = reinterpret_cast<char*>(Rounded(reinterpret_cast<std::uintptr_t>(mapped), kLargePage));
  if (block != mapped) munmap(mapped, static_cast<std::size_t>(block - mapped));
  munmap(block + rounded, static_cast<std::size_t>(mapped + kLargePage - block));
  // Only advice: a system without large pages serves the block as it is.
  madvise(block, rounded, MADV_HUGEPAGE);
  return block;
}

void FreeLargeBlock(void* block, std::size_t size) noexcept {
  if (block == nullptr) return;
  munmap(block, size < kLargePage ? Rounded(size, PageSize()) : Rounded(size, kLargePage));
}

}  // namespace platform
