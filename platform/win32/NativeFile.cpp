// Win32 backend: the wide calls, with paths converted from the active code
// page (UTF-8 under the programs' manifests) through the code-page module.

#include "platform/NativeFile.h"

#include <windows.h>

#include "platform/CodePage.h"
#include "platform/win32/WidePath.h"

namespace platform::native {
namespace {

HANDLE ToHandle(NativeHandle handle) { return reinterpret_cast<HANDLE>(handle); }

bool IsFull(const std::wstring& path) {
  const bool drive = path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/');
  const bool network = path.size() >= 2 && (path[0] == L'\\' || path[0] == L'/') && (path[1] == L'\\' || path[1] == L'/');
  return drive || network;
}

}  // namespace

std::wstring LongPathForm(std::wstring path) {
  if (path.size() < MAX_PATH || !IsFull(path) || path.rfind(L"\\\\?\\", 0) == 0) return path;
  // The "\\?\" form takes the path as it is: separators must be '\'.
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  if (path[1] == L':') return L"\\\\?\\" + path;
  return L"\\\\?\\UNC" + path.substr(1);  // \\server\share -> \\?\UNC\server\share
}

std::wstring WidePath(const std::string& path) { return LongPathForm(codepage::AnsiToWide(path)); }

int LastError() {
  const DWORD code = GetLastError();
  return code == 0 ? error_code::kAccessDenied : static_cast<int>(code);
}

bool FileExists(const std::string& name) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(WidePath(name).c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return false;
  FindClose(find);
  return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(const std::string& name) {
  const DWORD attributes = GetFileAttributesW(WidePath(name).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

int GetCurrentDir(std::string& path) {
  const DWORD size = GetCurrentDirectoryW(0, nullptr);
  if (size == 0) return LastError();
  std::wstring buffer(size, L'\0');
  const DWORD n = GetCurrentDirectoryW(size, buffer.data());
  if (n == 0 || n >= size) return LastError();
  buffer.resize(n);
  path = codepage::WideToAnsi(buffer);
  return 0;
}

int SetCurrentDir(const std::string& path) {
  // The system keeps the current directory below 260 characters in any form.
  return SetCurrentDirectoryW(codepage::AnsiToWide(path).c_str()) ? 0 : LastError();
}

int FullPathFromNative(const std::string& nativePath, std::string& fullPath) {
  const std::wstring wide = codepage::AnsiToWide(nativePath);
  const DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (size == 0) return LastError();
  std::wstring buffer(size, L'\0');
  const DWORD n = GetFullPathNameW(wide.c_str(), size, buffer.data(), nullptr);
  if (n == 0 || n >= size) return LastError();
  buffer.resize(n);
  fullPath = codepage::WideToAnsi(buffer);
  return 0;
}

int OpenForReading(const std::string& name, NativeHandle& handle) {
  // Reading only, so read-only files and media load; sharing reading and
  // writing so other programs may keep the file open.
  HANDLE h = CreateFileW(WidePath(name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return LastError();
  handle = reinterpret_cast<NativeHandle>(h);
  return 0;
}

int CreateForWriting(const std::string& name, NativeHandle& handle) {
  HANDLE h = CreateFileW(WidePath(name).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return LastError();
  handle = reinterpret_cast<NativeHandle>(h);
  return 0;
}

int Read(NativeHandle handle, void* buffer, std::size_t count, std::size_t& arrived) {
  // ReadFile takes a 32-bit count; larger requests arrive in pieces.
  const DWORD ask = count > 0x40000000u ? 0x40000000u : static_cast<DWORD>(count);
  DWORD n = 0;
  if (!ReadFile(ToHandle(handle), buffer, ask, &n, nullptr)) return LastError();
  arrived = n;
  return 0;
}

int Write(NativeHandle handle, const void* bytes, std::size_t count) {
  DWORD n = 0;
  if (!WriteFile(ToHandle(handle), bytes, static_cast<DWORD>(count), &n, nullptr)) return LastError();
  // A short write means the disk filled up.
  return n == count ? 0 : error_code::kSystemDiskFull;
}

int Close(NativeHandle handle) { return CloseHandle(ToHandle(handle)) ? 0 : LastError(); }

}  // namespace platform::native
