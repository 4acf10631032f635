#include "platform/CodePage.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <iconv.h>
#include <stdexcept>

namespace codepage {

namespace {

constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

// The UTF-8 form of one CP932 character; length 0 when there is none.
struct Utf8Char {
  std::uint8_t length = 0;
  char bytes[3] = {};
};

// CP932 as the system's iconv defines it, asked once per character and kept
// in tables: a conversion call per line would cost more than the line.
class Cp932Table {
 public:
  Cp932Table() {
    iconv_t cd = iconv_open("UTF-8", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv cannot convert CP932 to UTF-8");
    for (int b = 0; b < 256; ++b) {
      const char one[1] = {static_cast<char>(b)};
      lead_[b] = !Convert(cd, one, 1, single_[b]) && errno == EINVAL;  // wants a trail byte
      if (!lead_[b]) continue;
      for (int t = 0; t < 256; ++t) {
        const char two[2] = {static_cast<char>(b), static_cast<char>(t)};
        Convert(cd, two, 2, pair_[Index(b, t)]);
      }
    }
    iconv_close(cd);
  }

  void Append(std::string_view cp932, std::string& out, std::size_t& invalidBytes) const {
    const std::size_t start = out.size();
    out.resize(start + cp932.size() * 3);  // a CP932 byte never needs more than 3 UTF-8 bytes
    char* dst = out.data() + start;
    const auto* in = reinterpret_cast<const std::uint8_t*>(cp932.data());
    const std::size_t n = cp932.size();
    for (std::size_t i = 0; i < n;) {
      const std::uint8_t b = in[i];
      if (b < 0x80) {  // ASCII maps to itself in CP932
        *dst++ = static_cast<char>(b);
        ++i;
        continue;
      }
      const Utf8Char* c = lead_[b] ? (i + 1 < n ? &pair_[Index(b, in[i + 1])] : nullptr) : &single_[b];
      if (c != nullptr && c->length > 0) {
        for (int k = 0; k < c->length; ++k) *dst++ = c->bytes[k];
        i += lead_[b] ? 2 : 1;
      } else {
        // Not a character: this one byte becomes U+FFFD; the next byte starts afresh.
        for (char r : std::string_view(kReplacement)) *dst++ = r;
        ++invalidBytes;
        ++i;
      }
    }
    out.resize(dst - out.data());
  }

 private:
  static std::size_t Index(int lead, int trail) { return static_cast<std::size_t>(lead) * 256 + trail; }

  // True when the bytes are exactly one character that fits the table.
  static bool Convert(iconv_t cd, const char* bytes, std::size_t size, Utf8Char& c) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(bytes);  // iconv's signature; it only reads
    char out[8];
    char* dst = out;
    std::size_t inLeft = size, room = sizeof out;
    if (iconv(cd, &in, &inLeft, &dst, &room) == static_cast<std::size_t>(-1)) return false;
    const std::size_t length = dst - out;
    if (inLeft != 0 || length == 0 || length > sizeof c.bytes) return false;
    c.length = static_cast<std::uint8_t>(length);
    for (std::size_t k = 0; k < length; ++k) c.bytes[k] = out[k];
    return true;
  }

  std::array<bool, 256> lead_{};
  std::array<Utf8Char, 256> single_{};
  std::array<Utf8Char, 256 * 256> pair_{};
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
