// The zip writer under the .xlsx output and the page's archive of genre
// files: every header field read back by a reader of the test's own and by
// unzip, CRC-32 against a bitwise computation, a streamed entry's header
// rewritten once its data is out.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "format/Crc32.h"
#include "format/ZipWriter.h"
#include "tests/support/TestEnv.h"

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
  const ByteSink sink([&](std::string_view bytes) {
    zip += bytes;
    ++pieces;
  }, [&](std::uint64_t offset, std::string_view bytes) { zip.replace(offset, bytes.size(), bytes); });
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
  EXPECT_EQ(calls, 1);  // written once, its header rewritten
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

TEST(ZipWriter, AStreamedEntryNeedsASinkThatCanRewrite) {
  std::string zip;
  const ByteSink onlyInOrder([&](std::string_view bytes) { zip += bytes; });
  ZipWriter writer(onlyInOrder);
  EXPECT_THROW(writer.AddStreamed("x", [&](const ByteSink& part) { part("a"); }), std::logic_error);
}

#ifndef _WIN32
// An archive for the user to unpack, as Debian's unzip sees it: no CRC
// error, the files marked as made on Unix with mode 0644, UTF-8 names, the
// given time.
TEST(ZipWriter, AnArchiveToUnpackCarriesItsTimeAndUnixModes) {
  test_env::TempDir dir;
  std::string zip;
  const ByteSink sink = IntoString(zip);
  ZipWriter writer(sink, {(20 << 11) | (41 << 5) | (30 >> 1), ((2026 - 1980) << 9) | (12 << 5) | 8, true});
  const std::string text = std::string("\xE6\xAD\xB4\xE5\x8F\xB2\r\n").append(5000, 'q');
  writer.AddStreamed("\xE3\x82\x80\xE3\x81\xAD\xE3\x82\x8A" "0.txt", [&](const ByteSink& part) {
    for (std::size_t at = 0; at < text.size(); at += 1000) part(std::string_view(text).substr(at, 1000));
  });
  writer.AddStreamed("empty.txt", [](const ByteSink&) {});
  writer.Finish();
  test_env::WriteFile(dir.host("eight.zip"), zip);
  const auto run = [&](const std::string& options) {
    std::string out;
    FILE* pipe = popen(("LC_ALL=C.UTF-8 unzip " + options + " " + dir.host("eight.zip")).c_str(), "r");
    char buffer[4096];
    for (std::size_t n; pipe && (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    if (pipe) pclose(pipe);
    return out;
  };
  EXPECT_NE(run("-t").find("No errors detected"), std::string::npos);
  const std::string listed = run("-Z -T");
  EXPECT_NE(listed.find("-rw-r--r--  2.0 unx     5008 b- stor 20261208.204130 \xE3\x82\x80\xE3\x81\xAD\xE3\x82\x8A" "0.txt"),
            std::string::npos) << listed;
  EXPECT_NE(listed.find("-rw-r--r--  2.0 unx        0 b- stor 20261208.204130 empty.txt"), std::string::npos) << listed;
}
#endif

}  // namespace
