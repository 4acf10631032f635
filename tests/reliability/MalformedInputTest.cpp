// The malformed-input table: problem files cut at every length, signatures
// changed in every byte to every other value, counts at the ends of their
// range with and without the records they announce. Each must give the
// loader's documented result (a false result for every file that is not a
// complete problem file), never a crash, and a file that loads must hold
// exactly what the test writer expects. Most rows load the bytes in memory;
// the truncation rows also go through real files, so both roads are held to
// the same results.

#include <gtest/gtest.h>

#include <cstdio>

#include "format/mnrFormat.h"
#include "tests/support/MnrWriter.h"
#include "tests/support/TestEnv.h"

namespace reliability {
namespace {

using test_support::Bytes;
using test_support::MnrWriter;

test_support::Problem NumberedProblem(int n) {
  const std::string number = std::to_string(n);
  return {"Question " + number + " \x96\xE2\x91\xE8",  // 問題
          {"a" + number, "b" + number, "\x82\xA0" + number, "", "e"}};
}

// A small valid problem file: records in genres 0, 5 and 7.
MnrWriter SmallSet() {
  MnrWriter set;
  for (int g = 0; g < 8; ++g) set.genre(g).name = "genre" + std::to_string(g);
  set.genre(0).problems = {NumberedProblem(0), NumberedProblem(1)};
  set.genre(5).problems = {NumberedProblem(5)};
  set.genre(7).problems = {NumberedProblem(7)};
  return set;
}

class MalformedInput : public ::testing::Test {
 protected:
  void SetUp() override {
    // A good load first: failed loads must leave the file name alone.
    const Bytes good = SmallSet().bytes();
    test_env::WriteFile(dir_.host("good.mnr"), good);
    ASSERT_TRUE(problems_.LoadFromFile(dir_.win("good.mnr")));
  }

  // Loads the bytes as a problem file (from memory, or written to a file when
  // throughFiles_ is set) and checks the result: false with Loaded false and
  // FileName unchanged, or (when `loads` names the set the file holds) true
  // with every count and record as the writer expects.
  void Check(const std::string& label, const std::string& bytes, const MnrWriter* loads) {
    ++rows_;
    const std::string before = problems_.FileName();
    bool ok = !loads;
    if (throughFiles_) {
      test_env::WriteNewFile(dir_.host("case.mnr"), bytes);
      ASSERT_NO_THROW(ok = problems_.LoadFromFile(dir_.win("case.mnr"))) << label;
    } else {
      const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
      ASSERT_NO_THROW(ok = problems_.LoadFromBytes({data, bytes.size()}, dir_.win("case.mnr"))) << label;
    }
    ASSERT_EQ(ok, loads != nullptr) << label;
    EXPECT_EQ(problems_.Loaded(), ok) << label;
    if (!ok) {
      EXPECT_EQ(problems_.FileName(), before) << label;
      return;
    }
    EXPECT_EQ(problems_.FileName(), dir_.win("case.mnr")) << label;
    for (int g = 0; g < 8; ++g) {
      EXPECT_EQ(problems_.ProblemCount(g), loads->count(g)) << label << ", genre " << g;
      const std::vector<Bytes> expected = loads->expectedRecords(g);
      const auto& records = problems_.Quiz(g).Records;
      ASSERT_EQ(records.size(), expected.size()) << label << ", genre " << g;
      for (std::size_t n = 0; n < records.size(); ++n)
        ASSERT_TRUE(std::equal(expected[n].begin(), expected[n].end(), records[n].Bytes))
            << label << ", genre " << g << ", record " << n;
    }
    // Back to the good file, so the next failed load has a name to keep.
    ASSERT_TRUE(problems_.LoadFromFile(dir_.win("good.mnr")));
  }
  void Check(const std::string& label, const Bytes& bytes, const MnrWriter* loads) {
    Check(label, std::string(bytes.begin(), bytes.end()), loads);
  }

  void TearDown() override { std::printf("malformed-input rows: %d\n", rows_); }

  test_env::TempDir dir_;
  T_mnrFormat problems_;
  bool throughFiles_ = false;
  int rows_ = 0;
};

TEST_F(MalformedInput, TruncatedAtEveryLength) {
  const MnrWriter set = SmallSet();
  const Bytes full = set.bytes();
  ASSERT_EQ(full.size(), 2048u + 4 * 256);
  for (const bool files : {true, false}) {
    throughFiles_ = files;
    const std::string road = files ? " (file)" : " (memory)";
    for (std::size_t length = 0; length < full.size() && !HasFailure(); ++length)
      Check("cut to " + std::to_string(length) + " bytes" + road, Bytes(full.begin(), full.begin() + length), nullptr);
  }
  throughFiles_ = true;
  Check("full length", full, &set);
  Bytes longer = full;
  longer.insert(longer.end(), {0x00, 0xFF, 0x20, 0x4D});
  Check("four bytes appended", longer, &set);
  Check("a record's worth appended", Bytes(full.begin(), full.end()) = [&] {
    Bytes b = full;
    b.insert(b.end(), full.end() - 256, full.end());
    return b;
  }(), &set);
}

TEST_F(MalformedInput, EverySingleByteChangeOfTheSignature) {
  const MnrWriter set = SmallSet();
  const Bytes good = set.bytes();
  for (int at = 0; at < 8 && !HasFailure(); ++at) {
    for (int value = 0; value < 256; ++value) {
      if (value == good[34 + at]) continue;
      Bytes changed = good;
      changed[34 + at] = static_cast<std::uint8_t>(value);
      Check("signature byte " + std::to_string(at) + " = " + std::to_string(value), changed, nullptr);
    }
  }
  // Only block 0 carries the signature: the same bytes of the other blocks
  // are not looked at.
  for (int g = 1; g < 8; ++g) {
    MnrWriter other = set;
    for (int at = 0; at < 8; ++at) other.setHeaderByte(g, 34 + at, static_cast<std::uint8_t>('a' + at));
    Check("signature bytes of block " + std::to_string(g) + " changed", other.bytes(), &other);
  }
}

TEST_F(MalformedInput, CountsAtTheEndsOfTheirRange) {
  std::vector<test_support::Problem> many;
  for (int n = 0; n < 32767; ++n) many.push_back(NumberedProblem(n));

  for (const int count : {-32768, -1, 0, 1, 32767}) {
    for (int g = 0; g < 8 && !HasFailure(); ++g) {
      const std::string label = "count " + std::to_string(count) + " in genre " + std::to_string(g);
      // Every other genre holds one problem, so genre g's records sit
      // between theirs.
      MnrWriter set;
      for (int h = 0; h < 8; ++h) set.genre(h).problems = {NumberedProblem(100 + h)};
      set.setCount(g, static_cast<std::int16_t>(count));
      if (count > 0) {
        set.genre(g).problems.assign(many.begin(), many.begin() + count);
        Check(label + ", all records", set.bytes(), &set);
        // One record short: genre 7's record moves up, the file ends one record early.
        set.genre(g).problems.pop_back();
        Check(label + ", one record short", set.bytes(), nullptr);
      } else {
        set.genre(g).problems.clear();
        Check(label + ", no records", set.bytes(), count == 0 ? &set : nullptr);
        // Records where the genre would hold them are read as the next
        // genres' (or ignored at the end): only the count decides.
        Bytes extra = set.bytes();
        const Bytes record = MnrWriter::storedRecord(NumberedProblem(99));
        extra.insert(extra.end(), record.begin(), record.end());
        Check(label + ", a record appended", extra, count == 0 ? &set : nullptr);
      }
    }
  }
}

TEST_F(MalformedInput, AllCountsAtTheMaximumInAShortFile) {
  MnrWriter set;
  for (int g = 0; g < 8; ++g) set.setCount(g, 32767);
  Bytes header = set.bytes();
  Check("all counts 32767, header only", header, nullptr);
  for (int n = 0; n < 3; ++n) {
    const Bytes record = MnrWriter::storedRecord(NumberedProblem(n));
    header.insert(header.end(), record.begin(), record.end());
  }
  Check("all counts 32767, three records", header, nullptr);
}

TEST_F(MalformedInput, NoFileOrAFolder) {
  const std::string before = problems_.FileName();
  EXPECT_FALSE(problems_.LoadFromFile(dir_.win("missing.mnr")));
  EXPECT_FALSE(problems_.Loaded());
  test_env::MakeDir(dir_.host("folder.mnr"));
  EXPECT_FALSE(problems_.LoadFromFile(dir_.win("folder.mnr")));
  EXPECT_FALSE(problems_.Loaded());
  EXPECT_EQ(problems_.FileName(), before);
  rows_ += 2;
}

TEST_F(MalformedInput, EmptyGenresOnly) {
  MnrWriter set;
  Check("eight empty genres, 2048 bytes", set.bytes(), &set);
  set.setCount(3, 1);
  Check("a count of 1 and no record", set.bytes(), nullptr);
}

}  // namespace
}  // namespace reliability
