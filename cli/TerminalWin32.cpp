#include <windows.h>

#include <cstdio>

#include "platform/CodePage.h"
#include "cli/Terminal.h"

namespace cli {

namespace {

std::wstring HostToWide(const std::string& text) {
  std::wstring wide;
  if (text.empty()) return wide;
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
  wide.resize(length);
  MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
  return wide;
}

std::string WideToHost(const std::wstring& wide) {
  std::string text;
  if (wide.empty()) return text;
  const int size = static_cast<int>(wide.size());
  const int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  text.resize(length);
  WideCharToMultiByte(CP_ACP, 0, wide.data(), size, text.data(), length, nullptr, nullptr);
  return text;
}

}  // namespace

// A console gets UTF-16, so Japanese shows whatever its code page; a pipe or
// file gets the ANSI code page, which is what other programs read there.
void TerminalLine::PrintTo(Stream stream) const {
  std::wstring line;
  std::size_t invalidBytes = 0;  // shown as U+FFFD, which is warning enough
  for (const Piece& piece : pieces_) {
    line += piece.cp932 ? codepage::Cp932ToWide(piece.text, invalidBytes) : HostToWide(piece.text);
  }
  line += L'\n';
  FILE* file = stream == Stream::kOut ? stdout : stderr;
  HANDLE handle = GetStdHandle(stream == Stream::kOut ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
  DWORD mode = 0;
  if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
    std::fflush(file);
    DWORD written = 0;
    WriteConsoleW(handle, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    return;
  }
  const std::string bytes = WideToHost(line);
  std::fwrite(bytes.data(), 1, bytes.size(), file);
}

}  // namespace cli
