#include "tests/cli/CliTestEnv.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace fs = std::filesystem;

namespace cli_test {

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

#ifdef _WIN32

namespace {

std::wstring Wide(UINT codePage, DWORD flags, const std::string& text) {
  if (text.empty()) return {};
  const int n = MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (n <= 0) throw std::runtime_error("not valid CP932");
  std::wstring wide(n, L'\0');
  MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

std::string Narrow(UINT codePage, const std::wstring& wide) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int n = WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string text(n, '\0');
  WideCharToMultiByte(codePage, 0, wide.data(), size, text.data(), n, nullptr, nullptr);
  return text;
}

}  // namespace

std::string TerminalText(const std::string& cp932) {
  return Narrow(CP_ACP, Wide(932, MB_ERR_INVALID_CHARS, cp932));
}

std::string Utf8Of(const std::string& cp932) {
  return Narrow(CP_UTF8, Wide(932, MB_ERR_INVALID_CHARS, cp932));
}

#else

std::string Utf8Of(const std::string& cp932) {
  iconv_t cd = iconv_open("UTF-8", "CP932");
  std::string out(cp932.size() * 3, '\0');
  char* in = const_cast<char*>(cp932.data());
  std::size_t inLeft = cp932.size();
  char* dst = out.data();
  std::size_t room = out.size();
  const std::size_t result = iconv(cd, &in, &inLeft, &dst, &room);
  iconv_close(cd);
  if (result == static_cast<std::size_t>(-1)) throw std::runtime_error("not valid CP932");
  out.resize(out.size() - room);
  return out;
}

std::string TerminalText(const std::string& cp932) { return Utf8Of(cp932); }

#endif

}  // namespace cli_test
