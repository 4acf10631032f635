#pragma once
// What the mnr2txt tests need around the program: its location, private
// folders, plain file access, and the text a terminal should receive.

#include <string>
#include <vector>

#include "tests/cli/RunProgram.h"

namespace cli_test {

#ifdef _WIN32
inline constexpr char kSeparator = '\\';
#else
inline constexpr char kSeparator = '/';
#endif

// A fresh folder, removed with everything in it at the end of its scope.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // Host path of a name inside the folder ("" for the folder itself).
  std::string path(const std::string& name = "") const;

 private:
  std::string root_;
};

// The host path of a file the build put somewhere (given in CMake's form).
std::string HostPathOfBuildFile(const std::string& cmakePath);

// Runs the mnr2txt beside this test program, in workDir.
RunResult RunMnr2txt(const std::vector<std::string>& args, const std::string& workDir);

void MakeDir(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
// Empty when the file cannot be read.
std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);  // a file, not a folder

// What a terminal, pipe or file receives for CP932 text: UTF-8 on POSIX, the
// ANSI code page on Windows. Through the system's converter, not mnr2txt's.
std::string TerminalText(const std::string& cp932);
// CP932 as UTF-8 through the system's converter; throws on invalid input.
std::string Utf8Of(const std::string& cp932);

}  // namespace cli_test
