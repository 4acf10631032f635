// The message table and the texts the front ends share: every Shift-JIS
// escape is checked against its UTF-8 text through the system's converter.

#include <gtest/gtest.h>

#include "frontend/Messages.h"
#include "platform/IoError.h"
#include "tests/support/TestEnv.h"

namespace {

using test_env::Cp932ToUtf8;

struct CodeMessage {
  int code;
  const char* utf8;
};

const CodeMessage kTable[] = {
    {2, "ファイルが見つかりません"},
    {3, "不正なファイル名です"},
    {4, "オープンしたファイルが多すぎます"},
    {5, "ファイルへのアクセスが拒否されました"},
    {100, "ファイルの末尾以降を読み込みました"},
    {101, "ディスクがいっぱいです"},
    {106, "入力値が数値ではありません"},
    {32, "I/O エラー (32)"},
    {112, "I/O エラー (112)"},
    {103, "I/O エラー (103)"},
    {0, "I/O エラー (0)"},
    {1, "I/O エラー (1)"},
    {-7, "I/O エラー (-7)"},
    {123456, "I/O エラー (123456)"},
};

TEST(MessagesTest, IoErrorTable) {
  for (const CodeMessage& m : kTable) {
    const std::string sjis = platform::IoErrorMessage(m.code);
    EXPECT_EQ(Cp932ToUtf8(sjis), m.utf8) << m.code;
    const platform::EInOutError error(m.code);
    EXPECT_EQ(error.ErrorCode(), m.code);
    EXPECT_EQ(std::string(error.what()), sjis);
  }
  EXPECT_EQ(Cp932ToUtf8(platform::ERangeError().what()), "範囲チェックエラー");
}

TEST(MessagesTest, FrontEndTexts) {
  const std::pair<const char*, const char*> texts[] = {
      {messages::kNotAProblemFile, "問題ファイルじゃないにょ！"},
      {messages::kExported, "８つのテキストファイルを作ったにょ！"},
      {messages::kExportFailed, "何か問題があって作れないにょ？"},
      {messages::kNoFile, "読み込んでいる問題ファイルが無いにょ"},
      {messages::kGenreList, "問題データのジャンル一覧にょ"},
      {messages::kUnderConstruction, "この機能は工事中にょ（ぉ"},
      {messages::kWarningTitle, "警告"},
      {messages::kAppTitle, "むねもじ"},
      {messages::kGenreSeparator, "："},
  };
  for (const auto& [sjis, utf8] : texts) EXPECT_EQ(Cp932ToUtf8(sjis), utf8);
}

// The error box adds "." when the last character sorts above "."; a
// double-byte character counts as one.
TEST(MessagesTest, FullStopRule) {
  for (int code : {2, 3, 4, 5, 100, 101, 106}) {
    const std::string m = platform::IoErrorMessage(code);
    EXPECT_EQ(messages::WithFullStop(m), m + ".") << code;
  }
  for (int code : {32, 103, 112}) {
    const std::string m = platform::IoErrorMessage(code);
    EXPECT_EQ(messages::WithFullStop(m), m) << code;
  }
  const std::string range = platform::ERangeError().what();
  EXPECT_EQ(messages::WithFullStop(range), range + ".");
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},           {"abc", "abc."},         {"end.", "end."},
      {"a-", "a-"},       {"a/", "a/."},           {"\x82\xA0", "\x82\xA0."},
      {"\x82\xA0)", "\x82\xA0)"},                  {"x\x81\x40", "x\x81\x40."},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(messages::WithFullStop(in), out) << in;
}

TEST(MessagesTest, GenreListLine) {
  EXPECT_EQ(messages::GenreListLine(0, ""), "0\x81\x46");
  EXPECT_EQ(messages::GenreListLine(7, "ABCDEFGHIJKLMNOP"), "7\x81\x46" "ABCDEFGHIJKLMNOP");
  EXPECT_EQ(messages::GenreListLine(3, "\x88\xEA\x94\xCA  "), "3\x81\x46\x88\xEA\x94\xCA  ");
}

}  // namespace
