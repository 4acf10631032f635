#include "platform/Memory.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <new>

namespace platform {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t PageRounded(std::size_t size) {
  constexpr std::size_t kPage = 4096;
  return (size + kPage - 1) & ~(kPage - 1);
}

// Below this, the C heap: its memory is reused from file to file, where a
// mapping of its own would cost two system calls and a fault per page each
// time (an ordinary problem file's genre is a few pages).
constexpr std::size_t kFromHeap = 128 * 1024;

}  // namespace

void* AllocateZeroed(std::size_t size) {
  if (size < kFromHeap) {
    void* block = std::calloc(1, size);
    if (block == nullptr) throw std::bad_alloc();
    return block;
  }
  size = PageRounded(size);
  if (size < kHugePage) {
    void* block = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED) throw std::bad_alloc();
    return block;
  }
  // Huge pages need 2 MiB alignment: map a little more and give back the
  // ends that lie outside an aligned block.
  const std::size_t mapped = size + kHugePage;
  void* raw = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t aligned = (start + kHugePage - 1) & ~(kHugePage - 1);
  if (aligned > start) munmap(raw, aligned - start);
  const std::uintptr_t end = start + mapped;
  if (end > aligned + size) munmap(reinterpret_cast<void*>(aligned + size), end - (aligned + size));
  void* block = reinterpret_cast<void*>(aligned);
#ifdef MADV_HUGEPAGE
  madvise(block, size, MADV_HUGEPAGE);  // only advice: without it, normal pages
#endif
  return block;
}

void FreeZeroed(void* block, std::size_t size) noexcept {
  if (block == nullptr) return;
  if (size < kFromHeap) {
    std::free(block);
  } else {
    munmap(block, PageRounded(size));
  }
}

}  // namespace platform
