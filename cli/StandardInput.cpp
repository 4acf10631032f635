#include "cli/StandardInput.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#endif

#include "cli/Options.h"

namespace cli {

namespace {

// Some bytes of standard input; 0 at its end or on a fault.
#ifdef _WIN32
std::size_t ReadSome(void* buffer, std::size_t count) {
  // Straight from the handle, so the C runtime's text mode never touches the
  // bytes. A pipe whose writer is gone reports an error: that is its end.
  const DWORD ask = count > 0x40000000u ? 0x40000000u : static_cast<DWORD>(count);
  DWORD arrived = 0;
  if (!ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, ask, &arrived, nullptr)) return 0;
  return arrived;
}
#else
std::size_t ReadSome(void* buffer, std::size_t count) {
  for (;;) {
    const ssize_t arrived = read(STDIN_FILENO, buffer, count);
    if (arrived >= 0) return static_cast<std::size_t>(arrived);
    if (errno == EINTR) continue;
    if (errno != EAGAIN) return 0;
    // A descriptor left non-blocking by whoever started the program: wait.
    pollfd wait{STDIN_FILENO, POLLIN, 0};
    poll(&wait, 1, -1);
  }
}
#endif

}  // namespace

std::string ShownFileName(const std::string& file) {
  return file == kStandardStream ? "stdin" : file;
}

std::size_t StandardInputSource::Read(void* buffer, std::size_t count) {
  auto* bytes = static_cast<char*>(buffer);
  std::size_t total = 0;
  while (!ended_ && total < count) {
    const std::size_t arrived = ReadSome(bytes + total, count - total);
    if (arrived == 0) ended_ = true;
    total += arrived;
  }
  return total;
}

}  // namespace cli
