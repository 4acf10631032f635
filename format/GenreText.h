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

#include "format/mnrLayout.h"

class T_mnrFormat;

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
// The records whose problems the genre file lists: none when the count is <= 0.
std::span<const ProblemRecord> ListedRecords(const T_mnrFormat& problems, int genre);

// Calls emit with each line of the genre, without line ends.
void ForEachGenreLine(const T_mnrFormat& problems, int genre,
                      const std::function<void(std::string_view line)>& emit);

// Writes the genre file's bytes to sink. Returns the number of bytes that are
// not valid CP932 and were written as U+FFFD (always 0 for kShiftJis).
std::size_t WriteGenreText(const T_mnrFormat& problems, int genre, TextEncoding encoding,
                           const ByteSink& sink);

// Collects bytes and hands them to a sink in large pieces, so that writers
// may emit field by field without a call per field reaching the sink.
class ChunkedSink {
 public:
  explicit ChunkedSink(const ByteSink& sink) : sink_(sink) {}
  // Bytes are appended here directly; call Flush when done.
  std::string& Buffer() { return buffer_; }
  // Hands the buffer over once it holds a piece's worth.
  void MaybeFlush() {
    if (buffer_.size() >= kPieceSize) Flush();
  }
  void Flush();

 private:
  static constexpr std::size_t kPieceSize = 64 * 1024;
  const ByteSink& sink_;
  std::string buffer_;
};
