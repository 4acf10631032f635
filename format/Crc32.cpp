#include "format/Crc32.h"

#include <array>
#include <cstddef>
#include <vector>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

// Eight tables, so that eight bytes take one step ("slicing by eight"):
// table k gives the CRC of a byte followed by k zero bytes.
using Tables = std::array<std::array<std::uint32_t, 256>, 8>;

constexpr Tables MakeTables() {
  Tables t{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t c = i;
    for (int bit = 0; bit < 8; ++bit) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    t[0][i] = c;
  }
  for (std::uint32_t i = 0; i < 256; ++i) {
    for (std::size_t k = 1; k < t.size(); ++k) t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF];
  }
  return t;
}

constexpr Tables kTables = MakeTables();

std::uint32_t LittleEndian32(const unsigned char* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// The register form (inverted before and after by the callers).
std::uint32_t CrcTables(const unsigned char* p, std::size_t n, std::uint32_t crc) {
  const auto& t = kTables;
  for (; n >= 8; p += 8, n -= 8) {
    const std::uint32_t low = LittleEndian32(p) ^ crc;
    const std::uint32_t high = LittleEndian32(p + 4);
    crc = t[7][low & 0xFF] ^ t[6][(low >> 8) & 0xFF] ^ t[5][(low >> 16) & 0xFF] ^ t[4][low >> 24] ^
          t[3][high & 0xFF] ^ t[2][(high >> 8) & 0xFF] ^ t[1][(high >> 16) & 0xFF] ^ t[0][high >> 24];
  }
  for (; n > 0; ++p, --n) crc = t[0][(crc ^ *p) & 0xFF] ^ (crc >> 8);
  return crc;
}

std::uint32_t Crc32Portable(std::string_view bytes, std::uint32_t crc) {
  return ~CrcTables(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), ~crc);
}

#if defined(__x86_64__)
#define MUNEMOJI_CRC32_CLMUL 1

bool HasClmul() { return __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1"); }

// Carry-less multiplication folds 64 bytes at a time into four 128-bit
// remainders, then those into one, which Barrett reduction brings to 32
// bits (the bit-reflected constants of the polynomial: x^(4*128+32) and
// x^(4*128-32) mod P, x^(128+32) and x^(128-32) mod P, x^64 mod P, and
// floor(x^64 / P) with P itself). The bytes after the last 16 go through
// the tables.
inline __m128i Load(const unsigned char* at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)); }

// x's two halves multiplied by k's and added to next.
__attribute__((target("pclmul,sse4.1"), always_inline)) inline __m128i Fold(__m128i x, __m128i k, __m128i next) {
  return _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x00), _mm_clmulepi64_si128(x, k, 0x11)), next);
}

__attribute__((target("pclmul,sse4.1"))) std::uint32_t Crc32Clmul(std::string_view bytes, std::uint32_t crc) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t n = bytes.size();
  std::uint32_t state = ~crc;
  if (n >= 64) {
    __m128i x1 = _mm_xor_si128(Load(p), _mm_cvtsi32_si128(static_cast<int>(state)));
    __m128i x2 = Load(p + 16), x3 = Load(p + 32), x4 = Load(p + 48);
    p += 64;
    n -= 64;
    const __m128i k1k2 = _mm_set_epi64x(0x01c6e41596, 0x0154442bd4);
    for (; n >= 64; p += 64, n -= 64) {
      x1 = Fold(x1, k1k2, Load(p));
      x2 = Fold(x2, k1k2, Load(p + 16));
      x3 = Fold(x3, k1k2, Load(p + 32));
      x4 = Fold(x4, k1k2, Load(p + 48));
    }
    const __m128i k3k4 = _mm_set_epi64x(0x00ccaa009e, 0x01751997d0);
    x1 = Fold(x1, k3k4, x2);
    x1 = Fold(x1, k3k4, x3);
    x1 = Fold(x1, k3k4, x4);
    for (; n >= 16; p += 16, n -= 16) x1 = Fold(x1, k3k4, Load(p));
    // 128 bits to 64.
    const __m128i low32 = _mm_setr_epi32(~0, 0, ~0, 0);
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), _mm_clmulepi64_si128(x1, k3k4, 0x10));
    const __m128i k5 = _mm_set_epi64x(0, 0x0163cd6124);
    x1 = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, low32), k5, 0x00), _mm_srli_si128(x1, 4));
    // Barrett reduction to 32 bits.
    const __m128i poly = _mm_set_epi64x(0x01f7011641, 0x01db710641);
    __m128i x2b = _mm_and_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, low32), poly, 0x10), low32);
    x2b = _mm_clmulepi64_si128(x2b, poly, 0x00);
    state = static_cast<std::uint32_t>(_mm_extract_epi32(_mm_xor_si128(x1, x2b), 1));
  }
  return ~CrcTables(p, n, state);
}
#endif

}  // namespace

std::uint32_t Crc32(std::string_view bytes, std::uint32_t crc) {
#if defined(MUNEMOJI_CRC32_CLMUL)
  static const bool clmul = HasClmul();
  if (clmul) return Crc32Clmul(bytes, crc);
#endif
  return Crc32Portable(bytes, crc);
}

std::span<const Crc32Path> Crc32Paths() {
  static const std::vector<Crc32Path> paths = [] {
    std::vector<Crc32Path> available;
#if defined(MUNEMOJI_CRC32_CLMUL)
    if (HasClmul()) available.push_back({"clmul", Crc32Clmul});
#endif
    available.push_back({"portable", Crc32Portable});
    return available;
  }();
  return paths;
}
