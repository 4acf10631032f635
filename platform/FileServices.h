#pragma once
// The file and directory operations the program performs. The window
// program's own operations take Windows paths (drive letters, '\'): on
// POSIX systems they reach the host through the drive table
// (platform/posix/DriveTable.h). The command-line programs hold paths in the
// host's own form, as the user typed them, and open files by them directly.
// Every failing operation raises EInOutError with a Windows error code,
// except the two existence tests.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/IoError.h"

namespace platform {

using NativeHandle = std::intptr_t;

// True when an entry of that name exists and is not a directory. Never raises.
bool FileExists(const std::string& name);
// True when the name is an existing directory. Never raises.
bool DirectoryExists(const std::string& name);

// The full current directory, e.g. "C:\quiz" or "Z:\home\user".
std::string GetCurrentDir();
void SetCurrentDir(const std::string& path);

// The host's own path for a Windows path (itself on Windows); raises the
// code the system would give for a name it cannot reach.
std::string HostPathOf(const std::string& windowsPath);
// Whether a host path names a folder. Never raises.
bool IsHostDirectory(const std::string& hostPath);
// What stands at a host path itself: a link is itself, whatever it points
// to (or whether it points anywhere). Never raises.
enum class Entry { kNone, kFolder, kOther };
Entry EntryAt(const std::string& hostPath);
// Raises 3 (the path is not found) for a host path that has no Windows form
// (POSIX: a name holding the form the drive table gives a character Windows
// forbids in names, such as U+F05C for '\').
void RequireWindowsForm(const std::string& hostPath);

// Which file a name reaches, whatever the name: two names for one file (a
// hard link, a symbolic link, another spelling) give the same identity.
struct FileIdentity {
  std::uint64_t volume = 0;
  std::uint64_t file = 0;
  auto operator<=>(const FileIdentity&) const = default;
};
// Nothing when no file is at the host path.
std::optional<FileIdentity> IdentityOf(const std::string& hostPath);
// The folder for files only this program sees (a host path).
std::string TemporaryFolder();
// The file standard input reads, when it is one (not a pipe or a terminal).
std::optional<FileIdentity> IdentityOfStandardInput();

// A file opened for whole-block reads: reading only, sharing reading and
// writing with other programs, the file must exist.
class BlockFile {
 public:
  // By the window program's Windows path.
  explicit BlockFile(const std::string& name);
  // By a host path (what the command-line programs hold).
  struct Host {
    const std::string& path;
  };
  explicit BlockFile(Host host);
  ~BlockFile();  // releases the handle quietly if Close was not reached
  BlockFile(const BlockFile&) = delete;
  BlockFile& operator=(const BlockFile&) = delete;

  // Reads up to count bytes; returns how many arrived (fewer only at the end
  // of the file).
  std::size_t Read(void* buffer, std::size_t count);
  // The size of a regular file; nothing for a pipe or a device.
  std::optional<std::uint64_t> Size() const;
  // Passes over count bytes without reading them (a regular file).
  void Skip(std::uint64_t count);
  void Close();

 private:
  NativeHandle handle_;
  bool open_ = true;
};

// A file created (or truncated) for writing text through a 128-byte buffer
// (or one of the given size). The buffer is written out each time it fills
// and at Close.
class TextFile {
 public:
  static constexpr std::size_t kBufferSize = 128;

  explicit TextFile(const std::string& name, std::size_t bufferSize = kBufferSize);
  ~TextFile();  // releases the handle quietly, without writing out, if still open
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;

  void Write(std::string_view bytes);
  // 1. not open: raises 103. 2. write-out; a failure raises and the file stays
  // open (with its buffer emptied). 3. marked closed, then the handle is
  // closed; a failure raises, and the file already counts as closed.
  void Close();
  bool IsOpen() const { return open_; }

 private:
  // Empties the buffer first, then hands its former contents to the system
  // once: a failed write-out loses them.
  void WriteOut();

  NativeHandle handle_;
  bool open_ = true;
  std::size_t used_ = 0;
  std::vector<char> buffer_;
};

}  // namespace platform
