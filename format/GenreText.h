#pragma once
// The text of one genre file, defined once for every output: the genre name,
// then per problem an empty line, the question and five choices, each
// trimmed of trailing bytes <= 0x20, every line ended with CR LF. Bytes as
// held in memory (Shift-JIS), or re-encoded as UTF-8.

#include <array>
#include <cstddef>
#include <string_view>

#include "format/ByteSink.h"
#include "format/ProblemSource.h"

enum class TextEncoding { kShiftJis, kUtf8 };

// One problem's lines of the genre file: the question and the five choices.
struct ProblemText {
  std::string_view question;
  std::array<std::string_view, mnr_layout::kChoiceCount> choices;
};
ProblemText ProblemTextOf(const ProblemRecord& record);

// What a line of the genre file is.
enum class GenreLine { kName, kBeforeProblem, kQuestion, kChoice };

// Calls line(kind, text) for each line of the genre file in order, without
// line ends: the name; then per problem the empty line before it, the
// question and the five choices. Every front end that shows or writes the
// genre's lines goes through here.
template <typename Line>
void ForEachGenreLine(ProblemSource& problems, int genre, Line&& line) {
  line(GenreLine::kName, mnr_header::GenreName(problems.Header(), genre));
  Problem problem;
  while (problems.Next(genre, problem)) {
    const ProblemText text = ProblemTextOf(*problem.record);
    line(GenreLine::kBeforeProblem, std::string_view());
    line(GenreLine::kQuestion, text.question);
    for (std::string_view choice : text.choices) line(GenreLine::kChoice, choice);
  }
}

// Writes the genre file's bytes to sink. Returns the number of bytes that are
// not valid CP932 and were written as U+FFFD (always 0 for kShiftJis).
std::size_t WriteGenreText(ProblemSource& problems, int genre, TextEncoding encoding, const ByteSink& sink);
