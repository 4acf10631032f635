// The single-stream outputs: one file, CSV and JSON, byte for byte, and that
// they carry exactly the genre files' texts.

#include <gtest/gtest.h>

#include "format/Base64.h"
#include "format/OutputFormats.h"
#include "format/mnrFormat.h"
#include "platform/FileServices.h"
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
  EXPECT_EQ(WriteCsv(set, Collect(csv)), 1u);  // the question's; genre 1 has no row
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
  EXPECT_EQ(WriteJson(set, "s\"et\xFF.mnr", Collect(json)), 2u);  // not the file name
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
  EXPECT_EQ(WriteOneFileText(set, TextEncoding::kShiftJis, Collect(text)), 0u);
  for (int g = 0; g < 8; ++g) expected += w.expectedGenreFile(g);
  EXPECT_EQ(text, expected);

  std::string utf8, utf8Expected;
  EXPECT_EQ(WriteOneFileText(set, TextEncoding::kUtf8, Collect(utf8)), 2u);
  for (int g = 0; g < 8; ++g)
    WriteGenreText(set, g, TextEncoding::kUtf8, [&](std::string_view b) { utf8Expected += b; });
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
  EXPECT_THROW(WriteCsv(set, failing), platform::EInOutError);
  EXPECT_THROW(WriteJson(set, "x", failing), platform::EInOutError);
  EXPECT_THROW(WriteXlsx(set, failing), platform::EInOutError);
  EXPECT_EQ(calls, 3);
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
    WriteJson(set, "t", [&json](std::string_view b) { json += b; });
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
