#include "frontend/Messages.h"

#include "format/ShiftJis.h"

namespace messages {

std::string WithFullStop(const std::string& message) {
  if (message.empty()) return message;
  // Find the start of the last character: a double-byte character counts as
  // one, and its lead byte decides how it sorts.
  std::size_t last = 0;
  for (std::size_t i = 0; i < message.size();) {
    last = i;
    const bool lead = IsShiftJisLeadByte(static_cast<std::uint8_t>(message[i]));
    i += (lead && i + 1 < message.size()) ? 2 : 1;
  }
  const unsigned char first = static_cast<unsigned char>(message[last]);
  return first > '.' ? message + "." : message;
}

std::string GenreListLine(int genre, const std::string& name) {
  return std::string(1, static_cast<char>('0' + genre)) + kGenreSeparator + name;
}

}  // namespace messages
