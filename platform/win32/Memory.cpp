#include "platform/Memory.h"

#include <windows.h>

#include <new>

namespace platform {

// Committed pages come zero-filled. Large pages would need a privilege
// that ordinary users lack, so normal pages are asked for.
void* AllocateZeroed(std::size_t size) {
  void* block = VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}

void FreeZeroed(void* block, std::size_t) noexcept {
  if (block != nullptr) VirtualFree(block, 0, MEM_RELEASE);
}

}  // namespace platform
