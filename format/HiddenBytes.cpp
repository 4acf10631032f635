#include "format/HiddenBytes.h"

#include <string>
#include <string_view>

#include "format/GenreText.h"
#include "format/ProblemFileWriter.h"
#include "platform/CodePage.h"

using namespace mnr_layout;

namespace {

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
  for (std::size_t i = 0; i < text.size(); i += 2) {
    if (static_cast<unsigned char>(text[i]) == 0xA0) {
      kinds.push_back(HiddenKind::kCutByOlderReaders);
      break;
    }
  }
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
    for (const ProblemRecord& record : ListedRecords(problems, g)) {
      const TextLengths& length = *lengths++;
      ++problem;
      if (IsCanonicalRecord(record, length)) continue;
      const std::size_t before = findings.size();
      for (int f = 0; f < kFieldCount; ++f) {
        const auto* field = reinterpret_cast<const char*>(record.Bytes + FieldOffset(f));
        const std::string_view text(field, length.Field[f]);
        kinds.clear();
        CheckText(text, true, kinds);
        const std::string_view after(field + length.Field[f], FieldSize(f) - length.Field[f]);
        if (after.find_first_not_of(static_cast<char>(kPadding)) != std::string_view::npos)
          kinds.insert(kinds.begin(), HiddenKind::kNotPadding);
        for (HiddenKind kind : kinds) findings.push_back({kind, g, problem, f});
      }
      if (findings.size() == before) findings.push_back({HiddenKind::kOtherwise, g, problem, -1});
    }
  }
  const std::size_t trailing = problems.TrailingBytes().size();
  if (trailing > 0) findings.push_back({HiddenKind::kTrailingBytes, -1, 0, -1, trailing});
  return findings;
}
