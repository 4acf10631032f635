#pragma once
// Runs a program as a user would from a shell, capturing what it prints.

#include <string>
#include <vector>

namespace cli_test {

struct RunResult {
  int status = -1;  // exit status; -1 when it did not exit normally
  std::string out;  // standard output, line breaks as "\n"
  std::string rawOut;  // standard output byte for byte (a data stream)
  std::string err;  // standard error, line breaks as "\n"
};

// Runs program with args in the folder workDir (a host path), its standard
// input the host file stdinPath (the null device when empty). Natively a
// program that hangs is killed after 30 s and counts as not exited.
RunResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                     const std::string& workDir, const std::string& stdinPath = "");

}  // namespace cli_test
