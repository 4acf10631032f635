#include "cli/StandardInput.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

#include "cli/Options.h"
#include "platform/FileServices.h"

namespace cli {

std::string ShownFileName(const std::string& file) {
  return file == kStandardStream ? "stdin" : file;
}

StandardInputCopy::StandardInputCopy() {
#ifdef _WIN32
  _setmode(_fileno(stdin), _O_BINARY);
#endif
  static int copies = 0;
  hostPath_ = (std::filesystem::temp_directory_path() /
               ("mnr2txt-" + std::to_string(getpid()) + "-" + std::to_string(++copies) + ".mnr"))
                  .string();
  try {
    path_ = platform::FullPathFromNative(hostPath_);
    platform::TextFile copy(path_, 64 * 1024);
    char chunk[64 * 1024];
    std::size_t arrived;
    while ((arrived = std::fread(chunk, 1, sizeof chunk, stdin)) > 0) copy.Write({chunk, arrived});
    copy.Close();
  } catch (...) {
    std::error_code ignored;
    std::filesystem::remove(hostPath_, ignored);
    throw;
  }
}

StandardInputCopy::~StandardInputCopy() {
  std::error_code ignored;
  std::filesystem::remove(hostPath_, ignored);
}

}  // namespace cli
