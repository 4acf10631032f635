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
  std::string line;  // reused: a large genre has a quarter of a million lines
  const auto numbered = [&](const std::string& number, std::string_view text) {
    line = number;
    line += text.empty() ? std::string_view(kEmptyField) : text;
    emit(line);
  };
  int problem = 0, choice = 0;
  LoadedProblems source(problems);
  ForEachGenreLine(source, genre, [&](GenreLine kind, std::string_view text) {
    switch (kind) {
      case GenreLine::kName:
      case GenreLine::kBeforeProblem: emit(text); break;
      case GenreLine::kQuestion:
        numbered(std::to_string(++problem) + ". ", text);
        choice = 0;
        break;
      case GenreLine::kChoice: numbered("   " + std::to_string(++choice) + ") ", text); break;
    }
  });
}

}  // namespace problems_view
