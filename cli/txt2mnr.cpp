// txt2mnr: writes quiz problem files back from the JSON, CSV and genre text
// files mnr2txt writes, and reports what in a problem file those would not
// show.

#include <cstdio>
#include <string>
#include <vector>

#include "cli/CheckFile.h"
#include "cli/FileArguments.h"
#include "cli/HostText.h"
#include "cli/UserLanguage.h"
#include "cli/Terminal.h"
#include "cli/Txt2mnrOptions.h"
#include "cli/Txt2mnrTexts.h"
#include "cli/WriteBack.h"
#include "frontend/Messages.h"
#include "platform/FileServices.h"

#ifdef _WIN32
// The program expands "*" and "?" itself (cli/FileArguments.h), never the
// C runtime.
extern "C" {
int _dowildcard = 0;
}
#endif

namespace {

using namespace cli::txt2mnr_texts;

constexpr int kDone = 0;
constexpr int kSomeFailed = 1;
constexpr int kUsageError = 2;

int UsageError(const std::string& message) {
  cli::TerminalLine().Host(kProgram).Utf8(message).PrintTo(cli::Stream::kErr);
  cli::TerminalLine().Utf8(Say(kTryHelp)).PrintTo(cli::Stream::kErr);
  return kUsageError;
}

void ReportArgument(const std::string& name, const char* utf8Message) {
  cli::TerminalLine().Host(kProgram).Host(name).Host(": ").Utf8(utf8Message).PrintTo(cli::Stream::kErr);
}

// An argument that gives no file is reported in its turn; false for those.
template <typename Work>
bool ForArgument(const cli::FileArgument& argument, Work work) {
  using Kind = cli::FileArgument::Kind;
  switch (argument.kind) {
    case Kind::kFile: return work(argument.name);
    case Kind::kNoMatch: ReportArgument(argument.name, Say(kNoMatch)); break;
    case Kind::kEmptyFolder: ReportArgument(argument.name, Say(kNoProblemFilesInFolder)); break;
    case Kind::kFolder: ReportArgument(argument.name, Say(kFolder)); break;
    case Kind::kUnreadableFolder:
      cli::TerminalLine().Host(kProgram).Host(argument.name).Host(": ")
          .Cp932(messages::WithFullStop(argument.error)).PrintTo(cli::Stream::kErr);
      break;
  }
  return false;
}

// The header of the --template problem file; false (reported) when it is none.
bool LoadTemplate(const std::string& file, cli::WriteBackSettings& settings) {
  T_mnrFormat problems;
  try {
    if (problems.LoadFromFile(platform::FullPathFromNative(file))) {
      settings.templateHeader = problems.Header();
      return true;
    }
    cli::TerminalLine().Host(kProgram).Host(file).Host(": ").Utf8(Say(kNotAProblemFile)).PrintTo(cli::Stream::kErr);
  } catch (const platform::EInOutError& e) {
    cli::TerminalLine().Host(kProgram).Host(file).Host(": ").Cp932(e.what()).PrintTo(cli::Stream::kErr);
  }
  return false;
}

int Run(const std::vector<std::string>& args) {
  const cli::ParsedTxt2mnrLine parsed = cli::ParseTxt2mnrLine(args);
  if (!parsed.error.empty()) return UsageError(parsed.error);
  const cli::Txt2mnrOptions& options = parsed.options;
  if (options.help) {
    cli::PrintText(cli::Stream::kOut, Say(kUsage));
    return kDone;
  }
  if (options.version) {
    std::puts("txt2mnr " MUNEMOJI_VERSION);
    return kDone;
  }
  // A folder holds problem files to check; to write from, it would hold
  // JSON, CSV and genre files of the same problem sets, all making the same
  // names: its files are named one by one instead.
  const std::vector<cli::FileArgument> arguments =
      cli::ExpandFileArguments(options.files, options.check ? cli::Folders::kProblemFiles : cli::Folders::kKept);
  int status = kDone;
  if (options.check) {
    for (const cli::FileArgument& argument : arguments)
      if (!ForArgument(argument, cli::CheckFile)) status = kSomeFailed;
    return status;
  }
  if (options.output && arguments.size() > 1) return UsageError(Say(kOneInput));
  cli::WriteBackSettings settings;
  settings.output = options.output;
  settings.force = options.force;
  settings.formulaGuard = options.formulaGuard;
  if (options.templateFile && !LoadTemplate(*options.templateFile, settings)) return kSomeFailed;
  for (const cli::FileArgument& argument : arguments)
    if (!ForArgument(argument, [&settings](const std::string& file) { return cli::WriteBack(file, settings); }))
      status = kSomeFailed;
  return status;
}

}  // namespace

namespace {

int Main(const std::vector<std::string>& args) {
  texts::UseLanguage(cli::UserLanguage());
  int status;
  try {
    status = Run(args);
  } catch (...) {
    try {
      cli::TerminalLine().Host(kProgram).Utf8(Say(kOutOfMemory)).PrintTo(cli::Stream::kErr);
    } catch (...) {
      std::fprintf(stderr, "%sout of memory\n", kProgram);
    }
    status = kSomeFailed;
  }
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    cli::TerminalLine().Host(kProgram).Utf8(Say(kStandardOutputError)).PrintTo(cli::Stream::kErr);
    status = kSomeFailed;
  }
  // A file dropped on the program opens a console of its own, which would
  // close before anyone read it.
  cli::WaitIfConsoleIsOwn(Say(kPressEnter));
  return status;
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) { return Main(cli::HostArguments(argc, argv)); }
#else
int main(int argc, char** argv) { return Main(std::vector<std::string>(argv + 1, argv + argc)); }
#endif
