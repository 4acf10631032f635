#pragma once
// Text to CP932, built from a system's own CP932 to Unicode conversion.
//
// Some characters have several CP932 codes (NEC row 13, the IBM extensions
// and the NEC-selected IBM extensions repeat characters of each other and of
// JIS X 0208). Each is written with the code Windows' WideCharToMultiByte
// gives it: a code outside those three groups first, then NEC row 13 (lead
// byte 0x87), then the IBM extensions (0xFA-0xFC), never the NEC-selected
// IBM extensions (0xED-0xEE) when another code exists; the lowest code among
// equals. A text whose bytes are each character's chosen code is canonical.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace codepage {

class Cp932Encoder {
 public:
  Cp932Encoder();

  // One character of the forward conversion: cp932 is a single byte
  // (0x00-0xFF) or lead << 8 | trail; code its Unicode code point.
  void Add(std::uint16_t cp932, std::uint32_t code);

  // See codepage::AppendUtf8AsCp932.
  bool Append(std::string_view utf8, std::string& out, std::size_t& failedAt) const;
  // See codepage::IsCanonicalCp932.
  bool IsCanonical(std::string_view cp932) const;

  // The code a character is written with; 0 when it has none (and for U+0000).
  std::uint16_t CodeOf(std::uint32_t code) const { return code < fromUnicode_.size() ? fromUnicode_[code] : 0; }

 private:
  static int Rank(std::uint16_t cp932);

  // Per CP932 code (a byte, or lead << 8 | trail): what it is.
  enum Kind : std::uint8_t { kNone, kOtherCode, kChosenCode };

  std::vector<std::uint16_t> fromUnicode_;  // per code point of the basic plane
  std::vector<Kind> kinds_;
  std::array<bool, 256> lead_{};  // per byte: starts a double-byte code
};

// The code point of the UTF-8 sequence at text[i] and its length in n;
// false for bytes that are not valid UTF-8.
bool DecodeUtf8(std::string_view text, std::size_t i, std::uint32_t& code, std::size_t& n);

}  // namespace codepage
