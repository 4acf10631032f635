// The zip writer under the .xlsx output: every header field read back by a
// reader of the test's own, CRC-32 against a bitwise computation, and the
// two passes of a streamed entry.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "format/Crc32.h"
#include "format/ZipWriter.h"

namespace {

// CRC-32 one bit at a time, as the zip format defines it.
std::uint32_t BitwiseCrc32(std::string_view bytes) {
  std::uint32_t crc = 0xFFFFFFFF;
  for (unsigned char b : bytes) {
    crc ^= b;
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

TEST(Crc32, AgreesWithTheBitwiseDefinitionPieceByPiece) {
  EXPECT_EQ(Crc32("123456789"), 0xCBF43926u);  // the polynomial's published check value
  EXPECT_EQ(Crc32(""), 0u);
  std::string text;
  for (int i = 0; i < 1000; ++i) text += static_cast<char>(i * 37 + (i >> 3));
  for (std::size_t split : {0u, 1u, 7u, 8u, 9u, 500u, 999u}) {
    EXPECT_EQ(Crc32(text.substr(split), Crc32(text.substr(0, split))), BitwiseCrc32(text)) << split;
  }
}

TEST(Crc32, EveryPathAgreesWithTheBitwiseDefinitionOnEveryLengthAndAlignment) {
  const auto paths = Crc32Paths();
  ASSERT_STREQ(paths.back().Name, "portable");
  std::printf("CRC-32 paths on this processor: %zu (%s first)\n", paths.size(), paths.front().Name);
  std::string text;
  std::uint32_t seed = 1;
  for (int i = 0; i < 4096 + 64; ++i) text += static_cast<char>((seed = seed * 1103515245 + 12345) >> 16);
  for (std::size_t length : {0u, 1u, 15u, 16u, 63u, 64u, 65u, 127u, 128u, 200u, 1000u, 4096u}) {
    for (std::size_t offset = 0; offset < 16; ++offset) {
      const std::string_view piece = std::string_view(text).substr(offset, length);
      const std::uint32_t expected = BitwiseCrc32(piece);
      for (const Crc32Path& path : paths) {
        ASSERT_EQ(path.Crc(piece, 0), expected) << path.Name << " " << length << " at " << offset;
        // Continued from the CRC of what came before.
        const std::size_t split = length / 3;
        ASSERT_EQ(path.Crc(piece.substr(split), path.Crc(piece.substr(0, split), 0)), expected) << path.Name;
      }
    }
  }
}

std::uint32_t Read(const std::string& zip, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(zip.at(at + i));
  return v;
}

struct ReadEntry {
  std::string name, data;
};

// Reads the archive from its end record as an unpacking program does and
// checks each local header against the central directory.
std::vector<ReadEntry> ReadZip(const std::string& zip) {
  std::vector<ReadEntry> entries;
  const std::size_t end = zip.size() - 22;
  EXPECT_EQ(Read(zip, end, 4), 0x06054B50u);
  const std::uint32_t count = Read(zip, end + 10, 2);
  EXPECT_EQ(Read(zip, end + 8, 2), count);
  const std::size_t directorySize = Read(zip, end + 12, 4);
  std::size_t at = Read(zip, end + 16, 4);
  EXPECT_EQ(at + directorySize, end);
  EXPECT_EQ(Read(zip, end + 20, 2), 0u);  // no comment
  for (std::uint32_t e = 0; e < count; ++e) {
    EXPECT_EQ(Read(zip, at, 4), 0x02014B50u);
    const std::string central = zip.substr(at + 6, 26);  // version needed ... extra length
    const std::size_t nameSize = Read(zip, at + 28, 2);
    EXPECT_EQ(Read(zip, at + 30, 2) + Read(zip, at + 32, 2), 0u);  // no extra field, no comment
    const std::size_t local = Read(zip, at + 42, 4);
    const std::string name = zip.substr(at + 46, nameSize);
    at += 46 + nameSize;

    EXPECT_EQ(Read(zip, local, 4), 0x04034B50u);
    EXPECT_EQ(zip.substr(local + 4, 26), central) << name << ": local and central headers differ";
    EXPECT_EQ(Read(zip, local + 4, 2), 20u);         // version 2.0
    EXPECT_EQ(Read(zip, local + 6, 2), 0x800u);      // UTF-8 names, no data descriptor
    EXPECT_EQ(Read(zip, local + 8, 2), 0u);          // stored
    EXPECT_EQ(Read(zip, local + 10, 4), 0x00210000u);  // 1980-01-01 00:00
    const std::size_t size = Read(zip, local + 18, 4);
    EXPECT_EQ(Read(zip, local + 22, 4), size);
    EXPECT_EQ(zip.substr(local + 30, nameSize), name);
    const std::string data = zip.substr(local + 30 + nameSize, size);
    EXPECT_EQ(Read(zip, local + 14, 4), BitwiseCrc32(data)) << name;
    entries.push_back({name, data});
  }
  return entries;
}

TEST(ZipWriter, WritesStoredEntriesThatReadBack) {
  std::string zip;
  int pieces = 0;
  const ByteSink sink = [&](std::string_view bytes) {
    zip += bytes;
    ++pieces;
  };
  std::string large;
  for (int i = 0; i < 100000; ++i) large += std::to_string(i) + "\n";
  int calls = 0;
  {
    ZipWriter writer(sink);
    writer.Add("[a].xml", "<a/>");
    writer.Add("empty", "");
    writer.AddStreamed("dir/\xE6\x97\xA5.txt", [&](const ByteSink& part) {
      ++calls;
      for (std::size_t at = 0; at < large.size(); at += 4096) part(std::string_view(large).substr(at, 4096));
    });
    writer.Finish();
  }
  EXPECT_EQ(calls, 2);  // measured once, written once
  EXPECT_GT(pieces, 100);  // streamed, not collected
  const std::vector<ReadEntry> entries = ReadZip(zip);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].name, "[a].xml");
  EXPECT_EQ(entries[0].data, "<a/>");
  EXPECT_EQ(entries[1].name, "empty");
  EXPECT_EQ(entries[1].data, "");
  EXPECT_EQ(entries[2].name, "dir/\xE6\x97\xA5.txt");
  EXPECT_TRUE(entries[2].data == large);
}

TEST(ZipWriter, AnEntryThatChangesBetweenItsPassesIsAnError) {
  std::string zip;
  ZipWriter writer([&](std::string_view bytes) { zip += bytes; });
  int calls = 0;
  EXPECT_THROW(writer.AddStreamed("x", [&](const ByteSink& part) { part(++calls == 1 ? "a" : "ab"); }),
               std::logic_error);
}

}  // namespace
