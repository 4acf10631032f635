// The picture buttons' accessible names: each button carries its tooltip as
// its window text, which the system's accessible object reads as its name.
// (Wine's accessible objects answer in-process only, and give a button the
// generic client role, so its role is not checked here.)

#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "ui/ControlIds.h"
#include "ui/Main.h"

namespace {

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

BOOL CALLBACK NoteTooltips(HWND window, LPARAM found) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  if (std::wstring(name) == TOOLTIPS_CLASSW) *reinterpret_cast<HWND*>(found) = window;
  return TRUE;
}

// The main window's tooltips: the one such window of this thread.
HWND TooltipsOfThisThread() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), NoteTooltips, reinterpret_cast<LPARAM>(&found));
  return found;
}

std::wstring TooltipText(HWND tooltips, HWND form, HWND button) {
  wchar_t text[256] = {};
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = form;
  tool.uId = reinterpret_cast<UINT_PTR>(button);
  tool.lpszText = text;
  SendMessageW(tooltips, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
  return text;
}

class AccessibleNames : public testing::Test {
 protected:
  void SetUp() override {
    if (std::getenv("WINEPREFIX") != nullptr && std::getenv("DISPLAY") == nullptr && std::getenv("CI") == nullptr) {
      GTEST_SKIP() << "no X display: run under xvfb-run";
    }
    form_ = TForm_Main::Create(GetModuleHandleW(nullptr), SW_HIDE);
    ASSERT_NE(form_, nullptr) << GetLastError();
  }
  void TearDown() override {
    if (form_ == nullptr) return;
    DestroyWindow(form_);
    MSG quit;
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);  // posted by the window's end
  }

  HWND form_ = nullptr;
  const struct {
    int id;
    const wchar_t* name;
  } buttons_[5] = {
      {control_id::kBitBtnFileOpen, L"むねりの問題データを読み込むにょ"},
      {control_id::kBitBtnDecode1, L"ジャンル別の８テキストファイルに変換にょ"},
      {control_id::kBitBtnDecode2, L"ジャンルをまとめて１テキストファイルに変換にょ"},
      {control_id::kBitBtnQuit, L"おいとまするにょ"},
      {control_id::kBitBtnAbout, L"このソフトって何にょ？"},
  };
};

TEST_F(AccessibleNames, EachPictureButtonsTextIsItsTooltip) {
  HWND tooltips = TooltipsOfThisThread();
  ASSERT_NE(tooltips, nullptr);
  for (const auto& b : buttons_) {
    HWND button = GetDlgItem(form_, b.id);
    EXPECT_EQ(WindowText(button), b.name);
    EXPECT_EQ(TooltipText(tooltips, form_, button), b.name);
  }
}

TEST_F(AccessibleNames, TheSystemsAccessibleObjectNamesEachPictureButton) {
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  for (const auto& b : buttons_) {
    SCOPED_TRACE(b.id);
    IAccessible* accessible = nullptr;
    // __uuidof: the import library's IID_IAccessible is no data in a static
    // link (measured: a garbage interface id reached the system).
    ASSERT_EQ(AccessibleObjectFromWindow(GetDlgItem(form_, b.id), static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                         reinterpret_cast<void**>(&accessible)),
              S_OK);
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    EXPECT_EQ(accessible->get_accName(self, &name), S_OK);
    EXPECT_EQ(std::wstring(name != nullptr ? name : L""), b.name);
    SysFreeString(name);
    accessible->Release();
  }
  CoUninitialize();
}

}  // namespace
