#include "cli/FileArguments.h"

#include "cli/ProblemInput.h"
#include "platform/FileServices.h"

namespace cli {

namespace {

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }

// The length of the character at name[i]: a surrogate pair is one.
std::size_t CharacterLength(std::wstring_view name, std::size_t i) {
  return IsHighSurrogate(name[i]) && i + 1 < name.size() ? 2 : 1;
}

}  // namespace

bool MatchesPattern(std::wstring_view pattern, std::wstring_view name) {
  // Greedy, going back to the last "*" on a mismatch: linear in the usual
  // case, never exponential.
  std::size_t p = 0, n = 0;
  std::size_t starP = std::wstring_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == L'*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() && pattern[p] == L'?') {
      ++p;
      n += CharacterLength(name, n);
    } else if (p < pattern.size() && pattern[p] == name[n]) {
      ++p;
      ++n;
    } else if (starP != std::wstring_view::npos) {
      p = starP + 1;
      starN += CharacterLength(name, starN);
      n = starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == L'*') ++p;
  return p == pattern.size();
}

bool HasProblemFileExtension(std::string_view name) {
  if (name.size() < 4) return false;
  const std::string_view extension = name.substr(name.size() - 4);
  return extension[0] == '.' && (extension[1] | 0x20) == 'm' && (extension[2] | 0x20) == 'n' &&
         (extension[3] | 0x20) == 'r';
}

std::vector<FileArgument> ExpandFileArguments(const std::vector<std::string>& args, Folders folders) {
  using Kind = FileArgument::Kind;
  std::vector<FileArgument> expanded;
  for (const std::string& arg : args) {
    if (arg == kStandardStream) {
      expanded.push_back({Kind::kFile, arg});
      continue;
    }
    const std::vector<std::string> names = system_files::NamesMatching(arg);
    if (names.empty()) expanded.push_back({Kind::kNoMatch, arg});
    for (const std::string& name : names) {
      if (!platform::IsHostDirectory(name)) {
        expanded.push_back({Kind::kFile, name});
      } else if (folders == Folders::kKept) {
        expanded.push_back({Kind::kFolder, name});
      } else {
        try {
          const std::vector<std::string> files = system_files::ProblemFilesIn(name);
          if (files.empty()) expanded.push_back({Kind::kEmptyFolder, name});
          for (const std::string& file : files) expanded.push_back({Kind::kFile, file});
        } catch (const platform::EInOutError& e) {
          expanded.push_back({Kind::kUnreadableFolder, name, e.ErrorCode()});
        }
      }
    }
  }
  return expanded;
}

std::vector<std::string> FilesOf(const std::vector<FileArgument>& expanded) {
  std::vector<std::string> files;
  for (const FileArgument& argument : expanded) {
    if (argument.kind == FileArgument::Kind::kFile) files.push_back(argument.name);
  }
  return files;
}

}  // namespace cli
