#pragma once
// CRC-32 as zip archives use it (reflected polynomial 0xEDB88320).

#include <cstdint>
#include <string_view>

// The CRC-32 of bytes following data whose CRC-32 was crc (0 to start), so a
// long stream can be checked piece by piece.
std::uint32_t Crc32(std::string_view bytes, std::uint32_t crc = 0);
