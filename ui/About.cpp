#include "ui/About.h"

#include <windowsx.h>

#include <string>

#include "ui/ControlIds.h"
#include "ui/Dpi.h"
#include "ui/Fonts.h"
#include "ui/Version.h"

namespace {

constexpr int kClientWidth = 284;
constexpr int kClientHeight = 105;
// Sent by the main window when it becomes active.
constexpr UINT kOtherFormActivated = WM_APP + 1;

// The window's fonts, by pixel height at 96 DPI.
enum FontIndex { kFont13, kFont11, kFont32 };
constexpr int kFontHeights[] = {13, 11, 32};

// The labels at 96 DPI; each grows to its text, as the designed ones were
// sized to theirs.
struct LabelDesign {
  int id, left, top, width, height;
  FontIndex font;
  const wchar_t* text;
};
const LabelDesign kLabels[] = {
    {control_id::kLabelSubTitle, 8, 8, 179, 11, kFont11, L"「むねりクイズもじだし」略して"},
    {control_id::kLabelVersion, 216, 8, 48, 13, kFont13, L"Ver " MUNEMOJI_VERSION_TEXT},
    {control_id::kLabelTitle, 8, 24, 268, 33, kFont32, L"むねもじ"},
    {control_id::kLabelText1, 152, 72, 82, 13, kFont13, L"作り手：munemoji"},
    {control_id::kLabelText2, 64, 88, 212, 13, kFont13, L"https://munemoji.example/"},
};
constexpr int kImageLeft = 16, kImageTop = 64, kImageSize = 32;

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
  for (HFONT font : fonts_) {
    if (font != nullptr) DeleteObject(font);
  }
}

LRESULT TForm_About::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      CreateControls();
      LayOut(dpi::OfWindow(handle_));
      return 0;
    case WM_PAINT:
      PaintPanel();
      return 0;
    case WM_DRAWITEM:
      DrawImage1(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    // The labels and the picture let the mouse through to the window, so a
    // click anywhere in it arrives here.
    case WM_LBUTTONDOWN:
      pressed_ = true;
      SetCapture(handle_);
      return 0;
    case WM_LBUTTONUP:
      if (pressed_) {
        pressed_ = false;
        ReleaseCapture();
        RECT client;
        GetClientRect(handle_, &client);
        if (PtInRect(&client, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)})) Form_AboutClick();
      }
      return 0;
    case WM_CAPTURECHANGED:
      pressed_ = false;
      return 0;
    case WM_ACTIVATE:
      // Only another window of this program counts; lParam is null or a
      // window of another thread when the user switches to another program.
      if (LOWORD(wParam) == WA_INACTIVE && BelongsToThisThread(reinterpret_cast<HWND>(lParam))) {
        FormDeactivate();
      }
      break;
    case WM_DPICHANGED:
      FormDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case kOtherFormActivated:
      if (IsWindowVisible(handle_)) FormDeactivate();
      return 0;
  }
  return DefWindowProcW(handle_, message, wParam, lParam);
}

void TForm_About::FormShow() {
  LayOut(dpi::OfWindow(handle_));
  const int width = dpi::Scale(kClientWidth, dpi_), height = dpi::Scale(kClientHeight, dpi_);
  const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  SetWindowPos(handle_, HWND_TOP, left, top, width, height, SWP_SHOWWINDOW);
  SetForegroundWindow(handle_);
}

void TForm_About::Form_AboutClick() { ShowWindow(handle_, SW_HIDE); }

void TForm_About::FormDeactivate() { ShowWindow(handle_, SW_HIDE); }

void TForm_About::FormDpiChanged(int dpi, const RECT& suggested) {
  SetWindowPos(handle_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  LayOut(dpi);
}

void TForm_About::CreateControls() {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(handle_, GWLP_HINSTANCE));
  HWND* labels[] = {&Label_SubTitle, &Label_Version, &Label_Title, &Label_Text1, &Label_Text2};
  for (int i = 0; i < 5; ++i) {
    // No SS_NOTIFY: the mouse goes through to the window.
    *labels[i] = CreateWindowExW(0, L"STATIC", kLabels[i].text,
                                 WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, 0, 0, 0,
                                 handle_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kLabels[i].id)),
                                 instance, nullptr);
  }
  // The program's icon, drawn from its pixel map like the buttons' pictures.
  Image1 = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, 0, 0, 0, 0, handle_,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_id::kImage1)), instance,
                           nullptr);
}

void TForm_About::LayOut(int dpi) {
  if (dpi == dpi_ && fonts_[0] != nullptr) return;
  dpi_ = dpi;
  auto scale = [dpi](int designed) { return dpi::Scale(designed, dpi); };
  SetWindowPos(handle_, nullptr, 0, 0, scale(kClientWidth), scale(kClientHeight),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  HFONT old[3];
  for (int i = 0; i < 3; ++i) {
    old[i] = fonts_[i];
    fonts_[i] = fonts::CreateJapaneseFont(scale(kFontHeights[i]));
  }
  SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_[kFont13]), FALSE);
  HDC dc = GetDC(handle_);
  for (const LabelDesign& design : kLabels) {
    HFONT font = fonts_[design.font];
    HGDIOBJ previous = SelectObject(dc, font);
    SIZE extent{};
    GetTextExtentPoint32W(dc, design.text, static_cast<int>(wcslen(design.text)), &extent);
    SelectObject(dc, previous);
    HWND label = GetDlgItem(handle_, design.id);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    const int width = extent.cx > scale(design.width) ? extent.cx : scale(design.width);
    MoveWindow(label, scale(design.left), scale(design.top), width, scale(design.height), TRUE);
  }
  ReleaseDC(handle_, dc);
  for (HFONT font : old) {
    if (font != nullptr) DeleteObject(font);
  }
  MoveWindow(Image1, scale(kImageLeft), scale(kImageTop), scale(kImageSize), scale(kImageSize), TRUE);
  // Image1 is sized to its picture, so the picture grows as far as it fits.
  const int factor = dpi::PictureFactor({pictures::kIcon.width, pictures::kIcon.height},
                                        {scale(kImageSize), scale(kImageSize)});
  icon_ = std::make_unique<Picture>(pictures::kIcon, pictures::Look::kColour, factor);
  InvalidateRect(handle_, nullptr, TRUE);
}

void TForm_About::PaintPanel() {
  // Panel: fills the window; raised inner bevel inside a lowered outer one.
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(handle_, &paint);
  RECT panel;
  GetClientRect(handle_, &panel);
  DrawEdge(dc, &panel, EDGE_ETCHED, BF_RECT);
  EndPaint(handle_, &paint);
}

void TForm_About::DrawImage1(const DRAWITEMSTRUCT& item) const {
  if (item.CtlID != static_cast<UINT>(control_id::kImage1) || icon_ == nullptr) return;
  const RECT& r = item.rcItem;
  FillRect(item.hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
  icon_->Draw(item.hDC, r.left + (r.right - r.left - icon_->Width()) / 2,
              r.top + (r.bottom - r.top - icon_->Height()) / 2);
}
