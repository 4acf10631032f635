#pragma once
// Byte layout of a problem file: a 2048-byte header of eight 256-byte genre
// blocks, then the 256-byte problem records of genre 0, 1, ... 7 in a row.
// Every offset and size of the format is named here, and only here.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

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

// The eight genre blocks as stored, and what is read from them.
using HeaderBytes = std::array<std::uint8_t, mnr_layout::kHeaderSize>;

namespace mnr_header {

// The genre's name field up to its first zero byte, untrimmed.
inline std::string_view GenreName(const HeaderBytes& header, int genre) {
  const auto* name = reinterpret_cast<const char*>(&header[genre * mnr_layout::kGenreBlockSize + mnr_layout::kGenreNameOffset]);
  return std::string_view(name, std::find(name, name + mnr_layout::kGenreNameSize, '\0') - name);
}
// The signed count field as stored.
inline int ProblemCount(const HeaderBytes& header, int genre) {
  const std::size_t at = genre * mnr_layout::kGenreBlockSize + mnr_layout::kProblemCountOffset;
  return static_cast<std::int16_t>(header[at] | (header[at + 1] << 8));
}
// How many problems the genre has for every reader and writer: a count
// <= 0 means none.
inline int ListedCount(const HeaderBytes& header, int genre) { return std::max(ProblemCount(header, genre), 0); }
inline bool HasSignature(const HeaderBytes& header) {
  return std::memcmp(&header[mnr_layout::kSignatureOffset], mnr_layout::kSignature, mnr_layout::kSignatureSize) == 0;
}
// The bytes a reader takes for this header: the header and the records its
// listed counts announce.
inline std::size_t UsedSize(const HeaderBytes& header) {
  std::size_t size = mnr_layout::kHeaderSize;
  for (int g = 0; g < mnr_layout::kGenreCount; ++g) size += ListedCount(header, g) * mnr_layout::kRecordSize;
  return size;
}
// The block's 256 bytes.
inline std::string_view Block(const HeaderBytes& header, int genre) {
  return {reinterpret_cast<const char*>(&header[genre * mnr_layout::kGenreBlockSize]), mnr_layout::kGenreBlockSize};
}
// The name cut to its field, the rest of the field zero.
inline void SetGenreName(HeaderBytes& header, int genre, std::string_view cp932) {
  std::uint8_t* field = &header[genre * mnr_layout::kGenreBlockSize + mnr_layout::kGenreNameOffset];
  const std::size_t n = std::min(cp932.size(), mnr_layout::kGenreNameSize);
  std::memcpy(field, cp932.data(), n);
  std::memset(field + n, 0, mnr_layout::kGenreNameSize - n);
}
inline void SetProblemCount(HeaderBytes& header, int genre, int count) {
  const std::size_t at = genre * mnr_layout::kGenreBlockSize + mnr_layout::kProblemCountOffset;
  header[at] = static_cast<std::uint8_t>(count & 0xFF);
  header[at + 1] = static_cast<std::uint8_t>((count >> 8) & 0xFF);
}
inline void SetSignature(HeaderBytes& header) {
  std::memcpy(&header[mnr_layout::kSignatureOffset], mnr_layout::kSignature, mnr_layout::kSignatureSize);
}

}  // namespace mnr_header
