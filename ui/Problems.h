#pragma once
// Unit Problems: Form_Problems, the window that shows one genre's problems as
// text to read, select and copy: the genre name, then each problem numbered
// with its question and its five numbered choices. One at a time: the main
// window shows the genre chosen in its list in the same window. Resizable;
// Esc closes it. A large genre shows its first part at once and the rest in
// parts while the window stays usable: the text control takes a long time
// over a quarter of a million lines at once.

#include <windows.h>

#include <cstddef>
#include <string>

#include "ui/WindowObject.h"

class T_mnrFormat;

class TForm_Problems {
 public:
  // The problems window: existing when that is one, else a new one owned by
  // owner (not shown yet); null when it cannot be made.
  static HWND Open(HINSTANCE instance, HWND owner, HWND existing);
  // Shows the problems of genre in it. activate brings it to the front with
  // the keyboard; otherwise it changes behind the active window.
  static void Show(HWND problemsWindow, const T_mnrFormat& problems, int genre, bool activate);
  // Closes it, if it is open.
  static void Close(HWND problems);

  ~TForm_Problems();

 private:
  TForm_Problems() = default;
  friend LRESULT CALLBACK WindowProcFor<TForm_Problems>(HWND, UINT, WPARAM, LPARAM);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK EditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                   DWORD_PTR form);

  // Events.
  void FormCreate();
  void FormResize(int width, int height);
  void FormDpiChanged(int dpi, const RECT& suggested);
  void FormSetFocus();
  void FormFillTimer();
  // Keys in the text that the edit control itself would not handle; true
  // when handled.
  bool Edit_ProblemsKeyDown(WPARAM key) noexcept;

  void ShowGenre(const T_mnrFormat& problems, int genre);
  // Adds the next part of the text, or all the rest, keeping the view and
  // the selection where they are.
  void AppendPart(bool all);
  void LayOut(int dpi);  // the font for the monitor's DPI

  HWND handle_ = nullptr;  // Form_Problems
  HWND Edit_Problems = nullptr;
  HFONT font_ = nullptr;  // the program's font, 16 pixels at 96 DPI
  int dpi_ = 96;
  std::wstring text_;           // the genre's whole text while parts remain
  std::size_t shown_ = 0;       // how much of it the control holds
  int partLines_ = 0;           // the next part's size
};
