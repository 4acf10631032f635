#include "ReadBackFuzzer.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "format/OutputFormats.h"
#include "format/mnrFormat.h"
#include "frontend/import/JsonInput.h"
#include "tests/support/RandomProblems.h"

namespace fuzz {

namespace {

std::string BytesOf(const ProblemFileImage& image) {
  std::string bytes;
  WriteProblemFile(image, [&bytes](std::string_view piece) { bytes += piece; });
  return bytes;
}

}  // namespace

void WriteSeedsIfAsked(const std::function<std::string(ProblemSource& problems)>& write,
                       const char* extension) {
  const char* folder = std::getenv("MUNEMOJI_FUZZ_SEEDS");
  if (folder == nullptr) return;
  test_support::RandomProblems random(2024);
  for (int n = 0; n < 40; ++n) {
    test_support::MnrWriter set = random.NextSet();
    const test_support::Bytes bytes = set.bytes();
    if (bytes.size() > 48 * 1024) continue;
    T_mnrFormat problems;
    problems.KeepTrailingBytes(kJsonTrailingBytesKept);
    if (!problems.LoadFromBytes(bytes, "seed.mnr")) std::abort();
    LoadedProblems walk(problems);
    std::ofstream(std::string(folder) + "/seed" + std::to_string(n) + extension, std::ios::binary) << write(walk);
  }
  std::exit(0);
}

void CheckAccepted(const std::optional<ProblemFileImage>& image) {
  if (!image) return;
  const std::string first = BytesOf(*image);
  T_mnrFormat problems;
  problems.KeepTrailingBytes(kJsonTrailingBytesKept);
  if (!problems.LoadFromBytes({reinterpret_cast<const std::uint8_t*>(first.data()), first.size()}, "x")) std::abort();
  std::string json;
  LoadedProblems walk(problems);
  WriteJson(walk, "x", [&json](std::string_view piece) { json += piece; });
  importing::Diagnostics diagnostics;
  const std::optional<ProblemFileImage> again = importing::ReadJson(json, std::nullopt, diagnostics);
  if (!again || (problems.TrailingComplete() && BytesOf(*again) != first)) std::abort();
}

}  // namespace fuzz
