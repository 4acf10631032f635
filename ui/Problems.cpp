#include "ui/Problems.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <new>
#include <string>

#include "frontend/ProblemsView.h"
#include "platform/CodePage.h"
#include "ui/ControlIds.h"
#include "ui/Dpi.h"
#include "ui/Fonts.h"

namespace {

// Room for a question of 58 double-byte characters on one line; made smaller
// where the screen is.
constexpr int kClientWidth = 640;
constexpr int kClientHeight = 400;
constexpr int kFontHeight = 16, kMargin = 4;
// Resizable and maximisable; an owned window is not minimised on its own.
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW & ~WS_MINIMIZEBOX;
// The text goes into the control in parts, one per timer tick so that the
// user's input comes in between: first 200 problems, then parts sized to
// take a quarter of a second each on this machine. Under Wine a line costs
// 40 to 50 us, and each part a cost of its own that grows with the text
// already held (a tenth of a second and more near 5.8 million characters,
// the largest genre), so fewer parts finish sooner.
constexpr int kFirstPartLines = 1400;
constexpr int kMinPartLines = 1000, kMaxPartLines = 50000;
constexpr DWORD kPartMs = 250;
constexpr UINT_PTR kFillTimer = 1;

// Where the part that starts at from ends: after lines more line ends, or
// at the end of the text.
std::size_t PartEnd(const std::wstring& text, std::size_t from, int lines) {
  std::size_t at = from;
  for (int i = 0; i < lines; ++i) {
    at = text.find(L'\n', at);
    if (at == std::wstring::npos) return text.size();
    ++at;
  }
  return at;
}

// Beside the main window, right or else left, so that its genre list stays
// in view to choose from; where neither side has room, where the system put it.
void PlaceBeside(HWND window, HWND owner) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT& work = monitor.rcWork;
  RECT main, self;
  GetWindowRect(owner, &main);
  GetWindowRect(window, &self);
  const int width = self.right - self.left, height = self.bottom - self.top;
  const int top = std::max(work.top, std::min(main.top, work.bottom - height));
  int left = main.right;
  if (left + width > work.right) left = main.left - width;
  if (left < work.left) return;
  SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

HWND TForm_Problems::Open(HINSTANCE instance, HWND owner, HWND existing) {
  if (existing != nullptr && IsWindow(existing)) return existing;
  if (!RegisterWindowClass<TForm_Problems>(instance, window_class::kProblems, LoadIconW(instance, MAKEINTRESOURCEW(1)))) {
    return nullptr;
  }
  // Sized for 96 DPI here; the creation handler sizes it for its monitor.
  RECT frame{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
  std::unique_ptr<TForm_Problems> form(new TForm_Problems);
  HWND window = CreateWindowExW(0, window_class::kProblems, L"", kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                frame.right - frame.left, frame.bottom - frame.top, owner, nullptr, instance, &form);
  if (window != nullptr) PlaceBeside(window, owner);
  return window;
}

void TForm_Problems::Show(HWND problemsWindow, const T_mnrFormat& problems, int genre, bool activate) {
  auto* form = reinterpret_cast<TForm_Problems*>(GetWindowLongPtrW(problemsWindow, GWLP_USERDATA));
  if (form == nullptr) return;
  form->ShowGenre(problems, genre);
  if (activate) {
    ShowWindow(problemsWindow, SW_SHOW);
    SetForegroundWindow(problemsWindow);
  } else if (!IsWindowVisible(problemsWindow)) {
    ShowWindow(problemsWindow, SW_SHOWNOACTIVATE);
  }
}

void TForm_Problems::Close(HWND problemsWindow) {
  if (problemsWindow != nullptr && IsWindow(problemsWindow)) DestroyWindow(problemsWindow);
}

TForm_Problems::~TForm_Problems() {
  if (font_ != nullptr) DeleteObject(font_);
}

LRESULT TForm_Problems::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      FormCreate();
      return 0;
    case WM_SIZE:
      FormResize(LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_DPICHANGED:
      FormDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_SETFOCUS:
      FormSetFocus();
      return 0;
    case WM_TIMER:
      if (wParam == kFillTimer) FormFillTimer();
      return 0;
    case WM_CTLCOLORSTATIC:
      // The read-only text reads like a page: the window colours, not the
      // grey of a disabled field.
      SetTextColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOWTEXT));
      SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
  }
  return DefWindowProcW(handle_, message, wParam, lParam);
}

LRESULT CALLBACK TForm_Problems::EditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                          DWORD_PTR form) {
  switch (message) {
    case WM_KEYDOWN:
      if (reinterpret_cast<TForm_Problems*>(form)->Edit_ProblemsKeyDown(wParam)) return 0;
      break;
    case WM_CHAR:
      // The characters of Esc and Ctrl+A, handled as keys above: no beep.
      if (wParam == 0x1B || wParam == 0x01) return 0;
      break;
    case WM_CONTEXTMENU:
      // Its Select All and Copy take the whole text.
      reinterpret_cast<TForm_Problems*>(form)->AppendPart(true);
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(edit, EditProc, 0);
      break;
  }
  return DefSubclassProc(edit, message, wParam, lParam);
}

// --- Events ---------------------------------------------------------------

void TForm_Problems::FormCreate() {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(handle_, GWLP_HINSTANCE));
  // Read-only, selectable and copyable (Ctrl+C, the context menu); a long
  // question wraps at the window's width, so nothing scrolls sideways.
  Edit_Problems = CreateWindowExW(0, L"EDIT", L"",
                                  WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL |
                                      ES_NOHIDESEL,
                                  0, 0, 0, 0, handle_,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_id::kEditProblems)),
                                  instance, nullptr);
  if (Edit_Problems == nullptr) throw std::bad_alloc();
  SendMessageW(Edit_Problems, EM_SETLIMITTEXT, 0, 0);  // no limit below the system's
  SetWindowSubclass(Edit_Problems, EditProc, 0, reinterpret_cast<DWORD_PTR>(this));
  LayOut(dpi::OfWindow(handle_));

  // The designed size at this DPI, within the screen it opens on.
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(handle_, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT& work = monitor.rcWork;
  RECT outer, client;
  GetWindowRect(handle_, &outer);
  GetClientRect(handle_, &client);
  const int roomWidth = static_cast<int>(work.right - work.left - (outer.right - outer.left - client.right));
  const int roomHeight = static_cast<int>(work.bottom - work.top - (outer.bottom - outer.top - client.bottom));
  dpi::SetClientSize(handle_, std::min(dpi::Scale(kClientWidth, dpi_), roomWidth),
                     std::min(dpi::Scale(kClientHeight, dpi_), roomHeight));
}

void TForm_Problems::FormResize(int width, int height) { MoveWindow(Edit_Problems, 0, 0, width, height, TRUE); }

void TForm_Problems::FormDpiChanged(int dpi, const RECT& suggested) {
  SetWindowPos(handle_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  LayOut(dpi);
}

void TForm_Problems::FormSetFocus() { SetFocus(Edit_Problems); }

void TForm_Problems::FormFillTimer() { AppendPart(false); }

bool TForm_Problems::Edit_ProblemsKeyDown(WPARAM key) noexcept {
  if (key == VK_ESCAPE) {
    // Posted: the edit control is still inside its own message.
    PostMessageW(handle_, WM_CLOSE, 0, 0);
    return true;
  }
  if (key == 'A' && GetKeyState(VK_CONTROL) < 0) {
    AppendPart(true);  // all of it, also while parts remain
    SendMessageW(Edit_Problems, EM_SETSEL, 0, -1);
    return true;
  }
  return false;
}

// --- Operations -----------------------------------------------------------

void TForm_Problems::ShowGenre(const T_mnrFormat& problems, int genre) {
  // A genre of 32767 problems is a quarter of a million lines.
  HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  std::wstring text;
  bool first = true;
  problems_view::ForEachLine(problems, genre, [&](std::string_view line) {
    if (!first) text += L"\r\n";
    first = false;
    text += codepage::Cp932ToWide(line);
  });
  SetWindowTextW(handle_, codepage::Cp932ToWide(problems_view::Title(problems, genre)).c_str());
  KillTimer(handle_, kFillTimer);
  text_ = std::move(text);
  shown_ = PartEnd(text_, 0, kFirstPartLines);
  partLines_ = kFirstPartLines;
  SetWindowTextW(Edit_Problems, text_.substr(0, shown_).c_str());
  SendMessageW(Edit_Problems, EM_SETSEL, 0, 0);
  if (shown_ < text_.size()) {
    SetTimer(handle_, kFillTimer, 0, nullptr);
  } else {
    text_ = std::wstring();
    shown_ = 0;
  }
  SetCursor(previous);
}

void TForm_Problems::AppendPart(bool all) {
  if (shown_ >= text_.size()) return;
  const DWORD started = GetTickCount();
  HCURSOR previous = all ? SetCursor(LoadCursorW(nullptr, IDC_WAIT)) : nullptr;
  const std::size_t end = all ? text_.size() : PartEnd(text_, shown_, partLines_);
  const std::wstring part = text_.substr(shown_, end - shown_);
  // Adding text moves the caret to its end and scrolls there: done unseen,
  // then the view and the selection are put back.
  DWORD selStart = 0, selEnd = 0;
  SendMessageW(Edit_Problems, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart), reinterpret_cast<LPARAM>(&selEnd));
  const LRESULT top = SendMessageW(Edit_Problems, EM_GETFIRSTVISIBLELINE, 0, 0);
  SendMessageW(Edit_Problems, WM_SETREDRAW, FALSE, 0);
  const int length = GetWindowTextLengthW(Edit_Problems);
  SendMessageW(Edit_Problems, EM_SETSEL, length, length);
  SendMessageW(Edit_Problems, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(part.c_str()));
  SendMessageW(Edit_Problems, EM_SETSEL, selStart, selEnd);
  SendMessageW(Edit_Problems, EM_LINESCROLL, 0, top - SendMessageW(Edit_Problems, EM_GETFIRSTVISIBLELINE, 0, 0));
  SendMessageW(Edit_Problems, WM_SETREDRAW, TRUE, 0);
  // The text in view is as it was: only the scroll bars are drawn anew.
  RedrawWindow(Edit_Problems, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
  ValidateRect(Edit_Problems, nullptr);
  shown_ = end;
  if (all) SetCursor(previous);
  const DWORD took = GetTickCount() - started;
  // Grows at most fourfold at a time: the clock ticks in 10 to 16 ms.
  const int grown = std::min(partLines_ * 4, kMaxPartLines);
  partLines_ = took == 0 ? grown : std::clamp(static_cast<int>(partLines_ * kPartMs / took), kMinPartLines, grown);
  if (shown_ >= text_.size()) {
    KillTimer(handle_, kFillTimer);
    text_ = std::wstring();
    shown_ = 0;
  }
}

void TForm_Problems::LayOut(int dpi) {
  dpi_ = dpi;
  HFONT old = font_;
  font_ = fonts::CreateJapaneseFont(dpi::Scale(kFontHeight, dpi));
  SendMessageW(Edit_Problems, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
  const int margin = dpi::Scale(kMargin, dpi);
  SendMessageW(Edit_Problems, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(margin, margin));
  if (old != nullptr) DeleteObject(old);
}
