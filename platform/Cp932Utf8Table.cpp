#include "platform/Cp932Utf8Table.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace codepage {

namespace {

// An entry holds up to three UTF-8 bytes, their count in the top byte, and
// kInvalid for bytes that are no character (their entry holds U+FFFD).
constexpr std::uint32_t kInvalid = 0x80000000;

std::uint32_t Entry(std::uint16_t code) {
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

}  // namespace

std::uint32_t Cp932Utf8Table::CodeOf(std::uint32_t entry) {
  const std::uint32_t b0 = entry & 0xFF, b1 = (entry >> 8) & 0x3F, b2 = (entry >> 16) & 0x3F;
  switch ((entry >> 24) & 3) {
    case 1: return b0;
    case 2: return (b0 & 0x1F) << 6 | b1;
    default: return (b0 & 0x0F) << 12 | b1 << 6 | b2;
  }
}

Cp932Utf8Table::Cp932Utf8Table() {
  leadIndex_.fill(kNotLead);
  for (int b = 0; b < 256; ++b) single_[b] = Entry(b < 0x80 ? static_cast<std::uint16_t>(b) : 0);
}

void Cp932Utf8Table::SetSingle(std::uint8_t byte, std::uint16_t code) {
  if (byte >= 0x80) single_[byte] = Entry(code);
}

void Cp932Utf8Table::SetPair(std::uint8_t lead, std::uint8_t trail, std::uint16_t code) {
  if (leadIndex_[lead] == kNotLead) {
    leadIndex_[lead] = static_cast<std::uint8_t>(pairs_.size() / 256);
    pairs_.resize(pairs_.size() + 256, Entry(0));
  }
  pairs_[leadIndex_[lead] * 256 + trail] = Entry(code);
}

void Cp932Utf8Table::Append(std::string_view cp932, std::string& out, std::size_t& invalidBytes) const {
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

}  // namespace codepage
