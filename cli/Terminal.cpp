#include "cli/Terminal.h"

#include "platform/CodePage.h"

namespace cli {

namespace {

// Neither CP932 trail bytes nor UTF-8 continuation bytes are ever below 0x40,
// so this byte-wise look at both kinds of text never splits a character.
std::string ShowControls(std::string_view text) {
  std::string shown;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      shown += '^';
      shown += static_cast<char>(byte ^ 0x40);
    } else {
      shown += c;
    }
  }
  return shown;
}

bool IsShownAsCodePoint(char32_t c) {
  return (c >= 0x80 && c <= 0x9F) || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

std::string CodePointForm(char32_t c) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string form = "<U+";
  for (int shift = 12; shift >= 0; shift -= 4) form += kHex[(c >> shift) & 0xF];
  return form + ">";
}

}  // namespace

std::string ShowCodePoints(std::string_view utf8) {
  std::string shown;
  std::uint32_t code;
  for (std::size_t i = 0, n = 0; i < utf8.size(); i += n) {
    if (!codepage::DecodeUtf8(utf8, i, code, n)) {
      n = 1;  // a stray byte passes as it is
      code = 0;
    }
    if (IsShownAsCodePoint(code)) shown += CodePointForm(code);
    else shown.append(utf8, i, n);
  }
  return shown;
}

std::wstring ShowCodePoints(std::wstring_view utf16) {
  std::wstring shown;
  for (wchar_t c : utf16) {
    if (!IsShownAsCodePoint(static_cast<char32_t>(c))) {
      shown += c;
      continue;
    }
    for (char ascii : CodePointForm(static_cast<char32_t>(c))) shown += static_cast<wchar_t>(ascii);
  }
  return shown;
}

TerminalLine& TerminalLine::Host(std::string_view text) {
  pieces_.push_back({Encoding::kHost, ShowControls(text)});
  return *this;
}

TerminalLine& TerminalLine::Cp932(std::string_view text) {
  pieces_.push_back({Encoding::kCp932, ShowControls(text)});
  return *this;
}

TerminalLine& TerminalLine::Utf8(std::string_view text) {
  pieces_.push_back({Encoding::kUtf8, ShowControls(text)});
  return *this;
}

TerminalLine& TerminalLine::Utf8Naming(std::string_view utf8, std::string_view host) {
  const std::size_t at = utf8.find("{1}");
  if (at == std::string_view::npos) return Utf8(utf8);
  return Utf8(utf8.substr(0, at)).Host(host).Utf8(utf8.substr(at + 3));
}

TerminalLine& TerminalLine::Tab() {
  pieces_.push_back({Encoding::kHost, "\t"});
  return *this;
}

void PrintText(Stream stream, std::string_view utf8Lines) {
  while (!utf8Lines.empty()) {
    const std::size_t end = utf8Lines.find('\n');
    TerminalLine().Utf8(utf8Lines.substr(0, end)).PrintTo(stream);
    utf8Lines.remove_prefix(end == std::string_view::npos ? utf8Lines.size() : end + 1);
  }
}

}  // namespace cli
