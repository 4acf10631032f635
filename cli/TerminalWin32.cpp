#include <windows.h>

#include <cstdio>

#include "platform/CodePage.h"
#include "cli/Terminal.h"

namespace cli {

namespace {

std::wstring WideOfUtf8(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
  return wide;
}

}  // namespace

// A console gets UTF-16, so Japanese shows whatever its code page; a pipe or
// file gets the active code page: UTF-8 under the program's manifest, which
// holds every file name and message (the system's ANSI code page on Windows
// before 10 version 1903, which ignores that entry).
void TerminalLine::PrintTo(Stream stream) const {
  std::wstring line;
  for (const Piece& piece : pieces_) {
    switch (piece.encoding) {
      case Encoding::kHost: line += codepage::AnsiToWide(piece.text); break;
      case Encoding::kCp932: line += codepage::Cp932ToWide(piece.text); break;
      case Encoding::kUtf8: line += WideOfUtf8(piece.text); break;
    }
  }
  line = ShowCodePoints(line) + L'\n';
  FILE* file = stream == Stream::kOut ? stdout : stderr;
  HANDLE handle = GetStdHandle(stream == Stream::kOut ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
  DWORD mode = 0;
  if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
    std::fflush(file);
    DWORD written = 0;
    WriteConsoleW(handle, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    return;
  }
  const std::string bytes = codepage::WideToAnsi(line);
  std::fwrite(bytes.data(), 1, bytes.size(), file);
}

void WaitIfConsoleIsOwn(const char* prompt) {
  DWORD processes[2];
  DWORD mode = 0;
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  // A console shared with a command prompt lists that shell too.
  if (GetConsoleProcessList(processes, 2) != 1 || !GetConsoleMode(input, &mode)) return;
  TerminalLine().Utf8(prompt).PrintTo(Stream::kErr);
  wchar_t line[16];
  DWORD read = 0;
  ReadConsoleW(input, line, 16, &read, nullptr);
}

}  // namespace cli
