#include "format/Unscramble.h"

#include <array>
#include <cstring>

#include "format/ShiftJis.h"

namespace {

using namespace mnr_layout;

// How far one character reaches, indexed by its stored first byte: 0 for the
// padding that ends the text, 2 for a (flipped) lead byte, else 1.
constexpr std::array<std::uint8_t, 256> MakeStepTable() {
  std::array<std::uint8_t, 256> steps{};
  for (int stored = 0; stored < 256; ++stored) {
    const auto plain = static_cast<std::uint8_t>(stored ^ kScrambleMask);
    steps[stored] = stored == kPadding ? 0 : IsShiftJisLeadByte(plain) ? 2 : 1;
  }
  return steps;
}
constexpr std::array<std::uint8_t, 256> kSteps = MakeStepTable();

// Flips the top bit of n bytes, eight at a time.
void FlipBytes(std::uint8_t* bytes, std::size_t n) {
  constexpr std::uint64_t kMask8 = 0x8080808080808080ull;
  std::size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, bytes + i, 8);
    word ^= kMask8;
    std::memcpy(bytes + i, &word, 8);
  }
  for (; i < n; ++i) bytes[i] ^= kScrambleMask;
}

}  // namespace

std::size_t UnscrambleField(std::uint8_t* field, std::size_t size) {
  // Find where the text ends first, then flip it in one go.
  std::size_t k = 0;
  while (k < size) {
    const std::uint8_t step = kSteps[field[k]];
    if (step == 0) break;
    k += step;
  }
  const std::size_t length = k < size ? k : size;  // a lead byte in the last place
  FlipBytes(field, length);
  return length;
}

void UnscrambleRecord(ProblemRecord& record) {
  UnscrambleField(record.Bytes + kQuestionOffset, kQuestionSize);
  for (int c = 0; c < kChoiceCount; ++c)
    UnscrambleField(record.Bytes + kChoicesOffset + c * kChoiceSize, kChoiceSize);
}
