#include "cli/OutputFiles.h"

#include "format/GenreText.h"
#include "path/PathText.h"
#include "platform/FileServices.h"

namespace cli {

namespace {

#ifdef _WIN32
constexpr char kSeparators[] = "\\/:";
constexpr char kSeparator = '\\';
#else
constexpr char kSeparators[] = "/";
constexpr char kSeparator = '/';
#endif

// Searched with the code page's double-byte stepping: a Shift-JIS trail byte
// 0x5C in a Windows name is not a separator.
bool EndsWithSeparator(const std::string& path) {
  return !path.empty() && FindLastOf(path, kSeparators) == path.size() - 1;
}

std::string DirectoryOf(const std::string& path) {
  const std::size_t last = FindLastOf(path, kSeparators);
  return last == std::string::npos ? std::string() : path.substr(0, last + 1);
}

}  // namespace

std::vector<std::string> ShownGenreFileNames(const std::string& problemFile,
                                             const std::string& outputDirShown,
                                             const std::string& base) {
  std::string dir = outputDirShown.empty() ? DirectoryOf(problemFile) : outputDirShown;
  if (!dir.empty() && !EndsWithSeparator(dir)) dir += kSeparator;
  std::vector<std::string> names;
  for (int g = 0; g < mnr_layout::kGenreCount; ++g) {
    names.push_back(dir + base + std::to_string(g) + ".txt");
  }
  return names;
}

std::string ExpectedGenreText(const T_mnrFormat& problems, int genre, TextEncoding encoding) {
  std::string text;
  WriteGenreText(problems, genre, encoding, [&](std::string_view bytes) { text += bytes; });
  return text;
}

FileState CheckGenreFile(const std::string& shownName, const std::string& expected) {
  try {
    const std::string path = platform::FullPathFromNative(shownName);
    if (!platform::FileExists(path)) return FileState::kMissing;
    platform::BlockFile file(path);
    std::string actual;
    char chunk[65536];
    // One chunk past the expected size is enough to see that it is longer.
    while (actual.size() <= expected.size()) {
      const std::size_t arrived = file.Read(chunk, sizeof chunk);
      if (arrived == 0) break;
      actual.append(chunk, arrived);
    }
    file.Close();
    return actual == expected ? FileState::kComplete : FileState::kDifferent;
  } catch (const std::exception&) {
    return FileState::kDifferent;  // unreadable: cannot be vouched for
  }
}

}  // namespace cli
