#include "format/ZipWriter.h"

#include <stdexcept>

#include "format/Crc32.h"

namespace {

constexpr std::uint32_t kLocalHeaderSignature = 0x04034B50;
constexpr std::uint32_t kCentralHeaderSignature = 0x02014B50;
constexpr std::uint32_t kEndSignature = 0x06054B50;
constexpr std::uint16_t kVersion = 20;              // 2.0: made by and needed to extract
constexpr std::uint16_t kUtf8Names = 1u << 11;      // general purpose flag bit 11
constexpr std::uint16_t kStored = 0;
constexpr std::uint16_t kTime = 0;                  // 00:00:00
constexpr std::uint16_t kDate = (0 << 9) | (1 << 5) | 1;  // 1980-01-01, the earliest DOS date
constexpr std::uint64_t kLimit = 0xFFFFFFFF;

void Put16(std::string& out, std::uint16_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>(v >> 8);
}

void Put32(std::string& out, std::uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((v >> shift) & 0xFF);
}

std::uint32_t Checked32(std::uint64_t value) {
  if (value > kLimit) throw std::length_error("output too large for a zip archive (4 GiB)");
  return static_cast<std::uint32_t>(value);
}

// The fields that the local and the central header share, from "version
// needed" to the extra field's length.
void PutCommonFields(std::string& out, std::uint32_t crc, std::uint32_t size, std::size_t nameSize) {
  Put16(out, kVersion);
  Put16(out, kUtf8Names);
  Put16(out, kStored);
  Put16(out, kTime);
  Put16(out, kDate);
  Put32(out, crc);
  Put32(out, size);  // compressed
  Put32(out, size);  // uncompressed
  Put16(out, static_cast<std::uint16_t>(nameSize));
  Put16(out, 0);  // no extra field
}

}  // namespace

void ZipWriter::Emit(std::string_view bytes) {
  sink_(bytes);
  offset_ += bytes.size();
}

void ZipWriter::BeginEntry(std::string_view name, std::uint32_t crc, std::uint64_t size) {
  if (name.size() > 0xFFFF) throw std::length_error("zip entry name too long");
  Entry entry{std::string(name), crc, Checked32(size), Checked32(offset_)};
  std::string header;
  Put32(header, kLocalHeaderSignature);
  PutCommonFields(header, entry.crc, entry.size, name.size());
  header += name;
  Emit(header);
  entries_.push_back(std::move(entry));
}

void ZipWriter::Add(std::string_view name, std::string_view bytes) {
  BeginEntry(name, Crc32(bytes), bytes.size());
  Emit(bytes);
}

void ZipWriter::AddStreamed(std::string_view name, const std::function<void(const ByteSink&)>& write) {
  std::uint32_t crc = 0;
  std::uint64_t size = 0;
  write([&](std::string_view bytes) {
    crc = Crc32(bytes, crc);
    size += bytes.size();
  });
  BeginEntry(name, crc, size);
  std::uint64_t written = 0;
  write([&](std::string_view bytes) {
    written += bytes.size();
    Emit(bytes);
  });
  if (written != size) throw std::logic_error("zip entry changed between its two passes");
}

void ZipWriter::Finish() {
  const std::uint64_t directoryOffset = offset_;
  std::string directory;
  for (const Entry& entry : entries_) {
    Put32(directory, kCentralHeaderSignature);
    Put16(directory, kVersion);  // made by: MS-DOS attributes, version 2.0
    PutCommonFields(directory, entry.crc, entry.size, entry.name.size());
    Put16(directory, 0);  // no comment
    Put16(directory, 0);  // disk number
    Put16(directory, 0);  // internal attributes
    Put32(directory, 0);  // external attributes
    Put32(directory, entry.offset);
    directory += entry.name;
  }
  if (entries_.size() > 0xFFFF) throw std::length_error("too many zip entries");
  std::string end;
  Put32(end, kEndSignature);
  Put16(end, 0);  // this disk
  Put16(end, 0);  // the disk of the directory
  Put16(end, static_cast<std::uint16_t>(entries_.size()));
  Put16(end, static_cast<std::uint16_t>(entries_.size()));
  Put32(end, Checked32(directory.size()));
  Put32(end, Checked32(directoryOffset));
  Put16(end, 0);  // no comment
  Emit(directory);
  Emit(end);
}
