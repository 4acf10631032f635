// Writes COUNT ordinary problem files, as a user's quiz folder holds them:
// eight genres of 20 to 100 problems each (about 120 KB a file), Japanese
// texts mixed with ASCII and half-width katakana.
//   make-batch FOLDER COUNT      (writes FOLDER/q0001.mnr, q0002.mnr, ...)

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <random>
#include <string>

#include "bench/TextMaker.h"
#include "tests/support/MnrWriter.h"

int main(int argc, char** argv) {
  if (argc != 3 || std::atoi(argv[2]) <= 0) {
    std::fputs("usage: make-batch FOLDER COUNT\n", stderr);
    return 2;
  }
  try {
    const int count = std::atoi(argv[2]);
    TextMaker maker(20261209, true);
    std::mt19937 random(15);
    for (int n = 1; n <= count; ++n) {
      test_support::MnrWriter writer;
      for (int g = 0; g < 8; ++g) {
        test_support::Genre& genre = writer.genre(g);
        genre.name = maker.Make(8, 16);
        genre.problems.resize(std::uniform_int_distribution<int>(20, 100)(random));
        for (test_support::Problem& p : genre.problems) {
          p.question = maker.Make(40, 116);
          for (std::string& choice : p.choices) choice = maker.Make(4, 28);
        }
      }
      char name[32];
      std::snprintf(name, sizeof name, "/q%04d.mnr", n);
      writer.writeTo(argv[1] + std::string(name));
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make-batch: %s\n", e.what());
    return 1;
  }
  return 0;
}
