// Win32 backend of ReplacementFile. The private file is opened without
// sharing (nobody else can open it) and marked for deletion at once, so the
// system removes it when its handle closes, however the program ends (Ctrl-C,
// TerminateProcess, a crash). When complete it is flushed, unmarked and
// renamed over the output through its own handle. A console's Ctrl-C,
// Ctrl-Break or close waits for a rename in progress, so the program never
// ends between unmarking and renaming.

#define _CRT_RAND_S  // rand_s: random numbers from the system
#include <stdlib.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/CodePage.h"
#include "platform/NativeFile.h"
#include "platform/win32/WidePath.h"

namespace platform::native {
namespace {

constexpr int kAttempts = 100;  // random names tried before giving up

SRWLOCK commitLock = SRWLOCK_INIT;

// Runs in a thread of its own. Taking the lock for good means no rename is
// half done when the system's handler then ends the program.
BOOL WINAPI HoldCommitsThenEnd(DWORD) {
  AcquireSRWLockExclusive(&commitLock);
  return FALSE;
}

void EndCleanlyOnConsoleEvents() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  SetConsoleCtrlHandler(HoldCommitsThenEnd, TRUE);
}

bool MarkForDeletion(HANDLE file, bool remove) {
  FILE_DISPOSITION_INFO info{};
  info.DeleteFile = remove ? TRUE : FALSE;
  return SetFileInformationByHandle(file, FileDispositionInfo, &info, sizeof info);
}

// Renames the open file to target, replacing what stands there if asked.
bool RenameOver(HANDLE file, const std::wstring& target, bool replace) {
  const std::size_t nameBytes = target.size() * sizeof(wchar_t);
  std::vector<char> buffer(sizeof(FILE_RENAME_INFO) + nameBytes);
  auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  info->ReplaceIfExists = replace ? TRUE : FALSE;
  info->RootDirectory = nullptr;
  info->FileNameLength = static_cast<DWORD>(nameBytes);
  std::memcpy(info->FileName, target.c_str(), nameBytes + sizeof(wchar_t));
  return SetFileInformationByHandle(file, FileRenameInfo, info, static_cast<DWORD>(buffer.size()));
}

std::wstring RandomName(const std::wstring& folder) {
  unsigned int high = 0, low = 0;
  rand_s(&high);
  rand_s(&low);
  wchar_t name[40];
  std::swprintf(name, 40, L"\\.munemoji-%08x%08x.tmp", high, low);
  return folder + name;
}

}  // namespace

int CreatePrivateBeside(const std::string& name, NativeHandle& handle, std::string& privateName) {
  EndCleanlyOnConsoleEvents();
  privateName.clear();  // the handle alone removes it
  // The folder is found in UTF-16: in code page 932 a '\' byte may be the
  // second half of a character.
  const std::wstring wide = codepage::AnsiToWide(name);
  const std::size_t separator = wide.find_last_of(L"\\/");
  const std::wstring folder = separator == std::wstring::npos ? L"." : wide.substr(0, separator);
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const std::wstring candidate = LongPathForm(RandomName(folder));
    HANDLE file = CreateFileW(candidate.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) continue;
      return LastError();
    }
    if (!MarkForDeletion(file, true)) {
      const int code = LastError();
      CloseHandle(file);
      DeleteFileW(candidate.c_str());
      return code;
    }
    handle = reinterpret_cast<NativeHandle>(file);
    return 0;
  }
  return ERROR_FILE_EXISTS;
}

int CompletePrivate(NativeHandle& handle, const std::string&, const std::string& name, bool replace) {
  const std::wstring target = WidePath(name);
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return 0;  // nothing to replace
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return ERROR_ACCESS_DENIED;
  if (!replace) return 0;  // refused by the rename: the file exists
  // A file another program holds without letting it go cannot be replaced:
  // refused now, with the code the rename would give, before any output of
  // a set is renamed.
  HANDLE existing = CreateFileW(target.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS,
                                nullptr);
  if (existing == INVALID_HANDLE_VALUE) {
    return GetLastError() == ERROR_SHARING_VIOLATION ? ERROR_ACCESS_DENIED : LastError();
  }
  CloseHandle(existing);
  // On the disk before it replaces an earlier file, as on other systems.
  return FlushFileBuffers(reinterpret_cast<HANDLE>(handle)) ? 0 : LastError();
}

int PutInPlace(NativeHandle handle, const std::string&, const std::string& name, bool replace) {
  HANDLE file = reinterpret_cast<HANDLE>(handle);
  HoldInterrupts();
  int code = 0;
  const std::wstring target = WidePath(name);
  if (!MarkForDeletion(file, false)) code = LastError();
  if (code == 0 && !RenameOver(file, target, replace)) {
    code = LastError();
    // A file at the name, as every system reports it (the rename says 183).
    if (code == ERROR_ALREADY_EXISTS) code = ERROR_FILE_EXISTS;
    MarkForDeletion(file, true);
  }
  if (!CloseHandle(file) && code == 0) code = LastError();
  ReleaseInterrupts();
  return code;
}

namespace {
int heldDepth = 0;
}  // namespace

void HoldInterrupts() {
  if (heldDepth++ == 0) AcquireSRWLockExclusive(&commitLock);
}

void ReleaseInterrupts() {
  if (--heldDepth == 0) ReleaseSRWLockExclusive(&commitLock);
}

void DiscardPrivate(NativeHandle handle, const std::string&) noexcept {
  CloseHandle(reinterpret_cast<HANDLE>(handle));  // marked for deletion: this removes it
}

}  // namespace platform::native
