#pragma once
// The lines of one genre's text file: the genre name, then per problem an
// empty line, the question and five choices, each trimmed of trailing bytes
// <= 0x20. Bytes as held in memory.

#include <functional>
#include <string_view>

class T_mnrFormat;

void ForEachGenreLine(const T_mnrFormat& problems, int genre,
                      const std::function<void(std::string_view line)>& emit);
