// Fuzz target: a problem file of arbitrary bytes. The loader must accept it
// from memory exactly when it is a complete problem file, hold what an
// independent reading of the bytes gives, load the same from a real file, and
// then export genre files equal to the test
// writer's expectation, with the line count the header promises, touching
// nothing but its own files in a scratch folder mapped as the only drive.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzScratch.h"
#include "tests/support/TestEnv.h"
#include "format/mnrFormat.h"
#include "platform/FileServices.h"
#include "platform/posix/DriveTable.h"
#include "tests/support/MnrWriter.h"

namespace {

using test_support::Bytes;
using test_support::MnrWriter;

std::string scratch;

void Setup() {
  scratch = fuzz::MakeScratchFolder();
  namespace drive_table = platform::drive_table;
  drive_table::Reset();
  drive_table::MapDrive('Z', scratch);  // Z: no longer reaches the host's "/"
  drive_table::MapDrive('C', scratch);
  platform::SetCurrentDir("C:\\");
}

int Count16(const std::uint8_t* data, int g) {
  return static_cast<std::int16_t>(data[256 * g + 18] | (data[256 * g + 19] << 8));
}

// Whether the bytes are a complete problem file, read on their own.
bool IsProblemFile(const std::uint8_t* data, std::size_t size) {
  if (size < 2048 || std::memcmp(data + 34, "MUNEBANK", 8) != 0) return false;
  std::size_t records = 0;
  for (int g = 0; g < 8; ++g) {
    if (Count16(data, g) < 0) return false;
    records += static_cast<std::size_t>(Count16(data, g));
  }
  return size >= 2048 + 256 * records;
}

std::size_t CountLines(const std::string& text) {
  std::size_t lines = 0;
  for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++lines;
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool ready = (Setup(), true);
  (void)ready;
  // Loading from memory first: most inputs end there, without touching disk.
  T_mnrFormat problems;
  const bool loaded = problems.LoadFromBytes({data, size}, "C:\\in.mnr");
  if (loaded != IsProblemFile(data, size)) fuzz::Fail(loaded ? "loaded a file that is not complete" : "refused a complete file");
  if (problems.Loaded() != loaded) fuzz::Fail("Loaded differs from the result");
  if (!loaded) return 0;

  // A file that loads goes through the real file too, then gets exported.
  for (int g = 0; g < 8; ++g) std::remove((scratch + "/in" + std::to_string(g) + ".txt").c_str());
  test_env::WriteNewFile(scratch + "/in.mnr", std::string(reinterpret_cast<const char*>(data), size));
  const std::vector<std::string> before = test_env::Listing(scratch);
  T_mnrFormat fromFile;
  if (!fromFile.LoadFromFile("C:\\in.mnr") || !fromFile.Loaded()) fuzz::Fail("the file road refused what memory loaded");
  if (test_env::Listing(scratch) != before) fuzz::Fail("loading changed the scratch folder");
  if (fromFile.Header() != problems.Header()) fuzz::Fail("the file road read another header");
  for (int g = 0; g < 8; ++g) {
    const auto& a = fromFile.Quiz(g).Records;
    const auto& b = problems.Quiz(g).Records;
    if (a.size() != b.size() || (!a.empty() && std::memcmp(a.data(), b.data(), a.size() * 256) != 0))
      fuzz::Fail("the file road read other records in genre " + std::to_string(g));
  }

  // What the file holds, read apart from the loader: records in a row after
  // the header, unscrambled by the test writer's own rule.
  std::vector<std::string> expected;
  const std::uint8_t* record = data + 2048;
  for (int g = 0; g < 8; ++g) {
    const int count = Count16(data, g);
    if (problems.ProblemCount(g) != count) fuzz::Fail("count");
    const char* name = reinterpret_cast<const char*>(data + 256 * g);
    std::vector<Bytes> records;
    for (int n = 0; n < count; ++n, record += 256) {
      records.push_back(MnrWriter::unscramble(Bytes(record, record + 256)));
      if (!std::equal(records.back().begin(), records.back().end(), problems.Quiz(g).Records[n].Bytes))
        fuzz::Fail("record " + std::to_string(n) + " of genre " + std::to_string(g));
    }
    expected.push_back(MnrWriter::genreFileText(std::string(name, strnlen(name, 16)), records));
  }

  if (!fromFile.ExportGenreFiles("")) fuzz::Fail("export failed");
  for (int g = 0; g < 8; ++g) {
    std::string text;
    if (!test_env::ReadFile(scratch + "/in" + std::to_string(g) + ".txt", text)) fuzz::Fail("genre file missing");
    // A name line, then an empty line, the question and five choices per
    // problem (a line may hold CR LF of its own, never fewer lines).
    if (CountLines(text) < 1 + 7 * static_cast<std::size_t>(std::max(Count16(data, g), 0)))
      fuzz::Fail("too few lines in genre " + std::to_string(g));
    if (text != expected[g]) fuzz::Fail("genre file " + std::to_string(g) + " differs");
  }
  std::string now;
  if (!test_env::ReadFile(scratch + "/in.mnr", now) || now != std::string(data, data + size))
    fuzz::Fail("the problem file changed");
  if (test_env::Listing(scratch).size() != before.size() + 8) fuzz::Fail("the export wrote more than eight files");
  return 0;
}
