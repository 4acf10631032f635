#include "platform/Cp932Encoder.h"

namespace codepage {

Cp932Encoder::Cp932Encoder()
    : fromUnicode_(0x10000, 0), kinds_(0x10000, kNone) {
  // ASCII is itself in CP932 on every system.
  for (std::uint16_t b = 1; b < 0x80; ++b) Add(b, b);
  kinds_[0] = kChosenCode;
}

int Cp932Encoder::Rank(std::uint16_t cp932) {
  const unsigned lead = cp932 >> 8;
  if (lead == 0x87) return 1;
  if (lead >= 0xFA && lead <= 0xFC) return 2;
  if (lead == 0xED || lead == 0xEE) return 3;
  return 0;
}

void Cp932Encoder::Add(std::uint16_t cp932, std::uint32_t code) {
  if (code == 0 || code >= fromUnicode_.size()) return;
  if (kinds_[cp932] == kNone) kinds_[cp932] = kOtherCode;
  if (cp932 > 0xFF) lead_[cp932 >> 8] = true;
  const std::uint16_t held = fromUnicode_[code];
  const bool better = held == 0 || Rank(cp932) < Rank(held) || (Rank(cp932) == Rank(held) && cp932 < held);
  if (!better) return;
  if (held != 0) kinds_[held] = kOtherCode;
  fromUnicode_[code] = cp932;
  kinds_[cp932] = kChosenCode;
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

bool Cp932Encoder::Append(std::string_view utf8, std::string& out, std::size_t& failedAt) const {
  for (std::size_t i = 0, n = 0; i < utf8.size(); i += n) {
    std::uint32_t code;
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {  // the usual case, and U+0000 too
      out += static_cast<char>(c);
      n = 1;
      continue;
    }
    const std::uint16_t cp932 = DecodeUtf8(utf8, i, code, n) ? CodeOf(code) : 0;
    if (cp932 == 0) {
      failedAt = i;
      return false;
    }
    if (cp932 > 0xFF) out += static_cast<char>(cp932 >> 8);
    out += static_cast<char>(cp932 & 0xFF);
  }
  return true;
}

bool Cp932Encoder::IsCanonical(std::string_view cp932) const {
  // The same walk as the conversion to Unicode: a lead byte followed by a
  // byte that makes a character is that character, else a byte alone.
  for (std::size_t i = 0; i < cp932.size(); ++i) {
    const auto b = static_cast<unsigned char>(cp932[i]);
    if (b < 0x80) continue;  // ASCII, the usual case
    if (lead_[b] && i + 1 < cp932.size()) {
      const std::uint16_t pair = static_cast<std::uint16_t>(b << 8 | static_cast<unsigned char>(cp932[i + 1]));
      if (kinds_[pair] != kNone) {
        if (kinds_[pair] != kChosenCode) return false;
        ++i;
        continue;
      }
    }
    if (kinds_[b] != kChosenCode) return false;
  }
  return true;
}

}  // namespace codepage
