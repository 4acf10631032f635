#include "frontend/ProblemsView.h"

#include "format/GenreText.h"
#include "format/mnrFormat.h"
#include "frontend/Messages.h"

namespace problems_view {

namespace {

// （空欄）
constexpr char kEmptyField[] = "\x81\x69\x8B\xF3\x97\x93\x81\x6A";

}  // namespace

std::string Title(const T_mnrFormat& problems, int genre) {
  return messages::GenreListLine(genre, problems.GenreName(genre));
}

void ForEachLine(const T_mnrFormat& problems, int genre,
                 const std::function<void(std::string_view line)>& emit) {
  emit(problems.GenreName(genre));
  std::string line;  // reused: a large genre has a quarter of a million lines
  const auto numbered = [&](const std::string& number, std::string_view text) {
    line = number;
    line += text.empty() ? std::string_view(kEmptyField) : text;
    emit(line);
  };
  int n = 0;
  for (const ProblemRecord& record : ListedRecords(problems, genre)) {
    const ProblemText text = ProblemTextOf(record);
    emit({});
    numbered(std::to_string(++n) + ". ", text.question);
    for (int c = 0; c < mnr_layout::kChoiceCount; ++c) {
      numbered("   " + std::to_string(c + 1) + ") ", text.choices[c]);
    }
  }
}

}  // namespace problems_view
