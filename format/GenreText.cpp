#include "format/GenreText.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/CodePage.h"

using namespace mnr_layout;

namespace {

// Drops trailing spaces and control bytes (everything <= 0x20), looking at
// eight bytes at a time: fields end in padding of varying length, and a
// byte-by-byte walk costs a mispredicted branch per field.
std::string_view TrimRight(std::string_view text) {
  constexpr std::uint64_t kEach = 0x0101010101010101u;
  std::size_t n = text.size();
  for (; n >= 8; n -= 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + n - 8, 8);
    if (word == 0x20 * kEach) continue;  // padding, the usual case
    // The high bit of each byte above 0x20: set for bytes >= 0x80, and for
    // the others when their low seven bits plus 0x5F carry into it.
    const std::uint64_t above = (((word & (0x7F * kEach)) + 0x5F * kEach) | word) & (0x80 * kEach);
    if (above != 0) {
      const int last = std::endian::native == std::endian::little ? (63 - std::countl_zero(above)) / 8
                                                                  : 7 - std::countr_zero(above) / 8;
      return text.substr(0, n - 8 + last + 1);
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
    text.choices[c] = start < choices.size() ? TrimRight(choices.substr(start, kChoiceSize)) : std::string_view();
  }
  return text;
}

std::size_t WriteGenreText(ProblemSource& problems, int genre, TextEncoding encoding, const ByteSink& sink) {
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
