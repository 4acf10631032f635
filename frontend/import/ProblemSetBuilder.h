#pragma once
// Builds the problem file a text form (JSON, CSV, genre text files) or the
// page's edited problem set stands for, from texts in UTF-8. Each text is
// written canonically in CP932 (the codes Windows writes, every text byte
// flipped, the rest padded); bytes the texts do not determine come from what
// the input carried (a JSON's genre blocks and stored records, the page's
// problem file), else from a template's header, else zero. A field whose
// text is the one its carried bytes give keeps those bytes, so a JSON or an
// edited set changes only in the fields that were edited.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "format/ProblemFileWriter.h"
#include "frontend/import/Diagnostics.h"

namespace importing {

// A text holding a line break (LF), which a genre text export would split
// in two: refused (CSV), or warned about and written (JSON, which keeps
// every byte).
enum class LineBreaks { kRefused, kWarned };

class ProblemSetBuilder {
 public:
  // templateHeader: the header whose blocks stand for genres the input
  // carries none of; nothing for zeros.
  ProblemSetBuilder(const std::optional<HeaderBytes>& templateHeader, Diagnostics& diagnostics,
                    LineBreaks lineBreaks = LineBreaks::kRefused);

  // The genre's 256-byte block as stored (its count is set when written).
  void SetBlock(int genre, std::string_view block);
  // The genre's name; kept as the block's bytes when it is the block's name.
  void SetName(int genre, std::string_view utf8, const Location& where);
  // One problem from its six texts (question, choices 1-5), each with its
  // place; raw: its stored record, when the input carried it.
  void AddProblem(int genre, const std::array<std::string_view, mnr_layout::kFieldCount>& utf8,
                  const std::array<Location, mnr_layout::kFieldCount>& where, const ProblemRecord* raw);
  // One problem carried over as it is stored, whatever its texts.
  void AddStoredRecord(int genre, const ProblemRecord& stored);
  // The bytes after the last record.
  void SetTrailing(std::string bytes) { image_.Trailing = std::move(bytes); }
  int ProblemCount(int genre) const { return counts_[genre]; }

  // The finished file, or nothing when an error was reported.
  std::optional<ProblemFileImage> Finish();

 private:
  // The CP932 form of a text that must fit size bytes; false (reported) when
  // it cannot be stored.
  bool Encode(std::string_view utf8, std::size_t size, const Location& where, std::string& cp932);
  // False (refused) for a text with a line break where those are refused.
  bool LineBreakAllowed(std::string_view utf8, const Location& where);

  Diagnostics& diagnostics_;
  LineBreaks lineBreaks_;
  ProblemFileImage image_;
  std::array<int, mnr_layout::kGenreCount> counts_{};
};

}  // namespace importing
