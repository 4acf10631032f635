// CP932 by the tables every build compiles in: to UTF-8 (and UTF-16 on
// Windows) one table look-up per character, and back.

#include "platform/CodePage.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace codepage {

namespace {

// Generated (tools/MakeCp932Table.cpp says what each table holds):
// kSingle[256] and kPairs[row][trail] are code points (kNone: no character);
// kLeadRow[byte] is a lead byte's row in kPairs (0, a row of no characters,
// for any other byte); kOtherCodes are the codes that are not the one their
// character is written with.
#include "platform/Cp932TableData.inc"

constexpr std::uint16_t kNone = 0xFFFF;

// A character's UTF-8 form as an entry: up to three bytes, first byte
// lowest, their count in bits 24-25, and kInvalid for bytes that are no
// character (then the bytes are U+FFFD's).
constexpr std::uint32_t kInvalid = 0x80000000;

std::uint32_t LengthOf(std::uint32_t entry) { return (entry >> 24) & 3; }

inline std::uint32_t EntryOf(std::uint32_t code) {
  if (code < 0x80) return code | 1u << 24;
  if (code < 0x800) return (0xC0 | code >> 6) | (0x80 | (code & 0x3F)) << 8 | 2u << 24;
  if (code == kNone) return 0xEF | 0xBF << 8 | 0xBD << 16 | 3u << 24 | kInvalid;
  return (0xE0 | code >> 12) | (0x80 | ((code >> 6) & 0x3F)) << 8 | (0x80 | (code & 0x3F)) << 16 | 3u << 24;
}

// The code point of the character at in[i] (n bytes in all), kNone for a
// byte that is none, and its size in bytes: a lead byte with a trail byte
// that makes a character is that pair; anything else is a byte alone.
std::uint16_t CodeAt(const std::uint8_t* in, std::size_t i, std::size_t n, std::size_t& size) {
  const std::uint8_t b = in[i];
  if (i + 1 < n) {
    const std::uint16_t pair = kPairs[kLeadRow[b]][in[i + 1]];
    if (pair != kNone) {
      size = 2;
      return pair;
    }
  }
  size = 1;
  return kSingle[b];
}

// Stores an entry's bytes, all four: the caller's buffer has room, and the
// next store overwrites the extra ones.
inline void Store(char* dst, std::uint32_t entry) {
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(dst, &entry, 4);
  } else {
    for (int k = 0; k < 4; ++k) dst[k] = static_cast<char>(entry >> (8 * k));
  }
}

// Input converted per round through a buffer on the stack: growing the
// string first would fill it with zeros only to overwrite them. A round
// takes kRound bytes and may run on by less than kOverrun.
constexpr std::size_t kRound = 1024;
constexpr std::size_t kOverrun = 64;
constexpr std::size_t kBufferSize = Cp932Utf8Room(kRound + kOverrun);

// The rows of kPairs that hold codes of kOtherCodes: a character from any
// other row is written with its own code.
constexpr std::array<bool, std::size(kPairs)> MakeOtherRows() {
  std::array<bool, std::size(kPairs)> rows{};
  for (std::uint16_t code : kOtherCodes) rows[kLeadRow[code >> 8]] = true;
  return rows;
}
constexpr std::array<bool, std::size(kPairs)> kOtherRows = MakeOtherRows();

// kOtherCodes as one bit per trail byte, for the few lead bytes they have
// (slot 0 of kOtherSlot: none).
struct OtherBits {
  std::array<std::uint8_t, 256> Slot{};
  std::array<std::array<std::uint64_t, 4>, 8> Bits{};
};
constexpr OtherBits MakeOtherBits() {
  OtherBits other{};
  int slots = 0;
  for (std::uint16_t code : kOtherCodes) {
    std::uint8_t& slot = other.Slot[code >> 8];
    if (slot == 0) slot = static_cast<std::uint8_t>(++slots);
    other.Bits[slot][(code & 0xFF) >> 6] |= 1ull << (code & 63);
  }
  return other;
}
constexpr OtherBits kOtherBits = MakeOtherBits();

bool IsOtherCode(std::uint16_t bytes) {
  return (kOtherBits.Bits[kOtherBits.Slot[bytes >> 8]][(bytes & 0xFF) >> 6] >> (bytes & 63)) & 1;
}

// The rule as written, a character at a time: for i686, and as the
// reference the vector path is tested against. Converts in[i] up to stop
// (a character may end one byte past it) into dst; otherRows is set when a
// character came from a row that holds kOtherCodes.
template <bool kCheck>
char* ConvertPortable(const std::uint8_t* in, std::size_t& at, std::size_t stop, std::size_t n, char* dst,
                      std::size_t& invalidCount, bool& otherRowsSeen) {
  std::size_t i = at, invalidBytes = 0;  // in registers, as in ConvertSse2
  bool otherRows = false;
  while (i < stop) {
    std::size_t size;
    if constexpr (kCheck) otherRows |= i + 1 < n && kOtherRows[kLeadRow[in[i]]];
    const std::uint32_t entry = EntryOf(CodeAt(in, i, n, size));
    i += size;
    invalidBytes += entry >> 31;
    Store(dst, entry);
    dst += LengthOf(entry);
  }
  at = i;
  invalidCount += invalidBytes;
  otherRowsSeen |= otherRows;
  return dst;
}

#if defined(__SSE2__)

// The entries of every character, made from the code points at first use:
// 58 KiB that the binary and the page need not carry, made in about as long
// as converting as many bytes takes.
struct EntryTables {
  std::uint32_t Single[256];
  std::uint32_t Pairs[std::size(kPairs)][256];
};

const EntryTables& Entries() {
  static const EntryTables* const tables = [] {
    auto* t = new EntryTables;
    for (int b = 0; b < 256; ++b) t->Single[b] = EntryOf(kSingle[b]);
    for (std::size_t row = 0; row < std::size(kPairs); ++row)
      for (int trail = 0; trail < 256; ++trail) t->Pairs[row][trail] = EntryOf(kPairs[row][trail]);
    return t;
  }();
  return *tables;
}

// One character: the pair's entry when the two bytes make one (a byte that
// leads nothing has row 0, which has none), else the first byte's own, with
// no test of the byte's kind. Reads in[i] and in[i + 1]. The branch is
// kept: predicted, it lets the next character start before this one's entry
// arrives (a select instead measured three times slower).
template <bool kCheck>
inline __attribute__((always_inline)) void Step(const EntryTables& entries, const std::uint8_t* in, std::size_t& i,
                                                char*& dst, std::size_t& invalidBytes, bool& otherRows) {
  const std::uint8_t b = in[i];
  const std::uint8_t row = kLeadRow[b];
  if constexpr (kCheck) otherRows |= kOtherRows[row];
  std::uint32_t entry = entries.Pairs[row][in[i + 1]];
  if (__builtin_expect(entry >> 31, 0)) {
    entry = entries.Single[b];
    i += 1;
  } else {
    i += 2;
  }
  invalidBytes += entry >> 31;
  Store(dst, entry);
  dst += LengthOf(entry);
}

// Sixteen bytes at a time: a run of ASCII (no top bit set) is copied as it
// is; from the first byte that is not ASCII, eight characters are converted
// by Step. Within 32 bytes of the end (short texts whole), Step alone.
template <bool kCheck>
char* ConvertSse2(const std::uint8_t* in, std::size_t& at, std::size_t stop, std::size_t n, char* dst,
                  std::size_t& invalidCount, bool& otherRowsSeen) {
  // Kept in registers: stores through dst could change anything a
  // reference points to, as far as the compiler knows.
  std::size_t i = at, invalidBytes = 0;
  bool otherRows = false;
  const EntryTables& entries = Entries();
  // Each pass reads below i + 32 (an ASCII prefix of up to 15 bytes, then
  // eight characters of up to 2 bytes and the byte after the last) and
  // moves i on by at most 31.
  while (i < stop && i + 32 <= n) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), v);
    const unsigned notAscii = static_cast<unsigned>(_mm_movemask_epi8(v));
    if (notAscii == 0) {
      i += 16;
      dst += 16;
      continue;
    }
    const unsigned ascii = static_cast<unsigned>(std::countr_zero(notAscii));
    i += ascii;
    dst += ascii;
    for (int k = 0; k < 8; ++k) Step<kCheck>(entries, in, i, dst, invalidBytes, otherRows);
  }
  // Near the end eight characters at a time while they cannot reach it
  // (up to 16 bytes and the one after), then one at a time.
  while (i < stop && i + 17 <= n)
    for (int k = 0; k < 8; ++k) Step<kCheck>(entries, in, i, dst, invalidBytes, otherRows);
  while (i < stop && i + 1 < n) Step<kCheck>(entries, in, i, dst, invalidBytes, otherRows);
  if (i < stop) {  // the last byte, alone
    const std::uint32_t entry = entries.Single[in[i++]];
    invalidBytes += entry >> 31;
    Store(dst, entry);
    dst += LengthOf(entry);
  }
  at = i;
  invalidCount += invalidBytes;
  otherRowsSeen |= otherRows;
  return dst;
}

#endif  // __SSE2__

using Convert = char* (*)(const std::uint8_t* in, std::size_t& i, std::size_t stop, std::size_t n, char* dst,
                          std::size_t& invalidBytes, bool& otherRows);

template <Convert kConvert>
void Append(std::string_view cp932, std::string& out, std::size_t& invalidBytes) {
  char buffer[kBufferSize];
  const auto* in = reinterpret_cast<const std::uint8_t*>(cp932.data());
  const std::size_t n = cp932.size();
  bool ignored = false;
  for (std::size_t i = 0; i < n;) {
    const char* end = kConvert(in, i, std::min(n, i + kRound), n, buffer, invalidBytes, ignored);
    out.append(buffer, end - buffer);
  }
}

// The text whole into dst; canonical cleared when the text is not
// canonical CP932: an invalid byte tells, and a character from a row that
// holds kOtherCodes is looked up.
template <Convert kConvert>
char* WriteChecked(std::string_view cp932, char* dst, std::size_t& invalidBytes, bool& canonical) {
  const auto* in = reinterpret_cast<const std::uint8_t*>(cp932.data());
  std::size_t i = 0, invalid = 0;
  bool otherRows = false;
  dst = kConvert(in, i, cp932.size(), cp932.size(), dst, invalid, otherRows);
  invalidBytes += invalid;
  if (invalid != 0 || (otherRows && !IsCanonicalCp932(cp932))) canonical = false;
  return dst;
}

template <Convert kConvert>
char* Write(std::string_view cp932, char* dst, std::size_t& invalidBytes) {
  std::size_t i = 0;
  bool ignored = false;
  return kConvert(reinterpret_cast<const std::uint8_t*>(cp932.data()), i, cp932.size(), cp932.size(), dst,
                  invalidBytes, ignored);
}

// Per code point of the basic plane, the CP932 code it is written with (0:
// none): the forward table turned round, leaving out kOtherCodes. Made at
// first use, which only writing CP932 has (mnr2txt's genre files never do):
// kept in the binary it would double the tables the page carries.
const std::vector<std::uint16_t>& Backward() {
  static const std::vector<std::uint16_t> backward = [] {
    std::vector<std::uint16_t> table(0x10000, 0);
    std::vector<bool> other(0x10000, false);
    for (std::uint16_t code : kOtherCodes) other[code] = true;
    const auto add = [&](std::uint16_t cp932, std::uint16_t code) {
      if (code != kNone && !other[cp932]) table[code] = cp932;
    };
    for (int b = 1; b < 256; ++b) add(static_cast<std::uint16_t>(b), kSingle[b]);
    for (int b = 0x80; b < 256; ++b) {
      if (kLeadRow[b] == 0) continue;
      for (int t = 0; t < 256; ++t) add(static_cast<std::uint16_t>(b << 8 | t), kPairs[kLeadRow[b]][t]);
    }
    return table;
  }();
  return backward;
}

std::uint16_t CodeFor(std::uint32_t code) { return code < 0x10000 ? Backward()[code] : 0; }

}  // namespace

#if defined(__SSE2__)
#define MUNEMOJI_CONVERT ConvertSse2
#else
#define MUNEMOJI_CONVERT ConvertPortable
#endif

void AppendCp932AsUtf8(std::string_view cp932, std::string& out, std::size_t& invalidBytes) {
  Append<MUNEMOJI_CONVERT<false>>(cp932, out, invalidBytes);
}

char* WriteCp932AsUtf8(std::string_view cp932, char* dst, std::size_t& invalidBytes) {
  return Write<MUNEMOJI_CONVERT<false>>(cp932, dst, invalidBytes);
}

char* WriteCp932AsUtf8(std::string_view cp932, char* dst, std::size_t& invalidBytes, bool& canonical) {
  return WriteChecked<MUNEMOJI_CONVERT<true>>(cp932, dst, invalidBytes, canonical);
}

std::span<const Cp932ToUtf8Path> Cp932ToUtf8Paths() {
  static constexpr Cp932ToUtf8Path kPaths[] = {
#if defined(__SSE2__)
      {"sse2", Append<ConvertSse2<false>>, WriteChecked<ConvertSse2<true>>},
#endif
      {"portable", Append<ConvertPortable<false>>, WriteChecked<ConvertPortable<true>>},
  };
  return kPaths;
}

bool DecodeUtf8(std::string_view text, std::size_t i, std::uint32_t& code, std::size_t& n) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char c = byte(i);
  unsigned char low = 0x80, high = 0xBF;  // range of the second byte
  if (c < 0x80) {
    code = c, n = 1;
    return true;
  }
  if (c >= 0xC2 && c <= 0xDF) n = 2, code = c & 0x1F;
  else if (c >= 0xE0 && c <= 0xEF) n = 3, code = c & 0x0F, low = c == 0xE0 ? 0xA0 : 0x80, high = c == 0xED ? 0x9F : 0xBF;
  else if (c >= 0xF0 && c <= 0xF4) n = 4, code = c & 0x07, low = c == 0xF0 ? 0x90 : 0x80, high = c == 0xF4 ? 0x8F : 0xBF;
  else return false;
  if (i + n > text.size() || byte(i + 1) < low || byte(i + 1) > high) return false;
  for (std::size_t k = 1; k < n; ++k) {
    if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return false;
    code = code << 6 | (byte(i + k) & 0x3F);
  }
  return true;
}

bool AppendUtf8AsCp932(std::string_view utf8, std::string& out, std::size_t& failedAt) {
  for (std::size_t i = 0, n = 0; i < utf8.size(); i += n) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {  // the usual case, and U+0000 too
      out += static_cast<char>(c);
      n = 1;
      continue;
    }
    std::uint32_t code;
    const std::uint16_t cp932 = DecodeUtf8(utf8, i, code, n) ? CodeFor(code) : 0;
    if (cp932 == 0) {
      failedAt = i;
      return false;
    }
    if (cp932 > 0xFF) out += static_cast<char>(cp932 >> 8);
    out += static_cast<char>(cp932 & 0xFF);
  }
  return true;
}

bool IsCanonicalCp932(std::string_view cp932) {
  // Converting back gives the same bytes for every character but those of
  // kOtherCodes (the tests hold this against the conversion both ways).
  const auto* in = reinterpret_cast<const std::uint8_t*>(cp932.data());
  for (std::size_t i = 0, size = 0; i < cp932.size(); i += size) {
    if (in[i] < 0x80) {  // ASCII, the usual case
      size = 1;
      continue;
    }
    if (CodeAt(in, i, cp932.size(), size) == kNone) return false;
    if (size == 2 && IsOtherCode(static_cast<std::uint16_t>(in[i] << 8 | in[i + 1]))) return false;
  }
  return true;
}

#ifdef _WIN32
std::wstring Cp932ToWide(std::string_view cp932, std::size_t& invalidBytes) {
  std::wstring out;
  out.reserve(cp932.size());
  const auto* in = reinterpret_cast<const std::uint8_t*>(cp932.data());
  for (std::size_t i = 0, size = 0; i < cp932.size(); i += size) {
    const std::uint16_t code = CodeAt(in, i, cp932.size(), size);
    invalidBytes += code == kNone;
    out += static_cast<wchar_t>(code == kNone ? 0xFFFD : code);  // the basic plane only: one UTF-16 unit
  }
  return out;
}

std::wstring Cp932ToWide(std::string_view cp932) {
  std::size_t ignored = 0;
  return Cp932ToWide(cp932, ignored);
}
#endif

}  // namespace codepage
