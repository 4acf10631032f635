// Windows passes "*.mnr" to the program as it was typed: the program expands
// it itself, in UTF-16 through the wide calls (the C runtime's own expansion
// goes through the ANSI code page and is turned off in main), and matches
// the long names itself (the system's own matching also looks at the short
// 8.3 names, so "*.mnr" would find "a.mnrx").

#include <windows.h>

#include <algorithm>

#include "cli/FileArguments.h"
#include "platform/CodePage.h"
#include "platform/IoError.h"
#include "platform/win32/WidePath.h"

namespace cli::system_files {

namespace {

struct Entry {
  std::wstring name;
  std::wstring upper;  // the name with its letters in upper case
  bool folder;
};

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool HasWildcards(std::wstring_view text) { return text.find_first_of(L"*?") != std::wstring_view::npos; }

std::wstring Upper(std::wstring text) {
  if (!text.empty()) CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

// The full path of a name as typed, in the form the wide calls take.
std::wstring FullWidePath(const std::wstring& name) {
  return platform::native::LongPathForm(platform::native::FullWidePath(name));
}

// The entries of a folder (as typed; empty for the current one) but "." and
// "..", in name order.
std::vector<Entry> ListFolder(const std::wstring& folder) {
  std::wstring pattern = FullWidePath(folder.empty() ? L"." : folder);
  if (!IsSeparator(pattern.back())) pattern += L'\\';
  pattern += L'*';
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0);
  std::vector<Entry> entries;
  if (find == INVALID_HANDLE_VALUE) {
    if (GetLastError() == ERROR_FILE_NOT_FOUND) return entries;  // a drive's empty root
    throw platform::EInOutError(platform::native::LastError());
  }
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    entries.push_back({name, Upper(name), (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (FindNextFileW(find, &data));
  const DWORD ended = GetLastError();
  FindClose(find);
  if (ended != ERROR_NO_MORE_FILES) throw platform::EInOutError(static_cast<int>(ended));
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
    return a.upper != b.upper ? a.upper < b.upper : a.name < b.name;
  });
  return entries;
}

// A pattern cut into its parts: the root as typed ("C:\", "\\server\share\",
// "\", "C:" or nothing), then each name with the separator typed after it.
struct Part {
  std::wstring name;
  std::wstring separator;
};

std::size_t RootLength(const std::wstring& path) {
  if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
    // \\server\share\ : the server and the share are never patterns.
    std::size_t at = 2;
    for (int names = 0; names < 2 && at < path.size(); ++names) {
      while (at < path.size() && !IsSeparator(path[at])) ++at;
      if (at < path.size()) ++at;
    }
    return at;
  }
  std::size_t at = path.size() >= 2 && path[1] == L':' ? 2 : 0;
  if (at < path.size() && IsSeparator(path[at])) ++at;
  return at;
}

std::vector<Part> PartsOf(const std::wstring& path, std::size_t from) {
  std::vector<Part> parts;
  while (from < path.size()) {
    std::size_t end = from;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    std::size_t after = end;
    while (after < path.size() && IsSeparator(path[after])) ++after;
    parts.push_back({path.substr(from, end - from), path.substr(end, after - end)});
    from = after;
  }
  return parts;
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(FullWidePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Every name that prefix (a folder as typed, with its separator) and
// parts[i...] give, in order.
void Expand(const std::wstring& prefix, const std::vector<Part>& parts, std::size_t i,
            std::vector<std::wstring>& found) {
  if (i == parts.size()) {
    if (Exists(prefix)) found.push_back(prefix);
    return;
  }
  const Part& part = parts[i];
  if (!HasWildcards(part.name)) {
    Expand(prefix + part.name + part.separator, parts, i + 1, found);
    return;
  }
  std::vector<Entry> entries;
  try {
    entries = ListFolder(prefix);
  } catch (const platform::EInOutError&) {
    return;  // a folder that cannot be read holds no match, as in a shell
  }
  // A part followed by a separator names folders.
  const bool foldersOnly = !part.separator.empty();
  const std::wstring pattern = Upper(part.name);
  for (const Entry& entry : entries) {
    if (foldersOnly && !entry.folder) continue;
    if (MatchesPattern(pattern, entry.upper)) Expand(prefix + entry.name + part.separator, parts, i + 1, found);
  }
}

}  // namespace

std::vector<std::string> NamesMatching(const std::string& arg) {
  const std::wstring wide = codepage::AnsiToWide(arg);
  // "\\?\" and "\\.\" ask Windows to take a name as it is.
  if (!HasWildcards(wide) || wide.rfind(L"\\\\?\\", 0) == 0 || wide.rfind(L"\\\\.\\", 0) == 0) return {arg};
  const std::size_t root = RootLength(wide);
  std::vector<std::wstring> found;
  try {
    Expand(wide.substr(0, root), PartsOf(wide, root), 0, found);
  } catch (const platform::EInOutError&) {
    // A name that has no full path matches nothing.
  }
  std::vector<std::string> names;
  for (const std::wstring& name : found) names.push_back(codepage::WideToAnsi(name));
  return names;
}

std::vector<std::string> ProblemFilesIn(const std::string& folder) {
  const std::wstring wide = codepage::AnsiToWide(folder);
  const bool ended = IsSeparator(wide.back()) || wide.back() == L':';
  std::vector<std::string> names;
  for (const Entry& entry : ListFolder(wide)) {
    if (entry.folder) continue;
    const std::string name = codepage::WideToAnsi(entry.name);
    if (HasProblemFileExtension(name)) names.push_back(ended ? folder + name : folder + '\\' + name);
  }
  return names;
}

}  // namespace cli::system_files
