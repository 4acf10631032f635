// Win32 backend: the ANSI calls, with paths in the system code page.

#include "platform/NativeFile.h"

#include <windows.h>

namespace platform::native {
namespace {

HANDLE ToHandle(NativeHandle handle) { return reinterpret_cast<HANDLE>(handle); }

int LastError() {
  const DWORD code = GetLastError();
  return code == 0 ? error_code::kAccessDenied : static_cast<int>(code);
}

}  // namespace

bool FileExists(const std::string& name) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA(name.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return false;
  FindClose(find);
  return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(const std::string& name) {
  const DWORD attributes = GetFileAttributesA(name.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

int GetCurrentDir(std::string& path) {
  char buffer[MAX_PATH + 1];
  const DWORD n = GetCurrentDirectoryA(sizeof buffer, buffer);
  if (n == 0 || n > MAX_PATH) return LastError();
  path.assign(buffer, n);
  return 0;
}

int SetCurrentDir(const std::string& path) {
  return SetCurrentDirectoryA(path.c_str()) ? 0 : LastError();
}

int FullPathFromNative(const std::string& nativePath, std::string& fullPath) {
  char buffer[MAX_PATH + 1];
  const DWORD n = GetFullPathNameA(nativePath.c_str(), sizeof buffer, buffer, nullptr);
  if (n == 0) return LastError();
  if (n > MAX_PATH) return 206;  // the file name is too long
  fullPath.assign(buffer, n);
  return 0;
}

int OpenForReading(const std::string& name, NativeHandle& handle) {
  // Reading only, so read-only files and media load; sharing reading and
  // writing so other programs may keep the file open.
  HANDLE h = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return LastError();
  handle = reinterpret_cast<NativeHandle>(h);
  return 0;
}

int CreateForWriting(const std::string& name, NativeHandle& handle) {
  HANDLE h = CreateFileA(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
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

int RenameFile(const std::string& from, const std::string& to, bool replace) {
  return MoveFileExA(from.c_str(), to.c_str(), replace ? MOVEFILE_REPLACE_EXISTING : 0) ? 0 : LastError();
}

int RemoveFile(const std::string& name) { return DeleteFileA(name.c_str()) ? 0 : LastError(); }

}  // namespace platform::native
