#pragma once
// A zip archive written front to back to a ByteSink, for the outputs that
// are packages of files (.xlsx). Entries are stored (not compressed), with
// UTF-8 names and a fixed time stamp (1980-01-01 00:00), so the same content
// always gives the same bytes. Each local header carries its entry's size
// and CRC-32 (no data descriptor), the form every reader understands; an
// entry too large to hold is therefore produced twice, once to measure it
// and once to write it. Without zip64, entries and the archive stay below
// 4 GiB; beyond that the writer raises std::length_error.
//
//   ZipWriter zip(sink);
//   zip.Add("a.txt", "small text");
//   zip.AddStreamed("b.xml", [&](const ByteSink& part) { WriteLargePart(part); });
//   zip.Finish();

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "format/GenreText.h"  // ByteSink

class ZipWriter {
 public:
  explicit ZipWriter(ByteSink sink) : sink_(std::move(sink)) {}

  // An entry whose bytes are at hand.
  void Add(std::string_view name, std::string_view bytes);
  // An entry whose bytes write sends to the sink it is given. write is
  // called twice and must send the same bytes both times; if the second
  // call's size differs, std::logic_error is raised.
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
  // Records the entry at the current offset and writes its local header.
  void BeginEntry(std::string_view name, std::uint32_t crc, std::uint64_t size);
  void Emit(std::string_view bytes);

  ByteSink sink_;
  std::uint64_t offset_ = 0;
  std::vector<Entry> entries_;
};
