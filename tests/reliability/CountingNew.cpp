// Replaces the global operator new and delete of this test program, so that
// every allocation (the record arrays among them) is counted. Each block carries its size in front of it; the array, nothrow and
// sized forms of the standard library call these two.

#include "CountingNew.h"

#include <cstdlib>
#include <cstring>
#include <new>


namespace reliability::allocation {
namespace {

constexpr std::size_t kHeader = alignof(std::max_align_t);
std::size_t live = 0;
std::size_t peak = 0;

}  // namespace

std::size_t LiveBytes() { return live; }
std::size_t PeakBytes() { return peak; }
void ResetPeak() { peak = live; }

void* Allocate(std::size_t size) {
  void* block = std::malloc(size + kHeader);
  if (block == nullptr) throw std::bad_alloc();
  *static_cast<std::size_t*>(block) = size;
  live += size;
  if (live > peak) peak = live;
  return static_cast<char*>(block) + kHeader;
}

void Release(void* p) {
  if (p == nullptr) return;
  void* block = static_cast<char*>(p) - kHeader;
  live -= *static_cast<std::size_t*>(block);
  std::free(block);
}

}  // namespace reliability::allocation

void* operator new(std::size_t size) { return reliability::allocation::Allocate(size); }
void operator delete(void* p) noexcept { reliability::allocation::Release(p); }
void operator delete(void* p, std::size_t) noexcept { reliability::allocation::Release(p); }

