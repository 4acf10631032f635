// Loading, checking and unscrambling a problem file.

#include <algorithm>

#include <gtest/gtest.h>

#include "format/mnrFormat.h"
#include "platform/IoError.h"
#include "tests/support/TestEnv.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

using test_support::Bytes;
using test_support::MnrWriter;
using test_support::Problem;

// あ, 亜, ソ, 表: trail bytes 0xA0, 0x9F (lead range) and 0x5C.
const std::string kA = "\x82\xA0", kAa = "\x88\x9F", kSo = "\x83\x5C", kHyo = "\x95\x5C";

// Eight genres of every kind: Japanese names, a 16-byte name with no zero
// byte, empty genres, mixed texts, full-width fields, odd lengths.
MnrWriter SampleSet() {
  MnrWriter w;
  w.genre(0).name = "\x88\xEA\x94\xCA";  // 一般
  w.genre(0).problems = {
      Problem{kA + kAa + "?", {"1", kSo, kHyo + "x", "", "abcde"}},
      Problem{"", {"", "", "", "", ""}},
      Problem{"a" + kA + "b", {"x" + kA, "ab", "\xB1", kAa, "z"}},
  };
  w.genre(1).name = "ABCDEFGHIJKLMNOP";  // 16 bytes, no zero byte
  w.genre(3).name = "sp  ";              // trailing spaces are kept
  std::string full;
  for (int i = 0; i < 58; ++i) full += kAa;
  std::string fifth;
  for (int i = 0; i < 14; ++i) fifth += kSo;
  w.genre(3).problems = {Problem{full, {"q", "r", "s", "t", fifth}}};
  w.genre(7).name = "\xB6\xDE";  // half-width ｶﾞ, bytes with the top bit set, never flipped
  for (int i = 0; i < 5; ++i) w.genre(7).problems.push_back(Problem{std::to_string(i), {"a", "b", "c", "d", "e"}});
  return w;
}

class LoaderTest : public testing::Test {
 protected:
  // Writes the bytes as a file of the temporary folder; its Windows path.
  std::string Put(const Bytes& bytes, const std::string& name = "t.mnr") {
    test_env::WriteFile(dir.host(name), bytes);
    return dir.win(name);
  }
  bool Load(const Bytes& bytes) { return set.LoadFromFile(Put(bytes)); }

  void ExpectHolds(const MnrWriter& w) {
    for (int g = 0; g < 8; ++g) {
      SCOPED_TRACE("genre " + std::to_string(g));
      EXPECT_EQ(set.GenreName(g), w.expectedGenreName(g));
      EXPECT_EQ(set.ProblemCount(g), w.count(g));
      const auto expected = w.expectedRecords(g);
      const auto& records = set.Quiz(g).Records;
      ASSERT_EQ(records.size(), expected.size());
      for (std::size_t n = 0; n < records.size(); ++n) {
        EXPECT_EQ(Bytes(records[n].Bytes, records[n].Bytes + 256), expected[n]) << "record " << n;
      }
    }
  }

  test_env::TempDir dir;
  T_mnrFormat set;
};

TEST_F(LoaderTest, StartsEmpty) {
  EXPECT_FALSE(set.Loaded());
  EXPECT_EQ(set.FileName(), "");
  for (std::uint8_t b : set.Header()) ASSERT_EQ(b, 0);
  for (int g = 0; g < 8; ++g) EXPECT_TRUE(set.Quiz(g).Records.empty());
}

TEST_F(LoaderTest, LoadsAndUnscramblesEveryGenre) {
  const MnrWriter w = SampleSet();
  const Bytes file = w.bytes();
  const std::string path = Put(file);
  ASSERT_TRUE(set.LoadFromFile(path));
  EXPECT_TRUE(set.Loaded());
  EXPECT_EQ(set.FileName(), path);
  EXPECT_TRUE(std::equal(set.Header().begin(), set.Header().end(), file.begin()));
  ExpectHolds(w);
  EXPECT_EQ(set.GenreName(1), "ABCDEFGHIJKLMNOP");
  EXPECT_EQ(set.GenreName(3), "sp  ");
  EXPECT_EQ(set.GenreName(7), "\xB6\xDE");
  // The mended case in place: "a" あ "b" then plain spaces, no stray byte.
  const auto& r = set.Quiz(0).Records[2].Bytes;
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(r), 6), "a\x82\xA0" "b  ");
  // Full-width fields: question to offset 115, fifth choice to offset 255.
  const auto& f = set.Quiz(3).Records[0].Bytes;
  EXPECT_EQ(f[114], 0x88);
  EXPECT_EQ(f[115], 0x9F);
  EXPECT_EQ(f[254], 0x83);
  EXPECT_EQ(f[255], 0x5C);
}

TEST_F(LoaderTest, AllGenresEmptyHeaderOnly) {
  MnrWriter w;
  const Bytes file = w.bytes();
  ASSERT_EQ(file.size(), 2048u);
  EXPECT_TRUE(Load(file));
  for (int g = 0; g < 8; ++g) {
    EXPECT_EQ(set.ProblemCount(g), 0);
    EXPECT_TRUE(set.Quiz(g).Records.empty());
  }
}

// The signature is compared byte for byte, case-sensitive; only block 0's.
class SignatureTest : public LoaderTest, public testing::WithParamInterface<std::string> {};

TEST_P(SignatureTest, WrongSignatureIsNotAProblemFile) {
  MnrWriter w = SampleSet();
  w.setSignature(GetParam());
  for (int g = 0; g < 8; ++g) w.setCount(g, 32767);  // announced, never provided
  EXPECT_FALSE(Load(w.bytes()));
  EXPECT_FALSE(set.Loaded());
  EXPECT_EQ(set.FileName(), "");
  // Bytes that are no problem file get no memory for what they announce.
  for (int g = 0; g < 8; ++g) EXPECT_EQ(set.Quiz(g).Records.capacity(), 0u) << "genre " << g;
}

INSTANTIATE_TEST_SUITE_P(
    Variants, SignatureTest,
    testing::Values("XUNEBANK", "MXNEBANK", "MUXEBANK", "MUNXBANK", "MUNEXANK", "MUNEBXNK",
                    "MUNEBAXK", "MUNEBANX", "munebank", "Munebank", "MUNEBANk", "MUNEBAN ",
                    std::string("MUNEBAN\0", 8), std::string(8, '\0'), " MUNEBAN"));

TEST_F(LoaderTest, SignatureOnlyInBlockZeroCounts) {
  MnrWriter w = SampleSet();
  for (int i = 0; i < 8; ++i) w.setHeaderByte(1 + i % 7, 34 + i, 'x');  // other blocks: not read
  w.setHeaderByte(0, 16, 0xFF);  // bytes not interpreted are kept, nothing more
  w.setHeaderByte(0, 255, 0xFF);
  const Bytes file = w.bytes();
  ASSERT_TRUE(Load(file));
  EXPECT_TRUE(std::equal(set.Header().begin(), set.Header().end(), file.begin()));
  ExpectHolds(w);
}

// Short files: under 2048 bytes, or ending before the last record is whole.
class LengthTest : public LoaderTest {
 protected:
  bool LoadSized(const MnrWriter& w, std::ptrdiff_t delta) {
    Bytes file = w.bytes();
    if (delta < 0) file.erase(file.end() + delta, file.end());
    else file.insert(file.end(), static_cast<std::size_t>(delta), 0xA5);
    return Load(file);
  }
};

TEST_F(LengthTest, HeaderShorterThan2048IsRejected) {
  const MnrWriter empty;
  for (std::ptrdiff_t cut : {-1, -255, -256, -1792, -2047, -2048}) {
    EXPECT_FALSE(LoadSized(empty, cut)) << cut;
    EXPECT_FALSE(set.Loaded());
  }
}

TEST_F(LengthTest, OneByteShortOfLastRecordIsRejected) {
  // The last record belongs to genre 0, 3 or 7 (later genres empty).
  for (int last : {0, 3, 7}) {
    MnrWriter w;
    for (int g = 0; g <= last; ++g) w.genre(g).problems = {Problem{"q", {"a", "b", "c", "d", "e"}}};
    w.genre(last).problems.push_back(Problem{"r", {"f", "g", "h", "i", "j"}});
    EXPECT_FALSE(LoadSized(w, -1)) << "last genre " << last;
    EXPECT_FALSE(LoadSized(w, -256)) << "last genre " << last;
    EXPECT_FALSE(LoadSized(w, -257)) << "last genre " << last;
    EXPECT_TRUE(LoadSized(w, 0)) << "last genre " << last;
  }
}

TEST_F(LengthTest, ExtraBytesAreIgnored) {
  const MnrWriter w = SampleSet();
  for (std::ptrdiff_t extra : {1, 255, 256, 4096}) {
    ASSERT_TRUE(LoadSized(w, extra)) << extra;
    ExpectHolds(w);
  }
  const MnrWriter empty;
  EXPECT_TRUE(LoadSized(empty, 300));
}

TEST_F(LengthTest, CountLargerThanFileIsRejected) {
  MnrWriter w = SampleSet();
  w.setCount(7, 32767);
  EXPECT_FALSE(LoadSized(w, 0));
}

// A source over bytes that never ends: past them it delivers 0xFF, as a
// stream of any length would; it counts what it was asked for, and raises
// once asked for more than failAfter bytes in all.
class EndlessSource final : public ByteSource {
 public:
  EndlessSource(Bytes bytes, std::size_t failAfter = SIZE_MAX) : bytes_(std::move(bytes)), failAfter_(failAfter) {}
  std::size_t Read(void* buffer, std::size_t count) override {
    if (asked + count > failAfter_) throw platform::EInOutError(5);
    auto* out = static_cast<std::uint8_t*>(buffer);
    for (std::size_t i = 0; i < count; ++i) out[i] = asked + i < bytes_.size() ? bytes_[asked + i] : 0xFF;
    asked += count;
    return count;
  }
  std::size_t asked = 0;

 private:
  Bytes bytes_;
  std::size_t failAfter_;
};

TEST_F(LoaderTest, SourceIsAskedForTheAnnouncedBytesOnlyAndMayFail) {
  const MnrWriter w = SampleSet();
  const Bytes bytes = w.bytes();
  HeaderBytes header;
  std::copy_n(bytes.begin(), header.size(), header.begin());
  EXPECT_EQ(T_mnrFormat::UsedSize(header), bytes.size());

  EndlessSource endless(bytes);
  ASSERT_TRUE(set.LoadFromSource(endless, "s.mnr"));
  EXPECT_EQ(endless.asked, bytes.size());
  EXPECT_EQ(set.FileName(), "s.mnr");
  ExpectHolds(w);

  // Every genre full: the most a file can announce, and all that is read.
  MnrWriter full;
  for (int g = 0; g < 8; ++g) full.setCount(g, 32767);
  full.setCount(2, -5);  // a negative count announces nothing
  std::copy_n(full.bytes().begin(), header.size(), header.begin());
  EXPECT_EQ(T_mnrFormat::UsedSize(header), mnr_layout::kMaxUsedSize - 32767 * 256);
  full.setCount(2, 32767);
  std::copy_n(full.bytes().begin(), header.size(), header.begin());
  EXPECT_EQ(T_mnrFormat::UsedSize(header), mnr_layout::kMaxUsedSize);
  EXPECT_EQ(mnr_layout::kMaxUsedSize, 2048u + 8u * 32767u * 256u);

  // A source that fails half way: not a problem file, nothing raised.
  EndlessSource failing(bytes, bytes.size() - 1);
  EXPECT_FALSE(set.LoadFromSource(failing, "f.mnr"));
  EXPECT_FALSE(set.Loaded());
  EXPECT_EQ(set.FileName(), "s.mnr");
}

class NegativeCountTest : public LoaderTest, public testing::WithParamInterface<int> {};

TEST_P(NegativeCountTest, RejectsFileEvenWithValidSignature) {
  MnrWriter w = SampleSet();
  w.setCount(GetParam(), -1);
  EXPECT_FALSE(Load(w.bytes()));
  EXPECT_FALSE(set.Loaded());
  MnrWriter most = SampleSet();
  most.setCount(GetParam(), -32768);
  EXPECT_FALSE(Load(most.bytes()));
}

INSTANTIATE_TEST_SUITE_P(Genres, NegativeCountTest, testing::Range(0, 8));

// The count field 0x8000 read as unsigned would be 32768, and this file does
// hold 32768 records: only a signed reading rejects it.
TEST_F(LoaderTest, CountOfMinus32768IsRejectedEvenWith32768Records) {
  MnrWriter w;
  w.genre(0).problems.assign(32768, Problem{"q", {"a", "b", "c", "d", "e"}});
  w.setCount(0, -32768);
  ASSERT_EQ(w.bytes().size(), 2048u + 32768u * 256u);
  EXPECT_FALSE(Load(w.bytes()));
  EXPECT_FALSE(set.Loaded());
}

TEST_F(LoaderTest, FailedLoadAfterGoodOneKeepsFileName) {
  const MnrWriter w = SampleSet();
  const std::string good = Put(w.bytes(), "good.mnr");
  ASSERT_TRUE(set.LoadFromFile(good));

  MnrWriter bad = SampleSet();
  bad.setSignature("MUNEBANX");
  EXPECT_FALSE(set.LoadFromFile(Put(bad.bytes(), "bad.mnr")));
  EXPECT_FALSE(set.Loaded());
  EXPECT_EQ(set.FileName(), good);

  EXPECT_FALSE(set.LoadFromFile(dir.win("missing.mnr")));
  EXPECT_FALSE(set.Loaded());
  EXPECT_EQ(set.FileName(), good);
}

TEST_F(LoaderTest, LoadingTwiceUnscramblesAfresh) {
  const MnrWriter w = SampleSet();
  const std::string path = Put(w.bytes());
  ASSERT_TRUE(set.LoadFromFile(path));
  ASSERT_TRUE(set.LoadFromFile(path));
  ExpectHolds(w);

  // Another set in between, with fewer records: nothing of it remains.
  MnrWriter other;
  other.genre(0).problems = {Problem{"x", {"1", "2", "3", "4", "5"}}};
  ASSERT_TRUE(set.LoadFromFile(Put(other.bytes(), "other.mnr")));
  ExpectHolds(other);
  ASSERT_TRUE(set.LoadFromFile(path));
  ExpectHolds(w);
}

TEST_F(LoaderTest, MissingFileOrDirectoryIsNotAProblemFile) {
  EXPECT_FALSE(set.LoadFromFile(dir.win("missing.mnr")));
  EXPECT_FALSE(set.Loaded());
  test_env::MakeDir(dir.host("folder.mnr"));
  EXPECT_FALSE(set.LoadFromFile(dir.win("folder.mnr")));
  EXPECT_FALSE(set.LoadFromFile(dir.win("")));
  EXPECT_FALSE(set.LoadFromFile(dir.win("nowhere/x.mnr")));
  EXPECT_EQ(set.FileName(), "");
}

TEST(T_mnrQuizTest, SetCountKeepsRecordsAndZeroFillsNewOnes) {
  T_mnrQuiz quiz;
  quiz.SetCount(2);
  ASSERT_EQ(quiz.Records.size(), 2u);
  quiz.Records[1].Bytes[7] = 0x42;
  quiz.SetCount(5);
  ASSERT_EQ(quiz.Records.size(), 5u);
  EXPECT_EQ(quiz.Records[1].Bytes[7], 0x42);
  for (const auto& r : {quiz.Records[2], quiz.Records[4]}) {
    for (std::uint8_t b : r.Bytes) ASSERT_EQ(b, 0);
  }
  EXPECT_THROW(quiz.SetCount(-1), platform::ERangeError);
  quiz.SetCount(0);
  EXPECT_TRUE(quiz.Records.empty());
}

// Records that grow back into capacity left by a shrink, and records of a
// huge-page-sized array, are zero like any new record.
TEST(T_mnrQuizTest, SetCountZeroFillsRecordsGrownBackAndLargeArrays) {
  T_mnrQuiz quiz;
  quiz.SetCount(32767);
  for (const auto& r : {quiz.Records[0], quiz.Records[16000], quiz.Records[32766]}) {
    for (std::uint8_t b : r.Bytes) ASSERT_EQ(b, 0);
  }
  for (auto& r : quiz.Records) std::fill(std::begin(r.Bytes), std::end(r.Bytes), 0xA5);
  quiz.SetCount(3);
  quiz.SetCount(32767);
  EXPECT_EQ(quiz.Records[2].Bytes[0], 0xA5);
  for (const auto& r : {quiz.Records[3], quiz.Records[32766]}) {
    for (std::uint8_t b : r.Bytes) ASSERT_EQ(b, 0);
  }
}

#ifdef _WIN32

// Another program holds the file, sharing reading only: a writer is refused
// with 32, the loader (a reader) gets in.
TEST_F(LoaderTest, FileThatOnlyAllowsReadingLoads) {
  const MnrWriter w = SampleSet();
  const std::string path = Put(w.bytes());
  HANDLE holder = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  HANDLE writer = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  const DWORD writerError = GetLastError();
  EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
  EXPECT_EQ(writerError, 32u);
  if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);

  EXPECT_TRUE(set.LoadFromFile(path));
  ExpectHolds(w);
  CloseHandle(holder);
}

// A holder that shares nothing: the open fails with 32, which propagates and
// leaves the earlier problem set as it was.
TEST_F(LoaderTest, FileHeldWithoutSharingRaisesAndChangesNothing) {
  const MnrWriter w = SampleSet();
  const std::string good = Put(w.bytes(), "good.mnr");
  ASSERT_TRUE(set.LoadFromFile(good));
  const std::string path = Put(MnrWriter().bytes(), "held.mnr");
  HANDLE holder = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  try {
    set.LoadFromFile(path);
    ADD_FAILURE() << "no error raised";
  } catch (const platform::EInOutError& e) {
    EXPECT_EQ(e.ErrorCode(), 32);
  }
  CloseHandle(holder);
  EXPECT_TRUE(set.Loaded());
  EXPECT_EQ(set.FileName(), good);
  ExpectHolds(w);
}

#else

// Permission bits refuse nobody when running as root, so the load runs in a
// child that has become an ordinary user. Exit codes say what happened.
TEST_F(LoaderTest, FileThatOnlyAllowsReadingLoads) {
  const MnrWriter w = SampleSet();
  const std::string readOnly = Put(w.bytes(), "ro.mnr");
  const std::string unreadable = Put(w.bytes(), "none.mnr");
  ASSERT_EQ(chmod(dir.host("ro.mnr").c_str(), 0444), 0);
  ASSERT_EQ(chmod(dir.host("none.mnr").c_str(), 0000), 0);
  const std::string roHost = dir.host("ro.mnr");

  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(10);
    // The check discriminates only if writing is really refused.
    if (open(roHost.c_str(), O_WRONLY) >= 0) _exit(11);
    T_mnrFormat problems;
    try {
      if (!problems.LoadFromFile(readOnly)) _exit(12);
      if (problems.Quiz(7).Records.size() != 5) _exit(13);
    } catch (...) {
      _exit(14);
    }
    // A file it may not read at all: the open's error, code 5, propagates
    // and the loaded set stays as it was.
    try {
      problems.LoadFromFile(unreadable);
      _exit(15);
    } catch (const platform::EInOutError& e) {
      if (e.ErrorCode() != 5) _exit(16);
    }
    if (!problems.Loaded() || problems.FileName() != readOnly) _exit(17);
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "10 setuid, 11 writable, 12 not loaded, 13 wrong records, "
                                       "14 raised, 15 unreadable loaded, 16 wrong code, 17 changed";
}

#endif

}  // namespace
