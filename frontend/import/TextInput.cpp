#include "frontend/import/TextInput.h"

#include <cstdint>

#include "platform/CodePage.h"

namespace importing {

namespace {

bool IsUtf8(std::string_view text) {
  for (std::size_t i = 0, n = 0; i < text.size(); i += n) {
    std::uint32_t code;
    if (!codepage::DecodeUtf8(text, i, code, n)) return false;
  }
  return true;
}

}  // namespace

bool DecodeText(std::string_view bytes, std::string& utf8, int& badLine) {
  utf8.clear();
  constexpr std::string_view kBom = "\xEF\xBB\xBF";
  const bool bom = bytes.substr(0, 3) == kBom;
  if (bom) bytes.remove_prefix(3);
  if (bom || IsUtf8(bytes)) {
    if (!IsUtf8(bytes)) {
      badLine = 1;
      for (std::size_t start = 0, end; start < bytes.size(); start = end + 1, ++badLine) {
        end = bytes.find('\n', start);
        if (end == std::string_view::npos) end = bytes.size();
        if (!IsUtf8(bytes.substr(start, end - start))) return false;
      }
      return false;
    }
    utf8.assign(bytes);
    return true;
  }
  // Line by line, so a bad byte can be placed; no CP932 character holds a
  // line feed byte.
  badLine = 1;
  for (std::size_t start = 0; start <= bytes.size(); ++badLine) {
    std::size_t end = bytes.find('\n', start);
    const bool last = end == std::string_view::npos;
    if (last) end = bytes.size();
    std::size_t invalid = 0;
    codepage::AppendCp932AsUtf8(bytes.substr(start, end - start), utf8, invalid);
    if (invalid > 0) return false;
    if (last) break;
    utf8 += '\n';
    start = end + 1;
  }
  return true;
}

}  // namespace importing
