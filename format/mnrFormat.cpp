#include "format/mnrFormat.h"

#include <algorithm>
#include <cstring>

#include "format/Unscramble.h"
#include "platform/IoError.h"

using namespace mnr_layout;

namespace {

// Bytes in memory, read front to back like a file.
class ByteSource final : public ProblemSource {
 public:
  explicit ByteSource(std::span<const std::uint8_t> bytes) : rest_(bytes) {}
  std::size_t Read(void* buffer, std::size_t count) override {
    const std::size_t n = std::min(count, rest_.size());
    if (n > 0) std::memcpy(buffer, rest_.data(), n);
    rest_ = rest_.subspan(n);
    return n;
  }

 private:
  std::span<const std::uint8_t> rest_;
};

}  // namespace

void T_mnrQuiz::SetCount(std::int32_t n) {
  if (n < 0) throw platform::ERangeError();
  const std::size_t count = static_cast<std::size_t>(n), kept = Records.size();
  // Growth beyond the capacity lands in fresh memory, which the system
  // zero-filled; growth within it reuses bytes of earlier records.
  const bool fresh = count > Records.capacity();
  Records.resize(count);
  if (!fresh && count > kept) std::memset(&Records[kept], 0, (count - kept) * sizeof(ProblemRecord));
  Lengths.resize(count);  // set by unscrambling
}

std::string T_mnrFormat::GenreName(int genre) const {
  const auto* name = reinterpret_cast<const char*>(&header_[genre * kGenreBlockSize + kGenreNameOffset]);
  return std::string(name, strnlen(name, kGenreNameSize));
}

int T_mnrFormat::CountIn(const HeaderBytes& header, int genre) {
  const std::size_t at = genre * kGenreBlockSize + kProblemCountOffset;
  return static_cast<std::int16_t>(header[at] | (header[at + 1] << 8));
}

std::size_t T_mnrFormat::UsedSize(const HeaderBytes& header) {
  std::size_t size = kHeaderSize;
  for (int g = 0; g < kGenreCount; ++g) size += ListedCountIn(header, g) * kRecordSize;
  return size;
}

bool T_mnrFormat::LoadFromBytes(std::span<const std::uint8_t> bytes, const std::string& name) {
  ByteSource source(bytes);
  return LoadFromSource(source, name);
}

bool T_mnrFormat::LoadFromSource(ProblemSource& source, const std::string& name) {
  bool ok = false;
  try {
    ok = ReadProblemFile(source);
  } catch (...) {
    // A negative count, no memory for the records it announces, or a fault
    // of the source.
    ok = false;
  }
  return Finish(ok, name);
}

bool T_mnrFormat::Finish(bool ok, const std::string& name) {
  if (ok) fileName_ = name;
  loaded_ = ok;
  return ok;
}

bool T_mnrFormat::ReadProblemFile(ProblemSource& source) {
  // The eight genre blocks in one read.
  const std::size_t headerRead = source.Read(header_.data(), kHeaderSize);
  if (headerRead < kHeaderSize) std::memset(&header_[headerRead], 0, kHeaderSize - headerRead);
  // The signature first: bytes that are no problem file get no memory for
  // the counts they seem to announce.
  if (std::memcmp(&header_[kSignatureOffset], kSignature, kSignatureSize) != 0) return false;
  for (int g = 0; g < kGenreCount; ++g) quiz_[g].SetCount(ProblemCount(g));

  // Each genre's records arrive in reads of 1 MiB into their array, each
  // piece unscrambled while it is still in the processor's cache (one pass
  // over the memory rather than two). Reads are sequential, so a file
  // ending early leaves the last record incomplete.
  if (headerRead < kHeaderSize) return false;
  constexpr std::size_t kPieceRecords = (1 << 20) / kRecordSize;
  for (int g = 0; g < kGenreCount; ++g) {
    auto& records = quiz_[g].Records;
    TextLengths* lengths = quiz_[g].Lengths.data();
    for (std::size_t first = 0; first < records.size(); first += kPieceRecords) {
      const std::size_t count = std::min(kPieceRecords, records.size() - first);
      if (source.Read(&records[first], count * kRecordSize) != count * kRecordSize) return false;
      for (std::size_t r = first; r < first + count; ++r) UnscrambleRecord(records[r], lengths[r]);
    }
  }
  ReadTrailingBytes(source);
  return true;
}

void T_mnrFormat::ReadTrailingBytes(ProblemSource& source) {
  trailing_.clear();
  trailingComplete_ = true;
  if (trailingLimit_ == 0) return;
  // One byte beyond the limit tells whether more were there.
  trailing_.resize(trailingLimit_ + 1);
  std::size_t arrived = 0, n;
  while (arrived < trailing_.size() && (n = source.Read(&trailing_[arrived], trailing_.size() - arrived)) > 0)
    arrived += n;
  trailingComplete_ = arrived <= trailingLimit_;
  trailing_.resize(std::min(arrived, trailingLimit_));
}
