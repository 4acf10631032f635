#include <windows.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "tests/support/RunProgram.h"

namespace cli_test {

namespace {

// Quoting as the C runtime splits a command line: backslashes are literal
// unless they precede a quote.
std::string Quote(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') backslashes = backslashes * 2 + 1;
    quoted.append(backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, '\\');
  return quoted + "\"";
}

HANDLE CreateCapture(const std::string& path) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::string ReadRaw(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream buffer;
  buffer << file.rdbuf();
  return buffer.str();
}

// The program's text-mode output ends lines with CR LF.
std::string WithoutCarriageReturns(const std::string& raw) {
  std::string text;
  for (char c : raw) {
    if (c != '\r') text += c;
  }
  return text;
}

}  // namespace

RunResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                     const std::string& workDir, const std::string& stdinPath) {
  char tempDir[MAX_PATH];
  GetTempPathA(MAX_PATH, tempDir);
  const std::string base = std::string(tempDir) + "mnr2txt-" + std::to_string(GetCurrentProcessId());
  const std::string outName = base + ".out";
  const std::string errName = base + ".err";

  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE in = CreateFileA(stdinPath.empty() ? "NUL" : stdinPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                          OPEN_EXISTING, 0, nullptr);
  HANDLE out = CreateCapture(outName);
  HANDLE err = CreateCapture(errName);
  if (out == INVALID_HANDLE_VALUE || err == INVALID_HANDLE_VALUE) {
    throw std::runtime_error("cannot make capture files");
  }

  std::string commandLine = Quote(program);
  for (const std::string& arg : args) {
    commandLine += ' ';
    commandLine += Quote(arg);
  }

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in;
  startup.hStdOutput = out;
  startup.hStdError = err;
  PROCESS_INFORMATION process{};
  RunResult result;
  if (CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                     workDir.c_str(), &startup, &process)) {
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    if (GetExitCodeProcess(process.hProcess, &code)) result.status = static_cast<int>(code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(in);
  CloseHandle(out);
  CloseHandle(err);
  result.rawOut = ReadRaw(outName);
  result.out = WithoutCarriageReturns(result.rawOut);
  result.err = WithoutCarriageReturns(ReadRaw(errName));
  DeleteFileA(outName.c_str());
  DeleteFileA(errName.c_str());
  return result;
}

}  // namespace cli_test
