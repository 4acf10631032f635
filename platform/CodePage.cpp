// CP932 by the tables every build compiles in: to UTF-8 (and UTF-16 on
// Windows) one table look-up per character, and back.

#include "platform/CodePage.h"

#include <array>
#include <cstring>
#include <vector>

namespace codepage {

namespace {

// Generated (tools/MakeCp932Table.cpp says what each table holds):
// kSingle[256] and kPairs[row][trail] are code points (kNone: no character);
// kLeadRow[byte] is a lead byte's row in kPairs (0, a row of no characters,
// for any other byte); kOtherCodes are the codes that are not the one their
// character is written with.
#include "platform/Cp932TableData.inc"

constexpr std::uint16_t kNone = 0xFFFF;
constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD


// A character's UTF-8 bytes, ready to store: up to three bytes, the first
// lowest, and their count; U+FFFD's for a byte that is no character.
struct Utf8Entry {
  char bytes[3];
  std::uint8_t size;  // 0: no character
};

Utf8Entry EntryOf(std::uint16_t code) {
  if (code == kNone) return {{'\xEF', '\xBF', '\xBD'}, 0};
  if (code < 0x80) return {{static_cast<char>(code)}, 1};
  if (code < 0x800) return {{static_cast<char>(0xC0 | code >> 6), static_cast<char>(0x80 | (code & 0x3F))}, 2};
  return {{static_cast<char>(0xE0 | code >> 12), static_cast<char>(0x80 | ((code >> 6) & 0x3F)),
           static_cast<char>(0x80 | (code & 0x3F))},
          3};
}

// Every character's entry, made from the code points at first use (58 KiB
// that the binary and the page need not carry): a character then costs one
// look-up and one store.
struct Utf8Entries {
  Utf8Entry single[256];
  Utf8Entry pairs[std::size(kPairs)][256];
};
const Utf8Entries& Entries() {
  static const Utf8Entries* const entries = [] {
    auto* e = new Utf8Entries;
    for (int b = 0; b < 256; ++b) e->single[b] = EntryOf(kSingle[b]);
    for (std::size_t row = 0; row < std::size(kPairs); ++row)
      for (int trail = 0; trail < 256; ++trail) e->pairs[row][trail] = EntryOf(kPairs[row][trail]);
    return e;
  }();
  return *entries;
}

// The rows of kPairs that hold codes of kOtherCodes: a character from any
// other row is written with its own code.
constexpr std::array<bool, std::size(kPairs)> MakeOtherRows() {
  std::array<bool, std::size(kPairs)> rows{};
  for (std::uint16_t code : kOtherCodes) rows[kLeadRow[code >> 8]] = true;
  return rows;
}
constexpr std::array<bool, std::size(kPairs)> kOtherRows = MakeOtherRows();

bool IsOtherCode(std::uint16_t bytes) {
  static const std::vector<bool> other = [] {
    std::vector<bool> bits(0x10000, false);
    for (std::uint16_t code : kOtherCodes) bits[code] = true;
    return bits;
  }();
  return other[bytes];
}

// Per code point of the basic plane, the CP932 code it is written with (0:
// none): the forward table turned round, leaving out kOtherCodes. Made at
// first use, which only writing CP932 has (mnr2txt never does): kept in the
// binary it would double the tables the page carries.
const std::vector<std::uint16_t>& Backward() {
  static const std::vector<std::uint16_t> backward = [] {
    std::vector<std::uint16_t> table(0x10000, 0);
    const auto add = [&](std::uint16_t cp932, std::uint16_t code) {
      if (code != kNone && !IsOtherCode(cp932)) table[code] = cp932;
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

}  // namespace

bool AppendCp932AsUtf8(std::string_view cp932, std::string& out, std::size_t& invalidBytes) {
  const Utf8Entries& entries = Entries();
  const auto* in = reinterpret_cast<const std::uint8_t*>(cp932.data());
  const std::size_t n = cp932.size();
  // A piece at a time through a buffer on the stack: growing the string
  // first would fill it with zeros only to overwrite them.
  char buffer[3 * 512 + 3];
  std::size_t invalid = 0;  // in a register: stores through dst might alias a reference
  bool otherRows = false;   // a character from a row that holds codes Windows does not write
  for (std::size_t i = 0; i < n;) {
    char* dst = buffer;
    for (const std::size_t stop = std::min(n, i + 512); i < stop;) {
      const std::uint8_t b = in[i];
      if (b < 0x80) {  // ASCII stands for itself
        *dst++ = static_cast<char>(b);
        ++i;
        continue;
      }
      // A lead byte and its trail byte make a character, or the byte is alone.
      Utf8Entry entry = i + 1 < n ? entries.pairs[kLeadRow[b]][in[i + 1]] : Utf8Entry{};
      if (entry.size != 0) {
        otherRows |= kOtherRows[kLeadRow[b]];
        i += 2;
      } else {
        entry = entries.single[b];
        ++i;
        invalid += entry.size == 0;
      }
      std::memcpy(dst, entry.bytes, 3);
      dst += entry.size == 0 ? 3 : entry.size;
    }
    out.append(buffer, dst - buffer);
  }
  invalidBytes += invalid;
  return invalid == 0 && (!otherRows || IsCanonicalCp932(cp932));
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

std::string ValidUtf8(std::string_view text) {
  std::string valid;
  std::uint32_t code;
  for (std::size_t i = 0, n = 0; i < text.size(); i += n) {
    if (DecodeUtf8(text, i, code, n)) {
      valid.append(text, i, n);
    } else {
      valid += kReplacement;
      n = 1;
    }
  }
  return valid;
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
    const std::uint16_t cp932 = DecodeUtf8(utf8, i, code, n) && code < 0x10000 ? Backward()[code] : 0;
    if (cp932 == 0) {
      failedAt = i;
      return false;
    }
    if (cp932 > 0xFF) out += static_cast<char>(cp932 >> 8);
    out += static_cast<char>(cp932 & 0xFF);
  }
  return true;
}

namespace {

// Whether every byte belongs to a CP932 character; with canonicalOnly, also
// whether each character converts back to the same bytes, true for all but
// those of kOtherCodes (the tests hold this against the conversion both
// ways), which only a few rows hold.
inline bool AllCp932(std::string_view cp932, bool canonicalOnly) {
  const auto* in = reinterpret_cast<const std::uint8_t*>(cp932.data());
  const std::size_t n = cp932.size();
  for (std::size_t i = 0; i < n;) {
    const std::uint8_t b = in[i];
    if (b < 0x80) {  // ASCII, the usual case
      ++i;
      continue;
    }
    const std::uint8_t row = kLeadRow[b];
    if (i + 1 < n && kPairs[row][in[i + 1]] != kNone) {
      if (canonicalOnly && kOtherRows[row] && IsOtherCode(static_cast<std::uint16_t>(b << 8 | in[i + 1]))) {
        return false;
      }
      i += 2;
    } else if (kSingle[b] != kNone) {
      ++i;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

bool IsValidCp932(std::string_view cp932) { return AllCp932(cp932, false); }

bool IsCanonicalCp932(std::string_view cp932) { return AllCp932(cp932, true); }

#ifdef _WIN32
namespace {

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

}  // namespace

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
