#include "tests/cli/CliTestEnv.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "frontend/Messages.h"
#include "platform/IoError.h"


#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace cli_test {

#ifndef _WIN32
namespace {
// Before any test runs: whatever the locale of whoever runs the tests, the
// programs speak English unless a test sets the variables itself.
[[maybe_unused]] const bool kLocaleCleared = [] {
  unsetenv("LC_ALL");
  unsetenv("LC_MESSAGES");
  unsetenv("LANG");
  return true;
}();
}  // namespace

texts::Language ProgramLanguage() { return texts::Language::kEnglish; }
#else
texts::Language ProgramLanguage() {
  const char* locale = std::getenv("LC_ALL");
  if (locale != nullptr) return std::string(locale).rfind("ja", 0) == 0 ? texts::Language::kJapanese : texts::Language::kEnglish;
  return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE ? texts::Language::kJapanese : texts::Language::kEnglish;
}
#endif

namespace {
std::string InProgramLanguage(const texts::TextRow& row, const std::vector<std::string>& args) {
  return texts::Fill(ProgramLanguage() == texts::Language::kJapanese ? row.japanese : row.english, args);
}
}  // namespace

std::string Said(cli::shell_texts::Id id, const std::vector<std::string>& args) {
  return InProgramLanguage(cli::shell_texts::kTable[id], args);
}
std::string Said(cli::mnr2txt_texts::Id id, const std::vector<std::string>& args) {
  return InProgramLanguage(cli::mnr2txt_texts::kTable[id], args);
}
std::string Said(cli::txt2mnr_texts::Id id, const std::vector<std::string>& args) {
  return InProgramLanguage(cli::txt2mnr_texts::kTable[id], args);
}
std::string Said(import_text::Id id, const std::vector<std::string>& args) {
  return InProgramLanguage(import_text::kTable[id], args);
}

std::string IoErrorSaid(int code, bool withFullStop) {
  const bool japanese = ProgramLanguage() == texts::Language::kJapanese;
  const std::string text = japanese ? platform::IoErrorMessage(code) : platform::IoErrorMessageInEnglish(code);
  const std::string ended = withFullStop ? messages::WithFullStop(text) : text;
  return japanese ? Utf8Of(ended) : ended;
}

std::string HostPathOfBuildFile(const std::string& cmakePath) {
#ifdef _WIN32
  // Under Wine the build folder is a Unix path, which Wine shows as Z:.
  std::string path = cmakePath.rfind('/', 0) == 0 ? "Z:" + cmakePath : cmakePath;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
#else
  return cmakePath;
#endif
}

RunResult RunMnr2txt(const std::vector<std::string>& args, const std::string& workDir,
                     const std::string& stdinPath) {
  return RunProgram(HostPathOfBuildFile(MNR2TXT_PATH), args, workDir, stdinPath);
}

RunResult RunTxt2mnr(const std::vector<std::string>& args, const std::string& workDir,
                     const std::string& stdinPath) {
  return RunProgram(HostPathOfBuildFile(TXT2MNR_PATH), args, workDir, stdinPath);
}

void MakeDir(const std::string& path) { fs::create_directories(path); }

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << bytes;
  if (!file) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

bool FileExists(const std::string& path) { return fs::is_regular_file(path); }

std::string Utf8Of(const std::string& cp932) {
  const std::string utf8 = test_env::Cp932ToUtf8(cp932);
  if (utf8.empty() && !cp932.empty()) throw std::runtime_error("not valid CP932");
  return utf8;
}

// A console gets UTF-16; a pipe gets UTF-8 everywhere: the host's encoding on
// POSIX, the active code page under mnr2txt's manifest on Windows.
std::string TerminalText(const std::string& cp932) { return Utf8Of(cp932); }

}  // namespace cli_test

// The in-process tests run mnr2txt's parts (tests/cli/LargeWritesTest.cpp):
// the shell's messages name it.
namespace cli::program {
extern const char kName[] = "mnr2txt";
extern const bool kWaitsOnOwnConsole = false;
}  // namespace cli::program
