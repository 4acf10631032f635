#include "frontend/import/TextInput.h"

#include <cstdint>

#include "frontend/import/ImportTexts.h"
#include "platform/CodePage.h"

namespace importing {

namespace {

using import_text::Say;
using texts::Fill;

bool IsUtf8(std::string_view text) {
  std::uint32_t code;
  for (std::size_t i = 0, n = 0; i < text.size(); i += n) {
    if (!codepage::DecodeUtf8(text, i, code, n)) return false;
  }
  return true;
}

// The first line (1-based) whose bytes are not valid in the encoding; 0
// when every line is. No character of either encoding holds a line feed.
int FirstBadLine(std::string_view bytes, bool cp932) {
  int line = 1;
  for (std::size_t start = 0; start <= bytes.size(); ++line) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    const std::string_view piece = bytes.substr(start, end - start);
    if (!(cp932 ? codepage::IsValidCp932(piece) : IsUtf8(piece))) return line;
    start = end + 1;
  }
  return 0;
}

// "Line L, column C: 'x' as UTF-8, 'y' as CP932" for the first byte of
// 0x80 or more, at which the two readings part (the bytes before it are
// ASCII, the same either way).
std::string WhereReadingsPart(std::string_view bytes, std::size_t at) {
  int line = 1;
  std::size_t lineStart = 0;
  for (std::size_t i = 0; i < at; ++i) {
    if (bytes[i] == '\n') ++line, lineStart = i + 1;
  }
  std::uint32_t code = 0;
  std::size_t n = 0;
  codepage::DecodeUtf8(bytes, at, code, n);
  // The CP932 characters over at least those bytes.
  std::size_t cp932End = at;
  while (cp932End < at + n) {
    const auto lead = static_cast<unsigned char>(bytes[cp932End]);
    const bool twoBytes = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
    cp932End += twoBytes ? 2 : 1;
  }
  std::string asCp932;
  std::size_t ignored = 0;
  codepage::AppendCp932AsUtf8(bytes.substr(at, cp932End - at), asCp932, ignored);
  return Fill(Say(import_text::kBothEncodings), {std::to_string(line), std::to_string(at - lineStart + 1),
                                                 std::string(bytes.substr(at, n)), asCp932});
}

}  // namespace

bool ReadAsText(std::string_view bytes, Encoding asked, int genre, TextBytes& text, Diagnostics& diagnostics) {
  constexpr std::string_view kBom = "\xEF\xBB\xBF";
  const bool bom = bytes.substr(0, 3) == kBom;
  if (bom && asked != Encoding::kCp932) bytes.remove_prefix(3);
  text.bytes = bytes;
  const auto refuse = [&](int line, import_text::Id id) {
    diagnostics.Error({line, 0, genre}, Say(id));
    return false;
  };
  if (asked == Encoding::kUtf8 || bom) {
    const int bad = FirstBadLine(bytes, false);
    return bad == 0 || refuse(bad, asked == Encoding::kUtf8 ? import_text::kNotUtf8 : import_text::kNotCp932Bytes);
  }
  text.cp932 = true;
  if (asked == Encoding::kCp932) {
    const int bad = FirstBadLine(bytes, true);
    return bad == 0 || refuse(bad, import_text::kNotCp932);
  }
  if (!IsUtf8(bytes)) {
    const int bad = FirstBadLine(bytes, true);
    return bad == 0 || refuse(bad, import_text::kNotCp932Bytes);
  }
  text.cp932 = false;
  std::size_t first = 0;
  while (first < bytes.size() && static_cast<unsigned char>(bytes[first]) < 0x80) ++first;
  if (first == bytes.size() || !codepage::IsValidCp932(bytes)) return true;  // one reading only
  diagnostics.Error({0, 0, genre}, WhereReadingsPart(bytes, first));
  diagnostics.AskForEncoding();
  return false;
}

void AppendAsUtf8(const TextBytes& text, std::string_view piece, std::string& out) {
  if (!text.cp932) {
    out += piece;
    return;
  }
  std::size_t ignored = 0;  // none: the bytes were found valid
  codepage::AppendCp932AsUtf8(piece, out, ignored);
}

}  // namespace importing
