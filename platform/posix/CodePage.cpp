#include "platform/CodePage.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <iconv.h>
#include <stdexcept>
#include <vector>

namespace codepage {

namespace {

constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

// CP932 as the system's iconv defines it, asked once per character and kept
// in tables of code points (small enough to stay in the first-level cache):
// a conversion call per line would cost more than the line.
class Cp932Table {
 public:
  Cp932Table() {
    iconv_t cd = iconv_open("UTF-8", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv cannot convert CP932 to UTF-8");
    leadIndex_.fill(kNotLead);
    for (int b = 0x80; b < 256; ++b) {
      const char one[1] = {static_cast<char>(b)};
      if (Convert(cd, one, 1, single_[b]) || errno != EINVAL) continue;  // EINVAL: wants a trail byte
      leadIndex_[b] = static_cast<std::uint8_t>(pairs_.size() / 256);
      pairs_.resize(pairs_.size() + 256);
      for (int t = 0; t < 256; ++t) {
        const char two[2] = {static_cast<char>(b), static_cast<char>(t)};
        Convert(cd, two, 2, pairs_[leadIndex_[b] * 256 + t]);
      }
    }
    iconv_close(cd);
  }

  void Append(std::string_view cp932, std::string& out, std::size_t& invalidBytes) const {
    // Converted through a buffer on the stack: growing the string first
    // would fill it with zeros only to overwrite them.
    constexpr std::size_t kChunk = 1024;
    char buffer[kChunk * 3 + 3];  // a CP932 byte never needs more than 3 UTF-8 bytes
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
        std::uint16_t code = 0;  // 0: no character here
        if (lead == kNotLead) {
          code = single_[b];
          i += 1;
        } else if (i + 1 < n) {
          code = pairs_[lead * 256 + in[i + 1]];
          i += code != 0 ? 2 : 1;
        } else {
          i += 1;
        }
        if (code == 0) {
          code = 0xFFFD;  // this one byte; the next starts afresh
          ++invalidBytes;
        }
        dst = PutUtf8(code, dst);
      }
      out.append(buffer, dst - buffer);
    }
  }

 private:
  static constexpr std::uint8_t kNotLead = 0xFF;

  static char* PutUtf8(std::uint16_t code, char* dst) {
    if (code < 0x80) {
      *dst++ = static_cast<char>(code);
    } else if (code < 0x800) {
      *dst++ = static_cast<char>(0xC0 | (code >> 6));
      *dst++ = static_cast<char>(0x80 | (code & 0x3F));
    } else {
      *dst++ = static_cast<char>(0xE0 | (code >> 12));
      *dst++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      *dst++ = static_cast<char>(0x80 | (code & 0x3F));
    }
    return dst;
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
  std::array<std::uint16_t, 256> single_{};
  std::vector<std::uint16_t> pairs_;  // 256 per lead byte
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
