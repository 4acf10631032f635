// Writes the largest problem file the format allows: 8 genres of 32767
// problems each (about 64 MiB), with Japanese text of realistic lengths so
// that unscrambling does real work.
//   make-maximal OUTPUT.mnr

#include <cstdio>
#include <exception>
#include <string>

#include "bench/TextMaker.h"
#include "tests/support/MnrWriter.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: make-maximal OUTPUT.mnr\n", stderr);
    return 2;
  }
  try {
    TextMaker maker(20261208);
    test_support::MnrWriter writer;
    for (int g = 0; g < 8; ++g) {
      test_support::Genre& genre = writer.genre(g);
      genre.name = maker.Make(8, 16);
      genre.problems.resize(32767);
      for (test_support::Problem& p : genre.problems) {
        p.question = maker.Make(40, 116);
        for (std::string& choice : p.choices) choice = maker.Make(4, 28);
      }
    }
    writer.writeTo(argv[1]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make-maximal: %s\n", e.what());
    return 1;
  }
  return 0;
}
