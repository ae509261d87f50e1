// Memory for a few large, long-lived blocks, such as the parsed model's.
#pragma once

#include <cstddef>

namespace platform {

// A block of at least `size` zero-filled bytes straight from the system, on large pages where the
// system offers them: filling tens of megabytes then costs a handful of page faults, not thousands.
// Pages are taken only as they are first written. Throws std::bad_alloc when there is no memory.
void* AllocateLargeBlock(std::size_t size);
// Gives back a block from AllocateLargeBlock, with the size it was asked for.
void FreeLargeBlock(void* block, std::size_t size) noexcept;

}  // namespace platform
