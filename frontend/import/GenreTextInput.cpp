#include "frontend/import/GenreTextInput.h"

#include "frontend/import/ImportTexts.h"
#include "frontend/import/InputBounds.h"
#include "frontend/import/ProblemSetBuilder.h"
#include "frontend/import/TextInput.h"

namespace importing {

using namespace mnr_layout;
using import_text::Say;
using texts::Fill;

namespace {

// The lines of a genre file in turn, without their line ends (CR LF or
// LF); the last line's end is the file's end.
class Lines {
 public:
  explicit Lines(std::string_view text) : rest_(text) {}
  bool Next(std::string_view& line) {
    if (rest_.empty()) return false;
    const std::size_t end = rest_.find('\n');
    line = rest_.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    rest_ = end == std::string_view::npos ? std::string_view() : rest_.substr(end + 1);
    return true;
  }

 private:
  std::string_view rest_;
};

std::size_t CountLines(std::string_view text) {
  Lines lines(text);
  std::size_t count = 0;
  for (std::string_view line; lines.Next(line);) ++count;
  return count;
}

}  // namespace

bool ReadGenreText(std::string_view bytes, int genre, ProblemSetBuilder& builder, Diagnostics& diagnostics,
                   Encoding encoding) {
  TextBytes text;
  if (!ReadAsText(bytes, encoding, genre, text, diagnostics)) return false;
  // Counted first, so that an incomplete file is told as that alone; no
  // line is kept beyond the problem at hand.
  const std::size_t count = CountLines(text.bytes);
  if (count == 0) {
    diagnostics.Error({1, 0, genre}, Say(import_text::kGenreTextNoName));
    return false;
  }
  constexpr std::size_t kProblemLines = 1 + kFieldCount;
  const std::size_t tail = (count - 1) % kProblemLines;
  if (tail != 0) {
    diagnostics.Error({static_cast<int>(count), 0, genre},
                      Fill(Say(import_text::kGenreTextIncomplete), {std::to_string(tail - 1)}));
    return false;
  }
  Lines lines(text.bytes);
  std::string_view line;
  // The next line as UTF-8; false (told) for one longer than any text.
  const auto take = [&](std::string& into, const Location& where) {
    lines.Next(line);
    into.clear();
    if (line.size() > kLongestText) {
      diagnostics.Error(where, Fill(Say(import_text::kTextFarTooLong), {std::to_string(line.size())}));
      return false;
    }
    AppendAsUtf8(text, line, into);
    return true;
  };
  std::string name;
  const Location nameAt{1, 0, genre, 0, Field::kName};
  if (take(name, nameAt)) builder.SetName(genre, name, nameAt);
  std::array<std::string, kFieldCount> utf8;
  for (std::size_t at = 1; at < count && !diagnostics.Full(); at += kProblemLines) {
    const int problem = static_cast<int>(at / kProblemLines) + 1;
    lines.Next(line);
    if (!line.empty()) {
      diagnostics.Error({static_cast<int>(at) + 1, 0, genre, problem}, Say(import_text::kGenreTextEmptyLine));
      for (int f = 0; f < kFieldCount; ++f) lines.Next(line);
      continue;
    }
    std::array<std::string_view, kFieldCount> texts;
    std::array<Location, kFieldCount> where;
    bool taken = true;
    for (int f = 0; f < kFieldCount; ++f) {
      where[f] = {static_cast<int>(at + 2 + f), 0, genre, problem, ProblemField(f)};
      taken = take(utf8[f], where[f]) && taken;
      texts[f] = utf8[f];
    }
    if (taken) builder.AddProblem(genre, texts, where, nullptr);
  }
  return !diagnostics.HasErrors();
}

}  // namespace importing
