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

void CheckRecord(const ProblemRecord& record, const TextLengths& length, int g, int problem,
                 std::vector<HiddenFinding>& findings) {
  const bool canonical = IsCanonicalRecord(record, length);
  const std::size_t before = findings.size();
  std::vector<HiddenKind> kinds;
  for (int f = 0; f < kFieldCount; ++f) {
    const auto* field = reinterpret_cast<const char*>(record.Bytes + FieldOffset(f));
    const std::string_view text(field, length.Field[f]);
    kinds.clear();
    if (canonical) {
      // Shows whole in a text export; only older readers would miss some.
      if (CutByOlderReaders(text)) kinds.push_back(HiddenKind::kCutByOlderReaders);
    } else {
      const std::string_view after(field + length.Field[f], FieldSize(f) - length.Field[f]);
      if (after.find_first_not_of(static_cast<char>(kPadding)) != std::string_view::npos)
        kinds.push_back(HiddenKind::kNotPadding);
      CheckText(text, true, kinds);
    }
    for (HiddenKind kind : kinds) findings.push_back({kind, g, problem, f});
  }
  if (!canonical && findings.size() == before) findings.push_back({HiddenKind::kOtherwise, g, problem, -1});
}

}  // namespace

std::vector<HiddenFinding> FindHiddenBytes(const T_mnrFormat& problems) {
  std::vector<HiddenFinding> findings;
  std::vector<HiddenKind> kinds;
  for (int g = 0; g < kGenreCount; ++g) {
    kinds.clear();
    CheckText(problems.GenreName(g), false, kinds);
    for (HiddenKind kind : kinds) findings.push_back({kind, g, 0, -1});
    const TextLengths* lengths = problems.Quiz(g).Lengths.data();
    int problem = 0;
    for (const ProblemRecord& record : ListedRecords(problems, g)) CheckRecord(record, *lengths++, g, ++problem, findings);
  }
  const std::size_t trailing = problems.TrailingBytes().size();
  if (trailing > 0) findings.push_back({HiddenKind::kTrailingBytes, -1, 0, -1, trailing});
  return findings;
}
