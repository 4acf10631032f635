#pragma once
// An allocator for arrays of plain records in memory the system hands out
// zero-filled: elements made without arguments are default-initialised,
// which leaves the zeros as they are instead of writing them a second time.
// Only growth into fresh memory is zero; whoever reuses capacity clears it.

#include <cstddef>
#include <new>
#include <type_traits>
#include <utility>

#include "platform/Memory.h"

template <class T>
class ZeroedAllocator {
 public:
  static_assert(std::is_trivially_default_constructible_v<T>);
  using value_type = T;

  ZeroedAllocator() = default;
  template <class U>
  ZeroedAllocator(const ZeroedAllocator<U>&) noexcept {}

  T* allocate(std::size_t n) {
    if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
    return static_cast<T*>(platform::AllocateZeroed(n * sizeof(T)));
  }
  void deallocate(T* p, std::size_t n) noexcept { platform::FreeZeroed(p, n * sizeof(T)); }

  template <class U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }

  template <class U>
  bool operator==(const ZeroedAllocator<U>&) const noexcept {
    return true;
  }
};
