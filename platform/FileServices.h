#pragma once
// The file and directory operations the rest of the program performs. Paths
// are Windows paths (drive letters, '\'); every failing operation raises
// EInOutError with a Windows error code, except the two existence tests.

#include <array>
#include <cstddef>
#include <cstdint>
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

// Turns a path as the host's own tools write it ("quiz/set1.mnr" on POSIX,
// "quiz\set1.mnr" on Windows) into a full Windows-form path.
std::string FullPathFromNative(const std::string& nativePath);

// A file opened for whole-block reads: reading only, sharing reading and
// writing with other programs, the file must exist.
class BlockFile {
 public:
  explicit BlockFile(const std::string& name);
  ~BlockFile();  // releases the handle quietly if Close was not reached
  BlockFile(const BlockFile&) = delete;
  BlockFile& operator=(const BlockFile&) = delete;

  // Reads up to count bytes; returns how many arrived (fewer only at the end
  // of the file).
  std::size_t Read(void* buffer, std::size_t count);
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
