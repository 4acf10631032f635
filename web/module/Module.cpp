// The page's narrow interface to the core, compiled to WebAssembly: load a
// problem file read piece by piece from the page, then ask for genre lines,
// a genre's problems and the output files' bytes; or give a CSV or JSON and
// get its problem file back. Texts for the screen come as UTF-8, left in one
// result buffer (mnr_result) with their length returned; output files come
// as mnr2txt writes them, streamed in pieces to the page's Module.onPiece.

#include <emscripten/emscripten.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "format/Crc32.h"
#include "format/GenreText.h"
#include "format/OutputFormats.h"
#include "format/ProblemFileWriter.h"
#include "format/mnrFormat.h"
#include "frontend/Language.h"
#include "frontend/Messages.h"
#include "frontend/import/CsvInput.h"
#include "frontend/import/JsonInput.h"
#include "platform/CodePage.h"

namespace {

T_mnrFormat problems;
std::string fileName;  // UTF-8, for the JSON output
std::vector<std::uint8_t> backInput;  // a CSV or JSON to write back
std::string result;
std::size_t invalidBytes = 0;
std::uint32_t genreCrc = 0;  // of the genre text handed to the page since the last mnr_take_crc

EM_JS(void, HandPiece, (const char* data, std::size_t size), {
  Module.onPiece(HEAPU8.slice(data, data + size));
});

// The page copies up to count bytes of the chosen file to buffer and says
// how many it copied (fewer only at the file's end); it may raise.
EM_JS(std::size_t, ReadFromPage, (void* buffer, std::size_t count), {
  return Module.readInput(buffer, count);
});

EM_JS(void, HandProgress, (std::size_t done, std::size_t total), {
  Module.onProgress(done, total);
});

// The chosen file as the loader asks for it: the header first, then the
// records the header announces, never more (the page never learns the
// file's size from here, and never hands one over).
class PageSource final : public ProblemSource {
 public:
  std::size_t Read(void* buffer, std::size_t count) override {
    const std::size_t n = ReadFromPage(buffer, count);
    if (done_ < header_.size()) {
      std::memcpy(&header_[done_], buffer, std::min(n, header_.size() - done_));
    }
    done_ += n;
    if (done_ >= header_.size()) HandProgress(done_, T_mnrFormat::UsedSize(header_));
    return n;
  }

 private:
  T_mnrFormat::HeaderBytes header_{};
  std::size_t done_ = 0;
};

const ByteSink kToPage = [](std::string_view bytes) { HandPiece(bytes.data(), bytes.size()); };
// The genre texts go into the page's zip, which needs their CRC-32: taken
// here, while the bytes are at hand, far quicker than in the page's script.
const ByteSink kToPageWithCrc = [](std::string_view bytes) {
  genreCrc = Crc32(bytes, genreCrc);
  HandPiece(bytes.data(), bytes.size());
};

TextEncoding Encoding(int utf8) { return utf8 ? TextEncoding::kUtf8 : TextEncoding::kShiftJis; }

void AppendUtf8(std::string_view cp932) { codepage::AppendCp932AsUtf8(cp932, result, invalidBytes); }

// A text after its length, as 4 bytes little-endian (as wasm is).
void AppendField(std::string_view cp932) {
  const std::size_t at = result.size();
  result.append(4, '\0');
  AppendUtf8(cp932);
  const auto length = static_cast<std::uint32_t>(result.size() - at - 4);
  std::memcpy(&result[at], &length, 4);
}

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

}  // namespace

extern "C" {

// Loads the chosen file through Module.readInput; 1 when it is a problem
// file. What it is not, or a read that fails, leaves no file loaded.
EMSCRIPTEN_KEEPALIVE int mnr_load() {
  // The JSON keeps the bytes after the last record, as mnr2txt's does.
  problems.KeepTrailingBytes(kJsonTrailingBytesKept);
  PageSource source;
  return problems.LoadFromSource(source, "") ? 1 : 0;
}

// The genre list's line: "g：name" when a file is loaded, "g：" when not.
EMSCRIPTEN_KEEPALIVE std::size_t mnr_genre_line(int genre) {
  result.clear();
  AppendUtf8(messages::GenreListLine(genre, problems.Loaded() ? problems.GenreName(genre) : ""));
  return result.size();
}

// Every message as a field holding its name, then a field holding its text.
EMSCRIPTEN_KEEPALIVE std::size_t mnr_messages() {
  result.clear();
  for (const NamedMessage& message : kMessages) {
    AppendField(message.name);  // ASCII: the same bytes in CP932
    AppendField(message.text);
  }
  return result.size();
}

// How many problems the genre lists (none for a count <= 0).
EMSCRIPTEN_KEEPALIVE int mnr_problem_count(int genre) {
  return problems.Loaded() ? static_cast<int>(ListedRecords(problems, genre).size()) : 0;
}

EMSCRIPTEN_KEEPALIVE int mnr_choice_count() { return mnr_layout::kChoiceCount; }

// Problems first ... first + count - 1 of the genre: for each, its question
// and then its choices (mnr_choice_count of them) as fields, the texts of
// the genre file.
EMSCRIPTEN_KEEPALIVE std::size_t mnr_problems(int genre, int first, int count) {
  result.clear();
  const auto records = problems.Loaded() ? ListedRecords(problems, genre) : std::span<const ProblemRecord>();
  for (int n = first; n >= 0 && n < first + count && n < static_cast<int>(records.size()); ++n) {
    const ProblemText text = ProblemTextOf(records[n]);
    AppendField(text.question);
    for (std::string_view choice : text.choices) AppendField(choice);
  }
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
  invalidBytes += WriteGenreText(problems, genre, Encoding(utf8), kToPageWithCrc);
}
// The CRC-32 of the genre texts written since the last call; resets.
EMSCRIPTEN_KEEPALIVE std::uint32_t mnr_take_crc() {
  const std::uint32_t crc = genreCrc;
  genreCrc = 0;
  return crc;
}
EMSCRIPTEN_KEEPALIVE void mnr_write_one_file(int utf8) {
  invalidBytes += WriteOneFileText(problems, Encoding(utf8), kToPage);
}
// The CSV keeps its formula guard on, as mnr2txt's default.
EMSCRIPTEN_KEEPALIVE void mnr_write_csv() { invalidBytes += WriteCsv(problems, kToPage); }
EMSCRIPTEN_KEEPALIVE void mnr_write_xlsx() { invalidBytes += WriteXlsx(problems, kToPage); }
EMSCRIPTEN_KEEPALIVE void mnr_write_json() { invalidBytes += WriteJson(problems, fileName, kToPage); }

// Room for a CSV or JSON of size bytes to write back; the page copies it there.
EMSCRIPTEN_KEEPALIVE std::uint8_t* mnr_back_input(std::size_t size) {
  backInput.assign(size, 0);
  return backInput.data();
}

// The way back: a CSV or JSON given to mnr_back_input (its name to
// mnr_file_name) checked as txt2mnr checks it. kind 0: JSON, 1: CSV;
// formulaGuard 1 takes one leading apostrophe from each CSV text cell.
// Returns 1 and streams the problem file's bytes to Module.onPiece, or 0
// and streams nothing; either way the messages (errors and warnings, as
// txt2mnr words them, one a line, UTF-8) are left in the result buffer:
// the return value is their length in bytes, or -1 - that length when
// nothing was written. They are in Japanese, as the rest of the page.
EMSCRIPTEN_KEEPALIVE int mnr_write_back(int kind, int formulaGuard) {
  texts::UseLanguage(texts::Language::kJapanese);
  importing::Diagnostics diagnostics;
  const std::string_view bytes(reinterpret_cast<const char*>(backInput.data()), backInput.size());
  std::optional<ProblemFileImage> image;
  if (kind == 0) {
    image = importing::ReadJson(bytes, std::nullopt, diagnostics);
  } else {
    importing::CsvSettings settings;
    settings.formulaGuard = formulaGuard != 0;
    image = importing::ReadCsv(bytes, settings, diagnostics);
  }
  std::vector<std::uint8_t>().swap(backInput);
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
