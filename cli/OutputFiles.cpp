#include "cli/OutputFiles.h"

#include <cctype>

#include "cli/Mnr2txtTexts.h"
#include "format/mnrLayout.h"
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

constexpr char kStandardInputName[] = "stdin";

// Searches use the code page's double-byte stepping: a Shift-JIS trail byte
// 0x5C in a Windows name is not a separator.
std::string DirectoryOf(const std::string& path, const char* separators) {
  const std::size_t last = FindLastOf(path, separators);
  return last == std::string::npos ? std::string() : path.substr(0, last + 1);
}

// A file name without its extension, by the host's rules for separators. A
// dot that begins the name starts no extension: ".hidden" stays whole.
std::string BaseName(const std::string& path, const char* separators) {
  const std::size_t last = FindLastOf(path, separators);
  const std::string name = last == std::string::npos ? path : path.substr(last + 1);
  const std::size_t dot = FindLastOf(name, ".");
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

std::vector<std::string> Suffixes(OutputFormat format) {
  switch (format) {
    case OutputFormat::kOneFile: return {".txt"};
    case OutputFormat::kCsv: return {".csv"};
    case OutputFormat::kJson: return {".json"};
    case OutputFormat::kXlsx: return {".xlsx"};
    case OutputFormat::kGenreFiles: break;
  }
  std::vector<std::string> suffixes;
  for (int g = 0; g < mnr_layout::kGenreCount; ++g) suffixes.push_back(std::to_string(g) + ".txt");
  return suffixes;
}

}  // namespace

std::vector<OutputTarget> OutputTargets(OutputFormat format, const std::string& shownFile,
                                        const std::string& fullFile, const std::string& outputDir,
                                        const std::string& outputDirShown) {
  const bool standardInput = shownFile == kStandardStream;
  std::string dir = outputDir;
  if (dir.empty()) {
    dir = standardInput ? platform::GetCurrentDir() : DirectoryOf(fullFile, "\\");
    if (FindLastOf(dir, "\\") + 1 != dir.size()) dir += '\\';
  }
  std::string shownDir = outputDirShown;
  if (shownDir.empty() && !standardInput) shownDir = DirectoryOf(shownFile, kSeparators);
  if (!shownDir.empty() && FindLastOf(shownDir, kSeparators) + 1 != shownDir.size()) shownDir += kSeparator;

  const std::string base = standardInput ? kStandardInputName : BaseName(fullFile, "\\:");
  const std::string shownBase = standardInput ? kStandardInputName : BaseName(shownFile, kSeparators);
  std::vector<OutputTarget> targets;
  for (const std::string& suffix : Suffixes(format)) {
    targets.push_back({dir + base + suffix, shownDir + shownBase + suffix});
  }
  return targets;
}

namespace {

std::string PathKey(const std::string& fullPath) {
#ifdef _WIN32
  std::string key = fullPath;
  for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return key;
#else
  return fullPath;
#endif
}

}  // namespace

void RunFiles::Files::Add(const std::string& fullPath, const std::string& shown) {
  paths.insert(PathKey(fullPath));
  if (const auto identity = IdentityOf(shown)) identities.insert(*identity);
}

bool RunFiles::Files::Holds(const std::string& fullPath, const std::optional<FileIdentity>& identity) const {
  return paths.count(PathKey(fullPath)) || (identity && identities.count(*identity));
}

void RunFiles::AddInput(const std::string& fullPath, const std::string& shown) {
  inputs_.Add(fullPath, shown);
}

void RunFiles::AddInput(const FileIdentity& identity) { inputs_.identities.insert(identity); }

void RunFiles::AddWritten(const std::string& fullPath, const std::string& shown) {
  written_.Add(fullPath, shown);
}

std::string RunFiles::Refusal(const std::string& fullPath, const std::string& shown) const {
  const auto identity = IdentityOf(shown);  // once: a look-up of the name in the file system
  if (inputs_.Holds(fullPath, identity)) return mnr2txt_texts::Say(mnr2txt_texts::kInputOfThisRun);
  if (written_.Holds(fullPath, identity)) return mnr2txt_texts::Say(mnr2txt_texts::kWrittenByThisRun);
  return {};
}

}  // namespace cli
