#include "tests/support/RandomProblems.h"

namespace test_support {
namespace {

constexpr std::uint8_t kLeadRanges[][2] = {{0x81, 0x9F}, {0xE0, 0xFC}};

}  // namespace

std::uint64_t RandomProblems::Next() {
  std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

std::string RandomProblems::Text(std::size_t maxBytes) {
  std::string text;
  const std::uint32_t kind = Below(8);
  if (kind == 0) return text;  // padding only
  if (kind == 1) {
    // Full-width characters up to the field's end (or one byte short of it).
    while (text.size() + 2 <= maxBytes) {
      text += static_cast<char>(0x88 + Below(8));
      text += static_cast<char>(0x9F + Below(0x5D));
    }
    return text;
  }
  if (kind == 2) {
    // Any bytes at all.
    const std::size_t n = Below(static_cast<std::uint32_t>(maxBytes + 1));
    for (std::size_t i = 0; i < n; ++i) text += static_cast<char>(Below(256));
    return text;
  }
  // A mix of characters of every kind.
  const std::size_t length = Chance(30) ? maxBytes : Below(static_cast<std::uint32_t>(maxBytes + 1));
  while (text.size() < length) {
    const std::uint32_t pick = Below(20);
    if (pick < 6 && text.size() + 2 <= length) {
      const auto& range = kLeadRanges[Below(2)];
      text += static_cast<char>(range[0] + Below(range[1] - range[0] + 1));
      const std::uint32_t trail = Below(10);
      text += static_cast<char>(trail == 0 ? 0x5C : trail == 1 ? 0xA0 : 0x40 + Below(0xBD));
    } else if (pick < 12) {
      text += static_cast<char>(0x21 + Below(0x5E));  // ASCII
    } else if (pick < 15) {
      text += static_cast<char>(0xA1 + Below(0x3F));  // half-width katakana
    } else if (pick < 17) {
      text += ' ';
    } else if (pick == 17) {
      text += static_cast<char>(Below(0x20));  // control or zero byte
    } else if (pick == 18) {
      text += static_cast<char>(0xA0);  // stored as a space
    } else {
      text += static_cast<char>(0x80 + Below(0x80));  // a lone high byte
    }
  }
  return text;
}

std::string RandomProblems::GenreName() {
  switch (Below(5)) {
    case 0:
      return {};
    case 1: {
      std::string name;  // sixteen bytes, no zero: no terminator in the field
      for (int i = 0; i < 16; ++i) name += static_cast<char>(1 + Below(255));
      return name;
    }
    default:
      return Text(16);
  }
}

int RandomProblems::ProblemCount() {
  const std::uint32_t size = Below(100);
  if (size < 30) return 0;
  if (size < 80) return 1 + static_cast<int>(Below(5));
  if (size < 96) return 6 + static_cast<int>(Below(25));
  return 31 + static_cast<int>(Below(90));
}

test_support::MnrWriter RandomProblems::NextSet() {
  test_support::MnrWriter set;
  for (int g = 0; g < 8; ++g) {
    test_support::Genre& genre = set.genre(g);
    genre.name = GenreName();
    const int count = ProblemCount();
    for (int n = 0; n < count; ++n) {
      test_support::Problem problem;
      if (Chance(3)) {
        problem.stored.resize(test_support::kRecordSize);
        for (auto& b : problem.stored) b = static_cast<std::uint8_t>(Below(256));
      } else {
        problem.question = Text(test_support::kQuestionSize);
        for (auto& choice : problem.choices) choice = Text(test_support::kChoiceSize);
      }
      genre.problems.push_back(std::move(problem));
    }
  }
  // Bytes the reader keeps but does not interpret: around the count, after
  // the signature, and where the signature would be in blocks 1 ... 7.
  if (Chance(30)) {
    for (int i = 0, n = static_cast<int>(Below(20)); i < n; ++i) {
      const int g = static_cast<int>(Below(8));
      std::size_t offset;
      do {
        offset = Below(256);
      } while (offset < 16 || offset == 18 || offset == 19 || (g == 0 && offset >= 34 && offset < 42));
      set.setHeaderByte(g, offset, static_cast<std::uint8_t>(Below(256)));
    }
  }
  return set;
}

std::string RandomProblems::Trailer() {
  std::string trailer;
  if (Chance(10)) {
    for (int i = 0, n = 1 + static_cast<int>(Below(300)); i < n; ++i) trailer += static_cast<char>(Below(256));
  }
  return trailer;
}

}  // namespace test_support
