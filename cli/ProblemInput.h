#pragma once
// A FILE argument as the bytes of a problem file: a file by its host path,
// or standard input for "-" (a pipe, a redirected file, a terminal), read
// straight as it comes: no copy is made anywhere. A fault while reading ends
// the bytes, so that the file is then no problem file, as a short one is.

#include <memory>
#include <string>

#include "format/ProblemSource.h"
#include "platform/FileServices.h"

namespace cli {

// "-" as FILE: the problem file comes from standard input, named so.
inline constexpr char kStandardStream[] = "-";
inline constexpr char kStandardInputName[] = "stdin";
// "stdin" for "-", else the name as typed.
std::string ShownFileName(const std::string& file);

class ProblemInput final : public ByteSource {
 public:
  // Opens FILE as typed. A name that is no file (missing, or a folder) gives
  // one that Exists not; raises platform::EInOutError when the file cannot
  // be opened.
  explicit ProblemInput(const std::string& file);
  bool Exists() const { return file_ != nullptr || standardInput_; }
  // No file or folder has the name (nor, where a folder on the way is
  // missing, its path).
  bool Missing() const { return missing_; }

  std::size_t Read(void* buffer, std::size_t count) override;
  std::uint64_t Skip(std::uint64_t count) override;
  std::optional<std::uint64_t> Remaining() const override { return remaining_; }

 private:
  std::unique_ptr<platform::BlockFile> file_;
  bool standardInput_ = false;
  bool ended_ = false;
  bool missing_ = false;
  std::optional<std::uint64_t> remaining_;
};

// Some bytes of standard input as they come (waiting for them where it was
// left non-blocking); 0 at its end or on a fault.
std::size_t ReadSomeOfStandardInput(void* buffer, std::size_t count);

}  // namespace cli
