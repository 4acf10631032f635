#include "format/Unscramble.h"

#include <algorithm>
#include <array>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "format/ShiftJis.h"

namespace {

using namespace mnr_layout;

// Stored bytes that unscramble to a Shift-JIS lead byte.
constexpr std::array<bool, 256> MakeLeadTable() {
  std::array<bool, 256> lead{};
  for (int stored = 0; stored < 256; ++stored)
    lead[stored] = IsShiftJisLeadByte(static_cast<std::uint8_t>(stored ^ kScrambleMask));
  return lead;
}
constexpr std::array<bool, 256> kStoredLead = MakeLeadTable();

// Where the text of a field ends: at the first stored space that sits at a
// character boundary, or at the end of the field.
//
// Rather than walking every character from the start, jump from space to
// space. The byte after a byte that cannot be a lead byte always starts a
// character (it follows a single-byte character or a trail byte), and from
// there bytes that can only be lead bytes pair up as lead and trail. So a
// space starts a character exactly when an even number of such bytes stands
// right before it; otherwise it is the trail byte of a double-byte character.
std::size_t TextLength(const std::uint8_t* field, std::size_t size) {
  std::size_t from = 0;
  while (from < size) {
    const void* hit = std::memchr(field + from, kPadding, size - from);
    if (hit == nullptr) break;
    const std::size_t space = static_cast<const std::uint8_t*>(hit) - field;
    std::size_t leads = 0;
    while (leads < space && kStoredLead[field[space - 1 - leads]]) ++leads;
    if (leads % 2 == 0) return space;
    from = space + 1;
  }
  return size;
}

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
  const std::size_t length = TextLength(field, size);
  FlipBytes(field, length);
  return length;
}

#if defined(__SSE2__)

namespace {

// One bit per byte of a record.
struct RecordMask {
  std::uint64_t words[kRecordSize / 64];
};

// Bit i of spaces: byte i is a stored space; of leads: byte i can only
// unscramble to a lead byte (stored 0x01-0x1F or 0x60-0x7C).
void RecordMasks(const std::uint8_t* bytes, RecordMask& spaces, RecordMask& leads) {
  const __m128i space = _mm_set1_epi8(kPadding);
  const __m128i bias = _mm_set1_epi8(static_cast<char>(0x80));  // signed compares on unsigned bytes
  const auto inRange = [&](__m128i v, int low, int high) {
    const __m128i x = _mm_xor_si128(v, bias);
    const __m128i lo = _mm_set1_epi8(static_cast<char>((low - 1) ^ 0x80));
    const __m128i hi = _mm_set1_epi8(static_cast<char>((high + 1) ^ 0x80));
    return _mm_and_si128(_mm_cmpgt_epi8(x, lo), _mm_cmplt_epi8(x, hi));
  };
  for (std::size_t w = 0; w < kRecordSize / 64; ++w) {
    std::uint64_t s = 0, l = 0;
    for (std::size_t k = 0; k < 4; ++k) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + w * 64 + k * 16));
      const std::uint64_t sBits = static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, space)));
      const __m128i lead = _mm_or_si128(inRange(v, 0x01, 0x1F), inRange(v, 0x60, 0x7C));
      const std::uint64_t lBits = static_cast<std::uint16_t>(_mm_movemask_epi8(lead));
      s |= sBits << (k * 16);
      l |= lBits << (k * 16);
    }
    spaces.words[w] = s;
    leads.words[w] = l;
  }
}

// The 64 bits of a record mask from bit pos on (zeros past the record).
std::uint64_t BitsFrom(const RecordMask& mask, std::size_t pos) {
  constexpr std::size_t kWords = kRecordSize / 64;
  const std::size_t word = pos / 64, shift = pos % 64;
  std::uint64_t bits = mask.words[word] >> shift;
  if (shift != 0 && word + 1 < kWords) bits |= mask.words[word + 1] << (64 - shift);
  return bits;
}

// The positions right after each run of set bits of odd length, counting
// runs on from the previous word through carry (1 when that word ended in
// the middle of such a run). Adding a run's start bit to the run carries
// past its end; starts at even and at odd positions are added separately so
// that the position where the carry lands tells the run's parity.
std::uint64_t OddRunEnds(std::uint64_t bits, std::uint64_t& carry) {
  constexpr std::uint64_t kEven = 0x5555555555555555ull, kOdd = ~kEven;
  const std::uint64_t starts = bits & ~(bits << 1);
  const std::uint64_t evenStartMask = kEven ^ carry;
  const std::uint64_t evenStarts = starts & evenStartMask;
  const std::uint64_t oddStarts = starts & ~evenStartMask;
  const std::uint64_t evenCarries = bits + evenStarts;
  std::uint64_t oddCarries;
  const bool overflow = __builtin_add_overflow(bits, oddStarts, &oddCarries);
  oddCarries |= carry;
  carry = overflow ? 1 : 0;
  return ((evenCarries & ~bits) & kOdd) | ((oddCarries & ~bits) & kEven);
}

// The same rule as TextLength, read off the record's masks: a stored space
// ends the text unless it comes right after an odd number of bytes that can
// only be lead bytes (then it is a trail byte).
std::size_t MaskedTextLength(const RecordMask& spaces, const RecordMask& leads, std::size_t offset,
                             std::size_t size) {
  std::uint64_t carry = 0;
  for (std::size_t at = 0; at < size; at += 64) {
    const std::size_t n = std::min<std::size_t>(64, size - at);
    const std::uint64_t inField = n == 64 ? ~0ull : (1ull << n) - 1;
    const std::uint64_t lead = BitsFrom(leads, offset + at) & inField;
    const std::uint64_t space = BitsFrom(spaces, offset + at) & inField;
    const std::uint64_t boundary = space & ~OddRunEnds(lead, carry);
    if (boundary != 0) return at + __builtin_ctzll(boundary);
  }
  return size;
}

// 0x80 in the first n of 16 bytes (head) or in the last n (tail).
struct PartialMasks {
  alignas(16) std::uint8_t head[17][16];
  alignas(16) std::uint8_t tail[17][16];
};
constexpr PartialMasks MakePartialMasks() {
  PartialMasks m{};
  for (int n = 0; n <= 16; ++n)
    for (int i = 0; i < 16; ++i) {
      m.head[n][i] = i < n ? kScrambleMask : 0;
      m.tail[n][i] = i >= 16 - n ? kScrambleMask : 0;
    }
  return m;
}
constexpr PartialMasks kPartial = MakePartialMasks();

// Flips the top bit of the n bytes at offset of the record, 16 at a time;
// the last few through one 16-byte window that stays inside the record and
// leaves every byte outside the n as it is.
void FlipRange(std::uint8_t* record, std::size_t offset, std::size_t n) {
  const __m128i mask = _mm_set1_epi8(static_cast<char>(kScrambleMask));
  std::size_t i = offset;
  const std::size_t end = offset + n;
  for (; i + 16 <= end; i += 16) {
    __m128i* p = reinterpret_cast<__m128i*>(record + i);
    _mm_storeu_si128(p, _mm_xor_si128(_mm_loadu_si128(p), mask));
  }
  const std::size_t rest = end - i;
  if (rest == 0) return;
  const bool head = i + 16 <= kRecordSize;
  __m128i* p = reinterpret_cast<__m128i*>(record + (head ? i : end - 16));
  const __m128i partial = _mm_load_si128(reinterpret_cast<const __m128i*>(head ? kPartial.head[rest] : kPartial.tail[rest]));
  _mm_storeu_si128(p, _mm_xor_si128(_mm_loadu_si128(p), partial));
}

}  // namespace

// Vector path (every x86-64): the record's spaces and lead bytes as bit
// masks in one pass, then each field's text length read off them.
void UnscrambleRecord(ProblemRecord& record) {
  RecordMask spaces, leads;
  RecordMasks(record.Bytes, spaces, leads);
  FlipRange(record.Bytes, kQuestionOffset,
            MaskedTextLength(spaces, leads, kQuestionOffset, kQuestionSize));
  for (int c = 0; c < kChoiceCount; ++c) {
    const std::size_t offset = kChoicesOffset + c * kChoiceSize;
    FlipRange(record.Bytes, offset, MaskedTextLength(spaces, leads, offset, kChoiceSize));
  }
}

#else

// Portable path (the i686 build).
void UnscrambleRecord(ProblemRecord& record) {
  UnscrambleField(record.Bytes + kQuestionOffset, kQuestionSize);
  for (int c = 0; c < kChoiceCount; ++c)
    UnscrambleField(record.Bytes + kChoicesOffset + c * kChoiceSize, kChoiceSize);
}

#endif
