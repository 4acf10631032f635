// Byte texts on screen: Shift-JIS through code page 932 whatever the system's
// code page; paths through the ANSI code page and back unchanged.

#include "ui/WideText.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "frontend/Messages.h"

namespace {

TEST(WideText, MessagesReadAsShiftJis) {
  EXPECT_EQ(wide_text::FromShiftJis(messages::kAppTitle), L"むねもじ");
  EXPECT_EQ(wide_text::FromShiftJis(messages::kWarningTitle), L"警告");
  EXPECT_EQ(wide_text::FromShiftJis(messages::kNotAProblemFile), L"問題ファイルじゃないにょ！");
  EXPECT_EQ(wide_text::FromShiftJis(messages::kUnderConstruction), L"この機能は工事中にょ（ぉ");
  EXPECT_EQ(wide_text::FromShiftJis(messages::GenreListLine(3, "\x8C\x7C\x94\x5C")), L"3：芸能");
  EXPECT_EQ(wide_text::FromShiftJis(""), L"");
}

TEST(WideText, PathsRoundTripThroughTheAnsiCodePage) {
  const std::wstring path = L"C:\\quiz\\set1.mnr";
  EXPECT_EQ(wide_text::ToAnsi(path), "C:\\quiz\\set1.mnr");
  EXPECT_EQ(wide_text::FromAnsi(wide_text::ToAnsi(path)), path);
  if (GetACP() == 932) {
    // 表 has the trail byte 0x5C; the bytes are the core's.
    EXPECT_EQ(wide_text::ToAnsi(L"C:\\表.mnr"), "C:\\\x95\x5C.mnr");
    EXPECT_EQ(wide_text::FromAnsi("C:\\\x95\x5C.mnr"), L"C:\\表.mnr");
  }
}

}  // namespace
