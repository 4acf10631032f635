#include "OpenFiles.h"

#include "tests/support/TestEnv.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>

#include <climits>
#include <cstdlib>
#endif

namespace reliability {

#ifdef _WIN32

bool FileReleased(const std::string& hostPath) {
  HANDLE h = CreateFileA(hostPath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return GetLastError() != ERROR_SHARING_VIOLATION;
  CloseHandle(h);
  return true;
}

int OpenFileCount() { return -1; }

#else  // POSIX

bool FileReleased(const std::string& hostPath) {
  char real[PATH_MAX];
  if (!realpath(hostPath.c_str(), real)) return true;
  for (const std::string& fd : test_env::ListDir("/proc/self/fd")) {
    char target[PATH_MAX];
    const ssize_t n = readlink(("/proc/self/fd/" + fd).c_str(), target, sizeof target - 1);
    if (n > 0 && std::string(target, static_cast<std::size_t>(n)) == real) return false;
  }
  return true;
}

int OpenFileCount() { return static_cast<int>(test_env::ListDir("/proc/self/fd").size()); }

#endif

void WriteNewFile(const std::string& hostPath, const std::string& bytes) {
  test_env::Remove(hostPath);
  test_env::WriteFile(hostPath, bytes);
}

}  // namespace reliability
