#pragma once
// The most a text form of a problem file can take, so that the way back
// reads no more than can describe a problem file: a device, an endless
// stream or a huge file is refused, not read. Each bound is above the
// largest that mnr2txt writes for any problem file (asserted below from the
// layout), with room to spare for what a spreadsheet or an editor adds.

#include <cstdint>

#include "format/mnrLayout.h"

namespace importing {

namespace layout = mnr_layout;

// The longest text, in UTF-8, that can fit a field of size CP932 bytes: a
// CP932 byte (a half-width kana) takes at most three bytes of UTF-8.
inline constexpr std::uint64_t LongestText(std::size_t size) { return 3 * size; }
// No field holds a text longer than this; a reader keeps no more of one.
inline constexpr std::uint64_t kLongestText = LongestText(layout::kQuestionSize);

inline constexpr std::uint64_t kMiB = 1 << 20;
inline constexpr std::uint64_t kMostProblems = std::uint64_t{layout::kGenreCount} * layout::kMaxProblemCount;

// CSV: every cell quoted, with a formula guard, every text byte three bytes.
inline constexpr std::uint64_t kMaxCsvBytes = 256 * kMiB;
inline constexpr std::uint64_t kLongestCsvRow =
    3 + (3 + LongestText(layout::kGenreNameSize)) + (3 + LongestText(layout::kQuestionSize)) +
    layout::kChoiceCount * (3 + LongestText(layout::kChoiceSize)) + (layout::kFieldCount + 1) + 2;
static_assert(kMaxCsvBytes > 3 + 100 + kMostProblems * kLongestCsvRow);

// Genre text: the name, then per problem an empty line and six texts.
inline constexpr std::uint64_t kMaxGenreTextBytes = 32 * kMiB;
static_assert(kMaxGenreTextBytes > 3 + LongestText(layout::kGenreNameSize) + 2 +
                                       std::uint64_t{layout::kMaxProblemCount} *
                                           (2 + LongestText(layout::kQuestionSize) + 2 + layout::kChoiceCount * (LongestText(layout::kChoiceSize) + 2)));

// JSON: every text byte a control byte (six bytes escaped), every record's
// stored bytes in base64, 1 MiB after the last record in base64.
inline constexpr std::uint64_t kMaxJsonBytes = 512 * kMiB;
inline constexpr std::uint64_t kLongestJsonProblem =
    64 + 6 * layout::kQuestionSize + layout::kChoiceCount * (3 + 6 * layout::kChoiceSize) + 4 * layout::kRecordSize / 3 + 4;
static_assert(kMaxJsonBytes > 4096 + layout::kGenreCount * (128 + 4 * layout::kGenreBlockSize / 3 + 6 * layout::kGenreNameSize) +
                                  kMostProblems * kLongestJsonProblem + 4 * kMiB / 3 + 4);

}  // namespace importing
