#include "cli/Terminal.h"

namespace cli {

namespace {

// Neither CP932 trail bytes nor UTF-8 continuation bytes are ever below 0x40,
// so this byte-wise look at both kinds of text never splits a character.
std::string ShowControls(std::string_view text) {
  std::string shown;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      shown += '^';
      shown += static_cast<char>(byte ^ 0x40);
    } else {
      shown += c;
    }
  }
  return shown;
}

}  // namespace

TerminalLine& TerminalLine::Host(std::string_view text) {
  pieces_.push_back({false, ShowControls(text)});
  return *this;
}

TerminalLine& TerminalLine::Cp932(std::string_view text) {
  pieces_.push_back({true, ShowControls(text)});
  return *this;
}

TerminalLine& TerminalLine::Tab() {
  pieces_.push_back({false, "\t"});
  return *this;
}

void Report(Stream stream, std::string_view name, std::string_view cp932Message) {
  TerminalLine().Host("mnr2txt: ").Host(name).Host(": ").Cp932(cp932Message).PrintTo(stream);
}

}  // namespace cli
