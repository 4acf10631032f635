// Runs a command and writes its wall time and peak memory to REPORT:
//   rusage-run REPORT COMMAND [ARGS...]
// REPORT gets one line "SECONDS PEAK_KIB"; the exit status is the command's.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: rusage-run REPORT COMMAND [ARGS...]\n", stderr);
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    execvp(argv[2], argv + 2);
    std::perror(argv[2]);
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (pid < 0 || wait4(pid, &status, 0, &usage) != pid) return 1;
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  FILE* report = std::fopen(argv[1], "w");
  if (!report) return 1;
  std::fprintf(report, "%.4f %ld\n", seconds, usage.ru_maxrss);
  std::fclose(report);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}
