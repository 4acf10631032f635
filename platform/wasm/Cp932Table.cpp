#include "platform/wasm/Cp932Table.h"

#include <cstdint>

namespace {

// Generated: kNone, kSingle[256] (the code point of a one-byte character),
// kLeadIndex[256] (a lead byte's row in kDouble, or -1) and kDouble[][256]
// (the code point of lead + trail).
#include "Cp932TableData.inc"

void PutUtf8(std::uint32_t c, std::string& out) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

namespace cp932_table {

void AppendAsUtf8(std::string_view cp932, std::string& out, std::size_t& invalidBytes) {
  out.reserve(out.size() + cp932.size() * 3 / 2);
  const auto* in = reinterpret_cast<const std::uint8_t*>(cp932.data());
  const std::size_t n = cp932.size();
  for (std::size_t i = 0; i < n;) {
    const std::uint8_t b = in[i];
    std::uint16_t c = kSingle[b];
    std::size_t used = 1;
    if (c == kNone && kLeadIndex[b] >= 0 && i + 1 < n) {
      c = kDouble[kLeadIndex[b]][in[i + 1]];
      used = 2;
    }
    if (c == kNone) {
      // Not a character: this one byte becomes U+FFFD, the next starts afresh.
      c = 0xFFFD;
      used = 1;
      ++invalidBytes;
    }
    PutUtf8(c, out);
    i += used;
  }
}

}  // namespace cp932_table
