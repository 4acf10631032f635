#include "format/ProblemFileWriter.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/CodePage.h"

using namespace mnr_layout;

void ScrambleField(std::string_view plain, std::uint8_t* field, std::size_t size) {
  const std::size_t n = std::min(plain.size(), size);
  for (std::size_t i = 0; i < n; ++i) field[i] = static_cast<std::uint8_t>(plain[i]) ^ kScrambleMask;
  std::memset(field + n, kPadding, size - n);
}

ProblemRecord StoredRecord(const ProblemRecord& unscrambled, const TextLengths& lengths) {
  ProblemRecord stored = unscrambled;
  for (int f = 0; f < kFieldCount; ++f) {
    std::uint8_t* field = stored.Bytes + FieldOffset(f);
    for (std::size_t i = 0; i < lengths.Field[f]; ++i) field[i] ^= kScrambleMask;
  }
  return stored;
}

ProblemRecord CanonicalRecord(const ProblemText& text) {
  ProblemRecord record;
  ScrambleField(text.question, record.Bytes + kQuestionOffset, kQuestionSize);
  for (int c = 0; c < kChoiceCount; ++c)
    ScrambleField(text.choices[c], record.Bytes + FieldOffset(1 + c), kChoiceSize);
  return record;
}

bool IsCanonicalRecord(const ProblemRecord& unscrambled, const TextLengths& lengths) {
  return IsCanonicalRecord(unscrambled, lengths, ProblemTextOf(unscrambled));
}

namespace {

bool IsPaddedPortable(const ProblemRecord& unscrambled, const TextLengths& lengths) {
  static const std::array<std::uint8_t, kQuestionSize> kSpaces = [] {
    std::array<std::uint8_t, kQuestionSize> spaces;
    spaces.fill(kPadding);
    return spaces;
  }();
  for (int f = 0; f < kFieldCount; ++f) {
    const std::uint8_t* field = unscrambled.Bytes + FieldOffset(f);
    if (std::memcmp(field + lengths.Field[f], kSpaces.data(), FieldSize(f) - lengths.Field[f]) != 0) return false;
  }
  return true;
}

#if defined(__SSE2__)
// The record's bytes that are no space as a 256-bit mask; every field's
// bits after its text must be clear.
bool IsPaddedSse2(const ProblemRecord& unscrambled, const TextLengths& lengths) {
  constexpr std::size_t kWords = kRecordSize / 64;
  std::uint64_t other[kWords];
  const __m128i space = _mm_set1_epi8(kPadding);
  for (std::size_t w = 0; w < kWords; ++w) {
    std::uint64_t s = 0;
    for (std::size_t k = 0; k < 4; ++k) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(unscrambled.Bytes + w * 64 + k * 16));
      s |= std::uint64_t(static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, space)))) << (k * 16);
    }
    other[w] = ~s;
  }
  std::uint64_t found = 0;
  for (int f = 0; f < kFieldCount; ++f) {
    const std::size_t end = FieldOffset(f) + FieldSize(f);
    for (std::size_t at = FieldOffset(f) + lengths.Field[f]; at < end; at += 64) {
      const std::size_t word = at / 64, shift = at % 64, count = std::min<std::size_t>(64, end - at);
      std::uint64_t bits = other[word] >> shift;
      if (shift != 0 && word + 1 < kWords) bits |= other[word + 1] << (64 - shift);
      found |= count == 64 ? bits : bits & ((1ull << count) - 1);
    }
  }
  return found == 0;
}
#endif

}  // namespace

bool HasCanonicalLayout(const ProblemRecord& unscrambled, const TextLengths& lengths, const ProblemText& text) {
  // A text that is as long as its field's text is that text's first bytes,
  // so the stored text is the canonical one; what is left to ask is whether
  // the rest of each field is padding.
  if (lengths.Field[0] != text.question.size()) return false;
  for (int c = 0; c < kChoiceCount; ++c)
    if (lengths.Field[1 + c] != text.choices[c].size()) return false;
#if defined(__SSE2__)
  return IsPaddedSse2(unscrambled, lengths);
#else
  return IsPaddedPortable(unscrambled, lengths);
#endif
}

std::span<const PaddingPath> PaddingPaths() {
  static constexpr PaddingPath kPaths[] = {
#if defined(__SSE2__)
      {"sse2", IsPaddedSse2},
#endif
      {"portable", IsPaddedPortable},
  };
  return kPaths;
}

bool IsCanonicalRecord(const ProblemRecord& unscrambled, const TextLengths& lengths, const ProblemText& text) {
  if (!HasCanonicalLayout(unscrambled, lengths, text)) return false;
  if (!codepage::IsCanonicalCp932(text.question)) return false;
  for (std::string_view choice : text.choices)
    if (!codepage::IsCanonicalCp932(choice)) return false;
  return true;
}

ProblemFileImage ImageOf(const T_mnrFormat& problems) {
  ProblemFileImage image;
  image.Header = problems.Header();
  for (int g = 0; g < kGenreCount; ++g) {
    const std::span<const ProblemRecord> records = ListedRecords(problems, g);
    const TextLengths* lengths = problems.Quiz(g).Lengths.data();
    for (const ProblemRecord& record : records) image.Records[g].push_back(StoredRecord(record, *lengths++));
  }
  image.Trailing = problems.TrailingBytes();
  return image;
}

std::string_view GenreNameField(const T_mnrFormat::HeaderBytes& header, int genre) {
  const auto* name = reinterpret_cast<const char*>(&header[genre * kGenreBlockSize + kGenreNameOffset]);
  return std::string_view(name, strnlen(name, kGenreNameSize));
}

void SetGenreNameField(T_mnrFormat::HeaderBytes& header, int genre, std::string_view cp932) {
  std::uint8_t* field = &header[genre * kGenreBlockSize + kGenreNameOffset];
  const std::size_t n = std::min(cp932.size(), kGenreNameSize);
  std::memcpy(field, cp932.data(), n);
  std::memset(field + n, 0, kGenreNameSize - n);
}

void WriteProblemFile(const ProblemFileImage& image, const ByteSink& sink) {
  T_mnrFormat::HeaderBytes header = image.Header;
  for (int g = 0; g < kGenreCount; ++g) {
    const std::size_t count = image.Records[g].size();
    if (count > static_cast<std::size_t>(kMaxProblemCount)) throw std::length_error("too many problems");
    header[g * kGenreBlockSize + kProblemCountOffset] = static_cast<std::uint8_t>(count & 0xFF);
    header[g * kGenreBlockSize + kProblemCountOffset + 1] = static_cast<std::uint8_t>(count >> 8);
  }
  std::memcpy(&header[kSignatureOffset], kSignature, kSignatureSize);
  sink(std::string_view(reinterpret_cast<const char*>(header.data()), header.size()));
  ChunkedSink out(sink);
  for (const auto& records : image.Records) {
    for (const ProblemRecord& record : records) {
      out.Buffer().append(reinterpret_cast<const char*>(record.Bytes), kRecordSize);
      out.MaybeFlush();
    }
  }
  out.Buffer() += image.Trailing;
  out.Flush();
}
