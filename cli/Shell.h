#pragma once
// The program shell mnr2txt and txt2mnr share: the program's name before
// every message, usage errors and exit codes, option values, the FILE
// arguments expanded, and the run itself (language, unexpected errors,
// standard output's fate, a console of its own). Each program defines its
// name and its run (cli::program below) in cli/<program>/main.cpp; the
// shell's main is cli/ProgramMain.cpp.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/FileArguments.h"
#include "cli/Terminal.h"

namespace cli {

inline constexpr int kSucceeded = 0;
inline constexpr int kSomeFailed = 1;
inline constexpr int kUsageError = 2;

// "PROGRAM: NAME: TEXT", the text in UTF-8 or in CP932.
void Tell(Stream stream, std::string_view name, std::string_view utf8);
void TellCp932(Stream stream, std::string_view name, std::string_view cp932);
// The start of such a line, for texts of several parts.
TerminalLine LineAbout(std::string_view name);
// A command line that cannot be used: the message and how to get help, on
// standard error; returns kUsageError.
int UsageError(std::string_view utf8);

// Option values come as "--name=VALUE", "-xVALUE", "--name VALUE" or
// "-x VALUE" (shortName may be empty). IsOption tells whether arg is the
// option; TakeValue takes its value, moving i past what it took.
bool IsOption(const std::string& arg, std::string_view longName, std::string_view shortName);
enum class ValueTaken { kTaken, kMissing, kEmpty };
ValueTaken TakeValue(const std::vector<std::string>& args, std::size_t& i, std::string_view longName,
                     std::string_view shortName, std::optional<std::string>& value);

// The text of I/O error code in the language in use, UTF-8: the window
// program's text for a Japanese user, its English form otherwise.
// withFullStop ends it as the window ends its messages.
std::string IoErrorText(int code, bool withFullStop = false);

// Reports an argument that gives no file, in its turn; false for those.
// folderText: what a folder kept as it is (Folders::kKept) is told.
bool TellNoFile(const FileArgument& argument, const char* folderText = nullptr);

// Raised when standard output cannot take the bytes written to it.
struct StandardOutputError {};

}  // namespace cli

// What each program defines.
namespace cli::program {
extern const char kName[];          // "mnr2txt"
extern const bool kWaitsOnOwnConsole;  // when started from Explorer, as by a drop
int Run(const std::vector<std::string>& args);
}  // namespace cli::program
