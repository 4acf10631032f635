// The main of mnr2txt and txt2mnr: the arguments as host text, the user's
// language, the program's run (cli::program::Run), and what no run may lose:
// an unexpected error is told, and bytes standard output did not take make
// the run a failure.

#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "cli/HostText.h"
#include "cli/Shell.h"
#include "cli/ShellTexts.h"
#include "cli/UserLanguage.h"

#ifdef _WIN32
// The program expands "*" and "?" itself (cli/FileArguments.h), never the
// C runtime.
extern "C" {
int _dowildcard = 0;
}
#endif

namespace {

using namespace cli;
using namespace cli::shell_texts;

void TellSafely(const char* text, const char* fallback) {
  try {
    Tell(Stream::kErr, "", text);
  } catch (...) {
    std::fprintf(stderr, "%s: %s\n", program::kName, fallback);
  }
}

int Main(const std::vector<std::string>& args) {
  texts::UseLanguage(UserLanguage());
  int status;
  try {
    status = program::Run(args);
  } catch (const StandardOutputError&) {
    status = kSomeFailed;  // told below
  } catch (const std::bad_alloc&) {
    TellSafely(Say(kOutOfMemory), "out of memory");
    status = kSomeFailed;
  } catch (...) {
    // Each program tells its own failures; this is worse.
    TellSafely(Say(kUnexpectedError), "unexpected error");
    status = kSomeFailed;
  }
  // What went to standard output must have arrived: a lost listing, help
  // text or stream is a failure, not a success.
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    Tell(Stream::kErr, "", Say(kStandardOutputError));
    status = kSomeFailed;
  }
  // A file dropped on the program opens a console of its own, which would
  // close before anyone read it.
  if (program::kWaitsOnOwnConsole) WaitIfConsoleIsOwn(Say(kPressEnter));
  return status;
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) { return Main(HostArguments(argc, argv)); }
#else
int main(int argc, char** argv) { return Main(std::vector<std::string>(argv + 1, argv + argc)); }
#endif
