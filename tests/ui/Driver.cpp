#include "tests/ui/Driver.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdint>
#include <cwchar>

#include "platform/CodePage.h"
#include "tests/ui/PngFile.h"

namespace driver {

std::wstring FromShiftJis(const std::string& sjis) { return codepage::Cp932ToWide(sjis); }

std::string Utf8(const std::wstring& text) { return codepage::WideToUtf8(text); }

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

std::string ReadBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  std::string bytes;
  if (file == INVALID_HANDLE_VALUE) return bytes;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
  CloseHandle(file);
  return bytes;
}

void Pause(int ms) {
  // Keeps the driver's own windows answering while it waits.
  const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  do {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    Sleep(10);
  } while (static_cast<int>(end - GetTickCount()) > 0);
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
  for (int waited = 0; waited < timeoutMs; waited += 50) {
    if (done()) return true;
    Pause(50);
  }
  return done();
}

namespace {

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

struct Search {
  DWORD process;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == search->process && IsWindowVisible(window)) search->found.push_back(window);
  return TRUE;
}

BOOL CALLBACK CollectChildren(HWND window, LPARAM data) {
  reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
  return TRUE;
}

std::vector<HWND> Descendants(HWND window) {
  std::vector<HWND> all;
  EnumChildWindows(window, CollectChildren, reinterpret_cast<LPARAM>(&all));
  return all;
}

}  // namespace

Program::Program(const std::wstring& exe, const std::wstring& folder, const std::wstring& argument) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  std::wstring commandLine = L"\"" + exe + L"\"";
  if (!argument.empty()) commandLine += L" \"" + argument + L"\"";
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                      &startup, &info_)) {
    return;
  }
  WaitForInputIdle(info_.hProcess, 20000);
  main_ = WaitForWindow(L"TForm_Main", nullptr, 30000);
}

Program::~Program() {
  if (info_.hProcess == nullptr) return;
  if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(info_.hProcess, 99);
    WaitForSingleObject(info_.hProcess, 5000);
  }
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

std::vector<HWND> Program::Windows(const wchar_t* className) const {
  Search search{info_.dwProcessId, {}};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
  if (className == nullptr) return search.found;
  std::vector<HWND> matching;
  for (HWND w : search.found) {
    if (ClassOf(w) == className) matching.push_back(w);
  }
  return matching;
}

HWND Program::WaitForWindow(const wchar_t* className, const std::wstring* title, int timeoutMs) const {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND w : Windows(className)) {
          if (title == nullptr || Text(w) == *title) {
            found = w;
            return true;
          }
        }
        return false;
      },
      timeoutMs);
  return found;
}

bool Program::Responsive() const {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(main_, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result) != 0;
}

int Program::WaitForExit(int timeoutMs) {
  if (WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(info_.hProcess, &code);
  return static_cast<int>(code);
}

HWND Program::WaitForOpenDialog() const {
  HWND found = nullptr;
  WaitUntil([&] {
    for (HWND w : Windows(L"#32770")) {
      if (GetDlgItem(w, 0x47C) != nullptr) {
        found = w;
        return true;
      }
    }
    return false;
  });
  return found;
}

std::wstring Text(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 5000, &length)) return L"<no answer>";
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL,
                      5000, &copied);
  text.resize(copied);
  return text;
}

std::vector<std::wstring> ListLines(HWND listBox) {
  std::vector<std::wstring> lines;
  const LRESULT count = SendMessageW(listBox, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = SendMessageW(listBox, LB_GETTEXTLEN, i, 0);
    std::wstring line(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
    const LRESULT copied = SendMessageW(listBox, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data()));
    line.resize(static_cast<std::size_t>(std::max<LRESULT>(copied, 0)));
    lines.push_back(line);
  }
  return lines;
}

std::wstring MessageBoxText(HWND box) {
  std::wstring longest;
  for (HWND child : Descendants(box)) {
    if (ClassOf(child) != L"Static") continue;
    const std::wstring text = Text(child);
    if (text.size() > longest.size()) longest = text;
  }
  return longest;
}

namespace {

// A 32-bit bitmap description with its rows from the top.
BITMAPINFO TopDown32(int w, int h) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  return info;
}

// Pixels of a screen area, 0x00RRGGBB, rows from the top.
std::vector<std::uint32_t> Capture(int left, int top, int w, int h) {
  const BITMAPINFO info = TopDown32(w, h);
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, w, h, screen, left, top, SRCCOPY);
  GdiFlush();
  const auto* first = static_cast<const std::uint32_t*>(bits);
  std::vector<std::uint32_t> pixels(first, first + static_cast<std::size_t>(w) * h);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  for (std::uint32_t& p : pixels) p &= 0xFFFFFF;
  return pixels;
}

}  // namespace

bool ShowsIcon(HWND box, LPCWSTR icon) {
  HWND shown = nullptr;
  for (HWND child : Descendants(box)) {
    if (ClassOf(child) == L"Static" && (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) shown = child;
  }
  if (shown == nullptr) return false;
  RECT r;
  GetWindowRect(shown, &r);
  const int size = GetSystemMetrics(SM_CXICON);
  const std::vector<std::uint32_t> onScreen = Capture(r.left, r.top, size, size);

  // The same icon drawn here over the box's background (a corner pixel).
  const BITMAPINFO info = TopDown32(size, size);
  void* bits = nullptr;
  HDC memory = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  auto* pixels = static_cast<std::uint32_t*>(bits);
  std::fill(pixels, pixels + size * size, onScreen[0]);
  DrawIconEx(memory, 0, 0, LoadIconW(nullptr, icon), size, size, 0, nullptr, DI_NORMAL);
  GdiFlush();
  int differing = 0;
  for (int i = 0; i < size * size; ++i) differing += (pixels[i] & 0xFFFFFF) != onScreen[static_cast<std::size_t>(i)];
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  return differing == 0;
}

RECT PlaceInParent(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  HWND parent = GetParent(window);
  if (parent != nullptr && (GetWindowLongW(window, GWL_STYLE) & WS_CHILD) != 0) {
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  }
  return r;
}

SIZE ClientSize(HWND window) {
  RECT r;
  GetClientRect(window, &r);
  return {r.right - r.left, r.bottom - r.top};
}

void Press(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

void Answer(HWND box, int command) {
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, command)));
}

HWND OpenDialogFileName(HWND dialog) {
  HWND box = GetDlgItem(dialog, 0x47C);
  if (box == nullptr) return nullptr;
  if (ClassOf(box) == L"Edit") return box;
  for (HWND child : Descendants(box)) {
    if (ClassOf(child) == L"Edit") return child;
  }
  return nullptr;
}

bool DropFiles(const Program& p, const std::vector<std::wstring>& paths) {
  std::vector<char> block(sizeof(DROPFILES));
  auto* header = reinterpret_cast<DROPFILES*>(block.data());
  header->pFiles = sizeof(DROPFILES);
  header->pt = {20, 40};
  header->fWide = TRUE;
  for (const std::wstring& path : paths) {
    const auto* bytes = reinterpret_cast<const char*>(path.c_str());
    block.insert(block.end(), bytes, bytes + (path.size() + 1) * sizeof(wchar_t));
  }
  block.insert(block.end(), sizeof(wchar_t), '\0');
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, p.Id());
  if (process == nullptr) return false;
  void* remote = VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  const bool written = remote != nullptr && WriteProcessMemory(process, remote, block.data(), block.size(), nullptr);
  CloseHandle(process);
  return written && PostMessageW(p.Main(), WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0);
}

HWND TooltipsOf(HWND owner) {
  for (HWND w = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr); w != nullptr;
       w = FindWindowExW(nullptr, w, TOOLTIPS_CLASSW, nullptr)) {
    if (GetWindow(w, GW_OWNER) == owner) return w;
  }
  return nullptr;
}

int ToolCount(HWND tooltips) { return static_cast<int>(SendMessageW(tooltips, TTM_GETTOOLCOUNT, 0, 0)); }

bool ShownTool(const Program& p, HWND tooltips, UINT_PTR& id, std::wstring& text) {
  // A TOOLINFOW and room for its text in the program's memory, for the
  // tooltip control to fill.
  constexpr std::size_t kChars = 512;
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, p.Id());
  if (process == nullptr) return false;
  const std::size_t size = sizeof(TOOLINFOW) + kChars * sizeof(wchar_t);
  auto* remote = static_cast<char*>(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  bool shown = false;
  if (remote != nullptr) {
    std::vector<char> block(size, 0);
    auto* tool = reinterpret_cast<TOOLINFOW*>(block.data());
    tool->cbSize = sizeof(TOOLINFOW);
    tool->lpszText = reinterpret_cast<wchar_t*>(remote + sizeof(TOOLINFOW));
    if (WriteProcessMemory(process, remote, block.data(), size, nullptr) &&
        SendMessageW(tooltips, TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(remote)) != 0 &&
        ReadProcessMemory(process, remote, block.data(), size, nullptr)) {
      id = tool->uId;
      const auto* chars = reinterpret_cast<const wchar_t*>(block.data() + sizeof(TOOLINFOW));
      text.assign(chars, wcsnlen(chars, kChars));
      shown = true;
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return shown;
}

OwnConsoleProgram::OwnConsoleProgram(const std::wstring& exe, const std::wstring& folder,
                                     const std::wstring& argument) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  std::wstring commandLine = L"\"" + exe + L"\" \"" + argument + L"\"";
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr,
                      folder.c_str(), &startup, &info_)) {
    info_ = {};
  }
}

OwnConsoleProgram::~OwnConsoleProgram() {
  if (info_.hProcess == nullptr) return;
  if (Running()) {
    TerminateProcess(info_.hProcess, 99);
    WaitForSingleObject(info_.hProcess, 5000);
  }
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

bool OwnConsoleProgram::Running() const { return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }

namespace {

// Runs with the program's console as the driver's own for a moment: its
// screen and its input are then CONOUT$ and CONIN$.
template <typename Use>
bool WithConsoleOf(DWORD process, Use&& use) {
  FreeConsole();
  if (!AttachConsole(process)) return false;
  use();
  FreeConsole();
  return true;
}

}  // namespace

std::wstring OwnConsoleProgram::Screen() const {
  std::wstring screen;
  WithConsoleOf(info_.dwProcessId, [&] {
    HANDLE out = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (out != INVALID_HANDLE_VALUE && GetConsoleScreenBufferInfo(out, &info)) {
      std::wstring row(static_cast<std::size_t>(info.dwSize.X), L' ');
      for (SHORT y = 0; y <= info.dwCursorPosition.Y; ++y) {
        DWORD read = 0;
        ReadConsoleOutputCharacterW(out, row.data(), static_cast<DWORD>(row.size()), {0, y}, &read);
        std::wstring line = row.substr(0, read);
        line.erase(line.find_last_not_of(L' ') + 1);
        screen += line + L"\n";
      }
    }
    if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
  });
  return screen;
}

bool OwnConsoleProgram::PressEnter() const {
  bool written = false;
  WithConsoleOf(info_.dwProcessId, [&] {
    HANDLE in = CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
    INPUT_RECORD keys[2]{};
    for (int i = 0; i < 2; ++i) {
      keys[i].EventType = KEY_EVENT;
      keys[i].Event.KeyEvent.bKeyDown = i == 0;
      keys[i].Event.KeyEvent.wRepeatCount = 1;
      keys[i].Event.KeyEvent.wVirtualKeyCode = VK_RETURN;
      keys[i].Event.KeyEvent.uChar.UnicodeChar = L'\r';
    }
    DWORD n = 0;
    written = in != INVALID_HANDLE_VALUE && WriteConsoleInputW(in, keys, 2, &n) && n == 2;
    if (in != INVALID_HANDLE_VALUE) CloseHandle(in);
  });
  return written;
}

int OwnConsoleProgram::WaitForExit(int timeoutMs) {
  if (WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(info_.hProcess, &code);
  return static_cast<int>(code);
}

int RunConsoleProgram(const std::wstring& exe, const std::wstring& folder, const std::wstring& arguments,
                      std::string& output) {
  const std::wstring outName = folder + L"\\console-output.txt";
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE out = CreateFileW(outName.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = startup.hStdError = out;
  PROCESS_INFORMATION process{};
  std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
  int code = -1;
  if (CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(),
                     &startup, &process)) {
    WaitForSingleObject(process.hProcess, 30000);
    DWORD exit = 0;
    if (GetExitCodeProcess(process.hProcess, &exit)) code = static_cast<int>(exit);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(out);
  output = ReadBytes(outName);
  DeleteFileW(outName.c_str());
  return code;
}

void MoveMouse(POINT at) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &input, sizeof input);
}

void Click(POINT at) {
  MoveMouse(at);
  Pause(100);
  INPUT clicks[2] = {};
  clicks[0].type = clicks[1].type = INPUT_MOUSE;
  clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, clicks, sizeof clicks[0]);
}

void MouseButton(bool down) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  SendInput(1, &input, sizeof input);
}

void DoubleClick(POINT at) {
  MoveMouse(at);
  Pause(100);
  INPUT clicks[4] = {};
  for (int i = 0; i < 4; ++i) {
    clicks[i].type = INPUT_MOUSE;
    clicks[i].mi.dwFlags = i % 2 == 0 ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  }
  SendInput(4, clicks, sizeof clicks[0]);
}

void PressKey(WORD vk, bool ctrl) {
  std::vector<INPUT> keys;
  const auto key = [&](WORD code, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = code;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    keys.push_back(input);
  };
  if (ctrl) key(VK_CONTROL, false);
  key(vk, false);
  key(vk, true);
  if (ctrl) key(VK_CONTROL, true);
  SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
  Pause(100);
}

HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

std::wstring ClipboardText() {
  std::wstring text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = chars;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

POINT CentreOf(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

POINT ScreenPoint(HWND window, int clientX, int clientY) {
  POINT p{clientX, clientY};
  ClientToScreen(window, &p);
  return p;
}

bool SaveScreenshot(HWND window, const std::wstring& path) {
  RECT r;
  GetClientRect(window, &r);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
  const int w = r.right - r.left, h = r.bottom - r.top;
  std::vector<std::uint8_t> rgb;
  rgb.reserve(static_cast<std::size_t>(w) * h * 3);
  for (std::uint32_t p : Capture(r.left, r.top, w, h)) {
    rgb.insert(rgb.end(), {static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8),
                           static_cast<std::uint8_t>(p)});
  }
  return png_file::Write(path, w, h, rgb);
}

HWND CreateOtherProgramWindow() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = L"OtherProgram";
  RegisterClassW(&wc);
  HWND window = CreateWindowExW(0, L"OtherProgram", L"other program", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                GetSystemMetrics(SM_CXSCREEN) - 220, GetSystemMetrics(SM_CYSCREEN) - 140,
                                200, 120, nullptr, nullptr, wc.hInstance, nullptr);
  Pause(200);
  return window;
}

}  // namespace driver
