// Writes random problem sets for the page's browser tests, which hold the
// page's outputs to mnr2txt's for them: texts of every kind, control and
// zero bytes, bytes that are not CP932, records of raw random bytes.
//   make-random-sets DIR COUNT SEED   (DIR/random0.mnr ...)

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/support/RandomProblems.h"
#include "tests/support/TestEnv.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: make-random-sets DIR COUNT SEED\n");
    return 2;
  }
  const int count = std::atoi(argv[2]);
  test_support::RandomProblems random(std::strtoull(argv[3], nullptr, 10));
  for (int n = 0; n < count; ++n) {
    test_support::Bytes bytes = random.NextSet().bytes();
    const std::string trailer = random.Trailer();
    bytes.insert(bytes.end(), trailer.begin(), trailer.end());
    test_env::WriteFile(std::string(argv[1]) + "/random" + std::to_string(n) + ".mnr", bytes);
  }
  return 0;
}
