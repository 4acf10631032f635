#pragma once
// The text of one genre file, defined once for every output: the genre name,
// then per problem an empty line, the question and five choices, each
// trimmed of trailing bytes <= 0x20, every line ended with CR LF. Bytes as
// held in memory (Shift-JIS), or re-encoded as UTF-8.

#include <array>
#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "format/mnrFormat.h"

// Receives output bytes in order, in pieces of any size. May raise; the
// writer then stops.
using ByteSink = std::function<void(std::string_view bytes)>;

enum class TextEncoding { kShiftJis, kUtf8 };

// One problem's lines of the genre file: the question and the five choices.
struct ProblemText {
  std::string_view question;
  std::array<std::string_view, mnr_layout::kChoiceCount> choices;
};
ProblemText ProblemTextOf(const ProblemRecord& record);
// Every way of finding a record's texts that this build can run: the one
// ProblemTextOf takes first, the portable one last. All must give the same
// texts; the tests compare them.
struct ProblemTextPath {
  const char* Name;
  ProblemText (*Of)(const ProblemRecord& record);
};
std::span<const ProblemTextPath> ProblemTextPaths();
// The records whose problems the genre file lists (T_mnrFormat::ListedCount).
inline std::span<const ProblemRecord> ListedRecords(const T_mnrFormat& problems, int genre) {
  if (problems.ListedCount(genre) == 0) return {};
  return problems.Quiz(genre).Records;
}

// What a line of the genre file is.
enum class GenreLine { kName, kBeforeProblem, kQuestion, kChoice };

// Calls line(kind, text) for each line of the genre file in order, without
// line ends: the name; then per problem the empty line before it, the
// question and the five choices. Every front end that shows or writes the
// genre's lines goes through here (inlined, so a writer pays no call per
// line).
template <typename Line>
void ForEachGenreLine(const T_mnrFormat& problems, int genre, Line&& line) {
  line(GenreLine::kName, std::string_view(problems.GenreName(genre)));
  for (const ProblemRecord& record : ListedRecords(problems, genre)) {
    const ProblemText text = ProblemTextOf(record);
    line(GenreLine::kBeforeProblem, std::string_view());
    line(GenreLine::kQuestion, text.question);
    for (std::string_view choice : text.choices) line(GenreLine::kChoice, choice);
  }
}

// Writes the genre file's bytes to sink. Returns the number of bytes that are
// not valid CP932 and were written as U+FFFD (always 0 for kShiftJis).
std::size_t WriteGenreText(const T_mnrFormat& problems, int genre, TextEncoding encoding,
                           const ByteSink& sink);

// Collects bytes and hands them to a sink in large pieces, so that writers
// may emit field by field without a call per field reaching the sink.
class ChunkedSink {
 public:
  static constexpr std::size_t kPieceSize = 64 * 1024;

  explicit ChunkedSink(const ByteSink& sink);
  ~ChunkedSink();
  ChunkedSink(const ChunkedSink&) = delete;
  ChunkedSink& operator=(const ChunkedSink&) = delete;
  // Bytes are appended here directly; call Flush when done.
  std::string& Buffer() { return buffer_; }
  // Hands over whole pieces once the buffer holds one, keeping the rest:
  // a file that writes in pieces of this size then writes each straight
  // from here, without copying it into a buffer of its own.
  void MaybeFlush() {
    if (buffer_.size() >= kPieceSize) FlushPieces();
  }
  // Hands over all that is there.
  void Flush();

 private:
  void FlushPieces();

  const ByteSink& sink_;
  std::string buffer_;
};
