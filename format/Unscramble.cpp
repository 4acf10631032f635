#include "format/Unscramble.h"

#include <array>
#include <bit>
#include <cstring>
#include <iterator>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <immintrin.h>
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

namespace {

// The rule as written, one field after the other: for i686, WebAssembly, and
// as the reference the vector paths are tested against.
void UnscrambleRecordPortable(ProblemRecord& record, TextLengths& lengths) {
  for (int f = 0; f < kFieldCount; ++f)
    lengths.Field[f] = static_cast<std::uint8_t>(UnscrambleField(record.Bytes + FieldOffset(f), FieldSize(f)));
}

}  // namespace

#if defined(__SSE2__)

// Vector paths: a record's spaces and lead-capable bytes become 256-bit masks,
// plain integer arithmetic turns them into the mask of the text bytes of all
// six fields at once, and that mask flips the bytes. Only the first and last
// steps differ between SSE2 and AVX2. No step branches on the record's bytes,
// so texts of varied lengths cost no mispredicted jumps.

namespace {

// One bit per byte of a record.
struct RecordMask {
  std::uint64_t words[kRecordSize / 64];
};

// The bits [pos, pos + 64) of a record mask (zeros past the record), and the
// other way round. Positions are constants wherever these are used, so each
// folds to a shift or two.
std::uint64_t BitsAt(const RecordMask& mask, std::size_t pos) {
  const std::size_t word = pos / 64, shift = pos % 64;
  std::uint64_t bits = mask.words[word] >> shift;
  if (shift != 0 && word + 1 < std::size(mask.words)) bits |= mask.words[word + 1] << (64 - shift);
  return bits;
}
void SetBitsAt(RecordMask& mask, std::size_t pos, std::uint64_t bits) {
  const std::size_t word = pos / 64, shift = pos % 64;
  mask.words[word] |= bits << shift;
  if (shift != 0 && word + 1 < std::size(mask.words)) mask.words[word + 1] |= bits >> (64 - shift);
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

// The last byte of every field but the last.
constexpr RecordMask MakeFieldEnds() {
  RecordMask m{};
  for (int c = 0; c < kChoiceCount; ++c) {
    const std::size_t last = kChoicesOffset + c * kChoiceSize - 1;
    m.words[last / 64] |= 1ull << (last % 64);
  }
  return m;
}
constexpr RecordMask kFieldEnds = MakeFieldEnds();

// Marks the text of the field at kOffset in text: its bytes up to the first
// boundary space, or all of them. A sentinel bit past the field's end stands
// for the end; (stops & -stops) - 1 keeps the bits below the lowest stop, all
// of them when a 64-bit chunk has none, and `open` drops the chunks after one
// that had a stop.
// Returns the text's length: the lowest stop's position, counted over the
// chunks up to the first that has one.
template <std::size_t kOffset, std::size_t kSize>
std::uint8_t MarkText(const RecordMask& boundaries, RecordMask& text) {
  std::uint64_t open = ~0ull;
  std::size_t length = 0;
  for (std::size_t at = 0; at < kSize; at += 64) {
    std::uint64_t stops = BitsAt(boundaries, kOffset + at);
    if (kSize - at < 64) stops = (stops & ((1ull << (kSize - at)) - 1)) | 1ull << (kSize - at);
    SetBitsAt(text, kOffset + at, ((stops & -stops) - 1) & open);
    length += static_cast<std::size_t>(std::countr_zero(stops)) & open;
    open &= stops == 0 ? ~0ull : 0;
  }
  return static_cast<std::uint8_t>(length);
}

// Bit i: byte i of the record is text. The same rule as TextLength, read off
// the masks: a stored space ends a field's text unless it comes right after
// an odd number of bytes that can only be lead bytes (then it is a trail
// byte). Always inlined, so that the AVX2 path compiles it with BMI1.
inline __attribute__((always_inline)) RecordMask TextMask(const RecordMask& spaces, const RecordMask& leads,
                                                          TextLengths& lengths) {
  // A field's runs of lead bytes start at its first byte: taking the last
  // byte of the field before out of the runs cuts them there, and changes
  // nothing in that field, where no space comes after its last byte.
  RecordMask boundaries;
  std::uint64_t carry = 0;
  for (std::size_t w = 0; w < std::size(spaces.words); ++w)
    boundaries.words[w] = spaces.words[w] & ~OddRunEnds(leads.words[w] & ~kFieldEnds.words[w], carry);
  RecordMask text{};
  [&]<std::size_t... f>(std::index_sequence<f...>) {
    ((lengths.Field[f] = MarkText<FieldOffset(f), FieldSize(f)>(boundaries, text)), ...);
  }(std::make_index_sequence<kFieldCount>());
  return text;
}

// Stored bytes that unscramble to a lead byte are 0x01-0x1F and 0x60-0x7C.
// Adding 0x80 - low maps low ... high onto the lowest signed byte values, so
// one signed compare tests each range.
constexpr char RangeShift(int low) { return static_cast<char>(0x80 - low); }
constexpr char RangeLimit(int low, int high) { return static_cast<char>(-128 + high - low + 1); }

// 0x80 to XOR into a byte whose bit is set: the bit picked by its position
// within the byte of the mask that was spread over it.
constexpr long long kBitOfByte = 0x8040201008040201ll;

// Bit i of spaces: byte i is a stored space; of leads: byte i can only
// unscramble to a lead byte.
void RecordMasksSse2(const std::uint8_t* bytes, RecordMask& spaces, RecordMask& leads) {
  const auto inRange = [](__m128i v, int low, int high) {
    return _mm_cmplt_epi8(_mm_add_epi8(v, _mm_set1_epi8(RangeShift(low))),
                          _mm_set1_epi8(RangeLimit(low, high)));
  };
  for (std::size_t w = 0; w < std::size(spaces.words); ++w) {
    std::uint64_t s = 0, l = 0;
    for (std::size_t k = 0; k < 4; ++k) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + w * 64 + k * 16));
      const __m128i lead = _mm_or_si128(inRange(v, 0x01, 0x1F), inRange(v, 0x60, 0x7C));
      s |= std::uint64_t(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8(kPadding)))) << (k * 16);
      l |= std::uint64_t(_mm_movemask_epi8(lead)) << (k * 16);
    }
    spaces.words[w] = s;
    leads.words[w] = l;
  }
}

void FlipTextSse2(std::uint8_t* bytes, const RecordMask& text) {
  const __m128i bitOfByte = _mm_set1_epi64x(kBitOfByte);
  const __m128i top = _mm_set1_epi8(static_cast<char>(kScrambleMask));
  for (std::size_t w = 0; w < std::size(text.words); ++w) {
    // Each of the word's eight bytes repeated eight times, 16 bytes a vector.
    const __m128i b = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(&text.words[w]));
    const __m128i b2 = _mm_unpacklo_epi8(b, b);
    const __m128i b4lo = _mm_unpacklo_epi16(b2, b2), b4hi = _mm_unpackhi_epi16(b2, b2);
    const __m128i spread[4] = {_mm_unpacklo_epi32(b4lo, b4lo), _mm_unpackhi_epi32(b4lo, b4lo),
                               _mm_unpacklo_epi32(b4hi, b4hi), _mm_unpackhi_epi32(b4hi, b4hi)};
    for (std::size_t k = 0; k < 4; ++k) {
      const __m128i isText = _mm_cmpeq_epi8(_mm_and_si128(spread[k], bitOfByte), bitOfByte);
      __m128i* p = reinterpret_cast<__m128i*>(bytes + w * 64 + k * 16);
      _mm_storeu_si128(p, _mm_xor_si128(_mm_loadu_si128(p), _mm_and_si128(isText, top)));
    }
  }
}

void UnscrambleRecordSse2(ProblemRecord& record, TextLengths& lengths) {
  RecordMask spaces, leads;
  RecordMasksSse2(record.Bytes, spaces, leads);
  FlipTextSse2(record.Bytes, TextMask(spaces, leads, lengths));
}

}  // namespace

// AVX2, where the processor has it: the same steps 32 bytes at a time, and
// the integer steps with BMI1's fused bit operations (every AVX2 processor
// has them). Not in the Windows builds, whose compiler does not keep 32-byte
// vectors it spills to the stack aligned.
#if defined(__x86_64__) && !defined(_WIN32)
#define MUNEMOJI_UNSCRAMBLE_AVX2 1

namespace {

bool HasAvx2() {
  return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi");
}

__attribute__((target("avx2,bmi"))) __m256i InRangeAvx2(__m256i v, int low, int high) {
  return _mm256_cmpgt_epi8(_mm256_set1_epi8(RangeLimit(low, high)),
                           _mm256_add_epi8(v, _mm256_set1_epi8(RangeShift(low))));
}

__attribute__((target("avx2,bmi"))) void RecordMasksAvx2(const std::uint8_t* bytes, RecordMask& spaces,
                                                          RecordMask& leads) {
  for (std::size_t w = 0; w < std::size(spaces.words); ++w) {
    std::uint64_t s = 0, l = 0;
    for (std::size_t k = 0; k < 2; ++k) {
      const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + w * 64 + k * 32));
      const __m256i lead = _mm256_or_si256(InRangeAvx2(v, 0x01, 0x1F), InRangeAvx2(v, 0x60, 0x7C));
      const __m256i space = _mm256_cmpeq_epi8(v, _mm256_set1_epi8(kPadding));
      s |= std::uint64_t(std::uint32_t(_mm256_movemask_epi8(space))) << (k * 32);
      l |= std::uint64_t(std::uint32_t(_mm256_movemask_epi8(lead))) << (k * 32);
    }
    spaces.words[w] = s;
    leads.words[w] = l;
  }
}

__attribute__((target("avx2,bmi"))) void FlipTextAvx2(std::uint8_t* bytes, const RecordMask& text) {
  // Each of four mask bytes repeated eight times (the byte shuffle stays
  // within each 16-byte half, which holds all four).
  const __m256i spread = _mm256_setr_epi8(0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1,  //
                                          2, 2, 2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3, 3);
  const __m256i bitOfByte = _mm256_set1_epi64x(kBitOfByte);
  const __m256i top = _mm256_set1_epi8(static_cast<char>(kScrambleMask));
  for (std::size_t k = 0; k < kRecordSize / 32; ++k) {
    const auto bits = static_cast<std::uint32_t>(text.words[k / 2] >> (k % 2 * 32));
    const __m256i b = _mm256_shuffle_epi8(_mm256_set1_epi32(static_cast<int>(bits)), spread);
    const __m256i isText = _mm256_cmpeq_epi8(_mm256_and_si256(b, bitOfByte), bitOfByte);
    __m256i* p = reinterpret_cast<__m256i*>(bytes + k * 32);
    _mm256_storeu_si256(p, _mm256_xor_si256(_mm256_loadu_si256(p), _mm256_and_si256(isText, top)));
  }
}

__attribute__((target("avx2,bmi"))) void UnscrambleRecordAvx2(ProblemRecord& record, TextLengths& lengths) {
  RecordMask spaces, leads;
  RecordMasksAvx2(record.Bytes, spaces, leads);
  FlipTextAvx2(record.Bytes, TextMask(spaces, leads, lengths));
}

}  // namespace

#endif  // AVX2
#endif  // __SSE2__

void UnscrambleRecord(ProblemRecord& record, TextLengths& lengths) {
#if defined(MUNEMOJI_UNSCRAMBLE_AVX2)
  if (HasAvx2()) return UnscrambleRecordAvx2(record, lengths);  // reads flags set at start-up
#endif
#if defined(__SSE2__)
  UnscrambleRecordSse2(record, lengths);
#else
  UnscrambleRecordPortable(record, lengths);
#endif
}

std::span<const UnscramblePath> UnscramblePaths() {
  static const std::vector<UnscramblePath> paths = [] {
    std::vector<UnscramblePath> available;
#if defined(MUNEMOJI_UNSCRAMBLE_AVX2)
    if (HasAvx2()) available.push_back({"avx2", UnscrambleRecordAvx2});
#endif
#if defined(__SSE2__)
    available.push_back({"sse2", UnscrambleRecordSse2});
#endif
    available.push_back({"portable", UnscrambleRecordPortable});
    return available;
  }();
  return paths;
}
