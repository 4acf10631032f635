// The .xlsx output: the smallest package a spreadsheet opens as a workbook
// (content types, relationships, workbook, styles, one worksheet) in a zip
// of stored entries. The worksheet is streamed; its cells are inline
// strings, so nothing about a text is held beyond its row.

#include <algorithm>
#include <string>

#include "format/OutputFormats.h"
#include "format/RowSchema.h"
#include "format/ZipWriter.h"
#include "platform/CodePage.h"

namespace {

using mnr_layout::kGenreCount;

constexpr char kXmlDeclaration[] = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";
constexpr char kSheetName[] = "problems";
constexpr char kLastColumn = 'A' + row_schema::kColumnCount - 1;

constexpr char kContentTypes[] =
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
    "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
    "<Override PartName=\"/xl/workbook.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
    "<Override PartName=\"/xl/worksheets/sheet1.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
    "<Override PartName=\"/xl/styles.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>"
    "</Types>";

constexpr char kPackageRelationships[] =
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
    "Target=\"xl/workbook.xml\"/>"
    "</Relationships>";

constexpr char kWorkbookRelationships[] =
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
    "Target=\"worksheets/sheet1.xml\"/>"
    "<Relationship Id=\"rId2\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" "
    "Target=\"styles.xml\"/>"
    "</Relationships>";

// Cell formats: 0 the default, 1 the header (bold), 2 text ("@", number
// format 49), so that a text cell edited later stays text.
constexpr char kStyles[] =
    "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
    "<fonts count=\"2\"><font><sz val=\"11\"/></font><font><b/><sz val=\"11\"/></font></fonts>"
    "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
    "<fill><patternFill patternType=\"gray125\"/></fill></fills>"
    "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
    "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
    "<cellXfs count=\"3\">"
    "<xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>"
    "<xf numFmtId=\"0\" fontId=\"1\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyFont=\"1\"/>"
    "<xf numFmtId=\"49\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\"/>"
    "</cellXfs>"
    "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
    "</styleSheet>";

constexpr char kHeaderStyle[] = "1";
constexpr char kTextStyle[] = "2";

// Widths in characters of the default font: a full-width character takes
// two. Names hold up to 16 bytes, choices 28, questions 116 (shown in part).
constexpr char kColumns[] =
    "<cols>"
    "<col min=\"1\" max=\"1\" width=\"8\" customWidth=\"1\"/>"
    "<col min=\"2\" max=\"2\" width=\"18\" style=\"2\" customWidth=\"1\"/>"
    "<col min=\"3\" max=\"3\" width=\"70\" style=\"2\" customWidth=\"1\"/>"
    "<col min=\"4\" max=\"8\" width=\"30\" style=\"2\" customWidth=\"1\"/>"
    "</cols>";

std::string Part(std::string_view xml) { return kXmlDeclaration + std::string(xml); }

// The header and every problem's row, "A1:H<last row>".
std::string SheetRange(int lastRow) {
  return std::string("A1:") + kLastColumn + std::to_string(lastRow);
}

std::string Workbook(int lastRow) {
  // The filter's range is also named, as spreadsheets expect to find it.
  return Part(
      "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
      "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
      "<bookViews><workbookView/></bookViews>"
      "<sheets><sheet name=\"" + std::string(kSheetName) + "\" sheetId=\"1\" r:id=\"rId1\"/></sheets>"
      "<definedNames><definedName name=\"_xlnm._FilterDatabase\" localSheetId=\"0\" hidden=\"1\">" +
      kSheetName + "!$A$1:$" + kLastColumn + "$" + std::to_string(lastRow) +
      "</definedName></definedNames></workbook>");
}

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// Control characters that XML 1.0 forbids, and CR, which an XML reader
// would turn into LF: written as the spreadsheet escape _xHHHH_.
bool NeedsCharacterEscape(unsigned char c) { return c < 0x20 && c != '\t' && c != '\n'; }

// Whether the output would hold "_xHHHH_" starting at the underscore
// text[i]: a reader would take it for an escape. The closing underscore may
// be a literal one or the start of a character escape.
bool ReadsAsEscape(std::string_view text, std::size_t i) {
  if (i + 6 >= text.size() || text[i + 1] != 'x') return false;
  for (std::size_t k = i + 2; k < i + 6; ++k)
    if (!IsHexDigit(text[k])) return false;
  return text[i + 6] == '_' || NeedsCharacterEscape(static_cast<unsigned char>(text[i + 6]));
}

void AppendEscape(unsigned c, std::string& out) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out += "_x00";
  out += kHex[c >> 4];
  out += kHex[c & 15];
  out += '_';
}

// Appends UTF-8 text as the content of an XML element that reads back as
// exactly this text; runs that need nothing are copied whole.
void AppendCellXml(std::string_view utf8, std::string& out) {
  std::size_t run = 0;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    const char* replacement;
    switch (c) {
      case '&': replacement = "&amp;"; break;
      case '<': replacement = "&lt;"; break;
      case '>': replacement = "&gt;"; break;
      case '"': replacement = "&quot;"; break;
      case '_':
        if (!ReadsAsEscape(utf8, i)) continue;
        replacement = "_x005F_";
        break;
      default:
        if (!NeedsCharacterEscape(c)) continue;
        replacement = nullptr;
    }
    out.append(utf8, run, i - run);
    run = i + 1;
    if (replacement) out += replacement;
    else AppendEscape(c, out);
  }
  out.append(utf8, run, utf8.size() - run);
}

bool IsXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Appends the <is> element of a text cell, for a text that is not empty.
// Most texts hold no byte that XML or the spreadsheet's escapes care about
// (0x5F may also be a trail byte, and such a text merely takes the longer
// way): they are converted straight into out.
void AppendInlineString(std::string_view cp932, std::string& out, std::size_t& invalidBytes, std::string& scratch) {
  // Leading and trailing spaces belong to the text; in CP932 they are
  // single bytes, as in UTF-8.
  out += IsXmlSpace(cp932.front()) || IsXmlSpace(cp932.back()) ? "<is><t xml:space=\"preserve\">" : "<is><t>";
  const bool plain = std::none_of(cp932.begin(), cp932.end(), [](char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == '&' || c == '<' || c == '>' || c == '"' || c == '_';
  });
  if (plain) {
    codepage::AppendCp932AsUtf8(cp932, out, invalidBytes);
  } else {
    scratch.clear();
    codepage::AppendCp932AsUtf8(cp932, scratch, invalidBytes);
    AppendCellXml(scratch, out);
  }
  out += "</t></is>";
}

// A text cell whose <is> element is made already; an empty text leaves the
// cell out.
void AppendTextCell(char column, std::string_view row, std::string_view inlineString, std::string& out,
                    const char* style = kTextStyle) {
  if (inlineString.empty()) return;
  out += "<c r=\"";
  out += column;
  out += row;
  out += "\" s=\"";
  out += style;
  out += "\" t=\"inlineStr\">";
  out += inlineString;
  out += "</c>";
}

// The worksheet: view with the header frozen, column widths, rows, filter.
std::size_t WriteSheet(ProblemSource& problems, int lastRow, const ByteSink& sink) {
  std::size_t invalidBytes = 0;
  ChunkedSink out(sink);
  std::string& buffer = out.Buffer();
  const std::string range = SheetRange(lastRow);
  buffer += kXmlDeclaration;
  buffer +=
      "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
      "<dimension ref=\"" + range + "\"/>"
      "<sheetViews><sheetView tabSelected=\"1\" workbookViewId=\"0\">"
      "<pane ySplit=\"1\" topLeftCell=\"A2\" activePane=\"bottomLeft\" state=\"frozen\"/>"
      "<selection pane=\"bottomLeft\" activeCell=\"A2\" sqref=\"A2\"/>"
      "</sheetView></sheetViews>"
      "<sheetFormatPr defaultRowHeight=\"15\"/>";
  buffer += kColumns;
  buffer += "<sheetData><row r=\"1\">";
  std::string scratch, cell;
  std::size_t none = 0;
  for (int column = 0; column < row_schema::kColumnCount; ++column) {
    cell.clear();
    AppendInlineString(row_schema::kColumns[column].name, cell, none, scratch);
    AppendTextCell(static_cast<char>('A' + column), "1", cell, buffer, kHeaderStyle);
  }
  buffer += "</row>";

  int row = 1;
  std::string name;
  for (int g = 0; g < kGenreCount; ++g) {
    // The name is made once; its invalid bytes count once, and only when a
    // row shows it (as in the CSV).
    const std::string_view genreName = mnr_header::GenreName(problems.Header(), g);
    std::size_t nameInvalid = 0;
    name.clear();
    if (!genreName.empty()) AppendInlineString(genreName, name, nameInvalid, scratch);
    if (mnr_header::ListedCount(problems.Header(), g) > 0) invalidBytes += nameInvalid;
    const std::string digit(1, static_cast<char>('0' + g));
    Problem problem;
    while (problems.Next(g, problem)) {
      const row_schema::Cells cells = row_schema::RowOf(digit, name, ProblemTextOf(*problem.record));
      const std::string rowNumber = std::to_string(++row);
      buffer += "<row r=\"" + rowNumber + "\">";
      for (int column = 0; column < row_schema::kColumnCount; ++column) {
        const char letter = static_cast<char>('A' + column);
        if (!row_schema::kColumns[column].text) {
          buffer += "<c r=\"";
          buffer += letter;
          buffer += rowNumber + "\"><v>";
          buffer += cells[column];
          buffer += "</v></c>";
        } else if (column == row_schema::kName) {
          AppendTextCell(letter, rowNumber, cells[column], buffer);
        } else if (!cells[column].empty()) {
          cell.clear();
          AppendInlineString(cells[column], cell, invalidBytes, scratch);
          AppendTextCell(letter, rowNumber, cell, buffer);
        }
      }
      buffer += "</row>";
      out.MaybeFlush();
    }
  }
  buffer += "</sheetData><autoFilter ref=\"" + range + "\"/></worksheet>";
  out.Flush();
  return invalidBytes;
}

}  // namespace

std::size_t WriteXlsx(ProblemSource& problems, const ByteSink& sink) {
  int lastRow = 1;
  for (int g = 0; g < kGenreCount; ++g) lastRow += mnr_header::ListedCount(problems.Header(), g);
  ZipWriter zip(sink);
  zip.Add("[Content_Types].xml", Part(kContentTypes));
  zip.Add("_rels/.rels", Part(kPackageRelationships));
  zip.Add("xl/workbook.xml", Workbook(lastRow));
  zip.Add("xl/_rels/workbook.xml.rels", Part(kWorkbookRelationships));
  zip.Add("xl/styles.xml", Part(kStyles));
  std::size_t invalidBytes = 0;
  zip.AddStreamed("xl/worksheets/sheet1.xml", [&](const ByteSink& part) {
    invalidBytes = WriteSheet(problems, lastRow, part);
  });
  zip.Finish();
  return invalidBytes;
}
