// mnr2txt: converts quiz problem files into genre text files from a command
// line, with the same core and the same output as the window program.

#include <cstdio>
#include <string>
#include <vector>

#include "cli/Convert.h"
#include "cli/Options.h"
#include "cli/Terminal.h"
#include "path/PathText.h"
#include "platform/FileServices.h"

namespace {

constexpr int kConverted = 0;
constexpr int kSomeFailed = 1;
constexpr int kUsageError = 2;

int UsageError(const std::string& message) {
  std::fprintf(stderr, "mnr2txt: %s\nTry 'mnr2txt --help' for more information.\n", message.c_str());
  return kUsageError;
}

// The -o directory in the form the export wants: full, Windows-form, ending
// in '\'. False when it is not an existing directory.
bool ResolveOutputDir(const std::string& shown, std::string& dir) {
  try {
    dir = platform::FullPathFromNative(shown);
  } catch (const platform::EInOutError&) {
    return false;
  }
  if (!platform::DirectoryExists(dir)) return false;
  if (FindLastOf(dir, "\\") + 1 != dir.size()) dir += '\\';
  return true;
}

int Run(const std::vector<std::string>& args) {
  const cli::ParsedCommandLine parsed = cli::ParseCommandLine(args);
  if (!parsed.error.empty()) return UsageError(parsed.error);
  const cli::Options& options = parsed.options;
  if (options.help) {
    std::fputs(cli::UsageText(), stdout);
    return kConverted;
  }
  if (options.version) {
    std::puts("mnr2txt " MUNEMOJI_VERSION);
    return kConverted;
  }

  cli::ConvertSettings settings;
  settings.list = options.list;
  settings.utf8 = options.utf8;
  if (options.outputDir) {
    settings.outputDirShown = *options.outputDir;
    if (!ResolveOutputDir(settings.outputDirShown, settings.outputDir)) {
      cli::TerminalLine()
          .Host("mnr2txt: ").Host(settings.outputDirShown).Host(": not an existing directory")
          .PrintTo(cli::Stream::kErr);
      return kUsageError;
    }
  }

  int status = kConverted;
  for (const std::string& file : options.files) {
    if (!cli::ConvertFile(file, settings)) status = kSomeFailed;
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(std::vector<std::string>(argv + 1, argv + argc));
  } catch (...) {
    // ConvertFile reports its own failures; this is out of memory or worse.
    std::fputs("mnr2txt: unexpected error\n", stderr);
    return kSomeFailed;
  }
}
