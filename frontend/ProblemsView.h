#pragma once
// What the problems window shows for one genre, decided apart from any window
// code: its title is the genre's line in the genre list, its text the genre
// file's lines made for reading. The genre name; then per problem an empty
// line, the question numbered from 1 ("1. "), and its five choices numbered
// 1 to 5 ("   1) "). An empty question or choice shows as "（空欄）", so it
// is seen rather than missed. Shift-JIS bytes, like the genre file.

#include <functional>
#include <string>
#include <string_view>

class T_mnrFormat;

namespace problems_view {

// The genre's list line: the digit, "：" and the name.
std::string Title(const T_mnrFormat& problems, int genre);

// Calls emit with each line of the text, without line ends. Only for a
// loaded problem set.
void ForEachLine(const T_mnrFormat& problems, int genre,
                 const std::function<void(std::string_view line)>& emit);

}  // namespace problems_view
