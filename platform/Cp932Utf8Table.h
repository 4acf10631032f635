#pragma once
// CP932 to UTF-8 by tables, for the systems that fill them: natively from the
// C library's iconv, in the browser from tables made at build time from it.
// Each character's UTF-8 bytes are kept ready to copy: one lookup and one
// store per character. ASCII maps to itself; every byte that starts no valid
// character becomes one U+FFFD, counted, and the next byte starts afresh.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace codepage {

class Cp932Utf8Table {
 public:
  // Every byte from 0x80 on is invalid until set.
  Cp932Utf8Table();

  // The code point of a one-byte character (0: none).
  void SetSingle(std::uint8_t byte, std::uint16_t code);
  // The code point of lead + trail (0: none); makes lead a lead byte.
  void SetPair(std::uint8_t lead, std::uint8_t trail, std::uint16_t code);

  void Append(std::string_view cp932, std::string& out, std::size_t& invalidBytes) const;

 private:
  static constexpr std::uint8_t kNotLead = 0xFF;

  std::array<std::uint8_t, 256> leadIndex_{};
  std::array<std::uint32_t, 256> single_{};
  std::vector<std::uint32_t> pairs_;  // 256 per lead byte
};

}  // namespace codepage
