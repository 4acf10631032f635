#pragma once
// Where two byte strings part, for readable failure messages.

#include <string>

namespace reliability {

// Empty when equal; else the sizes and the first differing offset.
inline std::string FirstDifference(const std::string& actual, const std::string& expected) {
  if (actual == expected) return {};
  std::size_t at = 0;
  while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
  return "sizes " + std::to_string(actual.size()) + " (actual) and " + std::to_string(expected.size()) +
         " (expected), first difference at byte " + std::to_string(at);
}

}  // namespace reliability
