#pragma once
// Random problem sets of every shape, from a seed. The generator is its own
// (splitmix64), so a seed gives the same sets on every platform and library.

#include <cstdint>
#include <string>

#include "tests/support/MnrWriter.h"

namespace test_support {

class RandomProblems {
 public:
  explicit RandomProblems(std::uint64_t seed) : state_(seed) {}

  // A valid problem set: eight genres of random size (mostly small, now and
  // then long), random names, texts of every length and kind (full-width,
  // half-width, spaces, control and zero bytes, trail bytes 0x5C and 0xA0,
  // plain 0xA0), some records of raw random bytes, noise in the header
  // bytes the reader does not interpret.
  MnrWriter NextSet();
  // Random bytes to append after the last record (often none).
  std::string Trailer();

  std::uint64_t Next();
  // 0 ... n-1.
  std::uint32_t Below(std::uint32_t n) { return static_cast<std::uint32_t>(Next() % n); }
  bool Chance(std::uint32_t percent) { return Below(100) < percent; }

  // Plain Shift-JIS text of at most maxBytes bytes.
  std::string Text(std::size_t maxBytes);

 private:
  std::string GenreName();
  int ProblemCount();

  std::uint64_t state_;
};

}  // namespace test_support
