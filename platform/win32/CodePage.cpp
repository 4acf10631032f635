#include "platform/CodePage.h"

#include <windows.h>

namespace codepage {

namespace {

constexpr UINT kCp932 = 932;

bool ConvertStrictly(const char* bytes, int size, std::wstring& out) {
  const int length = MultiByteToWideChar(kCp932, MB_ERR_INVALID_CHARS, bytes, size, nullptr, 0);
  if (length <= 0) return false;
  const std::size_t start = out.size();
  out.resize(start + length);
  MultiByteToWideChar(kCp932, MB_ERR_INVALID_CHARS, bytes, size, out.data() + start, length);
  return true;
}

}  // namespace

std::wstring Cp932ToWide(std::string_view cp932, std::size_t& invalidBytes) {
  std::wstring out;
  if (cp932.empty()) return out;
  // Valid text, the usual case, converts in one call; the system refuses the
  // whole text if any byte is invalid, so then go character by character.
  if (ConvertStrictly(cp932.data(), static_cast<int>(cp932.size()), out)) return out;
  for (std::size_t i = 0; i < cp932.size();) {
    const bool lead = IsDBCSLeadByteEx(kCp932, static_cast<BYTE>(cp932[i])) && i + 1 < cp932.size();
    const int size = lead ? 2 : 1;
    if (ConvertStrictly(cp932.data() + i, size, out)) {
      i += size;
    } else {
      out += L'\xFFFD';
      ++invalidBytes;
      ++i;
    }
  }
  return out;
}

void AppendCp932AsUtf8(std::string_view cp932, std::string& out, std::size_t& invalidBytes) {
  const std::wstring wide = Cp932ToWide(cp932, invalidBytes);
  if (wide.empty()) return;
  const int wideSize = static_cast<int>(wide.size());
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideSize, nullptr, 0, nullptr, nullptr);
  const std::size_t start = out.size();
  out.resize(start + length);
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideSize, out.data() + start, length, nullptr, nullptr);
}

}  // namespace codepage
