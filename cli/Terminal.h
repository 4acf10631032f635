#pragma once
// Lines for the terminal, made of text in three encodings: the host's own
// (file names as the user typed them), CP932 (the window program's messages
// and genre names) and UTF-8 (the command-line programs' own texts). Linux
// gets UTF-8 whatever the locale; a Windows console gets UTF-16, so any
// console code page shows Japanese; a Windows pipe or file gets the active
// code page (UTF-8 under the programs' manifests).
// File contents never pass through here. Control bytes of either kind are
// shown visibly in caret form (ESC as "^[", TAB as "^I", DEL as "^?"), and
// the C1 controls (U+0080 to U+009F) and the bidirectional embeddings,
// overrides and isolates (U+202A to U+202E, U+2066 to U+2069) as "<U+009B>",
// "<U+202E>", so a name cannot steer the terminal, break a line apart or
// make it read in another order.

#include <string>
#include <string_view>
#include <vector>

namespace cli {

enum class Stream { kOut, kErr };

class TerminalLine {
 public:
  TerminalLine& Host(std::string_view text);
  TerminalLine& Cp932(std::string_view text);
  TerminalLine& Utf8(std::string_view text);
  // A UTF-8 text whose "{1}" stands for a host text (a file name).
  TerminalLine& Utf8Naming(std::string_view utf8, std::string_view host);
  // A real TAB, as a column separator.
  TerminalLine& Tab();
  // Prints the line and a line break.
  void PrintTo(Stream stream) const;

 private:
  enum class Encoding { kHost, kCp932, kUtf8 };
  struct Piece {
    Encoding encoding;
    std::string text;
  };
  std::vector<Piece> pieces_;
};

// On Windows, when the console is the program's own (it was started from
// Explorer, as by dropping a file on it) and reads from the keyboard, shows
// prompt (UTF-8) and waits for Enter, so what was printed can be read. Elsewhere
// nothing.
void WaitIfConsoleIsOwn(const char* prompt);

// Prints a UTF-8 text of whole lines, each ending in "\n", line by line.
void PrintText(Stream stream, std::string_view utf8Lines);

// A whole line as the terminal gets it, with the code points above in their
// "<U+XXXX>" form: in UTF-8 (POSIX) or UTF-16 (Windows).
std::string ShowCodePoints(std::string_view utf8);
std::wstring ShowCodePoints(std::wstring_view utf16);

}  // namespace cli
