#pragma once
// An output that replaces whatever stands at its name whole or not at all.
// The bytes go into a new private file in the same folder (no other user can
// open it, and on Linux it has no name at all while it is written); only when
// it is complete is it put in place by one rename, which replaces a file, a
// symbolic or hard link, or a FIFO standing at the name rather than writing
// through it (a folder there is refused). On any failure, and when the
// program is interrupted (Ctrl-C, SIGTERM, SIGHUP; a console's Ctrl-C,
// Ctrl-Break or close), the private file is removed and what stood at the name
// is untouched. The new file gets the permissions a newly created file gets.
// The system's part is in platform/<system>/ReplacementFile.cpp.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileServices.h"

namespace platform {

class ReplacementFile {
 public:
  // What Commit does when a file already stands at the name: replace it, or
  // leave it and raise 80 (the file exists), for outputs that must never
  // overwrite another's file.
  enum class Existing { kReplace, kKeep };

  // Creates the private file in the folder of hostPath. Raises EInOutError
  // with the system's code when it cannot be made: a missing folder (3), no
  // right to write there (5), a full disk (112).
  ReplacementFile(const std::string& hostPath, std::size_t bufferSize, Existing existing = Existing::kReplace);
  ~ReplacementFile();  // removes the private file unless Commit succeeded
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  // Raises EInOutError when the bytes cannot be written (112 on a full disk).
  void Write(std::string_view bytes);
  // Puts bytes at offset (from the file's start) in place of bytes written
  // there before.
  void Rewrite(std::uint64_t offset, std::string_view bytes);
  // Readies the file to take its name: writes out the rest and, when it
  // replaces an earlier file, flushes it to the disk, so that after a crash
  // the name holds one or the other whole; refuses (5) what the rename would
  // refuse (a folder at the name; on Windows, a file another program holds).
  // Nothing is written after. Raises EInOutError on any failure, the private
  // file removed.
  void Complete();
  // Completes the file (if it is not yet) and puts it in place of its name.
  // Raises EInOutError on any failure, the private file removed.
  void Commit();
  // Copies what was written (all of it written out first) to sink, a
  // piece at a time, and removes the file: an output held only until it is
  // complete (a workbook for a stream that cannot be rewritten).
  template <typename Sink>
  void CopyTo(Sink&& sink);
  const std::string& HostPath() const { return hostPath_; }

 private:
  void WriteOut();
  void WriteOut(const char* bytes, std::size_t count);
  void Discard() noexcept;
  // Reads up to count bytes at offset; returns how many arrived.
  std::size_t ReadAt(std::uint64_t offset, char* buffer, std::size_t count);

  std::string hostPath_;
  Existing existing_;
  NativeHandle handle_ = 0;
  std::string privateName_;  // where the private file has a name, that name
  bool open_ = false;
  bool completed_ = false;
  std::uint64_t written_ = 0;  // bytes handed to the file
  std::size_t used_ = 0;
  std::size_t size_;
  std::unique_ptr<char[]> buffer_;  // not zero-filled: every byte is written before it is read
};

// Puts a set of outputs in place as one: every file is completed first, so
// that a failure then leaves every name as it was (the private files are
// removed with their objects); only then are they renamed, one after
// another, with interrupts waiting until the last. What remains possible is
// a rename failing, or kill -9, between two renames: the first are then
// replaced. Raises the EInOutError of the file that failed; failed is its
// index, renamed how many were put in place before it.
void CommitTogether(const std::vector<ReplacementFile*>& files, std::size_t& failed, std::size_t& renamed);

template <typename Sink>
void ReplacementFile::CopyTo(Sink&& sink) {
  WriteOut();
  for (std::uint64_t at = 0; at < written_;) {
    const std::size_t n = ReadAt(at, buffer_.get(), size_);
    if (n == 0) break;
    sink(std::string_view(buffer_.get(), n));
    at += n;
  }
  Discard();
}

}  // namespace platform
