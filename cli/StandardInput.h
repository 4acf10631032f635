#pragma once
// "-" as FILE: the problem file read from standard input (a pipe or a
// redirected file). The loader reads files by name, so the bytes are copied
// to a temporary file first: memory stays small whatever the size.

#include <string>

namespace cli {

// "stdin" for "-", else the name as typed.
std::string ShownFileName(const std::string& file);

class StandardInputCopy {
 public:
  // Copies all of standard input; raises platform::EInOutError when the
  // temporary file cannot be made or written.
  StandardInputCopy();
  ~StandardInputCopy();  // removes the copy
  StandardInputCopy(const StandardInputCopy&) = delete;
  StandardInputCopy& operator=(const StandardInputCopy&) = delete;

  // The copy's full Windows-form path.
  const std::string& Path() const { return path_; }

 private:
  std::string hostPath_;
  std::string path_;
};

}  // namespace cli
