#include "format/OutputFormats.h"

#include <algorithm>
#include <string>

#include "format/Base64.h"
#include "format/ProblemFileWriter.h"
#include "format/RowSchema.h"
#include "platform/CodePage.h"

namespace {

using mnr_layout::kGenreCount;
using mnr_layout::kRecordSize;

// --- CSV ---

// Quoting is needed for a comma, a quote or a line break; in CP932 these
// bytes are never part of a double-byte character, so the input tells.
bool NeedsCsvQuotes(std::string_view cp932) {
  for (char c : cp932)
    if (c == ',' || c == '"' || c == '\r' || c == '\n') return true;
  return false;
}

// A spreadsheet reads a cell that begins with one of these as a formula (or
// strips the apostrophe); all are single bytes in CP932, never trail bytes.
bool NeedsFormulaGuard(std::string_view cp932) {
  return !cp932.empty() && std::string_view("=+-@\t\r'").find(cp932.front()) != std::string_view::npos;
}

// Appends a text cell: the guard's apostrophe where asked, quotes where
// needed with the quotes inside doubled.
void AppendCsvCell(std::string_view cp932, FormulaGuard guard, std::string& out, std::size_t& invalidBytes,
                   std::string& scratch) {
  const bool guarded = guard == FormulaGuard::kOn && NeedsFormulaGuard(cp932);
  if (!NeedsCsvQuotes(cp932)) {
    if (guarded) out += '\'';
    codepage::AppendCp932AsUtf8(cp932, out, invalidBytes);
    return;
  }
  scratch.clear();
  codepage::AppendCp932AsUtf8(cp932, scratch, invalidBytes);
  out += '"';
  if (guarded) out += '\'';
  for (char c : scratch) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

// --- JSON ---

// Appends UTF-8 text as a JSON string with its quotes; runs that need no
// escape are copied whole.
void AppendJsonString(std::string_view utf8, std::string& out) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += '"';
  std::size_t run = 0;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (c >= 0x20 && c != '"' && c != '\\') continue;
    out.append(utf8, run, i - run);
    run = i + 1;
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        out += "\\u00";
        out += kHex[c >> 4];
        out += kHex[c & 15];
    }
  }
  out.append(utf8, run, utf8.size() - run);
  out += '"';
}

// A CP932 text as a JSON string. Most texts hold no byte JSON escapes (a
// control byte, a quote, a backslash; 0x5C may also be a trail byte, and such
// a text merely takes the longer way): they are converted straight into out.
bool AppendJsonText(std::string_view cp932, std::string& out, std::size_t& invalidBytes, std::string& scratch) {
  const bool plain = std::none_of(cp932.begin(), cp932.end(), [](char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == '"' || c == '\\';
  });
  if (plain) {
    out += '"';
    const bool canonical = codepage::AppendCp932AsUtf8(cp932, out, invalidBytes);
    out += '"';
    return canonical;
  }
  scratch.clear();
  const bool canonical = codepage::AppendCp932AsUtf8(cp932, scratch, invalidBytes);
  AppendJsonString(scratch, out);
  return canonical;
}

}  // namespace

std::size_t WriteOneFileText(ProblemSource& problems, TextEncoding encoding, const ByteSink& sink) {
  std::size_t invalidBytes = 0;
  for (int g = 0; g < kGenreCount; ++g) invalidBytes += WriteGenreText(problems, g, encoding, sink);
  return invalidBytes;
}

std::size_t WriteCsv(ProblemSource& problems, const ByteSink& sink, FormulaGuard guard) {
  std::size_t invalidBytes = 0;
  ChunkedSink out(sink);
  std::string& buffer = out.Buffer();
  buffer += "\xEF\xBB\xBF" + row_schema::HeaderLine(',') + "\r\n";
  std::string scratch, name;
  for (int g = 0; g < kGenreCount; ++g) {
    // The name is converted once; its invalid bytes count once, and only
    // when a row shows it.
    const std::string digit(1, static_cast<char>('0' + g));
    std::size_t nameInvalid = 0;
    name.clear();
    AppendCsvCell(mnr_header::GenreName(problems.Header(), g), guard, name, nameInvalid, scratch);
    if (mnr_header::ListedCount(problems.Header(), g) > 0) invalidBytes += nameInvalid;
    Problem problem;
    while (problems.Next(g, problem)) {
      const row_schema::Cells cells = row_schema::RowOf(digit, name, ProblemTextOf(*problem.record));
      for (int column = 0; column < row_schema::kColumnCount; ++column) {
        if (column > 0) buffer += ',';
        if (column == row_schema::kGenre || column == row_schema::kName) buffer += cells[column];
        else AppendCsvCell(cells[column], guard, buffer, invalidBytes, scratch);
      }
      buffer += "\r\n";
      out.MaybeFlush();
    }
  }
  out.Flush();
  return invalidBytes;
}

std::size_t WriteJson(ProblemSource& problems, std::string_view fileName, const ByteSink& sink) {
  std::size_t invalidBytes = 0;
  ChunkedSink out(sink);
  std::string& buffer = out.Buffer();
  std::string scratch;
  buffer += "{\"file\":";
  AppendJsonString(codepage::ValidUtf8(fileName), buffer);
  buffer += ",\"format\":2,\"genres\":[\n";
  const HeaderBytes& header = problems.Header();
  for (int g = 0; g < kGenreCount; ++g) {
    buffer += "{\"number\":";
    buffer += std::to_string(g);
    buffer += ",\"name\":";
    AppendJsonText(mnr_header::GenreName(header, g), buffer, invalidBytes, scratch);
    buffer += ",\"count\":";
    buffer += std::to_string(mnr_header::ListedCount(header, g));
    // The whole block: the name's bytes after its end and the bytes this
    // program does not interpret are nowhere else.
    buffer += ",\"block\":\"";
    AppendBase64(mnr_header::Block(header, g), buffer);
    buffer += "\",\"problems\":[";
    Problem problem;
    for (bool first = true; problems.Next(g, problem); first = false) {
      const ProblemText p = ProblemTextOf(*problem.record);
      buffer += first ? "\n{\"question\":" : ",\n{\"question\":";
      bool canonical = AppendJsonText(p.question, buffer, invalidBytes, scratch);
      buffer += ",\"choices\":[";
      for (int c = 0; c < mnr_layout::kChoiceCount; ++c) {
        if (c > 0) buffer += ',';
        canonical = AppendJsonText(p.choices[c], buffer, invalidBytes, scratch) && canonical;
      }
      buffer += ']';
      // A record its texts do not give back carries its stored bytes.
      if (!IsCanonicalRecord(*problem.record, *problem.lengths, p, canonical)) {
        const ProblemRecord stored = StoredRecord(*problem.record, *problem.lengths);
        buffer += ",\"raw\":\"";
        AppendBase64({reinterpret_cast<const char*>(stored.Bytes), kRecordSize}, buffer);
        buffer += '"';
      }
      buffer += '}';
      out.MaybeFlush();
    }
    buffer += g + 1 < kGenreCount ? "]},\n" : "]}\n";
  }
  buffer += "],\"trailing\":\"";
  AppendBase64(problems.Trailing(), buffer);
  buffer += problems.TrailingComplete() ? "\",\"trailingComplete\":true}\n" : "\",\"trailingComplete\":false}\n";
  out.Flush();
  return invalidBytes;
}
