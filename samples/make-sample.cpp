// Writes the sample problem file: make-sample OUTPUT.mnr
// samples/sample.mnr is this program's output, committed; a test keeps the two
// in step.

#include <cstdio>
#include <exception>

#include "samples/SampleProblems.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: make-sample OUTPUT.mnr\n", stderr);
    return 2;
  }
  try {
    MakeSampleProblems().writeTo(argv[1]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make-sample: %s\n", e.what());
    return 1;
  }
  return 0;
}
