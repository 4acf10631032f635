#pragma once
// Whether a short text holds any byte of a few kinds, eight bytes at a
// time: the writers ask it of a record's texts before choosing how to
// write them, and a byte loop inlined there is not turned into vector code.

#include <cstdint>
#include <cstring>
#include <string_view>

namespace byte_scan {

// Per byte of a word, the top bit set where the byte is below limit (at
// most 0x80), or where it is c: exact as to whether there is any such byte
// (a borrow may mark bytes above the first one).
inline constexpr std::uint64_t kOnes = 0x0101010101010101ull, kTops = 0x8080808080808080ull;
constexpr std::uint64_t Below(std::uint64_t word, std::uint8_t limit) { return (word - kOnes * limit) & ~word & kTops; }
constexpr std::uint64_t Equal(std::uint64_t word, std::uint8_t c) { return Below(word ^ (kOnes * c), 1); }

// Whether test marks any byte of text: eight bytes at a time, the last
// eight overlapping the ones before; fewer than eight padded with 'A',
// which the writers' tests never mark.
template <typename Test>
bool AnyByte(std::string_view text, Test test) {
  const char* p = text.data();
  const std::size_t n = text.size();
  std::uint64_t word = 0x4141414141414141ull, found = 0;
  if (n < 8) {
    if (n > 0) std::memcpy(&word, p, n);
    return test(word) != 0;
  }
  for (std::size_t i = 0; i + 8 <= n; i += 8) {
    std::memcpy(&word, p + i, 8);
    found |= test(word);
  }
  std::memcpy(&word, p + n - 8, 8);
  return (found | test(word)) != 0;
}

}  // namespace byte_scan
