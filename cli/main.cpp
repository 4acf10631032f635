// mnr2txt: converts quiz problem files into genre text files, one text, CSV
// or JSON from a command line, with the same core as the window program.

#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

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

// Every problem file of the run is protected from being written over, the
// file behind standard input too.
cli::RunFiles InputsOf(const std::vector<std::string>& files) {
  cli::RunFiles runFiles;
  for (const std::string& file : files) {
    if (file == cli::kStandardStream) {
      if (const auto identity = cli::IdentityOfStandardInput()) runFiles.AddInput(*identity);
      continue;
    }
    try {
      runFiles.AddInput(platform::FullPathFromNative(file), file);
    } catch (const platform::EInOutError&) {
      // Not reachable as a path: it will be reported when its turn comes.
    }
  }
  return runFiles;
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
  settings.format = options.format;
  settings.list = options.list;
  settings.utf8 = options.utf8;
  settings.formulaGuard = options.formulaGuard ? FormulaGuard::kOn : FormulaGuard::kOff;
  if (options.outputDir == cli::kStandardStream) {
    settings.toStandardOutput = !options.list;
#ifdef _WIN32
    if (settings.toStandardOutput) _setmode(_fileno(stdout), _O_BINARY);
#endif
  } else if (options.outputDir) {
    settings.outputDirShown = *options.outputDir;
    if (!ResolveOutputDir(settings.outputDirShown, settings.outputDir)) {
      cli::TerminalLine()
          .Host("mnr2txt: ").Host(settings.outputDirShown).Host(": not an existing directory")
          .PrintTo(cli::Stream::kErr);
      return kUsageError;
    }
  }

  cli::RunFiles runFiles = InputsOf(options.files);
  int status = kConverted;
  for (const std::string& file : options.files) {
    if (!cli::ConvertFile(file, settings, runFiles)) status = kSomeFailed;
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  int status;
  try {
    status = Run(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const cli::StandardOutputError&) {
    status = kSomeFailed;  // reported below
  } catch (...) {
    // ConvertFile reports its own failures; this is out of memory or worse.
    std::fputs("mnr2txt: unexpected error\n", stderr);
    status = kSomeFailed;
  }
  // What went to standard output must have arrived: a lost listing, help
  // text or stream is a failure, not a success.
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fputs("mnr2txt: standard output: write error\n", stderr);
    status = kSomeFailed;
  }
  return status;
}
