#include "format/mnrFormat.h"

#include <cstring>

#include "format/Unscramble.h"
#include "platform/FileServices.h"

using namespace mnr_layout;

void T_mnrQuiz::SetCount(std::int32_t n) {
  if (n < 0) throw platform::ERangeError();
  Records.resize(static_cast<std::size_t>(n));  // new records are zero-filled
}

std::string T_mnrFormat::GenreName(int genre) const {
  const auto* name = reinterpret_cast<const char*>(&header_[genre * kGenreBlockSize + kGenreNameOffset]);
  return std::string(name, strnlen(name, kGenreNameSize));
}

int T_mnrFormat::ProblemCount(int genre) const {
  const std::size_t at = genre * kGenreBlockSize + kProblemCountOffset;
  return static_cast<std::int16_t>(header_[at] | (header_[at + 1] << 8));
}

bool T_mnrFormat::LoadFromFile(const std::string& path) {
  if (!platform::FileExists(path)) {
    loaded_ = false;
    return false;
  }
  // Opening is not guarded: a file that exists but cannot be opened raises
  // to the caller and leaves the problem set as it was.
  platform::BlockFile file(path);
  bool ok = false;
  try {
    ok = ReadProblemFile(file);
    if (ok) Decode();
    file.Close();
  } catch (...) {
    // Any fault while reading (a read error, a negative count) means the file
    // cannot be used; the block file releases its handle itself.
    ok = false;
  }
  if (ok) fileName_ = path;
  loaded_ = ok;
  return ok;
}

bool T_mnrFormat::ReadProblemFile(platform::BlockFile& file) {
  std::size_t lastRead = 0;
  for (int g = 0; g < kGenreCount; ++g) {
    lastRead = file.Read(&header_[g * kGenreBlockSize], kGenreBlockSize);
    quiz_[g].SetCount(ProblemCount(g));
  }
  if (std::memcmp(&header_[kSignatureOffset], kSignature, kSignatureSize) != 0) return false;

  // Each genre's records arrive in one read into their array: reads are
  // sequential, so a file ending early leaves the last record incomplete.
  bool complete = lastRead == kGenreBlockSize;
  for (int g = 0; g < kGenreCount; ++g) {
    auto& records = quiz_[g].Records;
    if (records.empty()) continue;
    const std::size_t wanted = records.size() * kRecordSize;
    complete = file.Read(records.data(), wanted) == wanted;
  }
  return complete;
}

void T_mnrFormat::Decode() {
  for (auto& quiz : quiz_)
    for (auto& record : quiz.Records) UnscrambleRecord(record);
}
