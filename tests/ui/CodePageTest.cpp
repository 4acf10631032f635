// Texts on screen: Shift-JIS through code page 932 whatever the system's code
// page; paths through the active code page and back unchanged.

#include "platform/CodePage.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "frontend/Messages.h"

namespace {

TEST(CodePage, MessagesReadAsShiftJis) {
  EXPECT_EQ(codepage::Cp932ToWide(messages::kAppTitle), L"むねもじ");
  EXPECT_EQ(codepage::Cp932ToWide(messages::kWarningTitle), L"警告");
  EXPECT_EQ(codepage::Cp932ToWide(messages::kNotAProblemFile), L"問題ファイルじゃないにょ！");
  EXPECT_EQ(codepage::Cp932ToWide(messages::kUnderConstruction), L"この機能は工事中にょ（ぉ");
  EXPECT_EQ(codepage::Cp932ToWide(messages::GenreListLine(3, "\x8C\x7C\x94\x5C")), L"3：芸能");
  EXPECT_EQ(codepage::Cp932ToWide(""), L"");
}

TEST(CodePage, PathsRoundTripThroughTheActiveCodePage) {
  const std::wstring path = L"C:\\quiz\\set1.mnr";
  EXPECT_EQ(codepage::WideToAnsi(path), "C:\\quiz\\set1.mnr");
  EXPECT_EQ(codepage::AnsiToWide(codepage::WideToAnsi(path)), path);
  if (GetACP() == 932) {
    // 表 has the trail byte 0x5C; the bytes are the core's.
    EXPECT_EQ(codepage::WideToAnsi(L"C:\\表.mnr"), "C:\\\x95\x5C.mnr");
    EXPECT_EQ(codepage::AnsiToWide("C:\\\x95\x5C.mnr"), L"C:\\表.mnr");
  }
  EXPECT_EQ(codepage::WideToUtf8(L"クイズ퀴즈"), "クイズ퀴즈");
}

}  // namespace
