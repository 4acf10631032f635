#include <cstdio>

#include "platform/CodePage.h"
#include "cli/Terminal.h"

namespace cli {

// UTF-8 whatever the locale: host text (file names) is printed as it is.
void TerminalLine::PrintTo(Stream stream) const {
  std::string line;
  std::size_t invalidBytes = 0;  // shown as U+FFFD, which is warning enough
  for (const Piece& piece : pieces_) {
    if (piece.encoding == Encoding::kCp932) {
      codepage::AppendCp932AsUtf8(piece.text, line, invalidBytes);
    } else {
      line += piece.text;
    }
  }
  line = ShowCodePoints(line) + '\n';
  std::fwrite(line.data(), 1, line.size(), stream == Stream::kOut ? stdout : stderr);
}

void WaitIfConsoleIsOwn(const char*) {}

}  // namespace cli
