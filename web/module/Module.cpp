// The page's narrow interface to the core, compiled to WebAssembly. The page
// hands it the chosen file's size; the core reads the file's bytes through
// the page (Module.readInput) as it needs them, every request afresh from the
// file, so memory holds a piece of it whatever its size: the genre lines, the
// texts of the problems the page shows, and the output files' bytes, streamed
// in pieces to the page's Module.onPiece (a zip's headers rewritten through
// Module.onRewrite). Or give a CSV or JSON and get its problem file back.
// Texts for the screen come as UTF-8, left in one result buffer
// (mnr_result) with their length returned. An edited set is written by
// Editing.cpp, texts are found by Searching.cpp.

#include <emscripten/emscripten.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "format/GenreExport.h"
#include "format/OutputFormats.h"
#include "format/ProblemFileWriter.h"
#include "format/ProblemReader.h"
#include "format/Unscramble.h"
#include "format/ZipWriter.h"
#include "frontend/Language.h"
#include "frontend/Messages.h"
#include "frontend/import/CsvInput.h"
#include "frontend/import/InputBounds.h"
#include "frontend/import/JsonInput.h"
#include "path/PathText.h"
#include "platform/CodePage.h"
#include "web/module/PageFile.h"

namespace {

using page::AppendCp932Field;
using page::AppendField;
using page::chosen;
using page::invalidBytes;
using page::kToPage;
using page::PageFile;
using page::result;

std::vector<std::uint8_t> backInput;  // a CSV or JSON to write back
bool backAsksEncoding = false;

// Runs write over the loaded problem file, read afresh; nothing when it is
// no longer one.
template <typename Write>
void WithProblems(std::size_t keepTrailing, Write&& write) {
  PageFile file;
  ProblemReader reader(file, keepTrailing);
  if (chosen.loaded && reader.ReadHeader()) write(reader);
}

TextEncoding Encoding(int utf8) { return utf8 ? TextEncoding::kUtf8 : TextEncoding::kShiftJis; }

void AppendUtf8(std::string_view cp932) { codepage::AppendCp932AsUtf8(cp932, result, invalidBytes); }

// What the window says, by the name the page knows it by.
struct NamedMessage {
  std::string_view name;
  const char* text;
};
constexpr NamedMessage kMessages[] = {
    {"appTitle", messages::kAppTitle},         {"notAProblemFile", messages::kNotAProblemFile},
    {"genreList", messages::kGenreList},       {"noFile", messages::kNoFile},
    {"exported", messages::kExported},         {"exportFailed", messages::kExportFailed},
    {"warningTitle", messages::kWarningTitle},
};

// The outputs' names, from the chosen file's: its name without its
// extension, as mnr2txt names them.
enum NameKind { kGenreFile, kOneFile, kCsv, kJson, kXlsx, kZip, kProblemFile };
std::string OutputName(int kind, int genre) {
  const std::string base = RemoveExtension(chosen.name, NameRule::kHost);
  static constexpr const char* kSuffixes[] = {"", ".txt", ".csv", ".json", ".xlsx", ".zip", ".mnr"};
  if (kind == kGenreFile) return GenreFileName(base, genre);
  return base + kSuffixes[std::clamp(kind, 1, static_cast<int>(std::size(kSuffixes)) - 1)];
}

}  // namespace

extern "C" {

// Room for the chosen file's name (UTF-8); the page copies it there.
EMSCRIPTEN_KEEPALIVE char* mnr_file_name(std::size_t size) {
  chosen.name.assign(size, '\0');
  return chosen.name.data();
}

// Reads the header of the chosen file (size bytes, its name given to
// mnr_file_name) through Module.readInput; 1 when it is a problem file. What
// it is not, or a read that fails, leaves no file loaded.
EMSCRIPTEN_KEEPALIVE int mnr_load(double size) {
  chosen.loaded = false;
  chosen.size = size;
  PageFile file;
  ProblemReader reader(file);
  chosen.loaded = reader.ReadHeader();
  chosen.header = reader.Header();
  return chosen.loaded ? 1 : 0;
}

// The name of an output (NameKind; genre for a genre file), in the result buffer.
EMSCRIPTEN_KEEPALIVE std::size_t mnr_output_name(int kind, int genre) {
  result = OutputName(kind, genre);
  return result.size();
}

// The genre list's line: "g：name" when a file is loaded, "g：" when not.
EMSCRIPTEN_KEEPALIVE std::size_t mnr_genre_line(int genre) {
  result.clear();
  AppendUtf8(messages::GenreListLine(genre, chosen.loaded ? std::string(mnr_header::GenreName(chosen.header, genre)) : ""));
  return result.size();
}

// Every message as a field holding its name, then a field holding its text.
EMSCRIPTEN_KEEPALIVE std::size_t mnr_messages() {
  result.clear();
  for (const NamedMessage& message : kMessages) {
    AppendField(message.name);
    AppendCp932Field(message.text);
  }
  return result.size();
}

// How many problems the genre lists (none for a count <= 0).
EMSCRIPTEN_KEEPALIVE int mnr_problem_count(int genre) {
  return chosen.loaded ? mnr_header::ListedCount(chosen.header, genre) : 0;
}

EMSCRIPTEN_KEEPALIVE int mnr_choice_count() { return mnr_layout::kChoiceCount; }

// The genre's name (UTF-8), as the name field shows it: untrimmed, up to its
// first zero byte.
EMSCRIPTEN_KEEPALIVE std::size_t mnr_genre_name(int genre) {
  result.clear();
  if (chosen.loaded) AppendUtf8(mnr_header::GenreName(chosen.header, genre));
  return result.size();
}

// Room for what the page hands over for a call (problem numbers, texts);
// the page copies it there.
EMSCRIPTEN_KEEPALIVE std::uint8_t* mnr_buffer(std::size_t size) {
  page::input.assign(size, 0);
  return page::input.data();
}

// The problems whose numbers (page::kRefGenreFactor) the page gave to
// mnr_buffer, count of them: for each, its question and then its choices
// (mnr_choice_count of them) as fields, the texts of the genre file.
EMSCRIPTEN_KEEPALIVE std::size_t mnr_problem_texts(int count) {
  result.clear();
  page::StoredRecords records;
  for (int n = 0; n < count; ++n) {
    std::int32_t ref;
    std::memcpy(&ref, page::input.data() + 4 * n, 4);
    ProblemRecord record = records.At(ref);
    TextLengths lengths;
    UnscrambleRecord(record, lengths);
    const ProblemText text = ProblemTextOf(record);
    AppendCp932Field(text.question);
    for (std::string_view choice : text.choices) AppendCp932Field(choice);
  }
  return result.size();
}

// The bytes the loaded problem file's header and records take: what
// follows is kept as it is when an edited set is written.
EMSCRIPTEN_KEEPALIVE double mnr_used_size() {
  return chosen.loaded ? static_cast<double>(mnr_header::UsedSize(chosen.header)) : 0;
}

// For each character of the basic plane (65,536 bytes, by code point), how
// many bytes it takes in CP932 as texts are written back, 0 when it has no
// CP932 form: the page shows each field's size as the user types.
EMSCRIPTEN_KEEPALIVE std::size_t mnr_cp932_sizes() {
  result.assign(0x10000, '\0');
  std::string utf8, cp932;
  std::size_t failedAt = 0;
  for (std::uint32_t code = 0; code < 0x10000; ++code) {
    if (code >= 0xD800 && code <= 0xDFFF) continue;  // no character alone
    utf8.clear();
    if (code < 0x80) {
      utf8 += static_cast<char>(code);
    } else if (code < 0x800) {
      utf8 += static_cast<char>(0xC0 | code >> 6);
      utf8 += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      utf8 += static_cast<char>(0xE0 | code >> 12);
      utf8 += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (code & 0x3F));
    }
    cp932.clear();
    if (codepage::AppendUtf8AsCp932(utf8, cp932, failedAt)) result[code] = static_cast<char>(cp932.size());
  }
  return result.size();
}

// The language the core's messages are said in: 1 Japanese, 0 English.
EMSCRIPTEN_KEEPALIVE void mnr_use_language(int japanese) {
  texts::UseLanguage(japanese ? texts::Language::kJapanese : texts::Language::kEnglish);
}

EMSCRIPTEN_KEEPALIVE std::size_t mnr_version() {
  result = MUNEMOJI_VERSION;
  return result.size();
}

// The output writers, each streaming its bytes to the page; utf8 1 asks for
// UTF-8 instead of the Shift-JIS bytes as held.
EMSCRIPTEN_KEEPALIVE void mnr_write_genre(int genre, int utf8) {
  WithProblems(0, [&](ProblemSource& problems) { invalidBytes += WriteGenreText(problems, genre, Encoding(utf8), kToPage); });
}
// The eight genre files in one zip, stamped with the page's local time (DOS
// form) and marked as files to unpack.
EMSCRIPTEN_KEEPALIVE void mnr_write_genre_zip(int utf8, int dosTime, int dosDate) {
  WithProblems(0, [&](ProblemSource& problems) {
    ZipWriter zip(kToPage, {static_cast<std::uint16_t>(dosTime), static_cast<std::uint16_t>(dosDate), true});
    for (int g = 0; g < mnr_layout::kGenreCount; ++g) {
      zip.AddStreamed(OutputName(kGenreFile, g), [&](const ByteSink& part) {
        invalidBytes += WriteGenreText(problems, g, Encoding(utf8), part);
      });
    }
    zip.Finish();
  });
}
EMSCRIPTEN_KEEPALIVE void mnr_write_one_file(int utf8) {
  WithProblems(0, [&](ProblemSource& problems) { invalidBytes += WriteOneFileText(problems, Encoding(utf8), kToPage); });
}
// The CSV keeps its formula guard on, as mnr2txt's default.
EMSCRIPTEN_KEEPALIVE void mnr_write_csv() {
  WithProblems(0, [&](ProblemSource& problems) { invalidBytes += WriteCsv(problems, kToPage); });
}
EMSCRIPTEN_KEEPALIVE void mnr_write_xlsx() {
  WithProblems(0, [&](ProblemSource& problems) { invalidBytes += WriteXlsx(problems, kToPage); });
}
// The JSON keeps the bytes after the last record, as mnr2txt's does.
EMSCRIPTEN_KEEPALIVE void mnr_write_json() {
  WithProblems(kJsonTrailingBytesKept, [&](ProblemSource& problems) {
    invalidBytes += WriteJson(problems, chosen.name, kToPage);
  });
}

// Room for a CSV or JSON of size bytes to write back; the page copies it there.
EMSCRIPTEN_KEEPALIVE std::uint8_t* mnr_back_input(std::size_t size) {
  backInput.assign(size, 0);
  return backInput.data();
}

// The most of a CSV (kind 1) or JSON (kind 0) the way back reads: more
// than any that can describe a problem file, as txt2mnr's bound.
EMSCRIPTEN_KEEPALIVE double mnr_back_limit(int kind) {
  return static_cast<double>(kind == 0 ? importing::kMaxJsonBytes : importing::kMaxCsvBytes);
}

// The way back: a CSV or JSON given to mnr_back_input (its name to
// mnr_file_name) checked as txt2mnr checks it. kind 0: JSON, 1: CSV;
// formulaGuard 1 takes one leading apostrophe from each CSV text cell;
// encoding 0 decides how a CSV reads, 1 reads it as UTF-8, 2 as CP932 (as
// txt2mnr's --encoding). Returns 1 and streams the problem file's bytes to
// Module.onPiece, or 0 and streams nothing; either way the messages (errors
// and warnings, as txt2mnr words them, one a line, UTF-8, the texts older
// readers cut counted in one line at the end) are left in the result
// buffer: the return value is their length in bytes, or -1 - that length
// when nothing was written. They are in the page's language
// (mnr_use_language).
EMSCRIPTEN_KEEPALIVE int mnr_write_back(int kind, int formulaGuard, int encoding) {
  importing::Diagnostics diagnostics;
  const std::string_view bytes(reinterpret_cast<const char*>(backInput.data()), backInput.size());
  std::optional<ProblemFileImage> image;
  if (kind == 0) {
    image = importing::ReadJson(bytes, std::nullopt, diagnostics);
  } else {
    importing::CsvSettings settings;
    settings.formulaGuard = formulaGuard != 0;
    settings.encoding = encoding == 1 ? importing::Encoding::kUtf8
                        : encoding == 2 ? importing::Encoding::kCp932
                                        : importing::Encoding::kDecide;
    image = importing::ReadCsv(bytes, settings, diagnostics);
  }
  std::vector<std::uint8_t>().swap(backInput);
  backAsksEncoding = diagnostics.EncodingAsked();
  result.clear();
  for (const importing::Diagnostic& d : diagnostics.Items()) result += importing::Describe(chosen.name, d) + "\n";
  if (!image) return -static_cast<int>(result.size()) - 1;
  if (diagnostics.OlderReadersCuts() > 0) result += importing::OlderReadersSummary(diagnostics.OlderReadersCuts()) + "\n";
  WriteProblemFile(*image, kToPage);
  return static_cast<int>(result.size());
}

// 1 when the last CSV written back reads both as UTF-8 and as CP932, and
// the page must ask which.
EMSCRIPTEN_KEEPALIVE int mnr_back_asks_encoding() { return backAsksEncoding ? 1 : 0; }

EMSCRIPTEN_KEEPALIVE const char* mnr_result() { return result.data(); }
// The result's length, for calls that return something else.
EMSCRIPTEN_KEEPALIVE std::size_t mnr_result_size() { return result.size(); }

// Bytes that were not valid CP932 in the UTF-8 texts made so far; resets.
EMSCRIPTEN_KEEPALIVE std::size_t mnr_take_invalid_bytes() {
  const std::size_t n = invalidBytes;
  invalidBytes = 0;
  return n;
}

}  // extern "C"
