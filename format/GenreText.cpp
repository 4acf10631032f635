#include "format/GenreText.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/CodePage.h"

using namespace mnr_layout;

namespace {

// Drops trailing spaces and control bytes (everything <= 0x20). Fields are
// padded with spaces, so the padding is skipped eight bytes at a time.
std::string_view TrimRight(std::string_view text) {
  std::size_t n = text.size();
  if constexpr (std::endian::native == std::endian::little) {
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7F, kAdd = 0x5F5F5F5F5F5F5F5F, kHigh = 0x8080808080808080;
    while (n >= 8) {
      std::uint64_t word;
      std::memcpy(&word, text.data() + n - 8, 8);
      // The top bit of each byte above 0x20 (0x21 + 0x5F carries into it;
      // bytes >= 0x80 have it already).
      const std::uint64_t kept = (((word & kLow7) + kAdd) | word) & kHigh;
      if (kept != 0) return text.substr(0, n - 8 + (63 - std::countl_zero(kept)) / 8 + 1);
      n -= 8;
    }
  }
  while (n > 0 && static_cast<unsigned char>(text[n - 1]) <= 0x20) --n;
  return text.substr(0, n);
}

// The bytes of a field up to its first zero byte.
std::string_view UpToZero(const std::uint8_t* field, std::size_t size) {
  const char* text = reinterpret_cast<const char*>(field);
  return std::string_view(text, strnlen(text, size));
}

}  // namespace

ProblemText ProblemTextOf(const ProblemRecord& record) {
  ProblemText text;
  text.question = TrimRight(UpToZero(record.Bytes + kQuestionOffset, kQuestionSize));
  // The choices area is one string ending at its first zero byte; each
  // choice is its 28-byte slice of that string.
  const std::string_view choices = UpToZero(record.Bytes + kChoicesOffset, kChoicesSize);
  for (int c = 0; c < kChoiceCount; ++c) {
    const std::size_t start = c * kChoiceSize;
    const std::string_view choice = start < choices.size() ? choices.substr(start, kChoiceSize) : std::string_view();
    text.choices[c] = TrimRight(choice);
  }
  return text;
}

namespace {

// The buffers of finished sinks, kept for the next ones: a run over many
// files writes thousands of outputs, and a fresh buffer each time is fresh
// memory each time (the system maps and zero-fills it, then takes it back).
std::vector<std::string>& SpareBuffers() {
  static std::vector<std::string> spares;
  return spares;
}

}  // namespace

ChunkedSink::ChunkedSink(const ByteSink& sink) : sink_(sink) {
  auto& spares = SpareBuffers();
  if (spares.empty()) {
    buffer_.reserve(kPieceSize + 4096);
  } else {
    buffer_ = std::move(spares.back());
    spares.pop_back();
  }
}

ChunkedSink::~ChunkedSink() {
  auto& spares = SpareBuffers();
  if (spares.size() < 4 && buffer_.capacity() <= 4 * kPieceSize) {
    buffer_.clear();
    spares.push_back(std::move(buffer_));
  }
}

void ChunkedSink::Flush() {
  if (buffer_.empty()) return;
  sink_(buffer_);
  buffer_.clear();
}

std::size_t WriteGenreText(const T_mnrFormat& problems, int genre, TextEncoding encoding,
                           const ByteSink& sink) {
  std::size_t invalidBytes = 0;
  ChunkedSink out(sink);
  std::string& buffer = out.Buffer();
  ForEachGenreLine(problems, genre, [&](GenreLine kind, std::string_view text) {
    if (kind == GenreLine::kBeforeProblem) out.MaybeFlush();
    if (encoding == TextEncoding::kUtf8) {
      codepage::AppendCp932AsUtf8(text, buffer, invalidBytes);
    } else {
      buffer += text;
    }
    buffer += "\r\n";
  });
  out.Flush();
  return invalidBytes;
}
