// txt2mnr: writes quiz problem files back from the JSON, CSV and genre text
// files mnr2txt writes, and reports what in a problem file those would not
// show.

#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "cli/ProblemInput.h"
#include "cli/RunFiles.h"
#include "cli/Shell.h"
#include "cli/ShellTexts.h"
#include "cli/txt2mnr/CheckFile.h"
#include "cli/txt2mnr/Options.h"
#include "cli/txt2mnr/Texts.h"
#include "cli/txt2mnr/WriteBack.h"
#include "format/ProblemReader.h"
#include "frontend/import/Diagnostics.h"
#include "platform/FileServices.h"

namespace cli::program {
extern const char kName[] = "txt2mnr";
extern const bool kWaitsOnOwnConsole = true;
}  // namespace cli::program

namespace {

using namespace cli;
using namespace cli::txt2mnr_texts;

// The header of the --template problem file; false (told) when it is none.
bool LoadTemplate(const std::string& file, WriteBackSettings& settings) {
  try {
    ProblemInput input(file);
    ProblemReader reader(input);
    if (input.Missing()) {
      Tell(Stream::kErr, file, shell_texts::Say(shell_texts::kNoSuchFile));
      return false;
    }
    if (input.Exists() && reader.ReadHeader() && reader.ReadToEnd()) {
      settings.templateHeader = reader.Header();
      return true;
    }
    Tell(Stream::kErr, file, Say(kNotAProblemFile));
  } catch (const platform::EInOutError& e) {
    Tell(Stream::kErr, file, IoErrorText(e.ErrorCode()));
  }
  return false;
}

// Every file the run reads is protected from being written over, the file
// behind standard input too.
RunFiles InputsOf(const std::vector<std::string>& files) {
  RunFiles runFiles;
  for (const std::string& file : files) {
    for (const std::string& read : FilesRead(file)) {
      if (read != kStandardStream) {
        runFiles.AddInput(read);
      } else if (const auto identity = platform::IdentityOfStandardInput()) {
        runFiles.AddInput(*identity);
      }
    }
  }
  return runFiles;
}

}  // namespace

int cli::program::Run(const std::vector<std::string>& args) {
  const ParsedTxt2mnrLine parsed = ParseTxt2mnrLine(args);
  if (!parsed.error.empty()) return UsageError(parsed.error);
  const Txt2mnrOptions& options = parsed.options;
  if (options.help) {
    PrintText(Stream::kOut, Say(kUsage));
    return kSucceeded;
  }
  if (options.version) {
    std::puts("txt2mnr " MUNEMOJI_VERSION);
    return kSucceeded;
  }
  // A folder holds problem files to check; to write from, it would hold
  // JSON, CSV and genre files of the same problem sets, all making the same
  // names: its files are named one by one instead.
  const std::vector<FileArgument> arguments =
      ExpandFileArguments(options.files, options.check ? Folders::kProblemFiles : Folders::kKept);
  int status = kSucceeded;
  if (options.check) {
    for (const FileArgument& argument : arguments)
      if (!TellNoFile(argument, Say(kFolder)) || !CheckFile(argument.name, options.checked)) status = kSomeFailed;
    return status;
  }
  if (options.output && arguments.size() > 1) return UsageError(Say(kOneInput));
  WriteBackSettings settings;
  settings.output = options.output;
  settings.force = options.force;
  settings.formulaGuard = options.formulaGuard;
  settings.encoding = options.encoding;
  settings.verbose = options.verbose;
#ifdef _WIN32
  if (options.output == kStandardStream) _setmode(_fileno(stdout), _O_BINARY);
#endif
  if (options.templateFile && !LoadTemplate(*options.templateFile, settings)) return kSomeFailed;
  RunFiles runFiles = InputsOf(FilesOf(arguments));
  std::size_t olderReadersCuts = 0;
  for (const FileArgument& argument : arguments) {
    if (!TellNoFile(argument, Say(kFolder)) || !WriteBack(argument.name, settings, runFiles, olderReadersCuts))
      status = kSomeFailed;
  }
  // One line for the whole run: what it can do nothing about must not bury
  // what it can (--verbose names each text).
  if (olderReadersCuts > 0) Tell(Stream::kErr, "", importing::OlderReadersSummary(olderReadersCuts));
  return status;
}
