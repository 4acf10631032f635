#pragma once
// Byte-level scanning of paths. Searches from the end step over double-byte
// characters of the active code page, so a trail byte equal to '\' is never
// taken for a separator.

#include <string>
#include <string_view>

// Index of the last character of text that is one of chars, or npos.
std::size_t FindLastOf(std::string_view text, std::string_view chars);

// Windows paths, as the window program holds them.
// "X:" for a path whose second character is ':'; for "\\server\share\..."
// the part before the backslash after the share name (or the whole path);
// otherwise empty.
std::string DrivePrefix(const std::string& path);
// Everything after the last '\' or ':' (the whole path when it has neither).
std::string FileNamePart(const std::string& path);

// The file name without its extension: "a.b.mnr" -> "a.b", "data" -> "data".
// The window program's rule for a Windows name: the last '.', '\' or ':'
// decides, and a dot that begins the name starts an extension (".mnr" ->
// ""). The host's tools' rule, which the command-line programs and the page
// follow for a name without its folder: the last '.' decides, and a dot that
// begins the name belongs to it (".hidden" stays whole).
enum class NameRule { kWindows, kHost };
std::string RemoveExtension(const std::string& fileName, NameRule rule = NameRule::kWindows);

// Paths in the host's own form, as the command-line programs hold them:
// separated by '/' on POSIX systems, by '\', '/' or ':' on Windows.
#ifdef _WIN32
inline constexpr char kHostSeparators[] = "\\/:";
inline constexpr char kHostSeparator = '\\';
#else
inline constexpr char kHostSeparators[] = "/";
inline constexpr char kHostSeparator = '/';
#endif
// The folder part with its last separator ("quiz/" of "quiz/set1.mnr"; ""
// of "set1.mnr"), and the name after it.
std::string HostFolderOf(const std::string& path);
std::string HostNameOf(const std::string& path);
// A folder as typed, made ready to put a name after: "out" -> "out/".
std::string HostFolderPrefix(const std::string& folder);
// A host path as the system stores what it names: on Windows, which drops
// the dots and spaces a name ends in ("x.mnr." is "x.mnr", "out. \a" is
// "out\a"), without them, but for a path that begins "\\?\" or "\\.\"
// (taken as it is); elsewhere the path itself. Messages name files so.
std::string StoredHostPath(const std::string& path);
