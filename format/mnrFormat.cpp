#include "format/mnrFormat.h"

#include <algorithm>
#include <cstring>

#include "format/ProblemReader.h"
#include "platform/IoError.h"

using namespace mnr_layout;

namespace {

// Bytes in memory, read front to back like a file.
class MemorySource final : public ByteSource {
 public:
  explicit MemorySource(std::span<const std::uint8_t> bytes) : rest_(bytes) {}
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
  const std::size_t kept = Records.size();
  Records.resize(static_cast<std::size_t>(n));
  if (Records.size() > kept) std::memset(&Records[kept], 0, (Records.size() - kept) * sizeof(ProblemRecord));
  Lengths.resize(static_cast<std::size_t>(n));  // set by unscrambling
}

bool T_mnrFormat::LoadFromBytes(std::span<const std::uint8_t> bytes, const std::string& name) {
  MemorySource source(bytes);
  return LoadFromSource(source, name);
}

bool T_mnrFormat::LoadFromSource(ByteSource& source, const std::string& name) {
  bool ok = false;
  try {
    ok = ReadProblemFile(source);
  } catch (...) {
    // No memory for the records a header announces, or a fault of the source.
    ok = false;
  }
  return Finish(ok, name);
}

bool T_mnrFormat::Finish(bool ok, const std::string& name) {
  if (ok) fileName_ = name;
  loaded_ = ok;
  return ok;
}

bool T_mnrFormat::ReadProblemFile(ByteSource& source) {
  ProblemReader reader(source, trailingLimit_);
  const bool isProblemFile = reader.ReadHeader();
  header_ = reader.Header();
  if (!isProblemFile) return false;
  for (int g = 0; g < kGenreCount; ++g) quiz_[g].SetCount(ProblemCount(g));
  for (int g = 0; g < kGenreCount; ++g) {
    T_mnrQuiz& quiz = quiz_[g];
    Problem problem;
    for (std::size_t n = 0; n < quiz.Records.size(); ++n) {
      if (!reader.Next(g, problem)) return false;
      quiz.Records[n] = *problem.record;
      quiz.Lengths[n] = *problem.lengths;
    }
  }
  trailing_ = reader.Trailing();
  trailingComplete_ = reader.TrailingComplete();
  return reader.Complete();
}

bool LoadedProblems::Next(int genre, Problem& problem) {
  if (genre < genre_) return false;
  if (genre > genre_) genre_ = genre, next_ = 0;
  const T_mnrQuiz& quiz = problems_.Quiz(genre);
  if (next_ >= static_cast<std::size_t>(problems_.ListedCount(genre))) return false;
  problem = {&quiz.Records[next_], &quiz.Lengths[next_]};
  ++next_;
  return true;
}
