#include "cli/Terminal.h"

namespace cli {

TerminalLine& TerminalLine::Host(std::string_view text) {
  pieces_.push_back({false, std::string(text)});
  return *this;
}

TerminalLine& TerminalLine::Cp932(std::string_view text) {
  pieces_.push_back({true, std::string(text)});
  return *this;
}

void Report(Stream stream, std::string_view name, std::string_view cp932Message) {
  TerminalLine().Host("mnr2txt: ").Host(name).Host(": ").Cp932(cp932Message).PrintTo(stream);
}

}  // namespace cli
