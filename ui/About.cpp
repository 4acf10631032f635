#include "ui/About.h"

#include <memory>
#include <string>

#include "ui/ControlIds.h"
#include "ui/Fonts.h"
#include "ui/Version.h"

namespace {

constexpr int kClientWidth = 284;
constexpr int kClientHeight = 105;
// Sent by the main window when it becomes active.
constexpr UINT kOtherFormActivated = WM_APP + 1;

bool BelongsToThisThread(HWND window) {
  return window != nullptr && GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
}

}  // namespace

HWND TForm_About::Open(HINSTANCE instance, HWND owner, HWND existing) {
  HWND about = existing;
  if (about == nullptr || !IsWindow(about)) {
    if (!RegisterWindowClass<TForm_About>(instance, window_class::kAbout)) return nullptr;
    std::unique_ptr<TForm_About> form(new TForm_About);
    // No border and no title bar, so its caption is never seen.
    about = CreateWindowExW(0, window_class::kAbout, L"ヘルプ", WS_POPUP, 0, 0, kClientWidth,
                            kClientHeight, owner, nullptr, instance, &form);
    if (about == nullptr) return nullptr;
  }
  // A showing About window is simply brought to the front again: there is
  // only ever this one.
  reinterpret_cast<TForm_About*>(GetWindowLongPtrW(about, GWLP_USERDATA))->FormShow();
  return about;
}

void TForm_About::OtherFormActivated(HWND about) {
  if (IsWindow(about)) SendMessageW(about, kOtherFormActivated, 0, 0);
}

TForm_About::~TForm_About() {
  if (font_ != nullptr) DeleteObject(font_);
  if (subTitleFont_ != nullptr) DeleteObject(subTitleFont_);
  if (titleFont_ != nullptr) DeleteObject(titleFont_);
  if (icon_ != nullptr) DestroyIcon(icon_);
}

LRESULT TForm_About::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      CreateControls();
      return 0;
    case WM_PAINT:
      PaintPanel();
      return 0;
    case WM_LBUTTONDOWN:  // the bare panel
      Form_AboutClick();
      return 0;
    case WM_COMMAND:  // a label or the picture
      if (HIWORD(wParam) == STN_CLICKED) {
        Form_AboutClick();
        return 0;
      }
      break;
    case WM_ACTIVATE:
      // Only another window of this program counts; lParam is null or a
      // window of another thread when the user switches to another program.
      if (LOWORD(wParam) == WA_INACTIVE && BelongsToThisThread(reinterpret_cast<HWND>(lParam))) {
        FormDeactivate();
      }
      break;
    case kOtherFormActivated:
      if (IsWindowVisible(handle_)) FormDeactivate();
      return 0;
  }
  return DefWindowProcW(handle_, message, wParam, lParam);
}

void TForm_About::FormShow() {
  const int left = (GetSystemMetrics(SM_CXSCREEN) - kClientWidth) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - kClientHeight) / 2;
  SetWindowPos(handle_, HWND_TOP, left, top, kClientWidth, kClientHeight, SWP_SHOWWINDOW);
  SetForegroundWindow(handle_);
}

void TForm_About::Form_AboutClick() { ShowWindow(handle_, SW_HIDE); }

void TForm_About::FormDeactivate() { ShowWindow(handle_, SW_HIDE); }

void TForm_About::CreateControls() {
  font_ = fonts::CreateJapaneseFont(13);
  subTitleFont_ = fonts::CreateJapaneseFont(11);
  titleFont_ = fonts::CreateJapaneseFont(32);

  Label_SubTitle = CreateLabel(control_id::kLabelSubTitle, 8, 8, 179, 11,
                               L"「むねりクイズもじだし」略して", subTitleFont_);
  Label_Version = CreateLabel(control_id::kLabelVersion, 216, 8, 48, 13, L"Ver " MUNEMOJI_VERSION_TEXT, font_);
  Label_Title = CreateLabel(control_id::kLabelTitle, 8, 24, 268, 33, L"むねもじ", titleFont_);
  Label_Text1 = CreateLabel(control_id::kLabelText1, 152, 72, 82, 13, L"作り手：munemoji", font_);
  Label_Text2 = CreateLabel(control_id::kLabelText2, 64, 88, 212, 13, L"https://munemoji.example/", font_);

  // The program's icon, at its own size.
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(handle_, GWLP_HINSTANCE));
  icon_ = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, 32, 32, 0));
  Image1 = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_ICON | SS_NOTIFY, 16, 64, 32,
                           32, handle_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_id::kImage1)),
                           instance, nullptr);
  SendMessageW(Image1, STM_SETICON, reinterpret_cast<WPARAM>(icon_), 0);
}

HWND TForm_About::CreateLabel(int id, int left, int top, int width, int height, const wchar_t* text,
                              HFONT font) {
  // Labels grow to their text, as the designed ones were sized to theirs.
  HDC dc = GetDC(handle_);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE extent{};
  GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &extent);
  SelectObject(dc, old);
  ReleaseDC(handle_, dc);
  if (extent.cx > width) width = extent.cx;

  HWND label = CreateWindowExW(0, L"STATIC", text,
                               WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_NOTIFY, left,
                               top, width, height, handle_,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(handle_, GWLP_HINSTANCE)),
                               nullptr);
  SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return label;
}

void TForm_About::PaintPanel() {
  // Panel: fills the window; raised inner bevel inside a lowered outer one.
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(handle_, &paint);
  RECT panel{0, 0, kClientWidth, kClientHeight};
  DrawEdge(dc, &panel, EDGE_ETCHED, BF_RECT);
  EndPaint(handle_, &paint);
}
