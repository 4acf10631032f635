// The single-stream outputs: one file, CSV and JSON, byte for byte, and that
// they carry exactly the genre files' texts; every output the same streamed
// from bytes as they arrive as from a loaded set.

#include <gtest/gtest.h>

#include <memory>

#include "format/Base64.h"
#include "format/GenreExport.h"
#include "format/OutputFormats.h"
#include "format/ProblemReader.h"
#include "format/mnrFormat.h"
#include "platform/FileServices.h"
#include "tests/support/RandomProblems.h"
#include "tests/support/TestEnv.h"

namespace {

using test_support::MnrWriter;
using test_support::Problem;

class OutputFormatsTest : public testing::Test {
 protected:
  void Load(const MnrWriter& w) {
    test_env::WriteFile(dir.host("set1.mnr"), w.bytes());
    ASSERT_TRUE(set.LoadFromFile(dir.win("set1.mnr")));
  }
  // Collects the output, and checks that it came in bounded pieces.
  ByteSink Collect(std::string& out) {
    return [&out](std::string_view bytes) {
      EXPECT_LE(bytes.size(), 80u * 1024);
      out += bytes;
    };
  }

  test_env::TempDir dir;
  T_mnrFormat set;
};

// Quotes, commas, a TAB and an escape byte, bytes that are no CP932 (a lead
// byte before DEL, a lead byte at the end) in a question and in a name, an
// empty genre between two full ones.
MnrWriter Awkward() {
  MnrWriter w;
  w.genre(0).name = "a,\"b\"\t\x1B[31m";
  w.genre(0).problems = {Problem{"Q\x81\x7F\x82\xA0", {"x,y", "say \"hi\"", "", "\\", "e"}}};
  w.genre(1).name = "\x81";  // no problems: its bad byte is not written in CSV
  w.genre(2).name = "two";
  w.genre(2).problems = {Problem{"1", {"a", "b", "c", "d", "e"}}, Problem{"2", {"", "", "", "", ""}}};
  return w;
}

TEST_F(OutputFormatsTest, CsvIsByteExact) {
  Load(Awkward());
  std::string csv;
  LoadedProblems problems(set);
  EXPECT_EQ(WriteCsv(problems, Collect(csv)), 1u);  // the question's; genre 1 has no row
  EXPECT_EQ(csv,
            "\xEF\xBB\xBFgenre,name,question,choice1,choice2,choice3,choice4,choice5\r\n"
            "0,\"a,\"\"b\"\"\t\x1B[31m\",Q\xEF\xBF\xBD\x7F\xE3\x81\x82,\"x,y\",\"say \"\"hi\"\"\",,\\,e\r\n"
            "2,two,1,a,b,c,d,e\r\n"
            "2,two,2,,,,,\r\n");
}

TEST_F(OutputFormatsTest, JsonIsByteExact) {
  const MnrWriter w = Awkward();
  const test_support::Bytes file = w.bytes();
  const auto base64 = [&](std::size_t offset, std::size_t size) {
    std::string text;
    AppendBase64({reinterpret_cast<const char*>(file.data()) + offset, size}, text);
    return text;
  };
  const auto block = [&](int g) { return ",\"block\":\"" + base64(g * 256, 256) + "\""; };
  Load(w);
  std::string json;
  LoadedProblems problems(set);
  EXPECT_EQ(WriteJson(problems, "s\"et\xFF.mnr", Collect(json)), 2u);  // not the file name
  // Only the question that is not valid CP932 carries its stored record.
  std::string expected =
      "{\"file\":\"s\\\"et\xEF\xBF\xBD.mnr\",\"format\":2,\"genres\":[\n"
      "{\"number\":0,\"name\":\"a,\\\"b\\\"\\t\\u001b[31m\",\"count\":1" + block(0) + ",\"problems\":[\n"
      "{\"question\":\"Q\xEF\xBF\xBD\x7F\xE3\x81\x82\",\"choices\":[\"x,y\",\"say \\\"hi\\\"\",\"\",\"\\\\\",\"e\"],"
      "\"raw\":\"" + base64(2048, 256) + "\"}]},\n"
      "{\"number\":1,\"name\":\"\xEF\xBF\xBD\",\"count\":0" + block(1) + ",\"problems\":[]},\n"
      "{\"number\":2,\"name\":\"two\",\"count\":2" + block(2) + ",\"problems\":[\n"
      "{\"question\":\"1\",\"choices\":[\"a\",\"b\",\"c\",\"d\",\"e\"]},\n"
      "{\"question\":\"2\",\"choices\":[\"\",\"\",\"\",\"\",\"\"]}]},\n";
  for (int g = 3; g < 8; ++g) {
    expected += "{\"number\":" + std::to_string(g) + ",\"name\":\"\",\"count\":0" + block(g) +
                ",\"problems\":[]}" + (g < 7 ? ",\n" : "\n");
  }
  expected += "],\"trailing\":\"\",\"trailingComplete\":true}\n";
  EXPECT_EQ(json, expected);
}

// RFC 4648's examples, and text that is not base64.
TEST(Base64Test, EncodesAndDecodesExactly) {
  const std::pair<std::string, std::string> examples[] = {
      {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foob", "Zm9vYg=="},
      {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"}, {std::string("\xFF\xFE\x00", 3), "//4A"}};
  for (const auto& [bytes, text] : examples) {
    std::string encoded, decoded;
    AppendBase64(bytes, encoded);
    EXPECT_EQ(encoded, text);
    EXPECT_TRUE(DecodeBase64(text, decoded));
    EXPECT_EQ(decoded, bytes);
  }
  std::string ignored;
  for (const char* bad : {"Zg", "Zg=", "Z===", "Zh==", "Zm9=v", "Zm 9v", "Zm9v\n", "=Zm9"})
    EXPECT_FALSE(DecodeBase64(bad, ignored)) << bad;
}

TEST_F(OutputFormatsTest, OneFileIsTheEightGenreFilesInOrder) {
  MnrWriter w = Awkward();
  for (int i = 0; i < 3000; ++i) w.genre(5).problems.push_back(Problem{"long " + std::to_string(i), {"a"}});
  Load(w);
  std::string text, expected;
  LoadedProblems shiftJis(set), utf8Problems(set), byGenre(set);
  EXPECT_EQ(WriteOneFileText(shiftJis, TextEncoding::kShiftJis, Collect(text)), 0u);
  for (int g = 0; g < 8; ++g) expected += w.expectedGenreFile(g);
  EXPECT_EQ(text, expected);

  std::string utf8, utf8Expected;
  EXPECT_EQ(WriteOneFileText(utf8Problems, TextEncoding::kUtf8, Collect(utf8)), 2u);
  for (int g = 0; g < 8; ++g)
    WriteGenreText(byGenre, g, TextEncoding::kUtf8, [&](std::string_view b) { utf8Expected += b; });
  EXPECT_EQ(utf8, utf8Expected);
  EXPECT_NE(utf8.find("Q\xEF\xBF\xBD\x7F\xE3\x81\x82\r\n"), std::string::npos);
}

TEST_F(OutputFormatsTest, AFailingSinkStopsTheWriter) {
  MnrWriter w;
  for (int i = 0; i < 5000; ++i) w.genre(0).problems.push_back(Problem{"q", {"a", "b"}});
  Load(w);
  int calls = 0;
  const ByteSink failing = [&calls](std::string_view) {
    ++calls;
    throw platform::EInOutError(112);
  };
  LoadedProblems csv(set), json(set), xlsx(set);
  EXPECT_THROW(WriteCsv(csv, failing), platform::EInOutError);
  EXPECT_THROW(WriteJson(json, "x", failing), platform::EInOutError);
  EXPECT_THROW(WriteXlsx(xlsx, failing), platform::EInOutError);
  EXPECT_EQ(calls, 3);
}

// Bytes that arrive one at a time, as from the slowest pipe.
class OneByteAtATime final : public ByteSource {
 public:
  explicit OneByteAtATime(const std::string& bytes) : bytes_(bytes) {}
  std::size_t Read(void* buffer, std::size_t count) override {
    if (count == 0 || at_ == bytes_.size()) return 0;
    *static_cast<char*>(buffer) = bytes_[at_++];
    return 1;
  }

 private:
  std::string bytes_;
  std::size_t at_ = 0;
};

// Every output of random sets (every kind of byte, records that are not
// canonical, bytes after the last record), read a byte at a time as they
// stream, against the same outputs of the set loaded whole.
TEST(StreamedOutputs, ReadAByteAtATimeGiveTheSameBytesAsALoadedSet) {
  test_support::RandomProblems random(20);
  for (int round = 0; round < 30; ++round) {
    MnrWriter writer = random.NextSet();
    // Records across many of the reader's pieces too.
    if (round == 0) writer.genre(3).problems.resize(700, Problem{"long", {"a", "b", "c", "d", "e"}});
    const test_support::Bytes set = writer.bytes();
    const std::string file = std::string(set.begin(), set.end()) + random.Trailer();
    T_mnrFormat loaded;
    loaded.KeepTrailingBytes(kJsonTrailingBytesKept);
    ASSERT_TRUE(loaded.LoadFromBytes({reinterpret_cast<const std::uint8_t*>(file.data()), file.size()}, "r.mnr"));
    // Each output of one source: by the loaded set, and streamed.
    const auto both = [&](const auto& write) {
      std::string fromLoaded, streamed;
      LoadedProblems walk(loaded);
      write(walk, IntoString(fromLoaded));
      OneByteAtATime bytes(file);
      ProblemReader reader(bytes, kJsonTrailingBytesKept);
      EXPECT_TRUE(reader.ReadHeader());
      write(reader, IntoString(streamed));
      EXPECT_TRUE(reader.Complete());
      EXPECT_TRUE(streamed == fromLoaded) << "round " << round;
    };
    both([](ProblemSource& p, const ByteSink& sink) {
      struct File {
        const ByteSink& sink;
        void Write(std::string_view bytes) const { sink(bytes); }
      };
      std::size_t invalid = 0;
      WriteGenreFiles(p, TextEncoding::kUtf8, invalid, [&](int g) {
        sink("genre " + std::to_string(g) + "\n");
        return std::make_unique<File>(File{sink});
      }, [](const File&) {}, [](const File&, int) {});
    });
    both([](ProblemSource& p, const ByteSink& sink) { WriteOneFileText(p, TextEncoding::kShiftJis, sink); });
    both([](ProblemSource& p, const ByteSink& sink) { WriteCsv(p, sink); });
    both([](ProblemSource& p, const ByteSink& sink) { WriteJson(p, "r.mnr", sink); });
    both([](ProblemSource& p, const ByteSink& sink) { WriteXlsx(p, sink); });
  }
}

}  // namespace

namespace {

// The JSON keeps at most 1 MiB after the last record and says whether that
// was all; the loader reads no further than one byte past the limit.
TEST(JsonTrailingBytes, KeptUpToTheLimitAndToldWhenCut) {
  MnrWriter w;
  w.genre(0).problems = {Problem{"q", {"a"}}};
  const test_support::Bytes file = w.bytes();
  for (const std::size_t extra : {kJsonTrailingBytesKept, kJsonTrailingBytesKept + 1}) {
    test_support::Bytes bytes = file;
    bytes.resize(file.size() + extra, 0x5A);
    T_mnrFormat set;
    set.KeepTrailingBytes(kJsonTrailingBytesKept);
    ASSERT_TRUE(set.LoadFromBytes(bytes, "t"));
    EXPECT_EQ(set.TrailingBytes(), std::string(kJsonTrailingBytesKept, 'Z'));
    EXPECT_EQ(set.TrailingComplete(), extra == kJsonTrailingBytesKept);
    std::string json;
    LoadedProblems problems(set);
    WriteJson(problems, "t", [&json](std::string_view b) { json += b; });
    const std::string end = extra == kJsonTrailingBytesKept ? "\",\"trailingComplete\":true}\n"
                                                            : "\",\"trailingComplete\":false}\n";
    EXPECT_EQ(json.substr(json.size() - end.size()), end);
  }
  T_mnrFormat ignoring;  // by default nothing after the last record is read
  test_support::Bytes bytes = file;
  bytes.push_back(1);
  ASSERT_TRUE(ignoring.LoadFromBytes(bytes, "t"));
  EXPECT_EQ(ignoring.TrailingBytes(), "");
}

}  // namespace
