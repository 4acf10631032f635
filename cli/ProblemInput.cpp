#include "cli/ProblemInput.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace cli {

#ifdef _WIN32
std::size_t ReadSomeOfStandardInput(void* buffer, std::size_t count) {
  // Straight from the handle, so the C runtime's text mode never touches the
  // bytes. A pipe whose writer is gone reports an error: that is its end.
  const DWORD ask = count > 0x40000000u ? 0x40000000u : static_cast<DWORD>(count);
  DWORD arrived = 0;
  if (!ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, ask, &arrived, nullptr)) return 0;
  return arrived;
}
#else
std::size_t ReadSomeOfStandardInput(void* buffer, std::size_t count) {
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

std::string ShownFileName(const std::string& file) { return file == kStandardStream ? kStandardInputName : file; }

ProblemInput::ProblemInput(const std::string& file) {
  if (file == kStandardStream) {
    standardInput_ = true;
    return;
  }
  platform::RequireWindowsForm(file);
  try {
    file_ = std::make_unique<platform::BlockFile>(platform::BlockFile::Host{file});
  } catch (const platform::EInOutError& e) {
    // No file there, or a folder: no problem file.
    if (e.ErrorCode() == platform::error_code::kFileNotFound || e.ErrorCode() == platform::error_code::kPathNotFound) {
      missing_ = true;
      return;
    }
    if (e.ErrorCode() == platform::error_code::kAccessDenied && platform::IsHostDirectory(file)) return;
    throw;
  }
  remaining_ = file_->Size();
}

std::size_t ProblemInput::Read(void* buffer, std::size_t count) {
  auto* bytes = static_cast<char*>(buffer);
  std::size_t total = 0;
  if (file_ && !ended_) {
    try {
      total = file_->Read(buffer, count);
    } catch (const platform::EInOutError&) {
      ended_ = true;
    }
  }
  while (standardInput_ && !ended_ && total < count) {
    const std::size_t arrived = ReadSomeOfStandardInput(bytes + total, count - total);
    if (arrived == 0) ended_ = true;
    total += arrived;
  }
  if (remaining_) *remaining_ -= std::min<std::uint64_t>(*remaining_, total);
  return total;
}

std::uint64_t ProblemInput::Skip(std::uint64_t count) {
  if (!file_ || !remaining_) return ByteSource::Skip(count);
  const std::uint64_t passed = std::min(count, *remaining_);
  try {
    file_->Skip(passed);
  } catch (const platform::EInOutError&) {
    ended_ = true;
    return 0;
  }
  *remaining_ -= passed;
  return passed;
}

}  // namespace cli
