#pragma once
// The FILE arguments of mnr2txt and txt2mnr, expanded as a user expects on
// each system. On Windows, where no shell does it, "*" and "?" in an argument
// give the names that match, in any of its parts ("quiz*\*.mnr"): "*" any run
// of characters, "?" one character, letters matched whatever their case, the
// matches of each part in name order (below), hidden names too; an argument
// that begins with "\\?\" or "\\.\" is taken as it is, as Windows does. On
// POSIX systems the shell has expanded them already, and "*" and "?" are
// characters a name may hold. On every system, a folder can stand for the
// problem files (.mnr, any case) directly inside it, in name order: byte
// order of the UTF-8 names on POSIX systems, on Windows the order of the
// names with their letters in upper case (as Windows compares names), then
// as they are.

#include <string>
#include <string_view>
#include <vector>

namespace cli {

// One FILE argument's part of the list: a file to read, or why the argument
// gives none (each is reported under its name, in its turn).
struct FileArgument {
  enum class Kind {
    kFile,           // name: the file as typed, or as found for a pattern or folder
    kNoMatch,        // a pattern no name matches; name: the pattern
    kEmptyFolder,    // a folder holding no problem file; name: the folder as typed
    kFolder,         // a folder where folders are not expanded; name: as typed
    kUnreadableFolder,  // name: the folder as typed; errorCode: why
  };
  Kind kind = Kind::kFile;
  std::string name;  // host text
  int errorCode = 0;
};

enum class Folders {
  kProblemFiles,  // a folder stands for the problem files in it
  kKept,          // a folder is a kFolder entry
};

// The arguments in their order, each expanded. "-" stays as it is.
std::vector<FileArgument> ExpandFileArguments(const std::vector<std::string>& args, Folders folders);

// The names of the kFile entries.
std::vector<std::string> FilesOf(const std::vector<FileArgument>& expanded);

// True when name matches pattern ("*" any run of characters, "?" one
// character, a UTF-16 surrogate pair counting as one); characters are
// compared as they are.
bool MatchesPattern(std::wstring_view pattern, std::wstring_view name);

// True when a name ends in ".mnr", in any case.
bool HasProblemFileExtension(std::string_view name);

}  // namespace cli

// Each system's part (FileArgumentsPosix.cpp, FileArgumentsWin32.cpp).
namespace cli::system_files {

// The names a pattern gives, in order: on Windows the matches of an argument
// with "*" or "?" (none when nothing matches), else the argument itself.
std::vector<std::string> NamesMatching(const std::string& arg);

// The problem files directly inside folder (as typed), joined to it, in name
// order; raises platform::EInOutError when the folder cannot be read.
std::vector<std::string> ProblemFilesIn(const std::string& folder);

}  // namespace cli::system_files
