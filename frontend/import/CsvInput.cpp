#include "frontend/import/CsvInput.h"

#include <array>
#include <string>

#include "format/RowSchema.h"
#include "frontend/import/ImportTexts.h"
#include "frontend/import/InputBounds.h"
#include "frontend/import/ProblemSetBuilder.h"

namespace importing {

namespace {

using namespace mnr_layout;
using import_text::Say;
using texts::Fill;

constexpr int kCells = row_schema::kColumnCount;
// The most of a cell that is kept: the longest text and a guard's
// apostrophe. A longer cell is refused by its length alone.
constexpr std::size_t kKeptCell = kLongestText + 1;

// One row as the parser found it: at most kCells cells, each as its bytes
// (the input's encoding), cut at kKeptCell, with its whole length.
struct Row {
  int line = 0;  // where the row begins
  int cells = 0;  // how many it has: those after the eighth are counted, not kept
  std::array<std::string, kCells> bytes;
  std::array<std::size_t, kCells> length{};

  bool Blank() const {
    for (int c = 0; c < cells && c < kCells; ++c)
      if (length[c] > 0) return false;
    return cells <= kCells;
  }
};

// Splits RFC 4180 text into rows: cells separated by commas, rows ended by
// CR LF or LF, quoted cells with "" for a quote and line breaks inside.
// Memory holds one row, whatever the input holds.
class CsvParser {
 public:
  explicit CsvParser(std::string_view text) : text_(text) {}

  // False at the end of the text, or after an error (reported).
  bool Next(Row& row, Diagnostics& diagnostics) {
    if (at_ >= text_.size()) return false;
    row.line = line_;
    row.cells = 1;
    Clear(row, 0);
    quotedCell_ = false;
    while (at_ < text_.size()) {
      const char c = text_[at_];
      if (c == '"' && !quotedCell_ && Cell(row) == 0) {
        if (!Quoted(row, diagnostics)) return false;
        continue;
      }
      ++at_;
      if (c == ',') {
        if (++row.cells <= kCells) Clear(row, row.cells - 1);
        quotedCell_ = false;
      } else if (c == '\n' || (c == '\r' && at_ < text_.size() && text_[at_] == '\n')) {
        if (c == '\r') ++at_;
        ++line_;
        return true;
      } else if (c == '"' || quotedCell_) {
        diagnostics.Error({line_, row.cells}, Say(import_text::kCsvStrayQuote));
        return false;
      } else {
        Add(row, c);
      }
    }
    return true;
  }

 private:
  static void Clear(Row& row, int cell) {
    row.bytes[cell].clear();
    row.length[cell] = 0;
  }
  static std::size_t Cell(const Row& row) { return row.cells <= kCells ? row.length[row.cells - 1] : 0; }
  static void Add(Row& row, char c) {
    if (row.cells > kCells) return;
    const int cell = row.cells - 1;
    if (row.length[cell]++ < kKeptCell) row.bytes[cell] += c;
  }

  // The quoted cell at at_, up to its closing quote.
  bool Quoted(Row& row, Diagnostics& diagnostics) {
    const int startLine = line_;
    for (++at_; at_ < text_.size(); ++at_) {
      const char c = text_[at_];
      if (c == '"') {
        if (at_ + 1 < text_.size() && text_[at_ + 1] == '"') {
          Add(row, '"');
          ++at_;
          continue;
        }
        ++at_;
        quotedCell_ = true;  // only a comma or a line end may follow
        return true;
      }
      if (c == '\n') ++line_;
      Add(row, c);
    }
    diagnostics.Error({startLine, row.cells}, Say(import_text::kCsvQuote));
    return false;
  }

  std::string_view text_;
  std::size_t at_ = 0;
  int line_ = 1;
  bool quotedCell_ = false;
};

bool IsHeader(const Row& row) {
  if (row.cells != kCells) return false;
  for (int c = 0; c < kCells; ++c)
    if (row.bytes[c] != row_schema::kColumns[c].name) return false;
  return true;
}

}  // namespace

std::optional<ProblemFileImage> ReadCsv(std::string_view bytes, const CsvSettings& settings,
                                        Diagnostics& diagnostics) {
  TextBytes text;
  if (!ReadAsText(bytes, settings.encoding, -1, text, diagnostics)) return std::nullopt;
  CsvParser parser(text.bytes);
  Row row;
  if (!parser.Next(row, diagnostics) || !IsHeader(row)) {
    if (diagnostics.HasErrors()) return std::nullopt;
    diagnostics.Error({1, row.cells > kCells ? kCells + 1 : 0}, Fill(Say(import_text::kCsvHeader), {row_schema::HeaderLine(',')}));
    return std::nullopt;
  }
  ProblemSetBuilder builder(settings.templateHeader, diagnostics, LineBreaks::kRefused);
  std::array<std::string, kGenreCount> names;
  std::array<int, kGenreCount> nameLine{};
  std::array<std::string, kCells> cells;
  while (!diagnostics.Full() && parser.Next(row, diagnostics)) {
    if (row.Blank()) continue;  // spreadsheets leave such rows at the end
    if (row.cells != kCells) {
      // Where a ninth cell begins, for a row too long to look at.
      diagnostics.Error({row.line, row.cells > kCells ? kCells + 1 : 0},
                        Fill(Say(import_text::kCsvCells), {std::to_string(row.cells)}));
      continue;
    }
    const std::string& number = row.bytes[row_schema::kGenre];
    if (number.size() != 1 || number[0] < '0' || number[0] > '7') {
      diagnostics.Error({row.line, 1}, Say(import_text::kCsvGenre));
      continue;
    }
    const int g = number[0] - '0';
    const int problem = builder.ProblemCount(g) + 1;
    const auto where = [&](int c) {
      return Location{row.line, c + 1, g, c == row_schema::kName ? 0 : problem,
                      c == row_schema::kName ? Field::kName : ProblemField(c - row_schema::kFirstField)};
    };
    bool tooLong = false;
    for (int c = 1; c < kCells; ++c) {
      if (row.length[c] > kKeptCell) {
        diagnostics.Error(where(c), Fill(Say(import_text::kTextFarTooLong), {std::to_string(row.length[c])}));
        tooLong = true;
        continue;
      }
      cells[c].clear();
      AppendAsUtf8(text, row.bytes[c], cells[c]);
      if (settings.formulaGuard && !cells[c].empty() && cells[c][0] == '\'') cells[c].erase(0, 1);
    }
    if (tooLong) continue;
    const std::string& name = cells[row_schema::kName];
    if (nameLine[g] == 0) {
      names[g] = name;
      nameLine[g] = row.line;
      builder.SetName(g, names[g], where(row_schema::kName));
    } else if (name != names[g]) {
      Location at = where(row_schema::kName);
      at.problem = problem;
      diagnostics.Error(at, Fill(Say(import_text::kCsvNameDiffers), {std::to_string(g), names[g], std::to_string(nameLine[g])}));
      continue;
    }
    std::array<std::string_view, kFieldCount> texts;
    std::array<Location, kFieldCount> places;
    for (int f = 0; f < kFieldCount; ++f) {
      texts[f] = cells[row_schema::kFirstField + f];
      places[f] = where(row_schema::kFirstField + f);
    }
    builder.AddProblem(g, texts, places, nullptr);
  }
  if (diagnostics.HasErrors()) return std::nullopt;
  return builder.Finish();
}

}  // namespace importing
