#include "samples/SampleProblems.h"

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// The committed texts, wherever the program runs (under Wine "/" is Z:).
std::string TextPath(int genre) {
  std::string path = std::string(SAMPLE_TEXTS_DIR) + "/sample" + std::to_string(genre) + ".txt";
#ifdef _WIN32
  if (path[0] == '/') path = "Z:" + path;
  for (char& c : path) c = c == '/' ? '\\' : c;
#endif
  return path;
}

std::vector<std::string> LinesOf(int genre) {
  std::ifstream file(TextPath(genre), std::ios::binary);
  const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  if (!file && !file.eof()) throw std::runtime_error("cannot read " + TextPath(genre));
  std::vector<std::string> lines;
  for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
    lines.push_back(text.substr(at, end - at));
  return lines;
}

}  // namespace

test_support::MnrWriter MakeSampleProblems() {
  test_support::MnrWriter w;
  for (int g = 0; g < 8; ++g) {
    const std::vector<std::string> lines = LinesOf(g);
    if (lines.empty() || lines.size() % 7 != 1) throw std::runtime_error("not a genre file: " + TextPath(g));
    w.genre(g).name = lines[0];
    for (std::size_t at = 1; at < lines.size(); at += 7) {
      test_support::Problem problem;
      problem.question = lines[at + 1];
      for (int c = 0; c < 5; ++c) problem.choices[c] = lines[at + 2 + c];
      w.genre(g).problems.push_back(problem);
    }
  }
  return w;
}
