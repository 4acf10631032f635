#pragma once
// Drives munemoji.exe from outside, the way a person would: starts it, finds
// its windows, presses buttons, fills or cancels the open dialog, answers
// message boxes, clicks with the mouse, and reads back what is shown.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace driver {

// Shift-JIS bytes (the program's messages) as UTF-16.
std::wstring FromShiftJis(const std::string& sjis);
// UTF-16 as UTF-8, for the log.
std::string Utf8(const std::wstring& text);

// Whole files by wide name, so any name works whatever the code page.
bool WriteBytes(const std::wstring& path, const std::string& bytes);
std::string ReadBytes(const std::wstring& path);

// Polls until done() holds or the time is up; true when it held.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 10000);
void Pause(int ms);

class Program {
 public:
  // Starts exe in folder; a non-empty argument goes on its command line, quoted.
  Program(const std::wstring& exe, const std::wstring& folder, const std::wstring& argument = L"");
  ~Program();  // ends the program if it still runs

  bool Started() const { return main_ != nullptr; }
  HWND Main() const { return main_; }
  HWND Control(int id) const { return GetDlgItem(main_, id); }
  DWORD Id() const { return info_.dwProcessId; }

  // Visible top-level windows of the program.
  std::vector<HWND> Windows(const wchar_t* className = nullptr) const;
  // Waits for a visible window of the class (and title, when given).
  HWND WaitForWindow(const wchar_t* className, const std::wstring* title = nullptr,
                     int timeoutMs = 10000) const;
  // True once the program has processed everything sent before.
  bool Responsive() const;
  // Waits for the process to end; its exit code, or -1 when it did not end.
  int WaitForExit(int timeoutMs);

  // The open dialog.
  HWND WaitForOpenDialog() const;

 private:
  PROCESS_INFORMATION info_{};
  HWND main_ = nullptr;
};

std::wstring Text(HWND window);
std::vector<std::wstring> ListLines(HWND listBox);
// The longest static text of a message box.
std::wstring MessageBoxText(HWND box);
// Whether a message box shows this system icon, compared pixel by pixel
// with the icon drawn here (icon handles are not shared between programs).
bool ShowsIcon(HWND box, LPCWSTR icon);
// A window's rectangle within its parent's client area (or the screen).
RECT PlaceInParent(HWND window);
SIZE ClientSize(HWND window);

void Press(HWND button);  // posted: a modal box it opens does not block us
void Answer(HWND box, int command);  // IDOK, IDCANCEL
// The file-name box of the open dialog.
HWND OpenDialogFileName(HWND dialog);

// Drops files on a window of the program, as Explorer does: a DROPFILES
// block in the program's memory, posted with WM_DROPFILES.
bool DropFiles(const Program& p, const std::vector<std::wstring>& paths);

// The tooltip control a window owns (shown or not); null if none.
HWND TooltipsOf(HWND owner);
// How many tools it has, and the tool it shows now (its id and text);
// false when it shows none. Read across processes.
int ToolCount(HWND tooltips);
bool ShownTool(const Program& p, HWND tooltips, UINT_PTR& id, std::wstring& text);

// A console program started as Explorer starts one a file is dropped on:
// with a console of its own, the file's full name its argument.
class OwnConsoleProgram {
 public:
  OwnConsoleProgram(const std::wstring& exe, const std::wstring& folder, const std::wstring& argument);
  ~OwnConsoleProgram();  // ends the program if it still runs
  bool Started() const { return info_.hProcess != nullptr; }
  bool Running() const;
  // The text its console shows, line by line with trailing spaces removed.
  std::wstring Screen() const;
  // Enter typed into its console.
  bool PressEnter() const;
  int WaitForExit(int timeoutMs);

 private:
  PROCESS_INFORMATION info_{};
};

// Runs a console program, its standard output into a file; the exit code.
int RunConsoleProgram(const std::wstring& exe, const std::wstring& folder, const std::wstring& arguments,
                      std::string& output);

// Real mouse input, in screen coordinates.
void MoveMouse(POINT at);
void Click(POINT at);
void MouseButton(bool down);
void DoubleClick(POINT at);
// Real key presses, to the active window: vk with Ctrl held when ctrl.
void PressKey(WORD vk, bool ctrl = false);
// The window that has the keyboard focus in the program's thread.
HWND FocusOf(HWND window);
// The clipboard's Unicode text.
std::wstring ClipboardText();
POINT CentreOf(HWND window);
POINT ScreenPoint(HWND window, int clientX, int clientY);

// The window's client area as shown on the screen, saved as PNG.
bool SaveScreenshot(HWND window, const std::wstring& path);

// A window of the driver itself: "another program" for activation tests.
HWND CreateOtherProgramWindow();

}  // namespace driver
