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
#include "cli/FileArguments.h"
#include "cli/HostText.h"
#include "cli/UserLanguage.h"
#include "cli/Mnr2txtTexts.h"
#include "cli/Options.h"
#include "cli/Terminal.h"
#include "frontend/Messages.h"
#include "path/PathText.h"
#include "platform/FileServices.h"

#ifdef _WIN32
// The program expands "*" and "?" itself (cli/FileArguments.h), never the
// C runtime.
extern "C" {
int _dowildcard = 0;
}
#endif

namespace {

using namespace cli::mnr2txt_texts;

constexpr int kConverted = 0;
constexpr int kSomeFailed = 1;
constexpr int kUsageError = 2;

int UsageError(const std::string& message) {
  cli::TerminalLine().Host("mnr2txt: ").Utf8(message).PrintTo(cli::Stream::kErr);
  cli::TerminalLine().Utf8(Say(kTryHelp)).PrintTo(cli::Stream::kErr);
  return kUsageError;
}

void ReportArgument(const std::string& name, const char* utf8Message) {
  cli::TerminalLine().Host("mnr2txt: ").Host(name).Host(": ").Utf8(utf8Message).PrintTo(cli::Stream::kErr);
}

// An argument that gives no file is reported in its turn; false for those.
bool ConvertArgument(const cli::FileArgument& argument, const cli::ConvertSettings& settings,
                     cli::RunFiles& runFiles) {
  using Kind = cli::FileArgument::Kind;
  switch (argument.kind) {
    case Kind::kFile: return cli::ConvertFile(argument.name, settings, runFiles);
    case Kind::kNoMatch: ReportArgument(argument.name, Say(kNoMatch)); break;
    case Kind::kEmptyFolder: ReportArgument(argument.name, Say(kNoProblemFilesInFolder)); break;
    case Kind::kFolder: break;  // folders are expanded here
    case Kind::kUnreadableFolder:
      cli::Report(cli::Stream::kErr, argument.name, messages::WithFullStop(argument.error));
      break;
  }
  return false;
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
    cli::PrintText(cli::Stream::kOut, cli::UsageText());
    return kConverted;
  }
  if (options.version) {
    std::puts("mnr2txt " MUNEMOJI_VERSION);
    return kConverted;
  }

  const std::vector<cli::FileArgument> arguments =
      cli::ExpandFileArguments(options.files, cli::Folders::kProblemFiles);
  const std::vector<std::string> files = cli::FilesOf(arguments);
  // One stream holds one file's output, however its name was given.
  if (options.outputDir == cli::kStandardStream && !options.list && files.size() > 1) {
    return UsageError(Say(kStreamTakesOne));
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
      ReportArgument(settings.outputDirShown, Say(kNotAFolder));
      return kUsageError;
    }
  }

  cli::RunFiles runFiles = InputsOf(files);
  int status = kConverted;
  for (const cli::FileArgument& argument : arguments) {
    if (!ConvertArgument(argument, settings, runFiles)) status = kSomeFailed;
  }
  return status;
}

}  // namespace

namespace {

int Main(const std::vector<std::string>& args) {
  texts::UseLanguage(cli::UserLanguage());
  int status;
  try {
    status = Run(args);
  } catch (const cli::StandardOutputError&) {
    status = kSomeFailed;  // reported below
  } catch (...) {
    // ConvertFile reports its own failures; this is out of memory or worse.
    try {
      cli::TerminalLine().Host("mnr2txt: ").Utf8(Say(kUnexpectedError)).PrintTo(cli::Stream::kErr);
    } catch (...) {
      std::fputs("mnr2txt: unexpected error\n", stderr);
    }
    status = kSomeFailed;
  }
  // What went to standard output must have arrived: a lost listing, help
  // text or stream is a failure, not a success.
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    cli::TerminalLine().Host("mnr2txt: ").Utf8(Say(kStandardOutputError)).PrintTo(cli::Stream::kErr);
    status = kSomeFailed;
  }
  return status;
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) { return Main(cli::HostArguments(argc, argv)); }
#else
int main(int argc, char** argv) { return Main(std::vector<std::string>(argv + 1, argv + argc)); }
#endif
