#include "frontend/import/GenreTextInput.h"

#include <vector>

#include "frontend/import/ImportTexts.h"
#include "frontend/import/ProblemSetBuilder.h"
#include "frontend/import/TextInput.h"

namespace importing {

using namespace mnr_layout;
using import_text::Say;
using texts::Fill;

bool ReadGenreText(std::string_view bytes, int genre, ProblemSetBuilder& builder, Diagnostics& diagnostics) {
  std::string text;
  int badLine = 0;
  if (!DecodeText(bytes, text, badLine)) {
    diagnostics.Error({badLine, 0, genre}, Say(import_text::kNotCp932Bytes));
    return false;
  }
  // Lines end with CR LF (or LF); the last line's end is the file's end.
  std::vector<std::string_view> lines;
  std::string_view rest = text;
  while (!rest.empty()) {
    std::size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  }
  if (lines.empty()) {
    diagnostics.Error({1, 0, genre}, Say(import_text::kGenreTextNoName));
    return false;
  }
  constexpr std::size_t kProblemLines = 1 + kFieldCount;
  const std::size_t tail = (lines.size() - 1) % kProblemLines;
  if (tail != 0) {
    diagnostics.Error({static_cast<int>(lines.size()), 0, genre},
                      Fill(Say(import_text::kGenreTextIncomplete), {std::to_string(tail - 1)}));
    return false;
  }
  builder.SetName(genre, lines[0], {1, 0, genre, 0, Field::kName});
  for (std::size_t at = 1; at < lines.size() && !diagnostics.Full(); at += kProblemLines) {
    const int problem = static_cast<int>(at / kProblemLines) + 1;
    if (!lines[at].empty()) {
      diagnostics.Error({static_cast<int>(at) + 1, 0, genre, problem}, Say(import_text::kGenreTextEmptyLine));
      continue;
    }
    std::array<std::string_view, kFieldCount> texts;
    std::array<Location, kFieldCount> where;
    for (int f = 0; f < kFieldCount; ++f) {
      texts[f] = lines[at + 1 + f];
      where[f] = {static_cast<int>(at + 2 + f), 0, genre, problem, ProblemField(f)};
    }
    builder.AddProblem(genre, texts, where, nullptr);
  }
  return !diagnostics.HasErrors();
}

}  // namespace importing
