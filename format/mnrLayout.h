#pragma once
// Byte layout of a problem file: a 2048-byte header of eight 256-byte genre
// blocks, then the 256-byte problem records of genre 0, 1, ... 7 in a row.

#include <cstddef>
#include <cstdint>

namespace mnr_layout {

inline constexpr int kGenreCount = 8;

// Genre block (header).
inline constexpr std::size_t kGenreBlockSize = 256;
inline constexpr std::size_t kHeaderSize = kGenreBlockSize * kGenreCount;
inline constexpr std::size_t kGenreNameOffset = 0;
inline constexpr std::size_t kGenreNameSize = 16;
inline constexpr std::size_t kProblemCountOffset = 18;  // signed 16-bit, little-endian
inline constexpr std::size_t kSignatureOffset = 34;     // block 0 only
inline constexpr std::size_t kSignatureSize = 8;
inline constexpr char kSignature[kSignatureSize + 1] = "MUNEBANK";
inline constexpr int kMaxProblemCount = 32767;

// Problem record.
inline constexpr std::size_t kRecordSize = 256;
inline constexpr std::size_t kQuestionOffset = 0;
inline constexpr std::size_t kQuestionSize = 116;
inline constexpr std::size_t kChoicesOffset = 116;
inline constexpr std::size_t kChoiceSize = 28;
inline constexpr int kChoiceCount = 5;
inline constexpr std::size_t kChoicesSize = kChoiceSize * kChoiceCount;  // 140

// The six scrambled text fields of a record: the question, then the choices.
inline constexpr int kFieldCount = 1 + kChoiceCount;
inline constexpr std::size_t FieldOffset(int field) {
  return field == 0 ? kQuestionOffset : kChoicesOffset + (field - 1) * kChoiceSize;
}
inline constexpr std::size_t FieldSize(int field) { return field == 0 ? kQuestionSize : kChoiceSize; }

// Scrambling: text bytes are stored with the top bit flipped; the rest of a
// field is padded with plain spaces.
inline constexpr std::uint8_t kScrambleMask = 0x80;
inline constexpr std::uint8_t kPadding = 0x20;

// The most a problem file can use: the header and every genre full. Bytes
// beyond what the counts announce are never read.
inline constexpr std::size_t kMaxUsedSize = kHeaderSize + kGenreCount * kMaxProblemCount * kRecordSize;

static_assert(kChoicesOffset == kQuestionOffset + kQuestionSize);
static_assert(kChoicesOffset + kChoicesSize == kRecordSize);

}  // namespace mnr_layout

struct ProblemRecord {
  std::uint8_t Bytes[mnr_layout::kRecordSize];
};
static_assert(sizeof(ProblemRecord) == mnr_layout::kRecordSize);

// Where unscrambling found each field's text to end (bytes from the field's
// start): what it takes to scramble a loaded record back into its stored
// bytes, since a stored space inside a text looks like padding once
// unscrambled.
struct TextLengths {
  std::uint8_t Field[mnr_layout::kFieldCount];
};
