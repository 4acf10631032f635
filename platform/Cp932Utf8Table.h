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

  // Calls add(cp932, code) for every character from 0x80 on: cp932 is the
  // byte, or lead << 8 | trail.
  template <typename Add>
  void ForEachCharacter(Add add) const {
    for (int b = 0x80; b < 256; ++b) {
      if (!(single_[b] & kInvalidEntry)) add(static_cast<std::uint16_t>(b), CodeOf(single_[b]));
      if (leadIndex_[b] == kNotLead) continue;
      for (int t = 0; t < 256; ++t) {
        const std::uint32_t entry = pairs_[leadIndex_[b] * 256 + t];
        if (!(entry & kInvalidEntry)) add(static_cast<std::uint16_t>(b << 8 | t), CodeOf(entry));
      }
    }
  }

 private:
  static constexpr std::uint8_t kNotLead = 0xFF;
  static constexpr std::uint32_t kInvalidEntry = 0x80000000;
  static std::uint32_t CodeOf(std::uint32_t entry);

  std::array<std::uint8_t, 256> leadIndex_{};
  std::array<std::uint32_t, 256> single_{};
  std::vector<std::uint32_t> pairs_;  // 256 per lead byte
};

}  // namespace codepage
