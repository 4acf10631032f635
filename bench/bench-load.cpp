// Times loading a problem file and unscrambling its records, and reports
// the peak memory of loading.
//   bench-load FILE.mnr
// Prints "name value" lines: load_seconds (best of 5), load_peak_kib (peak
// resident memory after loading, before anything else is allocated),
// decode_gb_per_s (UnscrambleRecord over every record, best of 5), and the
// same for each unscrambling path this processor runs (decode_gb_per_s_NAME).

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <vector>

#include "format/Unscramble.h"
#include "format/mnrFormat.h"
#include "platform/FileServices.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRounds = 5;

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

long PeakKib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;  // KiB on Linux
}

// The stored records of every genre, in file order, read without the loader.
std::vector<ProblemRecord> StoredRecords(const char* path, const T_mnrFormat& loaded) {
  std::size_t count = 0;
  for (int g = 0; g < mnr_layout::kGenreCount; ++g) count += loaded.ListedCount(g);
  std::vector<ProblemRecord> records(count);
  std::ifstream file(path, std::ios::binary);
  file.seekg(mnr_layout::kHeaderSize);
  file.read(reinterpret_cast<char*>(records.data()),
            static_cast<std::streamsize>(count * sizeof(ProblemRecord)));
  return records;
}

// Bytes per second of unscramble over every record, on fresh copies of the
// stored bytes; checksum keeps the unscrambling observable.
double DecodeBytesPerSecond(const std::vector<ProblemRecord>& stored,
                            void (*unscramble)(ProblemRecord&, TextLengths&), unsigned& checksum) {
  std::vector<ProblemRecord> work(stored.size());
  std::vector<TextLengths> lengths(stored.size());
  double best = 1e9;
  for (int round = 0; round < kRounds; ++round) {
    std::memcpy(work.data(), stored.data(), stored.size() * sizeof(ProblemRecord));
    const auto start = Clock::now();
    for (std::size_t i = 0; i < work.size(); ++i) unscramble(work[i], lengths[i]);
    best = std::min(best, Seconds(start));
    checksum += work.back().Bytes[0] + lengths.back().Field[0];
  }
  return static_cast<double>(stored.size() * sizeof(ProblemRecord)) / best;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: bench-load FILE.mnr\n", stderr);
    return 2;
  }
  const std::string path = platform::FullPathFromNative(argv[1]);

  T_mnrFormat problems;
  double bestLoad = 1e9;
  for (int round = 0; round < kRounds; ++round) {
    const auto start = Clock::now();
    if (!problems.LoadFromFile(path)) {
      std::fprintf(stderr, "bench-load: %s is not a problem file\n", argv[1]);
      return 1;
    }
    bestLoad = std::min(bestLoad, Seconds(start));
  }
  const long loadPeak = PeakKib();

  // Decode is private to the loader: time the per-record unscrambling it
  // performs.
  const std::vector<ProblemRecord> stored = StoredRecords(argv[1], problems);
  unsigned checksum = 0;
  std::printf("records %zu\n", stored.size());
  std::printf("load_seconds %.4f\n", bestLoad);
  std::printf("load_peak_kib %ld\n", loadPeak);
  std::printf("decode_gb_per_s %.2f\n", DecodeBytesPerSecond(stored, UnscrambleRecord, checksum) / 1e9);
  for (const UnscramblePath& path : UnscramblePaths()) {
    const double bytesPerSecond = DecodeBytesPerSecond(stored, path.Unscramble, checksum);
    std::printf("decode_gb_per_s_%s %.2f\n", path.Name, bytesPerSecond / 1e9);
  }
  std::printf("checksum %u\n", checksum);
  return 0;
}
