#pragma once
// A zip archive written front to back to a ByteSink: the workbook (.xlsx)
// and the page's archive of eight genre files. Entries are stored (not
// compressed), with UTF-8 names. Each local header carries its entry's size
// and CRC-32 (no data descriptor), the form every reader understands: a
// streamed entry's header is written first and rewritten once its data is
// out, so the sink must be able to rewrite (ByteSink::Rewrite). Without
// zip64, entries and the archive stay below 4 GiB; beyond that the writer
// raises std::length_error.
//
//   ZipWriter zip(sink);
//   zip.Add("a.txt", "small text");
//   zip.AddStreamed("b.xml", [&](const ByteSink& part) { WriteLargePart(part); });
//   zip.Finish();

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "format/ByteSink.h"

// How the entries are stamped: by default 1980-01-01 00:00 and made on
// MS-DOS, so the same content always gives the same bytes; an archive for
// the user to unpack carries its time and Unix permissions (0644).
struct ZipStamp {
  std::uint16_t dosTime = 0;
  std::uint16_t dosDate = (0 << 9) | (1 << 5) | 1;
  bool unixFiles = false;
};

class ZipWriter {
 public:
  explicit ZipWriter(const ByteSink& sink, ZipStamp stamp = {}) : sink_(sink), stamp_(stamp) {}

  // An entry whose bytes are at hand.
  void Add(std::string_view name, std::string_view bytes);
  // An entry whose bytes write sends to the sink it is given.
  void AddStreamed(std::string_view name, const std::function<void(const ByteSink&)>& write);
  // Writes the central directory: the archive is complete.
  void Finish();

 private:
  struct Entry {
    std::string name;
    std::uint32_t crc = 0;
    std::uint32_t size = 0;
    std::uint32_t offset = 0;  // of the local header
  };
  std::string LocalHeader(const Entry& entry) const;
  void Emit(std::string_view bytes);

  const ByteSink& sink_;
  ZipStamp stamp_;
  std::uint64_t offset_ = 0;
  std::vector<Entry> entries_;
};
