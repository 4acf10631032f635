#include "cli/FileIdentity.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/CodePage.h"
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace cli {

#ifdef _WIN32
namespace {

std::optional<FileIdentity> IdentityOfHandle(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle, &info)) return std::nullopt;
  return FileIdentity{info.dwVolumeSerialNumber,
                      (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

}  // namespace

std::optional<FileIdentity> IdentityOf(const std::string& hostPath) {
  // No access asked: this opens files that others hold, and folders.
  HANDLE handle = CreateFileW(codepage::AnsiToWide(hostPath).c_str(), 0,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  const auto identity = IdentityOfHandle(handle);
  CloseHandle(handle);
  return identity;
}

std::optional<FileIdentity> IdentityOfStandardInput() {
  HANDLE handle = GetStdHandle(STD_INPUT_HANDLE);
  if (handle == INVALID_HANDLE_VALUE || handle == nullptr || GetFileType(handle) != FILE_TYPE_DISK) {
    return std::nullopt;
  }
  return IdentityOfHandle(handle);
}
#else
namespace {

FileIdentity IdentityOfStat(const struct stat& st) {
  return FileIdentity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

}  // namespace

std::optional<FileIdentity> IdentityOf(const std::string& hostPath) {
  struct stat st;
  if (stat(hostPath.c_str(), &st) != 0) return std::nullopt;
  return IdentityOfStat(st);
}

std::optional<FileIdentity> IdentityOfStandardInput() {
  struct stat st;
  if (fstat(STDIN_FILENO, &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return IdentityOfStat(st);
}
#endif

}  // namespace cli
