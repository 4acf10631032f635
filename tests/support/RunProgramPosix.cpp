#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "tests/support/RunProgram.h"

namespace cli_test {

namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

}  // namespace

RunResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                     const std::string& workDir, const std::string& stdinPath) {
  char outName[] = "/tmp/mnr2txt-out-XXXXXX";
  char errName[] = "/tmp/mnr2txt-err-XXXXXX";
  const int outFd = mkstemp(outName);
  const int errFd = mkstemp(errName);
  if (outFd < 0 || errFd < 0) throw std::runtime_error("cannot make capture files");

  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);

  const pid_t pid = fork();
  if (pid == 0) {
    const int nullFd = open(stdinPath.empty() ? "/dev/null" : stdinPath.c_str(), O_RDONLY);
    if (chdir(workDir.c_str()) != 0) _exit(126);
    alarm(30);  // a hanging program fails its test instead of stopping the suite
    dup2(nullFd, 0);
    dup2(outFd, 1);
    dup2(errFd, 2);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(outFd);
  close(errFd);
  RunResult result;
  int status = 0;
  if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status)) {
    result.status = WEXITSTATUS(status);
  }
  result.out = ReadAll(outName);
  result.rawOut = result.out;
  result.err = ReadAll(errName);
  unlink(outName);
  unlink(errName);
  return result;
}

}  // namespace cli_test
