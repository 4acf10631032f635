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

std::wstring FullWidePath(const std::wstring& path) {
  const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::wstring full(size, L'\0');
  const DWORD n = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
  if (n == 0 || n >= size) return path;
  full.resize(n);
  return full;
}

// The full form first: a relative name may be short where its full path is
// not.
std::wstring WidePath(const std::string& path) { return LongPathForm(FullWidePath(codepage::AnsiToWide(path))); }

int LastError() {
  const DWORD code = GetLastError();
  return code == 0 ? error_code::kAccessDenied : static_cast<int>(code);
}

int HostPathOf(const std::string& windowsPath, std::string& host) {
  host = windowsPath;
  return 0;
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

// The attributes of a link are its own: they are not followed.
Entry EntryAt(const std::string& name) {
  const DWORD attributes = GetFileAttributesW(WidePath(name).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return Entry::kNone;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? Entry::kFolder : Entry::kOther;
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

namespace {

// A read or write at an offset moves a synchronous handle's position: it is
// put back, so that the next plain write goes on where writing was.
class PositionKept {
 public:
  explicit PositionKept(HANDLE handle) : handle_(handle) {
    const LARGE_INTEGER zero{};
    kept_ = SetFilePointerEx(handle, zero, &position_, FILE_CURRENT);
  }
  ~PositionKept() {
    if (kept_) SetFilePointerEx(handle_, position_, nullptr, FILE_BEGIN);
  }

 private:
  HANDLE handle_;
  LARGE_INTEGER position_{};
  BOOL kept_;
};

}  // namespace

int ReadAt(NativeHandle handle, std::uint64_t offset, void* buffer, std::size_t count, std::size_t& arrived) {
  const PositionKept kept(ToHandle(handle));
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  DWORD n = 0;
  const DWORD ask = count > 0x40000000u ? 0x40000000u : static_cast<DWORD>(count);
  if (!ReadFile(ToHandle(handle), buffer, ask, &n, &at) && GetLastError() != ERROR_HANDLE_EOF) return LastError();
  arrived = n;
  return 0;
}

int Skip(NativeHandle handle, std::uint64_t count) {
  LARGE_INTEGER distance;
  distance.QuadPart = static_cast<LONGLONG>(count);
  return SetFilePointerEx(ToHandle(handle), distance, nullptr, FILE_CURRENT) ? 0 : LastError();
}

bool HasWindowsForm(const std::string&) { return true; }

std::string TemporaryFolder() {
  wchar_t folder[MAX_PATH + 1];
  const DWORD n = GetTempPathW(MAX_PATH + 1, folder);
  return n == 0 || n > MAX_PATH ? std::string(".") : codepage::WideToAnsi(std::wstring_view(folder, n));
}

int WriteAt(NativeHandle handle, std::uint64_t offset, const void* bytes, std::size_t count) {
  const PositionKept kept(ToHandle(handle));
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  DWORD n = 0;
  if (!WriteFile(ToHandle(handle), bytes, static_cast<DWORD>(count), &n, &at)) return LastError();
  return n == count ? 0 : error_code::kSystemDiskFull;
}

std::optional<std::uint64_t> RegularFileSize(NativeHandle handle) {
  LARGE_INTEGER size;
  if (GetFileType(ToHandle(handle)) != FILE_TYPE_DISK || !GetFileSizeEx(ToHandle(handle), &size)) return std::nullopt;
  return static_cast<std::uint64_t>(size.QuadPart);
}

int Close(NativeHandle handle) { return CloseHandle(ToHandle(handle)) ? 0 : LastError(); }

namespace {

std::optional<FileIdentity> IdentityOfHandle(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle, &info)) return std::nullopt;
  return FileIdentity{info.dwVolumeSerialNumber,
                      (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

}  // namespace

std::optional<FileIdentity> IdentityOf(const std::string& host) {
  // No access asked: this opens files that others hold, and folders.
  HANDLE handle = CreateFileW(WidePath(host).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  const auto identity = IdentityOfHandle(handle);
  CloseHandle(handle);
  return identity;
}

std::optional<FileIdentity> IdentityOfStandardInput() {
  HANDLE handle = GetStdHandle(STD_INPUT_HANDLE);
  if (handle == INVALID_HANDLE_VALUE || handle == nullptr || GetFileType(handle) != FILE_TYPE_DISK) return std::nullopt;
  return IdentityOfHandle(handle);
}

}  // namespace platform::native
