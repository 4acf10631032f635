// txt2mnr: writes quiz problem files back from the JSON, CSV and genre text
// files mnr2txt writes, and reports what in a problem file those would not
// show.

#include <cstdio>
#include <string>
#include <vector>

#include "cli/CheckFile.h"
#include "cli/Terminal.h"
#include "cli/Txt2mnrOptions.h"
#include "cli/WriteBack.h"
#include "frontend/import/ImportTexts.h"
#include "platform/FileServices.h"

namespace {

constexpr int kDone = 0;
constexpr int kSomeFailed = 1;
constexpr int kUsageError = 2;

int UsageError(const std::string& message) {
  std::fprintf(stderr, "%s%s\n%s\n", import_text::kProgram, message.c_str(), import_text::kTryHelp);
  return kUsageError;
}

// The header of the --template problem file; false (reported) when it is none.
bool LoadTemplate(const std::string& file, cli::WriteBackSettings& settings) {
  T_mnrFormat problems;
  try {
    if (problems.LoadFromFile(platform::FullPathFromNative(file))) {
      settings.templateHeader = problems.Header();
      return true;
    }
    cli::TerminalLine().Host(import_text::kProgram).Host(file).Host(": ").Host(import_text::kNotAProblemFile)
        .PrintTo(cli::Stream::kErr);
  } catch (const platform::EInOutError& e) {
    cli::TerminalLine().Host(import_text::kProgram).Host(file).Host(": ").Cp932(e.what()).PrintTo(cli::Stream::kErr);
  }
  return false;
}

int Run(const std::vector<std::string>& args) {
  const cli::ParsedTxt2mnrLine parsed = cli::ParseTxt2mnrLine(args);
  if (!parsed.error.empty()) return UsageError(parsed.error);
  const cli::Txt2mnrOptions& options = parsed.options;
  if (options.help) {
    std::fputs(import_text::kUsage, stdout);
    return kDone;
  }
  if (options.version) {
    std::puts("txt2mnr " MUNEMOJI_VERSION);
    return kDone;
  }
  int status = kDone;
  if (options.check) {
    for (const std::string& file : options.files)
      if (!cli::CheckFile(file)) status = kSomeFailed;
    return status;
  }
  cli::WriteBackSettings settings;
  settings.output = options.output;
  settings.force = options.force;
  settings.formulaGuard = options.formulaGuard;
  if (options.templateFile && !LoadTemplate(*options.templateFile, settings)) return kSomeFailed;
  for (const std::string& file : options.files)
    if (!cli::WriteBack(file, settings)) status = kSomeFailed;
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  int status;
  try {
    status = Run(std::vector<std::string>(argv + 1, argv + argc));
  } catch (...) {
    std::fprintf(stderr, "%sout of memory\n", import_text::kProgram);
    status = kSomeFailed;
  }
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fprintf(stderr, "%sstandard output: write error\n", import_text::kProgram);
    status = kSomeFailed;
  }
  // A file dropped on the program opens a console of its own, which would
  // close before anyone read it.
  cli::WaitIfConsoleIsOwn(import_text::kPressEnter);
  return status;
}
