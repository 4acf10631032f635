#pragma once
// Byte-level scanning of Windows paths. Searches from the end step over
// double-byte characters of the active code page, so a trail byte equal to
// '\' is never taken for a separator.

#include <string>
#include <string_view>

// Index of the last character of text that is one of chars, or npos.
std::size_t FindLastOf(std::string_view text, std::string_view chars);

// "X:" for a path whose second character is ':'; for "\\server\share\..."
// the part before the backslash after the share name (or the whole path);
// otherwise empty.
std::string DrivePrefix(const std::string& path);

// Everything after the last '\' or ':' (the whole path when it has neither).
std::string FileNamePart(const std::string& path);

// The file name without its extension: "a.b.mnr" -> "a.b", "data" -> "data".
std::string RemoveExtension(const std::string& fileName);
