#pragma once
// Large blocks straight from the system: they arrive zero-filled, so nothing
// needs to clear them again, and where the system offers it they are backed
// by huge pages, so filling them costs a fault per 2 MiB rather than per page.
// Small ones may come from the C heap, which reuses its memory.
// One implementation per system, in platform/<system>/Memory.cpp.

#include <cstddef>

namespace platform {

// A zero-filled block of at least size bytes (size > 0), aligned for any
// type; raises std::bad_alloc when the system has none.
void* AllocateZeroed(std::size_t size);
// Returns a block from AllocateZeroed; size is the size it was asked for.
void FreeZeroed(void* block, std::size_t size) noexcept;

}  // namespace platform
