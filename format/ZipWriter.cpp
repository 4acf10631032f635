#include "format/ZipWriter.h"

#include "format/Crc32.h"

namespace {

constexpr std::uint32_t kLocalHeaderSignature = 0x04034B50;
constexpr std::uint32_t kCentralHeaderSignature = 0x02014B50;
constexpr std::uint32_t kEndSignature = 0x06054B50;
constexpr std::uint16_t kVersion = 20;          // 2.0: made by and needed to extract
constexpr std::uint16_t kMadeOnUnix = 3 << 8;   // the high byte of "made by"
constexpr std::uint32_t kUnixFile0644 = 0100644u << 16;
constexpr std::uint16_t kUtf8Names = 1u << 11;  // general purpose flag bit 11
constexpr std::uint16_t kStored = 0;
constexpr std::size_t kCrcOffset = 14;          // in the local header
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

}  // namespace

void ZipWriter::Emit(std::string_view bytes) {
  sink_(bytes);
  offset_ += bytes.size();
}

// From "version needed" to the extra field's length, as both headers have
// them, after the signature (and "made by" in the central one).
std::string ZipWriter::LocalHeader(const Entry& entry) const {
  std::string header;
  Put32(header, kLocalHeaderSignature);
  Put16(header, kVersion);
  Put16(header, kUtf8Names);
  Put16(header, kStored);
  Put16(header, stamp_.dosTime);
  Put16(header, stamp_.dosDate);
  Put32(header, entry.crc);
  Put32(header, entry.size);  // compressed
  Put32(header, entry.size);  // uncompressed
  Put16(header, static_cast<std::uint16_t>(entry.name.size()));
  Put16(header, 0);  // no extra field
  return header + entry.name;
}

void ZipWriter::Add(std::string_view name, std::string_view bytes) {
  if (name.size() > 0xFFFF) throw std::length_error("zip entry name too long");
  Entry entry{std::string(name), Crc32(bytes), Checked32(bytes.size()), Checked32(offset_)};
  Emit(LocalHeader(entry));
  Emit(bytes);
  entries_.push_back(std::move(entry));
}

void ZipWriter::AddStreamed(std::string_view name, const std::function<void(const ByteSink&)>& write) {
  if (name.size() > 0xFFFF) throw std::length_error("zip entry name too long");
  Entry entry{std::string(name), 0, 0, Checked32(offset_)};
  Emit(LocalHeader(entry));
  std::uint64_t size = 0;
  write([&](std::string_view bytes) {
    entry.crc = Crc32(bytes, entry.crc);
    size += bytes.size();
    Checked32(offset_ + bytes.size());
    Emit(bytes);
  });
  entry.size = Checked32(size);
  // The header's CRC and sizes, now that they are known.
  sink_.Rewrite(entry.offset + kCrcOffset, LocalHeader(entry).substr(kCrcOffset, 12));
  entries_.push_back(std::move(entry));
}

void ZipWriter::Finish() {
  const std::uint64_t directoryOffset = offset_;
  std::string directory;
  for (const Entry& entry : entries_) {
    const std::string local = LocalHeader(entry);
    Put32(directory, kCentralHeaderSignature);
    Put16(directory, stamp_.unixFiles ? kMadeOnUnix | kVersion : kVersion);
    directory.append(local, 4, 26);  // the fields both headers share
    Put16(directory, 0);  // no comment
    Put16(directory, 0);  // disk number
    Put16(directory, 0);  // internal attributes
    Put32(directory, stamp_.unixFiles ? kUnixFile0644 : 0);
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
