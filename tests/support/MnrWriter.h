#pragma once
// Builds problem files for tests and benchmarks from plain Shift-JIS texts,
// with the scrambling and padding of the file format, and lets a test spoil
// any part of the result. Nothing in the product uses it.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace test_support {

struct Problem {
  std::string question;                 // plain Shift-JIS, at most 116 bytes
  std::array<std::string, 5> choices;   // plain Shift-JIS, at most 28 bytes each
};

struct Genre {
  std::string name;  // stored plain; at most 16 bytes
  std::vector<Problem> problems;
};

class MnrWriter {
 public:
  MnrWriter();  // eight empty genres, valid signature

  Genre& genre(int g) { return genres_[g]; }
  // Overrides the count field of a genre (default: its number of problems).
  void setCount(int g, std::int16_t count);

  // The problem file bytes.
  std::vector<std::uint8_t> bytes() const;
  void writeTo(const std::string& hostPath) const;

  // Scrambles one plain text into a field of the given size: every text byte
  // flipped, the rest padded with spaces.
  static void scrambleField(const std::string& plain, std::uint8_t* field, std::size_t size);

  // What the loader must hold after unscrambling one record, and the lines
  // the genre text export must write, computed independently of the product.
  static std::vector<std::uint8_t> expectedRecord(const Problem& p);
  std::string expectedGenreFile(int g) const;  // CR LF lines, bytes as stored

 private:
  std::array<Genre, 8> genres_;
  std::array<int, 8> countOverride_;
  std::array<bool, 8> hasOverride_{};
};

}  // namespace test_support
