#include "format/GenreText.h"

#include <cstring>

#include "format/mnrFormat.h"
#include "platform/CodePage.h"

using namespace mnr_layout;

namespace {

// Drops trailing spaces and control bytes (everything <= 0x20).
std::string_view TrimRight(std::string_view text) {
  std::size_t n = text.size();
  while (n > 0 && static_cast<unsigned char>(text[n - 1]) <= 0x20) --n;
  return text.substr(0, n);
}

// The bytes of a field up to its first zero byte.
std::string_view UpToZero(const std::uint8_t* field, std::size_t size) {
  const char* text = reinterpret_cast<const char*>(field);
  return std::string_view(text, strnlen(text, size));
}

}  // namespace

void ForEachGenreLine(const T_mnrFormat& problems, int genre,
                      const std::function<void(std::string_view line)>& emit) {
  emit(problems.GenreName(genre));
  if (problems.ProblemCount(genre) <= 0) return;
  for (const ProblemRecord& record : problems.Quiz(genre).Records) {
    emit({});
    emit(TrimRight(UpToZero(record.Bytes + kQuestionOffset, kQuestionSize)));
    // The choices area is one string ending at its first zero byte; each
    // choice is its 28-byte slice of that string.
    const std::string_view choices = UpToZero(record.Bytes + kChoicesOffset, kChoicesSize);
    for (int c = 0; c < kChoiceCount; ++c) {
      const std::size_t start = c * kChoiceSize;
      const std::string_view choice =
          start < choices.size() ? choices.substr(start, kChoiceSize) : std::string_view();
      emit(TrimRight(choice));
    }
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
  ForEachGenreLine(problems, genre, [&](std::string_view line) {
    if (encoding == TextEncoding::kUtf8) {
      codepage::AppendCp932AsUtf8(line, buffer, invalidBytes);
    } else {
      buffer += line;
    }
    buffer += "\r\n";
    out.MaybeFlush();
  });
  out.Flush();
  return invalidBytes;
}
