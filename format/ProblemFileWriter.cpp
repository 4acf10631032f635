#include "format/ProblemFileWriter.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

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

bool IsCanonicalRecord(const ProblemRecord& unscrambled, const TextLengths& lengths, const ProblemText& text) {
  // A text that is as long as its field's text is that text's first bytes,
  // so the stored text is the canonical one; what is left to ask is whether
  // the rest of each field is padding and the text in the usual codes.
  std::array<std::string_view, kFieldCount> texts;
  texts[0] = text.question;
  for (int c = 0; c < kChoiceCount; ++c) texts[1 + c] = text.choices[c];
  for (int f = 0; f < kFieldCount; ++f)
    if (lengths.Field[f] != texts[f].size()) return false;
  static const std::array<std::uint8_t, kQuestionSize> kSpaces = [] {
    std::array<std::uint8_t, kQuestionSize> spaces;
    spaces.fill(kPadding);
    return spaces;
  }();
  for (int f = 0; f < kFieldCount; ++f) {
    const std::uint8_t* field = unscrambled.Bytes + FieldOffset(f);
    if (std::memcmp(field + lengths.Field[f], kSpaces.data(), FieldSize(f) - lengths.Field[f]) != 0) return false;
  }
  for (std::string_view t : texts)
    if (!codepage::IsCanonicalCp932(t)) return false;
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
