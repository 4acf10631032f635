// The page's narrow interface to the core, compiled to WebAssembly: load a
// problem file's bytes, then ask for genre names, counts, lines and the
// output files' bytes; or give a CSV or JSON and get its problem file back. Texts for the screen come as UTF-8, left in one result
// buffer (mnr_result) with their length returned; output files come as
// mnr2txt writes them, streamed in pieces to the page's Module.onPiece.

#include <emscripten/emscripten.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "format/GenreText.h"
#include "format/OutputFormats.h"
#include "format/ProblemFileWriter.h"
#include "format/mnrFormat.h"
#include "frontend/Messages.h"
#include "importing/CsvInput.h"
#include "importing/JsonInput.h"
#include "platform/CodePage.h"

namespace {

T_mnrFormat problems;
std::vector<std::uint8_t> input;
std::string fileName;  // UTF-8, for the JSON output
std::string result;
std::size_t invalidBytes = 0;

EM_JS(void, HandPiece, (const char* data, std::size_t size), {
  Module.onPiece(HEAPU8.slice(data, data + size));
});

const ByteSink kToPage = [](std::string_view bytes) { HandPiece(bytes.data(), bytes.size()); };

TextEncoding Encoding(int utf8) { return utf8 ? TextEncoding::kUtf8 : TextEncoding::kShiftJis; }

void AppendUtf8(std::string_view cp932) { codepage::AppendCp932AsUtf8(cp932, result, invalidBytes); }

std::size_t Utf8Result(std::string_view cp932) {
  result.clear();
  AppendUtf8(cp932);
  return result.size();
}

// What the window says, by number (the page's texts.js names them).
const char* const kMessages[] = {
    messages::kAppTitle,   messages::kNotAProblemFile, messages::kGenreList,
    messages::kNoFile,     messages::kExported,        messages::kExportFailed,
    messages::kWarningTitle,
};

}  // namespace

extern "C" {

// Room for a problem file of size bytes; the page copies the file there.
EMSCRIPTEN_KEEPALIVE std::uint8_t* mnr_input(std::size_t size) {
  input.assign(size, 0);
  return input.data();
}

// Loads the bytes given to mnr_input, then releases them. 1 when they are a
// problem file.
EMSCRIPTEN_KEEPALIVE int mnr_load() {
  problems.KeepTrailingBytes(kJsonTrailingBytesKept);  // for the JSON output
  const bool ok = problems.LoadFromBytes(input, "");
  std::vector<std::uint8_t>().swap(input);
  return ok ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE int mnr_count(int genre) { return problems.ProblemCount(genre); }

// The genre list's line: "g：name" when a file is loaded, "g：" when not.
EMSCRIPTEN_KEEPALIVE std::size_t mnr_genre_line(int genre) {
  return Utf8Result(messages::GenreListLine(genre, problems.Loaded() ? problems.GenreName(genre) : ""));
}

EMSCRIPTEN_KEEPALIVE std::size_t mnr_message(int id) {
  if (id < 0 || id >= static_cast<int>(std::size(kMessages))) return 0;
  return Utf8Result(kMessages[id]);
}

// Every line of the genre's text file in UTF-8, each after its length as
// 4 bytes little-endian.
EMSCRIPTEN_KEEPALIVE std::size_t mnr_genre_lines(int genre) {
  result.clear();
  ForEachGenreLine(problems, genre, [](std::string_view line) {
    const std::size_t at = result.size();
    result.append(4, '\0');
    AppendUtf8(line);
    const std::uint32_t length = static_cast<std::uint32_t>(result.size() - at - 4);
    std::memcpy(&result[at], &length, 4);  // wasm is little-endian
  });
  return result.size();
}

// Room for the problem file's name (UTF-8), as the JSON output gives it.
EMSCRIPTEN_KEEPALIVE char* mnr_file_name(std::size_t size) {
  fileName.assign(size, '\0');
  return fileName.data();
}

// The output writers, each streaming its bytes to the page; utf8 1 asks for
// UTF-8 instead of the Shift-JIS bytes as held.
EMSCRIPTEN_KEEPALIVE void mnr_write_genre(int genre, int utf8) {
  invalidBytes += WriteGenreText(problems, genre, Encoding(utf8), kToPage);
}
EMSCRIPTEN_KEEPALIVE void mnr_write_one_file(int utf8) {
  invalidBytes += WriteOneFileText(problems, Encoding(utf8), kToPage);
}
// The CSV keeps its formula guard on, as mnr2txt's default.
EMSCRIPTEN_KEEPALIVE void mnr_write_csv() { invalidBytes += WriteCsv(problems, kToPage); }
EMSCRIPTEN_KEEPALIVE void mnr_write_xlsx() { invalidBytes += WriteXlsx(problems, kToPage); }
EMSCRIPTEN_KEEPALIVE void mnr_write_json() { invalidBytes += WriteJson(problems, fileName, kToPage); }

// The way back: a CSV or JSON given to mnr_input (its name to
// mnr_file_name) checked as txt2mnr checks it. kind 0: JSON, 1: CSV;
// formulaGuard 1 takes one leading apostrophe from each CSV text cell.
// Returns 1 and streams the problem file's bytes to Module.onPiece, or 0
// and streams nothing; either way the messages (errors and warnings, as
// txt2mnr words them, one a line, UTF-8) are left in the result buffer:
// the return value is their length in bytes, or -1 - that length when
// nothing was written.
EMSCRIPTEN_KEEPALIVE int mnr_write_back(int kind, int formulaGuard) {
  importing::Diagnostics diagnostics;
  const std::string_view bytes(reinterpret_cast<const char*>(input.data()), input.size());
  std::optional<ProblemFileImage> image;
  if (kind == 0) {
    image = importing::ReadJson(bytes, std::nullopt, diagnostics);
  } else {
    importing::CsvSettings settings;
    settings.formulaGuard = formulaGuard != 0;
    image = importing::ReadCsv(bytes, settings, diagnostics);
  }
  std::vector<std::uint8_t>().swap(input);
  result.clear();
  for (const importing::Diagnostic& d : diagnostics.Items()) result += importing::Describe(fileName, d) + "\n";
  if (!image) return -static_cast<int>(result.size()) - 1;
  WriteProblemFile(*image, kToPage);
  return static_cast<int>(result.size());
}

EMSCRIPTEN_KEEPALIVE const char* mnr_result() { return result.data(); }

// Bytes that were not valid CP932 in the UTF-8 texts made so far; resets.
EMSCRIPTEN_KEEPALIVE std::size_t mnr_take_invalid_bytes() {
  const std::size_t n = invalidBytes;
  invalidBytes = 0;
  return n;
}

}  // extern "C"
