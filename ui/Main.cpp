#include "ui/Main.h"

#include <commctrl.h>

#include "format/mnrFormat.h"
#include "frontend/MainWindowState.h"
#include "frontend/Messages.h"
#include "platform/CodePage.h"
#include "ui/About.h"
#include "ui/Application.h"
#include "ui/ControlIds.h"
#include "ui/Dpi.h"
#include "ui/Fonts.h"
#include "ui/Problems.h"

namespace {

constexpr int kClientWidth = 209;
constexpr int kClientHeight = 204;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
// Posted at creation: the command line's file is loaded once the window shows.
constexpr UINT kShowStartFile = WM_APP + 1;

// The five buttons: left edge, picture, and whether the button has a grey
// picture of its own for the disabled look.
struct BitBtnDesign {
  int id;
  int left;
  const pictures::PixelMap* picture;
  bool greyPicture;
  const wchar_t* hint;
};
constexpr int kBitBtnTop = 176, kBitBtnWidth = 33, kBitBtnHeight = 25;
// The frame DrawBitBtn draws around a button's face: two one-pixel edges, at
// any DPI.
constexpr int kBitBtnEdge = 2;
const BitBtnDesign kBitBtns[] = {
    {control_id::kBitBtnFileOpen, 8, &pictures::kFileOpen, true, L"むねりの問題データを読み込むにょ"},
    {control_id::kBitBtnDecode1, 48, &pictures::kDecode1, false, L"ジャンル別の８テキストファイルに変換にょ"},
    {control_id::kBitBtnDecode2, 88, &pictures::kDecode2, false,
     L"ジャンルをまとめて１テキストファイルに変換にょ"},
    {control_id::kBitBtnQuit, 128, &pictures::kQuit, true, L"おいとまするにょ"},
    {control_id::kBitBtnAbout, 168, &pictures::kAbout, true, L"このソフトって何にょ？"},
};

// The other controls' places at 96 DPI.
struct Place {
  int id, left, top, width, height;
};
const Place kPlaces[] = {
    {control_id::kListBoxGerne, 0, 16, 209, 132},
    {control_id::kPanelFileName, 0, 0, 209, 17},
    {control_id::kPanelHelp, 0, 152, 209, 17},
};
constexpr int kItemHeight = 16, kFontHeight = 16, kHelpFontHeight = 12;

// Created without size: LayOut places it.
HWND CreateChild(HWND parent, const wchar_t* className, DWORD style, DWORD exStyle, int id) {
  return CreateWindowExW(exStyle, className, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
}

}  // namespace

HWND TForm_Main::Create(HINSTANCE instance, int show, const std::wstring& startFile) {
  HICON icon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  if (!RegisterWindowClass<TForm_Main>(instance, window_class::kMain, icon)) return nullptr;
  // Sized for 96 DPI here; the creation handler sizes it for its monitor.
  RECT frame{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
  std::unique_ptr<TForm_Main> form(new TForm_Main(instance));
  form->startFile_ = startFile;
  HWND window = CreateWindowExW(0, window_class::kMain, application::Title().c_str(), kStyle,
                                CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                                frame.bottom - frame.top, nullptr, nullptr, instance, &form);
  if (window != nullptr) {
    ShowWindow(window, show);
    UpdateWindow(window);
    if (!startFile.empty()) PostMessageW(window, kShowStartFile, 0, 0);
  }
  return window;
}

TForm_Main::TForm_Main(HINSTANCE instance) : instance_(instance) {}

TForm_Main::~TForm_Main() {
  if (font_ != nullptr) DeleteObject(font_);
  if (helpFont_ != nullptr) DeleteObject(helpFont_);
}

LRESULT TForm_Main::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      CreateControls();
      LayOut(dpi::OfWindow(handle_));
      FormCreate();
      return 0;
    case kShowStartFile:
      FormShowStartFile();
      return 0;
    case WM_DROPFILES:
      FormDropFiles(reinterpret_cast<HDROP>(wParam));
      return 0;
    case WM_DPICHANGED:
      FormDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_DESTROY:
      FormDestroy();
      PostQuitMessage(0);
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) FormActivate();
      break;
    case WM_COMMAND:
      if (LOWORD(wParam) == control_id::kListBoxGerne) {
        if (HIWORD(wParam) == LBN_DBLCLK) ListBox_GerneDblClick();
        if (HIWORD(wParam) == LBN_SELCHANGE) ListBox_GerneClick();
        return 0;
      }
      // Enter, as the dialog manager in the message loop reports it.
      if (LOWORD(wParam) == IDOK && lParam == 0) {
        FormKeyEnter();
        return 0;
      }
      if (HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
          case control_id::kBitBtnFileOpen: BitBtn_FileOpenClick(); return 0;
          case control_id::kBitBtnDecode1: BitBtn_Decode1Click(); return 0;
          case control_id::kBitBtnDecode2: BitBtn_Decode2Click(); return 0;
          case control_id::kBitBtnQuit: BitBtn_QuitClick(); return 0;
          case control_id::kBitBtnAbout: BitBtn_AboutClick(); return 0;
        }
      }
      break;
    case WM_DRAWITEM:
      DrawBitBtn(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
  }
  return DefWindowProcW(handle_, message, wParam, lParam);
}

// --- Events ---------------------------------------------------------------

void TForm_Main::FormCreate() { mnrFormat_ = std::make_unique<T_mnrFormat>(); }

void TForm_Main::FormDestroy() { mnrFormat_.reset(); }

void TForm_Main::FormActivate() {
  // The About window closes when another window of the program becomes
  // active, also when the program itself was not active until now.
  if (Form_About != nullptr) TForm_About::OtherFormActivated(Form_About);
}

void TForm_Main::FormShowStartFile() { OpenFile(startFile_); }

void TForm_Main::FormDropFiles(HDROP drop) {
  // Several files dropped: the first counts.
  const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
  std::wstring path(length + 1, L'\0');
  path.resize(DragQueryFileW(drop, 0, path.data(), length + 1));
  DragFinish(drop);
  if (!path.empty()) OpenFile(path);
}

void TForm_Main::FormDpiChanged(int dpi, const RECT& suggested) {
  // Moved to a monitor of another DPI: the system suggests the new frame.
  SetWindowPos(handle_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  LayOut(dpi);
}

void TForm_Main::BitBtn_FileOpenClick() {
  if (OpenDialog.Execute(handle_)) LoadFile(OpenDialog.FileName());
}

void TForm_Main::BitBtn_Decode1Click() { DecodeToGenreFiles(); }

void TForm_Main::BitBtn_Decode2Click() { DecodeToOneFile(); }

void TForm_Main::BitBtn_QuitClick() {
  // Posted, so the window is not destroyed under the handler still running.
  PostMessageW(handle_, WM_CLOSE, 0, 0);
}

void TForm_Main::BitBtn_AboutClick() { Form_About = TForm_About::Open(instance_, handle_, Form_About); }

void TForm_Main::ListBox_GerneDblClick() { ShowProblems(true); }

void TForm_Main::ListBox_GerneClick() {
  // An open problems window follows the selection, and stays behind.
  if (Form_Problems != nullptr && IsWindow(Form_Problems)) ShowProblems(false);
}

void TForm_Main::FormKeyEnter() {
  if (GetFocus() != ListBox_Gerne) return;
  // Tabbed into, the list may have its caret on a line none selected yet.
  if (SendMessageW(ListBox_Gerne, LB_GETCURSEL, 0, 0) == LB_ERR) {
    SendMessageW(ListBox_Gerne, LB_SETCURSEL, SendMessageW(ListBox_Gerne, LB_GETCARETINDEX, 0, 0), 0);
  }
  ShowProblems(true);
}

// --- Operations -----------------------------------------------------------

void TForm_Main::OpenFile(const std::wstring& path) {
  // A full path, like the dialog's, which then reopens pre-filled with it.
  const DWORD length = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  std::wstring full(length, L'\0');
  full.resize(GetFullPathNameW(path.c_str(), length, full.data(), nullptr));
  if (full.empty()) full = path;
  OpenDialog.SetFileName(full);
  // The core takes paths in the active code page (UTF-8 under the manifest).
  LoadFile(codepage::WideToAnsi(full));
}

void TForm_Main::LoadFile(const std::string& path) {
  const bool ok = mnrFormat_->LoadFromFile(path);
  // The problems shown came from the set that this load replaced or emptied.
  // (A load that raised left the set, and so the window, as it was.)
  TForm_Problems::Close(Form_Problems);
  Form_Problems = nullptr;
  if (!ok) {
    MessageBoxW(handle_, codepage::Cp932ToWide(messages::kNotAProblemFile).c_str(),
                codepage::Cp932ToWide(messages::kWarningTitle).c_str(), MB_OK | MB_ICONEXCLAMATION);
  }
  RefreshGenreList();
  SetHelp(main_window::HelpAfterLoad(mnrFormat_->Loaded()));
}

void TForm_Main::RefreshGenreList() {
  // Worked out in full first: if that raises, the window stays as it was.
  const main_window::GenreListView view = main_window::MakeGenreListView(*mnrFormat_);
  SendMessageW(ListBox_Gerne, LB_RESETCONTENT, 0, 0);
  for (const std::string& line : view.lines) {
    SendMessageW(ListBox_Gerne, LB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(codepage::Cp932ToWide(line).c_str()));
  }
  // A path, so in the active code page like every path.
  SetWindowTextW(Panel_FileName, codepage::AnsiToWide(view.fileName).c_str());
  EnableWindow(BitBtn_Decode1, view.exportEnabled);
  EnableWindow(BitBtn_Decode2, view.exportEnabled);
  // With a file loaded the list offers the genres' problems (Enter), so the
  // keyboard reaches it with Tab; in the no-file state it offers nothing.
  const LONG_PTR style = GetWindowLongPtrW(ListBox_Gerne, GWL_STYLE);
  SetWindowLongPtrW(ListBox_Gerne, GWL_STYLE, view.exportEnabled ? style | WS_TABSTOP : style & ~WS_TABSTOP);
}

void TForm_Main::ShowProblems(bool activate) {
  const LRESULT genre = SendMessageW(ListBox_Gerne, LB_GETCURSEL, 0, 0);
  if (!mnrFormat_->Loaded() || genre < 0 || genre >= main_window::kGenreLines) return;
  Form_Problems = TForm_Problems::Open(instance_, handle_, Form_Problems);
  if (Form_Problems != nullptr) TForm_Problems::Show(Form_Problems, *mnrFormat_, static_cast<int>(genre), activate);
}

void TForm_Main::DecodeToGenreFiles() {
  const bool ok = mnrFormat_->ExportGenreFiles("");
  SetHelp(main_window::HelpAfterExport(ok));
}

void TForm_Main::DecodeToOneFile() { SetHelp(messages::kUnderConstruction); }

// --- Window plumbing ------------------------------------------------------

void TForm_Main::SetHelp(const char* message) {
  SetWindowTextW(Panel_Help, codepage::Cp932ToWide(message).c_str());
  HintHelpIfCut();
}

void TForm_Main::HintHelpIfCut() {
  if (helpFont_ == nullptr) return;  // laid out later, and asked again then
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = handle_;
  tool.uId = static_cast<UINT_PTR>(control_id::kPanelHelp);
  SendMessageW(hints_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(Panel_Help)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(Panel_Help, text.data(), static_cast<int>(text.size()))));
  RECT panel;
  GetClientRect(Panel_Help, &panel);
  HDC dc = GetDC(Panel_Help);
  HGDIOBJ old = SelectObject(dc, helpFont_);
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(Panel_Help, dc);
  // The sunken edge takes a pixel on either side.
  if (size.cx <= panel.right - panel.left - 2) return;
  // The panel's place in the window: the static control leaves the mouse to
  // the window, whose tooltip shows over that rectangle.
  MapWindowPoints(Panel_Help, handle_, reinterpret_cast<POINT*>(&panel), 2);
  tool.uFlags = TTF_SUBCLASS;
  tool.rect = panel;
  tool.lpszText = text.data();
  SendMessageW(hints_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void TForm_Main::CreateControls() {
  DragAcceptFiles(handle_, TRUE);

  // In tab order. The list is no tab stop; it keeps its designed height
  // instead of a whole number of items.
  ListBox_Gerne = CreateChild(handle_, L"LISTBOX", WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY,
                              WS_EX_CLIENTEDGE, control_id::kListBoxGerne);

  hints_ = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, handle_, nullptr, instance_,
                           nullptr);
  HWND* buttons[] = {&BitBtn_FileOpen, &BitBtn_Decode1, &BitBtn_Decode2, &BitBtn_Quit, &BitBtn_About};
  for (int i = 0; i < 5; ++i) *buttons[i] = CreateBitBtn(kBitBtns[i].id, kBitBtns[i].hint);

  // Lowered inner bevel, no outer bevel: a one-pixel sunken edge.
  const DWORD panel = SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX | SS_SUNKEN;
  Panel_FileName = CreateChild(handle_, L"STATIC", panel, 0, control_id::kPanelFileName);
  Panel_Help = CreateChild(handle_, L"STATIC", panel, 0, control_id::kPanelHelp);

  // The designed starting contents: the no-file state.
  const main_window::GenreListView start = main_window::NoFileView();
  for (const std::string& line : start.lines) {
    SendMessageW(ListBox_Gerne, LB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(codepage::Cp932ToWide(line).c_str()));
  }
  EnableWindow(BitBtn_Decode1, FALSE);
  EnableWindow(BitBtn_Decode2, FALSE);
  SetHelp(messages::kNoFile);
}

HWND TForm_Main::CreateBitBtn(int id, const wchar_t* hint) {
  HWND button = CreateChild(handle_, L"BUTTON", WS_TABSTOP | BS_OWNERDRAW, 0, id);
  // Its hint is its name: the owner-drawn face never shows the text, and the
  // system's accessible object reads it out to screen readers.
  SetWindowTextW(button, hint);
  // An enabled button gets the mouse messages over it; a disabled one leaves
  // them to the window. Each button is a tool for both cases, so the export
  // buttons show their hints while disabled too.
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = handle_;
  tool.uId = reinterpret_cast<UINT_PTR>(button);
  tool.lpszText = const_cast<wchar_t*>(hint);
  SendMessageW(hints_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  tool.uFlags = TTF_SUBCLASS;
  tool.uId = static_cast<UINT_PTR>(id);  // its rectangle comes with the layout
  SendMessageW(hints_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  return button;
}

void TForm_Main::LayOut(int dpi) {
  dpi_ = dpi;
  auto scale = [dpi](int designed) { return dpi::Scale(designed, dpi); };
  dpi::SetClientSize(handle_, scale(kClientWidth), scale(kClientHeight));

  HFONT oldFont = font_, oldHelpFont = helpFont_;
  font_ = fonts::CreateJapaneseFont(scale(kFontHeight));
  helpFont_ = fonts::CreateJapaneseFont(scale(kHelpFontHeight));
  SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  for (const Place& place : kPlaces) {
    HWND control = GetDlgItem(handle_, place.id);
    HFONT font = place.id == control_id::kPanelHelp ? helpFont_ : font_;
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    MoveWindow(control, scale(place.left), scale(place.top), scale(place.width), scale(place.height), TRUE);
  }
  SendMessageW(ListBox_Gerne, LB_SETITEMHEIGHT, 0, scale(kItemHeight));
  if (oldFont != nullptr) DeleteObject(oldFont);
  if (oldHelpFont != nullptr) DeleteObject(oldHelpFont);
  HintHelpIfCut();  // the text's width and the panel's change with the DPI

  for (int i = 0; i < 5; ++i) {
    const BitBtnDesign& design = kBitBtns[i];
    const RECT place{scale(design.left), scale(kBitBtnTop), scale(design.left) + scale(kBitBtnWidth),
                     scale(kBitBtnTop) + scale(kBitBtnHeight)};
    MoveWindow(GetDlgItem(handle_, design.id), place.left, place.top, place.right - place.left,
               place.bottom - place.top, TRUE);
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = handle_;
    tool.uId = static_cast<UINT_PTR>(design.id);
    tool.rect = place;
    SendMessageW(hints_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
    const auto disabledLook = design.greyPicture ? pictures::Look::kGrey : pictures::Look::kGeneratedDisabled;
    const SIZE face{place.right - place.left - 2 * kBitBtnEdge, place.bottom - place.top - 2 * kBitBtnEdge};
    const int factor = dpi::PictureFactor({design.picture->width, design.picture->height}, face);
    pictures_[i].reset(new ButtonPictures{{*design.picture, pictures::Look::kColour, factor},
                                          {*design.picture, disabledLook, factor}});
  }
  InvalidateRect(handle_, nullptr, TRUE);
}

void TForm_Main::DrawBitBtn(const DRAWITEMSTRUCT& item) const {
  const ButtonPictures* pictures = nullptr;
  for (int i = 0; i < 5; ++i) {
    if (static_cast<int>(item.CtlID) == kBitBtns[i].id) pictures = pictures_[i].get();
  }
  if (pictures == nullptr) return;

  // A classic push button face; the picture sits in its middle and moves one
  // pixel down and right while the button is held.
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  const bool disabled = (item.itemState & ODS_DISABLED) != 0;
  RECT face = item.rcItem;
  DrawFrameControl(item.hDC, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
  const Picture& picture = disabled ? pictures->disabled : pictures->normal;
  const int shift = pressed ? dpi::Scale(1, dpi_) : 0;
  const int x = item.rcItem.left + (item.rcItem.right - item.rcItem.left - picture.Width()) / 2 + shift;
  const int y = item.rcItem.top + (item.rcItem.bottom - item.rcItem.top - picture.Height()) / 2 + shift;
  picture.Draw(item.hDC, x, y);
  if ((item.itemState & ODS_FOCUS) != 0 && !disabled) {
    RECT focus = item.rcItem;
    InflateRect(&focus, -dpi::Scale(4, dpi_), -dpi::Scale(4, dpi_));
    DrawFocusRect(item.hDC, &focus);
  }
}
