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
#include <memory>
#include <string>
#include <string_view>

#include "platform/FileServices.h"

namespace platform {

class ReplacementFile {
 public:
  // What Commit does when a file already stands at the name: replace it, or
  // leave it and raise 80 (the file exists), for outputs that must never
  // overwrite another's file.
  enum class Existing { kReplace, kKeep };

  // Creates the private file in the folder of name (a full Windows-form
  // path). Raises EInOutError with the system's code when it cannot be made:
  // a missing folder (3), no right to write there (5), a full disk (112).
  ReplacementFile(const std::string& name, std::size_t bufferSize,
                  Existing existing = Existing::kReplace);
  ~ReplacementFile();  // removes the private file unless Commit succeeded
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  // Raises EInOutError when the bytes cannot be written (112 on a full disk).
  void Write(std::string_view bytes);
  // Writes out the rest and puts the file in place of name; when it replaces
  // an earlier file, it is flushed to the disk first, so that after a crash
  // the name holds one or the other whole. Raises EInOutError on any
  // failure, the private file removed.
  void Commit();

 private:
  void WriteOut();
  void WriteOut(const char* bytes, std::size_t count);
  void Discard() noexcept;

  std::string name_;
  Existing existing_;
  NativeHandle handle_ = 0;
  std::string privateName_;  // where the private file has a name, that name
  bool open_ = false;
  std::size_t used_ = 0;
  std::size_t size_;
  std::unique_ptr<char[]> buffer_;  // not zero-filled: every byte is written before it is read
};

}  // namespace platform
