#pragma once
// CRC-32 as zip archives use it (reflected polynomial 0xEDB88320).

#include <cstdint>
#include <span>
#include <string_view>

// The CRC-32 of bytes following data whose CRC-32 was crc (0 to start), so a
// long stream can be checked piece by piece.
std::uint32_t Crc32(std::string_view bytes, std::uint32_t crc = 0);

// Every way of computing it that this build can run on this processor: the
// one Crc32 takes first, the portable one last. The tests compare them.
struct Crc32Path {
  const char* Name;
  std::uint32_t (*Crc)(std::string_view bytes, std::uint32_t crc);
};
std::span<const Crc32Path> Crc32Paths();
