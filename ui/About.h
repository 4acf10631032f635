#pragma once
// Unit About: Form_About, the small borderless credits window. It closes on a
// click anywhere in it and when another window of the program becomes active,
// not when the user switches to another program. Closing hides it; the main
// window shows the same one again on the next press.

#include <windows.h>

#include "ui/WindowObject.h"

class TForm_About {
 public:
  // Shows the About window centred on the desktop, creating it owned by
  // owner unless existing already is one; returns it.
  static HWND Open(HINSTANCE instance, HWND owner, HWND existing);
  // Tells the About window that another window of the program became active.
  static void OtherFormActivated(HWND about);

  ~TForm_About();

 private:
  TForm_About() = default;
  friend LRESULT CALLBACK WindowProcFor<TForm_About>(HWND, UINT, WPARAM, LPARAM);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  void FormShow();
  void Form_AboutClick();
  void FormDeactivate();

  void CreateControls();
  HWND CreateLabel(int id, int left, int top, int width, int height, const wchar_t* text, HFONT font);
  void PaintPanel();

  HWND handle_ = nullptr;  // Form_About
  HWND Label_SubTitle = nullptr;
  HWND Label_Version = nullptr;
  HWND Label_Title = nullptr;
  HWND Label_Text1 = nullptr;
  HWND Label_Text2 = nullptr;
  HWND Image1 = nullptr;

  HFONT font_ = nullptr;          // the window's font, 13 pixels
  HFONT subTitleFont_ = nullptr;  // 11 pixels
  HFONT titleFont_ = nullptr;     // 32 pixels
  HICON icon_ = nullptr;
};
