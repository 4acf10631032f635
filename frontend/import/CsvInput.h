#pragma once
// Reading a problem set back from the CSV mnr2txt writes, also after a
// spreadsheet program saved it: UTF-8 with or without a byte-order mark, or
// CP932 (frontend/import/TextInput.h says how that is decided); CR LF or LF;
// cells quoted or not. Rows may come in any order: each adds a problem to
// the end of its genre. Blank rows (no more than eight empty cells) are
// passed over. A text holding a line break is refused: the genre text export
// would split it. Memory holds one row and the records, whatever the input.

#include <optional>
#include <string_view>

#include "format/ProblemFileWriter.h"
#include "frontend/import/Diagnostics.h"
#include "frontend/import/TextInput.h"

namespace importing {

struct CsvSettings {
  // mnr2txt puts an apostrophe before every text cell that begins with one
  // of = + - @ TAB CR ' (so spreadsheets take no text for a formula): one
  // leading apostrophe of each text cell is taken back. False for a CSV
  // written without that guard.
  bool formulaGuard = true;
  // The header whose blocks hold the bytes a CSV does not carry, and the
  // names of genres without rows; nothing for zeros.
  std::optional<HeaderBytes> templateHeader;
  Encoding encoding = Encoding::kDecide;
};

std::optional<ProblemFileImage> ReadCsv(std::string_view bytes, const CsvSettings& settings,
                                        Diagnostics& diagnostics);

}  // namespace importing
