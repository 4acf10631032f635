#pragma once
// Shift-JIS as the problem file stores it, whatever the system's code page.

#include <cstdint>

inline constexpr bool IsShiftJisLeadByte(std::uint8_t byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}
