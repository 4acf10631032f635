#pragma once
// "-" as FILE: the problem file read straight from standard input (a pipe, a
// redirected file, a terminal). No copy is made anywhere, and no more is read
// than the loader asks for: the header and the records its counts announce;
// whatever follows stays unread, as it does in a file given by name.

#include <string>

#include "format/mnrFormat.h"

namespace cli {

// "stdin" for "-", else the name as typed.
std::string ShownFileName(const std::string& file);

// Standard input as raw bytes (never translated, on any system). Its end, or
// a fault while reading it, ends it for good.
class StandardInputSource final : public ProblemSource {
 public:
  std::size_t Read(void* buffer, std::size_t count) override;

 private:
  bool ended_ = false;
};

}  // namespace cli
