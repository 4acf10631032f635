#pragma once
// Host-side helpers for the reliability tests: a private scratch folder and
// plain file access that does not go through the code under test.

#include <string>
#include <vector>

namespace reliability {

// A fresh folder, removed with everything in it at the end of its scope.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  // Host path of a name inside the folder ("/tmp/..." or "C:\...").
  std::string host(const std::string& name = "") const;
  // The same place as the product names it: "Z:\tmp\..." on POSIX (the
  // default drive table), the host path itself on Windows.
  std::string win(const std::string& name = "") const;

 private:
  std::string root_;
};

void WriteHostFile(const std::string& hostPath, const std::string& bytes);
// False when the file cannot be read.
bool ReadHostFile(const std::string& hostPath, std::string& bytes);
bool HostExists(const std::string& hostPath);
void RemoveHostFile(const std::string& hostPath);
void MakeHostDir(const std::string& hostPath);

// True when no handle of this process (or any other) still holds the file:
// on Windows an open without any sharing succeeds only then; on POSIX the
// file is looked for among /proc/self/fd.
bool FileReleased(const std::string& hostPath);
// How many files the process holds open (POSIX: entries of /proc/self/fd);
// -1 where the system cannot tell.
int OpenFileCount();

}  // namespace reliability
