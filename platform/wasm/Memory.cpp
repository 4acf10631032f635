#include "platform/Memory.h"

#include <cstdlib>
#include <new>

namespace platform {

// The browser's memory has no pages to ask for: calloc clears the block.
void* AllocateZeroed(std::size_t size) {
  void* block = std::calloc(1, size);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}

void FreeZeroed(void* block, std::size_t) noexcept { std::free(block); }

}  // namespace platform
