// POSIX backend: Windows-form paths reach the host through the drive table;
// errno values become the Windows error codes the rest of the program knows.

#include "platform/NativeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/posix/DriveTable.h"
#include "platform/posix/HostPath.h"

namespace platform::native {
namespace {

constexpr int kErrorNotEnoughMemory = 8;
constexpr int kErrorFileExists = 80;
constexpr int kErrorInvalidParameter = 87;
constexpr int kErrorInvalidName = 123;
constexpr int kErrorFilenameTooLong = 206;
constexpr int kErrorDirectoryName = 267;  // "the directory name is invalid"
constexpr int kErrorUnexpectedNetwork = 59;
constexpr int kErrorBadNetPath = 53;
constexpr int kErrorIoDevice = 1117;
constexpr int kErrorPipeNotConnected = 233;  // a FIFO with nobody reading it

bool ParentExists(const std::string& hostPath) {
  const std::size_t slash = hostPath.find_last_of('/');
  if (slash == std::string::npos) return true;
  struct stat st;
  const std::string parent = slash == 0 ? "/" : hostPath.substr(0, slash);
  return stat(parent.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

int WindowsCode(int err, const std::string& hostPath) {
  switch (err) {
    case ENOENT:
      return ParentExists(hostPath) ? error_code::kFileNotFound : error_code::kPathNotFound;
    case ENOTDIR:
      return error_code::kPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      return error_code::kAccessDenied;
    case EMFILE:
    case ENFILE:
      return error_code::kTooManyOpenFiles;
    case ENOSPC:
    case EDQUOT:
      return error_code::kSystemDiskFull;
    case EBUSY:
    case ETXTBSY:
      return error_code::kSharingViolation;
    case EEXIST:
      return kErrorFileExists;
    case ENAMETOOLONG:
      return kErrorFilenameTooLong;
    case ENOMEM:
      return kErrorNotEnoughMemory;
    case EINVAL:
      return kErrorInvalidParameter;
    case EIO:
      return kErrorIoDevice;
    case ENXIO:
      return kErrorPipeNotConnected;
    // errno values that would read as a code of the message table.
    case ENETDOWN:
    case ENETUNREACH:
    case ECONNABORTED:
    case EISCONN:
      return kErrorUnexpectedNetwork;
    default:
      return err;  // shown as "I/O エラー (n)"
  }
}

namespace {

// Characters Windows refuses inside a file name.
bool HasInvalidNameCharacter(const std::string& windowsPath) {
  const std::size_t start = (windowsPath.size() >= 2 && windowsPath[1] == ':') ? 2 : 0;
  return windowsPath.find_first_of("*?\"<>|", start) != std::string::npos ||
         windowsPath.find(':', start) != std::string::npos;
}

}  // namespace

int HostPathOf(const std::string& windowsPath, std::string& host) {
  if (windowsPath.empty() || HasInvalidNameCharacter(windowsPath)) return kErrorInvalidName;
  if (drive_table::ToHostPath(windowsPath, host)) return 0;
  const bool network = windowsPath.size() >= 2 && windowsPath[0] == '\\' && windowsPath[1] == '\\';
  return network ? kErrorBadNetPath : error_code::kPathNotFound;
}

bool FileExists(const std::string& host) {
  struct stat st;
  return stat(host.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& host) {
  struct stat st;
  return stat(host.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

Entry EntryAt(const std::string& host) {
  struct stat st;
  if (lstat(host.c_str(), &st) != 0) return Entry::kNone;
  return S_ISDIR(st.st_mode) ? Entry::kFolder : Entry::kOther;
}

namespace {

FileIdentity IdentityOfStat(const struct stat& st) {
  return FileIdentity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

}  // namespace

std::optional<FileIdentity> IdentityOf(const std::string& host) {
  struct stat st;
  if (stat(host.c_str(), &st) != 0) return std::nullopt;
  return IdentityOfStat(st);
}

std::optional<FileIdentity> IdentityOfStandardInput() {
  struct stat st;
  if (fstat(STDIN_FILENO, &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return IdentityOfStat(st);
}

int GetCurrentDir(std::string& path) {
  return drive_table::FullWindowsPath(".", path) ? 0 : error_code::kPathNotFound;
}

int SetCurrentDir(const std::string& path) {
  std::string host, full;
  if (int code = HostPathOf(path, host)) return code;
  struct stat st;
  if (stat(host.c_str(), &st) != 0) return WindowsCode(errno, host);
  if (!S_ISDIR(st.st_mode)) return kErrorDirectoryName;
  if (access(host.c_str(), X_OK) != 0) return WindowsCode(errno, host);
  drive_table::FullWindowsPath(path, full);
  drive_table::SetCurrent(full);
  return 0;
}

namespace {

// Opens without waiting for the other end of a FIFO, then goes back to
// ordinary blocking reads and writes.
int OpenWithoutBlocking(const std::string& host, int flags, NativeHandle& handle) {
  const int fd = open(host.c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) return WindowsCode(errno, host);
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  handle = fd;
  return 0;
}

}  // namespace

int OpenForReading(const std::string& host, NativeHandle& handle) {
  // A FIFO without a writer opens at once and reads as empty; reads from
  // anything but a regular file (which ignores the flag) then block again.
  const int fd = open(host.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return WindowsCode(errno, host);
  struct stat st;
  if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    close(fd);
    return error_code::kAccessDenied;  // as Windows refuses to open a folder as a file
  }
  if (!S_ISREG(st.st_mode)) fcntl(fd, F_SETFL, 0);
  handle = fd;
  return 0;
}

int CreateForWriting(const std::string& host, NativeHandle& handle) {
  // A FIFO without a reader cannot be opened without waiting: ENXIO.
  return OpenWithoutBlocking(host, O_WRONLY | O_CREAT | O_TRUNC, handle);
}

std::optional<std::uint64_t> RegularFileSize(NativeHandle handle) {
  struct stat st;
  if (fstat(static_cast<int>(handle), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return static_cast<std::uint64_t>(st.st_size);
}

int WriteAt(NativeHandle handle, std::uint64_t offset, const void* bytes, std::size_t count) {
  const char* p = static_cast<const char*>(bytes);
  while (count > 0) {
    const ssize_t n = pwrite(static_cast<int>(handle), p, count, static_cast<off_t>(offset));
    if (n < 0) {
      if (errno == EINTR) continue;
      return WindowsCode(errno, "");
    }
    p += n;
    offset += static_cast<std::uint64_t>(n);
    count -= static_cast<std::size_t>(n);
  }
  return 0;
}

int Read(NativeHandle handle, void* buffer, std::size_t count, std::size_t& arrived) {
  ssize_t n;
  do {
    n = read(static_cast<int>(handle), buffer, count);
  } while (n < 0 && errno == EINTR);
  if (n < 0) return WindowsCode(errno, "");
  arrived = static_cast<std::size_t>(n);
  return 0;
}

int Write(NativeHandle handle, const void* bytes, std::size_t count) {
  const char* p = static_cast<const char*>(bytes);
  while (count > 0) {
    const ssize_t n = write(static_cast<int>(handle), p, count);
    if (n < 0) {
      if (errno == EINTR) continue;
      return WindowsCode(errno, "");
    }
    p += n;
    count -= static_cast<std::size_t>(n);
  }
  return 0;
}

int ReadAt(NativeHandle handle, std::uint64_t offset, void* buffer, std::size_t count, std::size_t& arrived) {
  ssize_t n;
  do {
    n = pread(static_cast<int>(handle), buffer, count, static_cast<off_t>(offset));
  } while (n < 0 && errno == EINTR);
  if (n < 0) return WindowsCode(errno, "");
  arrived = static_cast<std::size_t>(n);
  return 0;
}

int Skip(NativeHandle handle, std::uint64_t count) {
  return lseek(static_cast<int>(handle), static_cast<off_t>(count), SEEK_CUR) < 0 ? WindowsCode(errno, "") : 0;
}

bool HasWindowsForm(const std::string& host) { return drive_table::HasWindowsForm(host); }

std::string TemporaryFolder() {
  const char* folder = std::getenv("TMPDIR");
  return folder != nullptr && folder[0] == '/' ? folder : "/tmp";
}

int Close(NativeHandle handle) {
  return close(static_cast<int>(handle)) == 0 ? 0 : WindowsCode(errno, "");
}

}  // namespace platform::native
