#pragma once
// The rows of the CSV and the workbook, and what the CSV reader takes back:
// one row per problem, its columns named and ordered here and only here.

#include <array>
#include <string>
#include <string_view>

#include "format/GenreText.h"

namespace row_schema {

struct Column {
  std::string_view name;  // the header row's cell
  bool text;              // a text of the problem set (the genre number is not)
};

inline constexpr int kFirstField = 2;  // the question's column; the choices follow
inline constexpr int kColumnCount = kFirstField + mnr_layout::kFieldCount;
inline constexpr std::array<Column, kColumnCount> kColumns = {{
    {"genre", false}, {"name", true}, {"question", true},
    {"choice1", true}, {"choice2", true}, {"choice3", true}, {"choice4", true}, {"choice5", true},
}};
inline constexpr int kGenre = 0, kName = 1;

// A problem's cells in column order: the genre's digit, the genre name and
// the six texts (CP932, as the genre file holds them).
using Cells = std::array<std::string_view, kColumnCount>;
inline Cells RowOf(std::string_view genreDigit, std::string_view name, const ProblemText& text) {
  Cells cells;
  cells[kGenre] = genreDigit;
  cells[kName] = name;
  cells[kFirstField] = text.question;
  for (int c = 0; c < mnr_layout::kChoiceCount; ++c) cells[kFirstField + 1 + c] = text.choices[c];
  return cells;
}

// The header row's names joined by separator: "genre,name,question,...".
inline std::string HeaderLine(char separator) {
  std::string line;
  for (const Column& column : kColumns) {
    if (!line.empty()) line += separator;
    line += column.name;
  }
  return line;
}

}  // namespace row_schema
