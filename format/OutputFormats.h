#pragma once
// The outputs a problem set can be turned into, as byte streams.
//
// How to use: give a writer the problem set as a ProblemSource (a
// ProblemReader streaming from a file, or a loaded T_mnrFormat walked by
// LoadedProblems) and a ByteSink that receives the output bytes in order, in
// pieces of up to about 64 KiB:
//
//   std::string csv;
//   LoadedProblems problems(set);
//   const std::size_t invalid = WriteCsv(problems, [&](std::string_view b) { csv += b; });
//
// Every writer returns the number of bytes that were not valid CP932 and were
// written as U+FFFD (0 for Shift-JIS output). If the sink raises, the writer
// stops and the error passes on. Nothing is held beyond one piece and one
// record, so memory stays small for any file. All formats carry exactly the
// texts of the genre files (WriteGenreText in format/GenreText.h), in genre
// and problem order; a source is taken once.

#include <cstddef>
#include <string_view>

#include "format/GenreText.h"

// The eight genre files' contents one after the other, genre 0 first.
std::size_t WriteOneFileText(ProblemSource& problems, TextEncoding encoding, const ByteSink& sink);

// Whether CSV text cells that a spreadsheet would take for a formula are
// kept text. With kOn, every text cell (name, question, choices) that begins
// with '=', '+', '-', '@', TAB or CR gets a leading apostrophe, and so does
// one that already begins with an apostrophe; a reader takes the guard back
// exactly by removing one leading apostrophe from every text cell that
// begins with one. The apostrophe is inside the quotes of a quoted cell; the
// genre number and the header row never get one.
enum class FormulaGuard { kOn, kOff };

// UTF-8 with a byte-order mark, CR LF, RFC 4180 quoting. A header row of the
// columns of format/RowSchema.h, then one row per problem.
std::size_t WriteCsv(ProblemSource& problems, const ByteSink& sink, FormulaGuard guard = FormulaGuard::kOn);

// An .xlsx workbook (format/XlsxOutput.cpp): one worksheet "problems" with
// the CSV's header row and rows. Every text is a string cell, written as it
// is (no formula guard is needed; an empty text leaves its cell empty), the
// genre number a number; the header row is frozen and carries a filter.
// The same problem set always gives the same bytes. The sink must be able to
// rewrite (ByteSink::Rewrite): the zip's headers are written after their data.
std::size_t WriteXlsx(ProblemSource& problems, const ByteSink& sink);

// UTF-8 JSON without a byte-order mark that keeps every byte of the file:
//   {"file":NAME,"format":2,"genres":[{"number":0,"name":"...","count":N,
//     "block":BASE64,"problems":[{"question":"...","choices":["...",...5]},
//     ...]},...8],"trailing":BASE64,"trailingComplete":true}
// with a line break after each problem and genre. "block" is the genre's
// 256-byte header block; a problem whose stored record is not what its texts
// give back written canonically also has "raw": its 256 stored bytes;
// "trailing" holds the bytes after the last record as far as the source
// kept them, "trailingComplete" whether that was all. Base64 with padding.
// fileName is UTF-8; bytes of it that are not UTF-8 appear as U+FFFD.
//
// The JSON keeps at most 1 MiB after the last record: real files carry a few
// bytes there if any, and a huge or sparse file must not make a huge JSON.
inline constexpr std::size_t kJsonTrailingBytesKept = 1 << 20;
std::size_t WriteJson(ProblemSource& problems, std::string_view fileName, const ByteSink& sink);
