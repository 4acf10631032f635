#pragma once
// Host-side helpers shared by the test suites: a private temporary folder per
// test, plain file access that does not go through the code under test, and
// the files a process holds open.
// Host paths are the system's own: "/tmp/x/a" on POSIX, "C:\...\a" (ANSI
// code page) on Windows.

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/MnrWriter.h"

namespace test_env {

#ifdef _WIN32
inline constexpr char kHostSeparator = '\\';
#else
inline constexpr char kHostSeparator = '/';
#endif

// A fresh folder, removed with everything in it at the end of its scope.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // Host path of a name inside the folder; '/' in relative separates folders.
  std::string host(const std::string& relative = "") const;
  // The same place as the product names it: "Z:\tmp\..." on POSIX (the
  // default drive table), the host path itself on Windows.
  std::string win(const std::string& relative = "") const;

 private:
  std::string root_;
};

// The Windows form of a host path under the default drive table.
std::string WinPathOf(const std::string& hostPath);

void MakeDir(const std::string& hostPath);
void WriteFile(const std::string& hostPath, const std::string& bytes);
void WriteFile(const std::string& hostPath, const test_support::Bytes& bytes);
// False when the file cannot be read.
bool ReadFile(const std::string& hostPath, std::string& bytes);
bool Exists(const std::string& hostPath);
void Remove(const std::string& hostPath);  // a file, or a folder with all it holds
// Names of the entries of a folder, sorted.
std::vector<std::string> ListDir(const std::string& hostPath);

// True when no handle of this process (or any other) still holds the file:
// on Windows an open without any sharing succeeds only then; on POSIX the
// file is looked for among /proc/self/fd.
bool FileReleased(const std::string& hostPath);
// How many files the process holds open (POSIX: entries of /proc/self/fd);
// -1 where the system cannot tell.
int OpenFileCount();
// WriteFile into a new file rather than a truncated one: some file systems
// flush a file truncated and rewritten at its close, which makes thousands of
// rows slow.
void WriteNewFile(const std::string& hostPath, const std::string& bytes);
// Every entry under a folder with its kind and size ("d quiz", "f 3072
// quiz/set1.mnr"), sorted: equal listings mean nothing was added, removed,
// resized or turned into something else (POSIX).
std::vector<std::string> Listing(const std::string& folder);

// Shift-JIS bytes as UTF-8, through the code-page module (whose own tests pin
// its results byte for byte). Empty when any byte is not CP932.
std::string Cp932ToUtf8(const std::string& sjis);

}  // namespace test_env
