#pragma once
// What the reliability tests need beyond the shared test_env helpers: which
// files the process still holds open, and a quick way to rewrite a file.

#include <string>

namespace reliability {

// True when no handle of this process (or any other) still holds the file:
// on Windows an open without any sharing succeeds only then; on POSIX the
// file is looked for among /proc/self/fd.
bool FileReleased(const std::string& hostPath);
// How many files the process holds open (POSIX: entries of /proc/self/fd);
// -1 where the system cannot tell.
int OpenFileCount();

// test_env::WriteFile into a new file rather than a truncated one: some file
// systems flush a file truncated and rewritten at its close, which makes
// thousands of rows slow.
void WriteNewFile(const std::string& hostPath, const std::string& bytes);

}  // namespace reliability
