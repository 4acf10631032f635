#include "platform/CodePage.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iconv.h>
#include <stdexcept>
#include <vector>

namespace codepage {

namespace {

// CP932 as the system's iconv defines it, asked once per character and kept
// as each character's UTF-8 bytes ready to copy: a conversion call per line
// would cost more than the line. An entry holds up to three UTF-8 bytes, its
// length in the top byte, and kInvalid for bytes that are no character
// (their entry holds U+FFFD).
class Cp932Table {
 public:
  Cp932Table() {
    iconv_t cd = iconv_open("UTF-8", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv cannot convert CP932 to UTF-8");
    leadIndex_.fill(kNotLead);
    for (int b = 0; b < 0x80; ++b) single_[b] = Entry(static_cast<std::uint16_t>(b));  // ASCII is itself
    for (int b = 0x80; b < 256; ++b) {
      const char one[1] = {static_cast<char>(b)};
      std::uint16_t code = 0;
      const bool converted = Convert(cd, one, 1, code);
      single_[b] = Entry(code);
      if (converted || errno != EINVAL) continue;  // EINVAL: wants a trail byte
      leadIndex_[b] = static_cast<std::uint8_t>(pairs_.size() / 256);
      pairs_.resize(pairs_.size() + 256);
      for (int t = 0; t < 256; ++t) {
        const char two[2] = {static_cast<char>(b), static_cast<char>(t)};
        code = 0;
        Convert(cd, two, 2, code);
        pairs_[leadIndex_[b] * 256 + t] = Entry(code);
      }
    }
    iconv_close(cd);
  }

  void Append(std::string_view cp932, std::string& out, std::size_t& invalidBytes) const {
    // Converted through a buffer on the stack: growing the string first
    // would fill it with zeros only to overwrite them.
    constexpr std::size_t kChunk = 1024;
    char buffer[kChunk * 3 + 4];  // 3 UTF-8 bytes per CP932 byte at most, 4 stored per entry
    const auto* in = reinterpret_cast<const std::uint8_t*>(cp932.data());
    const std::size_t n = cp932.size();
    std::size_t i = 0;
    while (i < n) {
      char* dst = buffer;
      const std::size_t stop = std::min(n, i + kChunk);
      while (i < stop) {
        const std::uint8_t b = in[i];
        if (b < 0x80) {  // ASCII maps to itself in CP932
          *dst++ = static_cast<char>(b);
          ++i;
          continue;
        }
        const std::uint8_t lead = leadIndex_[b];
        std::uint32_t entry = single_[b];
        if (lead != kNotLead && i + 1 < n) {
          const std::uint32_t pair = pairs_[lead * 256 + in[i + 1]];
          if (!(pair & kInvalid)) {
            entry = pair;
            ++i;  // the trail byte; an invalid pair's lead byte alone is replaced
          }
        }
        ++i;
        invalidBytes += entry >> 31;
        if constexpr (std::endian::native == std::endian::little) {
          std::memcpy(dst, &entry, 4);  // the bytes in order; the fourth is overwritten next
        } else {
          for (int k = 0; k < 3; ++k) dst[k] = static_cast<char>(entry >> (8 * k));
        }
        dst += (entry >> 24) & 3;
      }
      out.append(buffer, dst - buffer);
    }
  }

 private:
  static constexpr std::uint8_t kNotLead = 0xFF;
  static constexpr std::uint32_t kInvalid = 0x80000000;

  // The entry of a code point; 0 means no character.
  static std::uint32_t Entry(std::uint16_t code) {
    std::uint32_t bytes = 0, length = 0, flags = 0;
    if (code == 0) {
      code = 0xFFFD;
      flags = kInvalid;
    }
    if (code < 0x80) {
      bytes = code, length = 1;
    } else if (code < 0x800) {
      bytes = (0xC0 | (code >> 6)) | (0x80 | (code & 0x3F)) << 8, length = 2;
    } else {
      bytes = (0xE0 | (code >> 12)) | (0x80 | ((code >> 6) & 0x3F)) << 8 | (0x80 | (code & 0x3F)) << 16;
      length = 3;
    }
    return bytes | length << 24 | flags;
  }

  // True when the bytes are exactly one character of the basic plane other
  // than U+0000.
  static bool Convert(iconv_t cd, const char* bytes, std::size_t size, std::uint16_t& code) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(bytes);  // iconv's signature; it only reads
    std::uint8_t out[8];
    char* dst = reinterpret_cast<char*>(out);
    std::size_t inLeft = size, room = sizeof out;
    if (iconv(cd, &in, &inLeft, &dst, &room) == static_cast<std::size_t>(-1) || inLeft != 0) return false;
    const std::size_t length = sizeof out - room;
    std::uint32_t c;
    if (length == 1) c = out[0];
    else if (length == 2) c = ((out[0] & 0x1Fu) << 6) | (out[1] & 0x3Fu);
    else if (length == 3) c = ((out[0] & 0x0Fu) << 12) | ((out[1] & 0x3Fu) << 6) | (out[2] & 0x3Fu);
    else return false;
    if (c == 0) return false;
    code = static_cast<std::uint16_t>(c);
    return true;
  }

  std::array<std::uint8_t, 256> leadIndex_{};
  std::array<std::uint32_t, 256> single_{};
  std::vector<std::uint32_t> pairs_;  // 256 per lead byte
};

const Cp932Table& Table() {
  static const Cp932Table table;
  return table;
}

}  // namespace

void AppendCp932AsUtf8(std::string_view cp932, std::string& out, std::size_t& invalidBytes) {
  Table().Append(cp932, out, invalidBytes);
}

}  // namespace codepage
