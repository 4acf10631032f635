#include "format/ProblemReader.h"

#include <algorithm>

#include "format/Unscramble.h"

using namespace mnr_layout;

std::uint64_t ByteSource::Skip(std::uint64_t count) {
  char scratch[16 * 1024];
  std::uint64_t passed = 0;
  while (passed < count) {
    const std::size_t n = Read(scratch, static_cast<std::size_t>(std::min<std::uint64_t>(sizeof scratch, count - passed)));
    if (n == 0) break;
    passed += n;
  }
  return passed;
}

ProblemReader::ProblemReader(ByteSource& bytes, std::size_t keepTrailing)
    : bytes_(bytes), keepTrailing_(keepTrailing) {}

bool ProblemReader::ReadHeader() {
  std::size_t got = 0, n;
  while (got < kHeaderSize && (n = bytes_.Read(header_.data() + got, kHeaderSize - got)) > 0) got += n;
  if (got < kHeaderSize || !mnr_header::HasSignature(header_)) return false;
  for (int g = 0; g < kGenreCount; ++g) {
    if (mnr_header::ProblemCount(header_, g) < 0) return false;
    left_[g] = static_cast<std::size_t>(mnr_header::ListedCount(header_, g));
    unread_ += left_[g];
  }
  const auto remaining = bytes_.Remaining();
  if (remaining && *remaining < unread_ * kRecordSize) return false;
  piece_.resize(std::min(unread_, kPieceRecords));
  return true;
}

bool ProblemReader::Fill() {
  const std::size_t records = std::min(unread_, piece_.size());
  const std::size_t wanted = records * kRecordSize;
  std::size_t got = 0, n;
  while (got < wanted && (n = bytes_.Read(reinterpret_cast<char*>(piece_.data()) + got, wanted - got)) > 0) got += n;
  unread_ -= records;
  at_ = 0;
  filled_ = got / kRecordSize;
  if (got < wanted) ended_ = true;
  return filled_ > 0;
}

void ProblemReader::Pass(std::size_t count) {
  const std::size_t atHand = std::min(count, filled_ - at_);
  at_ += atHand;
  count -= atHand;
  if (count == 0 || ended_) return;
  const std::uint64_t bytes = std::uint64_t{count} * kRecordSize;
  if (bytes_.Skip(bytes) < bytes) ended_ = true;
  unread_ -= count;
}

bool ProblemReader::Next(int genre, Problem& problem) {
  if (genre < genre_) return false;  // taken already
  for (; genre_ < genre; ++genre_) {
    Pass(left_[genre_]);
    left_[genre_] = 0;
  }
  if (left_[genre] == 0 || (at_ == filled_ && (ended_ || !Fill()))) {
    left_[genre] = 0;
    return false;
  }
  ProblemRecord& record = piece_[at_++];
  --left_[genre];
  UnscrambleRecord(record, lengths_);
  problem = {&record, &lengths_};
  return true;
}

void ProblemReader::PassOver(int genre, std::size_t count) {
  if (genre < genre_) return;
  for (; genre_ < genre; ++genre_) {
    Pass(left_[genre_]);
    left_[genre_] = 0;
  }
  count = std::min(count, left_[genre]);
  Pass(count);
  left_[genre] -= count;
}

bool ProblemReader::ReadToEnd() {
  for (; genre_ < kGenreCount; ++genre_) {
    Pass(left_[genre_]);
    left_[genre_] = 0;
  }
  return !ended_;
}

const std::string& ProblemReader::Trailing() {
  if (trailingRead_) return trailing_;
  trailingRead_ = true;
  if (!ReadToEnd() || keepTrailing_ == 0) return trailing_;
  // Read a piece at a time: most files have no trailing bytes, and a string
  // sized to the limit first would be filled with zeros for nothing. One
  // byte beyond the limit tells whether more were there.
  char piece[64 * 1024];
  std::size_t n;
  while (trailing_.size() <= keepTrailing_ &&
         (n = bytes_.Read(piece, std::min(sizeof piece, keepTrailing_ + 1 - trailing_.size()))) > 0) {
    trailing_.append(piece, n);
  }
  trailingComplete_ = trailing_.size() <= keepTrailing_;
  if (!trailingComplete_) trailing_.resize(keepTrailing_);
  return trailing_;
}
