#include "format/OutputFormats.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>

#include "format/Base64.h"
#include "format/ByteScan.h"
#include "format/ProblemFileWriter.h"
#include "format/mnrFormat.h"
#include "platform/CodePage.h"

namespace {

using mnr_layout::kChoiceCount;
using mnr_layout::kGenreBlockSize;
using mnr_layout::kGenreCount;
using mnr_layout::kRecordSize;

// The genre's problems as the genre file's lines give them.
template <typename OnProblem>
void ForEachProblem(const T_mnrFormat& problems, int genre, OnProblem onProblem) {
  for (const ProblemRecord& record : ListedRecords(problems, genre)) onProblem(ProblemTextOf(record));
}

// --- writing straight into a record's bytes ---

// Each record's output is made in one buffer on the stack and appended to
// the output at once: no string grows field by field.
template <std::size_t N>
char* Put(char* dst, const char (&literal)[N]) {
  std::memcpy(dst, literal, N - 1);
  return dst + N - 1;
}

// Copies CP932 text (an empty text may have no bytes to point at).
char* PutBytes(char* dst, std::string_view bytes) {
  if (bytes.empty()) return dst;
  std::memcpy(dst, bytes.data(), bytes.size());
  return dst + bytes.size();
}

// A whole record's texts with the bytes between them are converted in one
// pass where that gives the same bytes as converting text by text: when
// every byte between two texts is ASCII (which stands for itself) and the
// first after a text is below 0x40 (never a trail byte, so a lead byte at a
// text's end is alone either way).

// --- CSV ---

// Quoting is needed for a comma, a quote or a line break; in CP932 these
// bytes are never part of a double-byte character, so the input tells.
bool NeedsCsvQuotes(std::string_view cp932) {
  return byte_scan::AnyByte(cp932, [](std::uint64_t w) {
    using namespace byte_scan;
    return Equal(w, ',') | Equal(w, '"') | Equal(w, '\r') | Equal(w, '\n');
  });
}

// A spreadsheet reads a cell that begins with one of these as a formula (or
// strips the apostrophe); all are single bytes in CP932, never trail bytes.
bool NeedsFormulaGuard(std::string_view cp932) {
  if (cp932.empty()) return false;
  switch (cp932.front()) {
    case '=': case '+': case '-': case '@': case '\t': case '\r': case '\'': return true;
    default: return false;
  }
}

// --- JSON ---

constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

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

// Length of the valid UTF-8 sequence at text[i], or 0.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char c = byte(i);
  if (c < 0x80) return 1;
  std::size_t n;
  unsigned char low = 0x80, high = 0xBF;  // range of the second byte
  if (c >= 0xC2 && c <= 0xDF) n = 2;
  else if (c >= 0xE0 && c <= 0xEF) n = 3, low = c == 0xE0 ? 0xA0 : 0x80, high = c == 0xED ? 0x9F : 0xBF;
  else if (c >= 0xF0 && c <= 0xF4) n = 4, low = c == 0xF0 ? 0x90 : 0x80, high = c == 0xF4 ? 0x8F : 0xBF;
  else return 0;
  if (i + n > text.size() || byte(i + 1) < low || byte(i + 1) > high) return 0;
  for (std::size_t k = 2; k < n; ++k)
    if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
  return n;
}

std::string ValidUtf8(std::string_view text) {
  std::string valid;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t n = Utf8SequenceLength(text, i);
    if (n == 0) {
      valid += kReplacement;
      ++i;
    } else {
      valid.append(text, i, n);
      i += n;
    }
  }
  return valid;
}

// Whether text holds a byte JSON escapes: a control byte, a quote or a
// backslash. On CP932 a 0x5C may also be a trail byte; such a text merely
// takes the longer way.
bool NeedsJsonEscape(std::string_view text) {
  return byte_scan::AnyByte(text, [](std::uint64_t w) {
    using namespace byte_scan;
    return Below(w, 0x20) | Equal(w, '"') | Equal(w, '\\');
  });
}
bool PlainForJson(std::string_view cp932) { return !NeedsJsonEscape(cp932); }

// The most a JSON string of n CP932 bytes takes: each byte a control
// character escaped as \u00XX, or the conversion's room, and the quotes.
constexpr std::size_t JsonTextRoom(std::size_t n) { return std::max(6 * n, codepage::Cp932Utf8Room(n)) + 2; }

// Writes CP932 text as a JSON string with its quotes; canonical cleared
// when the text is not canonical CP932.
char* PutJsonText(char* dst, std::string_view cp932, std::size_t& invalidBytes, bool& canonical) {
  *dst++ = '"';
  char* const start = dst;
  dst = codepage::WriteCp932AsUtf8(cp932, dst, invalidBytes, canonical);
  if (NeedsJsonEscape(std::string_view(start, dst - start))) {
    std::string escaped;
    AppendJsonString(std::string_view(start, dst - start), escaped);
    // Without its quotes: the opening one is there.
    std::memcpy(start, escaped.data() + 1, escaped.size() - 1);
    return start + escaped.size() - 1;
  }
  *dst++ = '"';
  return dst;
}

// Writes a CSV field: the guard's apostrophe where asked, quotes where
// needed with the quotes inside doubled. At most CsvFieldRoom(n) bytes.
constexpr std::size_t CsvFieldRoom(std::size_t n) { return 2 * codepage::Cp932Utf8Room(n) + 3; }

char* PutCsvField(char* dst, std::string_view cp932, FormulaGuard guard, std::size_t& invalidBytes) {
  const bool guarded = guard == FormulaGuard::kOn && NeedsFormulaGuard(cp932);
  if (!NeedsCsvQuotes(cp932)) {
    if (guarded) *dst++ = '\'';
    return codepage::WriteCp932AsUtf8(cp932, dst, invalidBytes);
  }
  *dst++ = '"';
  if (guarded) *dst++ = '\'';
  // Converted at the end of the room, then copied forward with its quotes
  // doubled: the copy never overtakes what it reads.
  char* const converted = dst + codepage::Cp932Utf8Room(cp932.size());
  const char* const end = codepage::WriteCp932AsUtf8(cp932, converted, invalidBytes);
  for (const char* c = converted; c < end; ++c) {
    if (*c == '"') *dst++ = '"';
    *dst++ = *c;
  }
  *dst++ = '"';
  return dst;
}

}  // namespace

std::size_t WriteOneFileText(const T_mnrFormat& problems, TextEncoding encoding,
                             const ByteSink& sink) {
  std::size_t invalidBytes = 0;
  for (int g = 0; g < kGenreCount; ++g) invalidBytes += WriteGenreText(problems, g, encoding, sink);
  return invalidBytes;
}

std::size_t WriteCsv(const T_mnrFormat& problems, const ByteSink& sink, FormulaGuard guard) {
  std::size_t invalidBytes = 0;
  ChunkedSink out(sink);
  std::string& buffer = out.Buffer();
  buffer += "\xEF\xBB\xBFgenre,name,question";
  for (int c = 1; c <= kChoiceCount; ++c) buffer += ",choice" + std::to_string(c);
  buffer += "\r\n";
  for (int g = 0; g < kGenreCount; ++g) {
    // The name is converted once; its invalid bytes count once, and only
    // when a row shows it.
    const std::string genreName = problems.GenreName(g);
    char name[CsvFieldRoom(mnr_layout::kGenreNameSize)];
    std::size_t nameInvalid = 0;
    const std::size_t nameSize = PutCsvField(name, genreName, guard, nameInvalid) - name;
    // Appended piece by piece: "literal" + std::to_string(...) trips a false
    // overlap warning of GCC 12's string code.
    std::string rowStart = std::to_string(g);
    rowStart += ',';
    rowStart.append(name, nameSize);
    rowStart += ',';
    if (problems.ListedCount(g) > 0) invalidBytes += nameInvalid;
    // Room for the longest row: the row's start and six fields quoted.
    constexpr std::size_t kFieldsRoom = CsvFieldRoom(mnr_layout::kQuestionSize) +
                                        kChoiceCount * (1 + CsvFieldRoom(mnr_layout::kChoiceSize)) + 2;
    char line[kFieldsRoom + 256];
    static_assert(CsvFieldRoom(mnr_layout::kGenreNameSize) + 8 < 256);  // rowStart
    std::memcpy(line, rowStart.data(), rowStart.size());
    // A row none of whose fields is quoted or guarded is converted whole.
    const auto plain = [guard](std::string_view cp932) {
      return !NeedsCsvQuotes(cp932) && !(guard == FormulaGuard::kOn && NeedsFormulaGuard(cp932));
    };
    char cp932[mnr_layout::kQuestionSize + kChoiceCount * (1 + mnr_layout::kChoiceSize) + 2];
    static_assert(codepage::Cp932Utf8Room(sizeof cp932) <= kFieldsRoom);
    ForEachProblem(problems, g, [&](const ProblemText& p) {
      char* dst = line + rowStart.size();
      if (plain(p.question) && std::all_of(p.choices.begin(), p.choices.end(), plain)) {
        char* row = PutBytes(cp932, p.question);
        for (std::string_view choice : p.choices) {
          *row++ = ',';
          row = PutBytes(row, choice);
        }
        row = Put(row, "\r\n");
        dst = codepage::WriteCp932AsUtf8({cp932, std::size_t(row - cp932)}, dst, invalidBytes);
        buffer.append(line, dst - line);
        out.MaybeFlush();
        return;
      }
      dst = PutCsvField(dst, p.question, guard, invalidBytes);
      for (std::string_view choice : p.choices) {
        *dst++ = ',';
        dst = PutCsvField(dst, choice, guard, invalidBytes);
      }
      dst = Put(dst, "\r\n");
      buffer.append(line, dst - line);
      out.MaybeFlush();
    });
  }
  out.Flush();
  return invalidBytes;
}

std::size_t WriteJson(const T_mnrFormat& problems, std::string_view fileName,
                      const ByteSink& sink) {
  std::size_t invalidBytes = 0;
  ChunkedSink out(sink);
  std::string& buffer = out.Buffer();
  buffer += "{\"file\":";
  AppendJsonString(ValidUtf8(fileName), buffer);
  buffer += ",\"format\":2,\"genres\":[\n";
  const auto& header = problems.Header();
  for (int g = 0; g < kGenreCount; ++g) {
    // Appended piece by piece: "literal" + std::to_string(...) trips a false
    // overlap warning of GCC 12's i686 string code.
    buffer += "{\"number\":";
    buffer += std::to_string(g);
    buffer += ",\"name\":";
    char name[JsonTextRoom(mnr_layout::kGenreNameSize)];
    bool ignored = true;
    buffer.append(name, PutJsonText(name, problems.GenreName(g), invalidBytes, ignored) - name);
    buffer += ",\"count\":" + std::to_string(problems.ListedCount(g));
    // The whole block: the name's bytes after its end and the bytes this
    // program does not interpret are nowhere else.
    buffer += ",\"block\":\"";
    AppendBase64({reinterpret_cast<const char*>(&header[g * kGenreBlockSize]), kGenreBlockSize}, buffer);
    buffer += "\",\"problems\":[";
    bool first = true;
    const TextLengths* lengths = problems.Quiz(g).Lengths.data();
    // Room for the longest record: its texts escaped, the separator, the keys.
    constexpr std::size_t kRecordRoom = JsonTextRoom(mnr_layout::kQuestionSize) +
                                        kChoiceCount * JsonTextRoom(mnr_layout::kChoiceSize) + 64;
    char line[kRecordRoom];
    char cp932[mnr_layout::kQuestionSize + kChoiceCount * (3 + mnr_layout::kChoiceSize) + 32];
    static_assert(1 + codepage::Cp932Utf8Room(sizeof cp932) <= kRecordRoom);
    for (const ProblemRecord& record : ListedRecords(problems, g)) {
      const ProblemText p = ProblemTextOf(record);
      char* dst = line;
      if (!first) *dst++ = ',';
      first = false;
      // Whether the texts give the record back: what the conversion learns
      // about the codes, then the lengths and padding.
      bool canonical = true;
      if (PlainForJson(p.question) && std::all_of(p.choices.begin(), p.choices.end(), PlainForJson)) {
        // Nothing to escape: the record's JSON converted whole.
        char* json = Put(cp932, "\n{\"question\":\"");
        json = PutBytes(json, p.question);
        json = Put(json, "\",\"choices\":[\"");
        for (int c = 0; c < kChoiceCount; ++c) {
          if (c > 0) json = Put(json, "\",\"");
          json = PutBytes(json, p.choices[c]);
        }
        json = Put(json, "\"]");
        dst = codepage::WriteCp932AsUtf8({cp932, std::size_t(json - cp932)}, dst, invalidBytes, canonical);
      } else {
        dst = Put(dst, "\n{\"question\":");
        dst = PutJsonText(dst, p.question, invalidBytes, canonical);
        dst = Put(dst, ",\"choices\":[");
        for (int c = 0; c < kChoiceCount; ++c) {
          if (c > 0) *dst++ = ',';
          dst = PutJsonText(dst, p.choices[c], invalidBytes, canonical);
        }
        *dst++ = ']';
      }
      buffer.append(line, dst - line);
      // A record its texts do not give back carries its stored bytes.
      if (!canonical || !HasCanonicalLayout(record, *lengths, p)) {
        const ProblemRecord stored = StoredRecord(record, *lengths);
        buffer += ",\"raw\":\"";
        AppendBase64({reinterpret_cast<const char*>(stored.Bytes), kRecordSize}, buffer);
        buffer += '"';
      }
      ++lengths;
      buffer += '}';
      out.MaybeFlush();
    }
    buffer += g + 1 < kGenreCount ? "]},\n" : "]}\n";
  }
  buffer += "],\"trailing\":\"";
  AppendBase64(problems.TrailingBytes(), buffer);
  buffer += problems.TrailingComplete() ? "\",\"trailingComplete\":true}\n" : "\",\"trailingComplete\":false}\n";
  out.Flush();
  return invalidBytes;
}
