// Writes the seed corpora of the fuzz targets, made by the project's own
// problem-file writer:
//   fuzz_seeds OUTDIR   -> OUTDIR/load_export/*.mnr, OUTDIR/split_path/*.path
// Load seeds: small valid sets of random shapes (fixed seed) and the
// malformed kinds (cut, bad signature, negative and oversized counts).
// Split seeds: a mode byte (bit 0: code page 932 lead bytes; bits 1-2: the
// current directory) followed by a path.

#include <cstdio>
#include <fstream>
#include <string>

#include "tests/support/RandomProblems.h"
#include "tests/support/MnrWriter.h"

namespace {

using test_support::Bytes;
using test_support::MnrWriter;

constexpr std::size_t kMaxSeed = 6144;  // the load target's -max_len

void Write(const std::string& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!file) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    std::exit(1);
  }
}

void Write(const std::string& path, const Bytes& bytes) { Write(path, std::string(bytes.begin(), bytes.end())); }

void LoadSeeds(const std::string& dir) {
  MnrWriter empty;
  Write(dir + "/empty.mnr", empty.bytes());

  MnrWriter one;
  one.genre(0).name = "\x83\x57\x83\x83\x83\x93\x83\x8B";  // ジャンル
  one.genre(0).problems.push_back({"\x96\xE2\x91\xE8 odd?", {"\x82\xA0", "b", "", "dd", "\x95\x5C"}});
  one.genre(7).problems.push_back({std::string(116, 'q'), {std::string(28, 'a'), "", "", "", std::string(28, 'e')}});
  const Bytes good = one.bytes();
  Write(dir + "/one.mnr", good);
  Write(dir + "/cut.mnr", Bytes(good.begin(), good.end() - 1));
  Write(dir + "/header-cut.mnr", Bytes(good.begin(), good.begin() + 2047));

  MnrWriter badSignature = one;
  badSignature.setSignature("MUNEBANk");
  Write(dir + "/signature.mnr", badSignature.bytes());
  MnrWriter negative = one;
  negative.setCount(3, -1);
  Write(dir + "/negative.mnr", negative.bytes());
  MnrWriter huge;
  for (int g = 0; g < 8; ++g) huge.setCount(g, 32767);
  Write(dir + "/huge.mnr", huge.bytes());

  test_support::RandomProblems random(7);
  for (int written = 0; written < 40;) {
    const Bytes bytes = random.NextSet().bytes();
    if (bytes.size() > kMaxSeed) continue;
    Write(dir + "/random" + std::to_string(written++) + ".mnr", bytes);
  }
}

void SplitSeeds(const std::string& dir) {
  const std::pair<int, std::string> paths[] = {
      {0, "C:\\quiz\\set1.mnr"},
      {0, "C:\\set1.mnr"},
      {0, "C:\\quiz\\sub"},
      {0, "\\\\server\\share\\quiz\\set1.mnr"},
      {0, "C:\\quiz\\gone.mnr"},
      {0, "C:\\gone\\set1.mnr"},
      {0, "[C:\\quiz\\set1.mnr]"},
      {2, "set1.mnr"},
      {0, "\\quiz\\a.b.mnr"},
      {0, "C:quiz\\data"},
      {0, "C:\\quiz\\..\\quiz\\.\\set1.mnr"},
      {6, "Z:\\"},
      {4, "..\\..\\..\\etc"},
      {1, "C:\\\x95\x5C\\\x95\x5C.mnr"},
      {1, "C:\\\x83\x5C"},
      {0, "C:\\\x95\x5C\\\x95\x5C.mnr"},
      {0, "C:\\quiz\\*.mnr"},
      {0, "\\\\server"},
      {0, ""},
  };
  int n = 0;
  for (const auto& [mode, path] : paths) Write(dir + "/p" + std::to_string(n++) + ".path", std::string(1, static_cast<char>(mode)) + path);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_seeds OUTDIR (with OUTDIR/load_export and OUTDIR/split_path existing)\n");
    return 2;
  }
  const std::string out = argv[1];
  LoadSeeds(out + "/load_export");
  SplitSeeds(out + "/split_path");
  return 0;
}
