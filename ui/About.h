#pragma once
// Unit About: Form_About, the small borderless credits window. It closes on a
// click anywhere in it (the button released inside it, so a press dragged
// away is taken back) and when another window of the program becomes active,
// not when the user switches to another program. Closing hides it; the main
// window shows the same one again on the next press.

#include <windows.h>

#include <memory>

#include "ui/Pictures.h"
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

  void FormDpiChanged(int dpi, const RECT& suggested);

  void CreateControls();
  void LayOut(int dpi);  // places, fonts and the picture for the monitor's DPI
  void PaintPanel();
  void DrawImage1(const DRAWITEMSTRUCT& item) const;

  HWND handle_ = nullptr;  // Form_About
  HWND Label_SubTitle = nullptr;
  HWND Label_Version = nullptr;
  HWND Label_Title = nullptr;
  HWND Label_Text1 = nullptr;
  HWND Label_Text2 = nullptr;
  HWND Image1 = nullptr;

  HFONT fonts_[3] = {};  // 13 (the window's), 11 and 32 pixels at 96 DPI
  std::unique_ptr<Picture> icon_;
  int dpi_ = 96;
  bool pressed_ = false;  // the left button went down inside
};
