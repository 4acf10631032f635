#include "format/GenreText.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

namespace {

// The rule as written, a field at a time: for i686, and as the reference
// the vector path is tested against.
ProblemText ProblemTextOfPortable(const ProblemRecord& record) {
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

#if defined(__SSE2__)

// The six fields at once: the record's zero bytes and its bytes above 0x20
// become 256-bit masks; the kept bytes are those above 0x20 before the
// first zero of their area (the question, or the choices as one string),
// and each text ends after the highest kept byte of its field.
ProblemText ProblemTextOfSse2(const ProblemRecord& record) {
  constexpr std::size_t kWords = kRecordSize / 64;
  std::uint64_t zero[kWords], kept[kWords];
  const __m128i space = _mm_set1_epi8(kPadding);
  for (std::size_t w = 0; w < kWords; ++w) {
    std::uint64_t z = 0, low = 0;
    for (std::size_t k = 0; k < 4; ++k) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(record.Bytes + w * 64 + k * 16));
      z |= std::uint64_t(static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_setzero_si128()))))
           << (k * 16);
      low |= std::uint64_t(static_cast<std::uint16_t>(
                 _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_max_epu8(v, space), space))))
             << (k * 16);
    }
    zero[w] = z;
    kept[w] = ~low;
  }
  // The bits of each area before its first zero byte: below the lowest set
  // bit of the first word that has one, none after it.
  static_assert(kChoicesOffset > 64 && kChoicesOffset < 128);
  constexpr std::uint64_t kQuestionInWord1 = (1ull << (kChoicesOffset - 64)) - 1;
  const auto below = [](std::uint64_t z, std::uint64_t& open) {
    const std::uint64_t bits = open & (z == 0 ? ~0ull : (z & -z) - 1);
    if (z != 0) open = 0;
    return bits;
  };
  std::uint64_t open = ~0ull;
  std::uint64_t valid[kWords];
  valid[0] = kept[0] & below(zero[0], open);
  const std::uint64_t question1 = below(zero[1] | ~kQuestionInWord1, open) & kQuestionInWord1;
  open = ~0ull;
  const std::uint64_t choices1 = below(zero[1] & ~kQuestionInWord1, open) & ~kQuestionInWord1;
  valid[1] = kept[1] & (question1 | choices1);
  valid[2] = kept[2] & below(zero[2], open);
  valid[3] = kept[3] & below(zero[3], open);

  const auto view = [&](std::size_t offset, std::size_t length) {
    return std::string_view(reinterpret_cast<const char*>(record.Bytes) + offset, length);
  };
  const auto end = [](std::uint64_t bits) -> std::size_t { return bits == 0 ? 0 : 64 - std::countl_zero(bits); };
  ProblemText text;
  const std::uint64_t high = valid[1] & kQuestionInWord1;
  text.question = view(kQuestionOffset, high != 0 ? 64 + end(high) : end(valid[0]));
  for (int c = 0; c < kChoiceCount; ++c) {
    const std::size_t at = kChoicesOffset + c * kChoiceSize, word = at / 64, shift = at % 64;
    std::uint64_t bits = valid[word] >> shift;
    if (shift != 0 && word + 1 < kWords) bits |= valid[word + 1] << (64 - shift);
    text.choices[c] = view(at, end(bits & ((1ull << kChoiceSize) - 1)));
  }
  return text;
}

#endif  // __SSE2__

}  // namespace

ProblemText ProblemTextOf(const ProblemRecord& record) {
#if defined(__SSE2__)
  return ProblemTextOfSse2(record);
#else
  return ProblemTextOfPortable(record);
#endif
}

std::span<const ProblemTextPath> ProblemTextPaths() {
  static constexpr ProblemTextPath kPaths[] = {
#if defined(__SSE2__)
      {"sse2", ProblemTextOfSse2},
#endif
      {"portable", ProblemTextOfPortable},
  };
  return kPaths;
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

void ChunkedSink::FlushPieces() {
  const std::size_t whole = buffer_.size() / kPieceSize * kPieceSize;
  sink_(std::string_view(buffer_.data(), whole));
  buffer_.erase(0, whole);  // the rest is less than a piece: a short move
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
  // Each problem's lines are made in one buffer on the stack and appended
  // at once (the name's line alone). In UTF-8 they are converted as one
  // text: CR and LF are never a trail byte and stand for themselves, so a
  // lead byte at a line's end is alone either way, and the lines converted
  // at once are the lines converted one by one.
  constexpr std::size_t kProblemRoom = 2 + kQuestionSize + 2 + kChoiceCount * (kChoiceSize + 2);
  char lines[kProblemRoom];
  char utf8[codepage::Cp932Utf8Room(kProblemRoom)];
  char* dst = lines;
  const auto emit = [&] {
    if (encoding == TextEncoding::kUtf8) {
      buffer.append(utf8, codepage::WriteCp932AsUtf8({lines, std::size_t(dst - lines)}, utf8, invalidBytes) - utf8);
    } else {
      buffer.append(lines, dst - lines);
    }
    dst = lines;
  };
  ForEachGenreLine(problems, genre, [&](GenreLine kind, std::string_view text) {
    if (kind == GenreLine::kBeforeProblem) {
      emit();
      out.MaybeFlush();
    }
    if (!text.empty()) {  // an empty text may have no bytes to point at
      std::memcpy(dst, text.data(), text.size());
      dst += text.size();
    }
    *dst++ = '\r';
    *dst++ = '\n';
  });
  emit();
  out.Flush();
  return invalidBytes;
}
