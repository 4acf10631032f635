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

bool IsCanonicalRecord(const ProblemRecord& unscrambled, const TextLengths& lengths, const ProblemText& text) {
  bool textsCanonical = codepage::IsCanonicalCp932(text.question);
  for (std::string_view choice : text.choices) textsCanonical = textsCanonical && codepage::IsCanonicalCp932(choice);
  return IsCanonicalRecord(unscrambled, lengths, text, textsCanonical);
}

bool IsCanonicalRecord(const ProblemRecord& unscrambled, const TextLengths& lengths, const ProblemText& text,
                       bool textsCanonical) {
  // A text that is as long as its field's text is that text's first bytes,
  // so the stored text is the canonical one; what is left to ask is whether
  // the rest of each field is padding.
  if (!textsCanonical) return false;
  for (int f = 0; f < kFieldCount; ++f) {
    const std::string_view shown = f == 0 ? text.question : text.choices[f - 1];
    if (lengths.Field[f] != shown.size()) return false;
    const std::uint8_t* field = unscrambled.Bytes + FieldOffset(f);
    if (std::any_of(field + lengths.Field[f], field + FieldSize(f), [](std::uint8_t b) { return b != kPadding; }))
      return false;
  }
  return true;
}

void WriteProblemFile(const ProblemFileImage& image, const ByteSink& sink) {
  HeaderBytes header = image.Header;
  for (int g = 0; g < kGenreCount; ++g) {
    const std::size_t count = image.Records[g].size();
    if (count > static_cast<std::size_t>(kMaxProblemCount)) throw std::length_error("too many problems");
    mnr_header::SetProblemCount(header, g, static_cast<int>(count));
  }
  mnr_header::SetSignature(header);
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
