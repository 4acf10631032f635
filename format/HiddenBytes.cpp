#include "format/HiddenBytes.h"

#include <string>
#include <string_view>

#include "format/GenreText.h"
#include "format/ProblemFileWriter.h"
#include "platform/CodePage.h"

using namespace mnr_layout;

namespace {

// Whether a reader that ends a text at every stored space at an even
// offset stops inside this text: a plain 0xA0 (stored as a space) at an
// even offset.
bool CutByOlderReaders(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); i += 2)
    if (static_cast<unsigned char>(text[i]) == 0xA0) return true;
  return false;
}

// The findings about one text's bytes (CP932 as held in memory).
void CheckText(std::string_view text, bool scrambled, std::vector<HiddenKind>& kinds) {
  std::string ignored;
  std::size_t invalid = 0;
  codepage::AppendCp932AsUtf8(text, ignored, invalid);
  if (text.find('\0') != std::string_view::npos) kinds.push_back(HiddenKind::kZeroByte);
  if (invalid > 0) kinds.push_back(HiddenKind::kInvalidCp932);
  else if (!codepage::IsCanonicalCp932(text)) kinds.push_back(HiddenKind::kOtherCodes);
  if (!scrambled) return;
  if (!text.empty() && static_cast<unsigned char>(text.back()) <= 0x20) kinds.push_back(HiddenKind::kTrimmedEnd);
  if (CutByOlderReaders(text)) kinds.push_back(HiddenKind::kCutByOlderReaders);
}

bool HasLineBreak(std::string_view text) { return text.find('\n') != std::string_view::npos; }

// Bytes of block g the writer makes itself (zero but for the name, the count
// and block 0's signature) that are not what it makes.
std::size_t HeaderBytesBesides(const HeaderBytes& header, int g) {
  std::size_t found = 0;
  for (std::size_t at = kGenreNameSize; at < kGenreBlockSize; ++at) {
    const bool written = (at >= kProblemCountOffset && at < kProblemCountOffset + 2) ||
                         (g == 0 && at >= kSignatureOffset && at < kSignatureOffset + kSignatureSize);
    if (!written && header[g * kGenreBlockSize + at] != 0) ++found;
  }
  return found;
}

std::size_t BytesAfterName(const HeaderBytes& header, int g) {
  const std::size_t name = mnr_header::GenreName(header, g).size();
  std::size_t found = 0;
  for (std::size_t at = name; at < kGenreNameSize; ++at) found += header[g * kGenreBlockSize + at] != 0;
  return found;
}

void CheckRecord(const ProblemRecord& record, const TextLengths& length, int g, int problem,
                 std::vector<HiddenFinding>& findings) {
  const ProblemText shown = ProblemTextOf(record);
  const bool canonical = IsCanonicalRecord(record, length, shown);
  bool explained = false;  // why the record is not canonical
  std::vector<HiddenKind> kinds;
  for (int f = 0; f < kFieldCount; ++f) {
    const auto* field = reinterpret_cast<const char*>(record.Bytes + FieldOffset(f));
    const std::string_view text(field, length.Field[f]);
    kinds.clear();
    if (HasLineBreak(f == 0 ? shown.question : shown.choices[f - 1])) kinds.push_back(HiddenKind::kLineBreak);
    if (canonical) {
      // Shows whole in a text export; only older readers would miss some.
      if (CutByOlderReaders(text)) kinds.push_back(HiddenKind::kCutByOlderReaders);
    } else {
      const std::size_t lineBreaks = kinds.size();
      const std::string_view after(field + length.Field[f], FieldSize(f) - length.Field[f]);
      if (after.find_first_not_of(static_cast<char>(kPadding)) != std::string_view::npos)
        kinds.push_back(HiddenKind::kNotPadding);
      CheckText(text, true, kinds);
      explained = explained || kinds.size() > lineBreaks;
    }
    for (HiddenKind kind : kinds) findings.push_back({kind, g, problem, f});
  }
  if (!canonical && !explained) findings.push_back({HiddenKind::kOtherwise, g, problem, -1});
}

}  // namespace

std::vector<HiddenFinding> FindHiddenBytes(ProblemSource& problems) {
  std::vector<HiddenFinding> findings;
  std::vector<HiddenKind> kinds;
  const HeaderBytes& header = problems.Header();
  for (int g = 0; g < kGenreCount; ++g) {
    if (const std::size_t n = HeaderBytesBesides(header, g)) findings.push_back({HiddenKind::kHeaderBytes, g, 0, -1, n});
    if (const std::size_t n = BytesAfterName(header, g)) findings.push_back({HiddenKind::kAfterName, g, 0, -1, n});
    const std::string_view name = mnr_header::GenreName(header, g);
    kinds.clear();
    if (HasLineBreak(name)) kinds.push_back(HiddenKind::kLineBreak);
    CheckText(name, false, kinds);
    if (!name.empty() && mnr_header::ListedCount(header, g) == 0) kinds.push_back(HiddenKind::kEmptyGenreName);
    for (HiddenKind kind : kinds) findings.push_back({kind, g, 0, -1});
    Problem p;
    for (int problem = 1; problems.Next(g, p); ++problem) CheckRecord(*p.record, *p.lengths, g, problem, findings);
  }
  const std::size_t trailing = problems.Trailing().size();
  if (trailing > 0) findings.push_back({HiddenKind::kTrailingBytes, -1, 0, -1, trailing});
  return findings;
}

bool LostBy(const HiddenFinding& finding, TextExport exported, bool trailingComplete) {
  switch (finding.kind) {
    case HiddenKind::kCutByOlderReaders: return false;
    case HiddenKind::kEmptyGenreName: return exported == TextExport::kCsv;
    case HiddenKind::kTrailingBytes: return exported != TextExport::kJson || !trailingComplete;
    default: return exported != TextExport::kJson;  // the JSON keeps every other byte
  }
}
