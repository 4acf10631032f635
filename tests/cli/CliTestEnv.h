#pragma once
// What the mnr2txt tests need around the program: its location, plain file
// access, and the text a terminal should receive. Private folders are
// test_env::TempDir's.

#include <string>
#include <vector>

#include "cli/ShellTexts.h"
#include "cli/mnr2txt/Texts.h"
#include "cli/txt2mnr/Texts.h"
#include "frontend/Language.h"
#include "frontend/import/ImportTexts.h"
#include "tests/support/RunProgram.h"
#include "tests/support/TestEnv.h"

namespace cli_test {

inline constexpr char kSeparator = test_env::kHostSeparator;

// The host path of a file the build put somewhere (given in CMake's form).
std::string HostPathOfBuildFile(const std::string& cmakePath);

// Runs the mnr2txt beside this test program, in workDir.
RunResult RunMnr2txt(const std::vector<std::string>& args, const std::string& workDir,
                     const std::string& stdinPath = "");

// Runs the txt2mnr beside this test program, in workDir.
RunResult RunTxt2mnr(const std::vector<std::string>& args, const std::string& workDir,
                     const std::string& stdinPath = "");

void MakeDir(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
// Empty when the file cannot be read.
std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);  // a file, not a folder

// The language the programs speak in these tests: natively English (the
// locale variables are cleared for the test program and what it runs),
// under Wine the language of the locale Wine runs in (scripts/wine-run.sh
// sets it in LC_ALL; on a real Windows, the user's UI language).
texts::Language ProgramLanguage();
// What the programs say for a text of their tables, in that language, with
// "{1}", "{2}" ... filled in.
std::string Said(cli::shell_texts::Id id, const std::vector<std::string>& args = {});
std::string Said(cli::mnr2txt_texts::Id id, const std::vector<std::string>& args = {});
std::string Said(cli::txt2mnr_texts::Id id, const std::vector<std::string>& args = {});
std::string Said(import_text::Id id, const std::vector<std::string>& args = {});

// What the programs say for I/O error code in that language (UTF-8), with
// the full stop mnr2txt ends it with, or without.
std::string IoErrorSaid(int code, bool withFullStop = true);

// What a pipe or file receives for CP932 text: UTF-8 on every system.
std::string TerminalText(const std::string& cp932);
// CP932 as UTF-8; throws on invalid input.
std::string Utf8Of(const std::string& cp932);

}  // namespace cli_test
