// mnr2txt: converts quiz problem files into genre text files, one text, CSV,
// a workbook or JSON from a command line, with the same core as the window
// program.

#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "cli/ProblemInput.h"
#include "cli/Shell.h"
#include "cli/mnr2txt/Convert.h"
#include "cli/mnr2txt/Options.h"
#include "cli/mnr2txt/Texts.h"
#include "platform/FileServices.h"

namespace cli::program {
extern const char kName[] = "mnr2txt";
extern const bool kWaitsOnOwnConsole = true;
}  // namespace cli::program

namespace {

using namespace cli;
using namespace cli::mnr2txt_texts;

// The -o directory, as typed: false when it is not an existing directory.
bool IsOutputFolder(const std::string& folder) {
  try {
    platform::RequireWindowsForm(folder);
  } catch (const platform::EInOutError&) {
    return false;
  }
  return platform::IsHostDirectory(folder);
}

// Every problem file of the run is protected from being written over, the
// file behind standard input too.
RunFiles InputsOf(const std::vector<std::string>& files) {
  RunFiles runFiles;
  for (const std::string& file : files) {
    if (file != kStandardStream) {
      runFiles.AddInput(file);
    } else if (const auto identity = platform::IdentityOfStandardInput()) {
      runFiles.AddInput(*identity);
    }
  }
  return runFiles;
}

}  // namespace

int cli::program::Run(const std::vector<std::string>& args) {
  const ParsedCommandLine parsed = ParseCommandLine(args);
  if (!parsed.error.empty()) return UsageError(parsed.error);
  const Options& options = parsed.options;
  if (options.help) {
    PrintText(Stream::kOut, UsageText());
    return kSucceeded;
  }
  if (options.version) {
    std::puts("mnr2txt " MUNEMOJI_VERSION);
    return kSucceeded;
  }

  const std::vector<FileArgument> arguments = ExpandFileArguments(options.files, Folders::kProblemFiles);
  const std::vector<std::string> files = FilesOf(arguments);
  // One stream holds one file's output, however its name was given.
  if (options.outputDir == kStandardStream && !options.list && files.size() > 1) return UsageError(Say(kStreamTakesOne));

  ConvertSettings settings;
  settings.format = options.format;
  settings.list = options.list;
  settings.utf8 = options.utf8;
  settings.formulaGuard = options.formulaGuard ? FormulaGuard::kOn : FormulaGuard::kOff;
  if (options.outputDir == kStandardStream) {
    settings.toStandardOutput = !options.list;
#ifdef _WIN32
    if (settings.toStandardOutput) _setmode(_fileno(stdout), _O_BINARY);
#endif
  } else if (options.outputDir) {
    settings.outputDir = *options.outputDir;
    if (!IsOutputFolder(settings.outputDir)) {
      Tell(Stream::kErr, settings.outputDir, Say(kNotAFolder));
      return kUsageError;
    }
  }

  RunFiles runFiles = InputsOf(files);
  int status = kSucceeded;
  for (const FileArgument& argument : arguments) {
    if (!TellNoFile(argument) || !ConvertFile(argument.name, settings, runFiles)) status = kSomeFailed;
  }
  return status;
}
