#include "frontend/import/CsvInput.h"

#include <string>
#include <vector>

#include "frontend/import/ImportTexts.h"
#include "frontend/import/ProblemSetBuilder.h"
#include "frontend/import/TextInput.h"

namespace importing {

namespace {

using namespace mnr_layout;
using import_text::Say;
using texts::Fill;

constexpr int kCells = 3 + kChoiceCount;  // genre, name, question, choices

struct Row {
  int line = 0;  // where the row begins
  std::vector<std::string> cells;
};

// Splits RFC 4180 text into rows: cells separated by commas, rows ended by
// CR LF or LF, quoted cells with "" for a quote and line breaks inside.
class CsvParser {
 public:
  explicit CsvParser(std::string_view text) : text_(text) {}

  // False at the end of the text, or after an error (reported).
  bool Next(Row& row, Diagnostics& diagnostics) {
    if (at_ >= text_.size()) return false;
    row.line = line_;
    row.cells.assign(1, std::string());
    while (at_ < text_.size()) {
      const char c = text_[at_];
      if (c == '"' && row.cells.back().empty() && !quotedCell_) {
        if (!Quoted(row, diagnostics)) return false;
        continue;
      }
      ++at_;
      if (c == ',') {
        row.cells.emplace_back();
        quotedCell_ = false;
      } else if (c == '\n' || (c == '\r' && at_ < text_.size() && text_[at_] == '\n')) {
        if (c == '\r') ++at_;
        ++line_;
        quotedCell_ = false;
        return true;
      } else if (c == '"' || quotedCell_) {
        diagnostics.Error({line_, static_cast<int>(row.cells.size())}, Say(import_text::kCsvStrayQuote));
        return false;
      } else {
        row.cells.back() += c;
      }
    }
    return true;
  }

 private:
  // The quoted cell at at_, up to its closing quote.
  bool Quoted(Row& row, Diagnostics& diagnostics) {
    const int startLine = line_;
    std::string& cell = row.cells.back();
    for (++at_; at_ < text_.size(); ++at_) {
      const char c = text_[at_];
      if (c == '"') {
        if (at_ + 1 < text_.size() && text_[at_ + 1] == '"') {
          cell += '"';
          ++at_;
          continue;
        }
        ++at_;
        quotedCell_ = true;  // only a comma or a line end may follow
        return true;
      }
      if (c == '\n') ++line_;
      cell += c;
    }
    diagnostics.Error({startLine, static_cast<int>(row.cells.size())}, Say(import_text::kCsvQuote));
    return false;
  }

  std::string_view text_;
  std::size_t at_ = 0;
  int line_ = 1;
  bool quotedCell_ = false;
};

bool IsBlank(const Row& row) {
  for (const std::string& cell : row.cells)
    if (!cell.empty()) return false;
  return true;
}

}  // namespace

std::optional<ProblemFileImage> ReadCsv(std::string_view bytes, const CsvSettings& settings,
                                        Diagnostics& diagnostics) {
  std::string text;
  int badLine = 0;
  if (!DecodeText(bytes, text, badLine)) {
    diagnostics.Error({badLine}, Say(import_text::kNotCp932Bytes));
    return std::nullopt;
  }
  CsvParser parser(text);
  Row row;
  static const std::vector<std::string> kHeader = {"genre", "name", "question", "choice1", "choice2",
                                                   "choice3", "choice4", "choice5"};
  if (!parser.Next(row, diagnostics) || row.cells != kHeader) {
    if (!diagnostics.HasErrors()) diagnostics.Error({1}, Say(import_text::kCsvHeader));
    return std::nullopt;
  }
  ProblemSetBuilder builder(settings.templateHeader, diagnostics);
  std::array<std::string, kGenreCount> names;
  std::array<int, kGenreCount> nameLine{};
  while (!diagnostics.Full() && parser.Next(row, diagnostics)) {
    if (IsBlank(row)) continue;  // spreadsheets leave such rows at the end
    if (row.cells.size() != kCells) {
      diagnostics.Error({row.line}, Fill(Say(import_text::kCsvCells), {std::to_string(row.cells.size())}));
      continue;
    }
    const std::string& number = row.cells[0];
    if (number.size() != 1 || number[0] < '0' || number[0] > '7') {
      diagnostics.Error({row.line, 1}, Say(import_text::kCsvGenre));
      continue;
    }
    const int g = number[0] - '0';
    for (int c = 1; c < kCells; ++c) {
      std::string& cell = row.cells[c];
      if (settings.formulaGuard && !cell.empty() && cell[0] == '\'') cell.erase(0, 1);
    }
    const int problem = builder.ProblemCount(g) + 1;
    if (nameLine[g] == 0) {
      names[g] = row.cells[1];
      nameLine[g] = row.line;
      builder.SetName(g, names[g], {row.line, 2, g, 0, Field::kName});
    } else if (row.cells[1] != names[g]) {
      diagnostics.Error({row.line, 2, g, problem, Field::kName},
                        Fill(Say(import_text::kCsvNameDiffers), {std::to_string(g), names[g], std::to_string(nameLine[g])}));
      continue;
    }
    std::array<std::string_view, kFieldCount> texts;
    std::array<Location, kFieldCount> where;
    for (int f = 0; f < kFieldCount; ++f) {
      texts[f] = row.cells[2 + f];
      where[f] = {row.line, 3 + f, g, problem, ProblemField(f)};
    }
    builder.AddProblem(g, texts, where, nullptr);
  }
  if (diagnostics.HasErrors()) return std::nullopt;
  return builder.Finish();
}

}  // namespace importing
