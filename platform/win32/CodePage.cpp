#include "platform/CodePage.h"

#include <windows.h>

#include "platform/Cp932Encoder.h"

namespace codepage {

namespace {

constexpr UINT kCp932 = 932;

// Single bytes that C libraries' CP932 tables reject but Windows maps (to
// U+0080 and private-use characters): rejected here too, so every build
// converts alike.
bool OutsideCp932(unsigned char byte) { return byte == 0x80 || byte == 0xA0 || byte >= 0xFD; }

bool ConvertStrictly(const char* bytes, int size, std::wstring& out) {
  const int length = MultiByteToWideChar(kCp932, MB_ERR_INVALID_CHARS, bytes, size, nullptr, 0);
  if (length <= 0) return false;
  const std::size_t start = out.size();
  out.resize(start + length);
  MultiByteToWideChar(kCp932, MB_ERR_INVALID_CHARS, bytes, size, out.data() + start, length);
  return true;
}

std::wstring ToWide(UINT codePage, std::string_view bytes) {
  if (bytes.empty()) return {};
  const int size = static_cast<int>(bytes.size());
  const int length = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
  std::wstring text(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, bytes.data(), size, text.data(), length);
  return text;
}

std::string FromWide(UINT codePage, std::wstring_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = WideCharToMultiByte(codePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(codePage, 0, text.data(), size, bytes.data(), length, nullptr, nullptr);
  return bytes;
}

// Built on first use from the system's own conversion to Unicode, one
// character at a time: only writing problem files needs it.
const Cp932Encoder& Encoder() {
  static const Cp932Encoder encoder = [] {
    Cp932Encoder e;
    const auto add = [&e](const char* bytes, int size, std::uint16_t cp932) {
      wchar_t wide[2];
      if (MultiByteToWideChar(kCp932, MB_ERR_INVALID_CHARS, bytes, size, wide, 2) == 1) e.Add(cp932, wide[0]);
    };
    for (int b = 0x80; b < 256; ++b) {
      const char one[1] = {static_cast<char>(b)};
      if (!OutsideCp932(static_cast<unsigned char>(b)) && !IsDBCSLeadByteEx(kCp932, static_cast<BYTE>(b)))
        add(one, 1, static_cast<std::uint16_t>(b));
      if (!IsDBCSLeadByteEx(kCp932, static_cast<BYTE>(b))) continue;
      for (int t = 0; t < 256; ++t) {
        const char two[2] = {static_cast<char>(b), static_cast<char>(t)};
        add(two, 2, static_cast<std::uint16_t>(b << 8 | t));
      }
    }
    return e;
  }();
  return encoder;
}

}  // namespace

bool AppendUtf8AsCp932(std::string_view utf8, std::string& out, std::size_t& failedAt) {
  return Encoder().Append(utf8, out, failedAt);
}

bool IsCanonicalCp932(std::string_view cp932) { return Encoder().IsCanonical(cp932); }

std::wstring Cp932ToWide(std::string_view cp932, std::size_t& invalidBytes) {
  std::wstring out;
  if (cp932.empty()) return out;
  // Valid text, the usual case, converts in one call; the system refuses the
  // whole text if any byte is invalid, so then go character by character.
  bool suspect = false;
  for (char c : cp932) suspect |= OutsideCp932(static_cast<unsigned char>(c));
  if (!suspect && ConvertStrictly(cp932.data(), static_cast<int>(cp932.size()), out)) return out;
  for (std::size_t i = 0; i < cp932.size();) {
    const auto byte = static_cast<unsigned char>(cp932[i]);
    const bool lead = IsDBCSLeadByteEx(kCp932, byte) && i + 1 < cp932.size();
    const int size = lead ? 2 : 1;
    if (!OutsideCp932(byte) && ConvertStrictly(cp932.data() + i, size, out)) {
      i += size;
    } else {
      out += L'\xFFFD';
      ++invalidBytes;
      ++i;
    }
  }
  return out;
}

std::wstring Cp932ToWide(std::string_view cp932) {
  std::size_t ignored = 0;
  return Cp932ToWide(cp932, ignored);
}

void AppendCp932AsUtf8(std::string_view cp932, std::string& out, std::size_t& invalidBytes) {
  out += WideToUtf8(Cp932ToWide(cp932, invalidBytes));
}

std::wstring AnsiToWide(std::string_view ansi) { return ToWide(CP_ACP, ansi); }

std::string WideToAnsi(std::wstring_view wide) { return FromWide(CP_ACP, wide); }

std::string WideToUtf8(std::wstring_view wide) { return FromWide(CP_UTF8, wide); }

}  // namespace codepage
