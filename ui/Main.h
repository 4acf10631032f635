#pragma once
// Unit Main: Form_Main, the program's one main window, from which the user
// opens a problem file, sees its eight genres and starts the export.

#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>

#include "ui/OpenDialog.h"
#include "ui/Pictures.h"
#include "ui/WindowObject.h"

class T_mnrFormat;

class TForm_Main {
 public:
  // Creates and shows Form_Main; null on failure. The window owns the object.
  // A non-empty startFile (a path given on the command line) is loaded once
  // the window shows, as if chosen in the open dialog.
  static HWND Create(HINSTANCE instance, int show, const std::wstring& startFile = L"");

  ~TForm_Main();

 private:
  explicit TForm_Main(HINSTANCE instance);
  friend LRESULT CALLBACK WindowProcFor<TForm_Main>(HWND, UINT, WPARAM, LPARAM);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  // Events.
  void FormCreate();
  void FormDestroy();
  void FormActivate();
  void FormShowStartFile();
  void FormDropFiles(HDROP drop);
  void FormDpiChanged(int dpi, const RECT& suggested);
  void BitBtn_FileOpenClick();
  void BitBtn_Decode1Click();
  void BitBtn_Decode2Click();
  void BitBtn_QuitClick();
  void BitBtn_AboutClick();
  void ListBox_GerneClick();     // the selection changed
  void ListBox_GerneDblClick();
  void FormKeyEnter();

  // Operations.
  void OpenFile(const std::wstring& path);  // as after a confirmed open dialog
  void LoadFile(const std::string& path);
  void RefreshGenreList();
  void DecodeToGenreFiles();
  void DecodeToOneFile();
  void ShowProblems(bool activate);  // of the selected genre, in Form_Problems

  // Window plumbing.
  void CreateControls();
  HWND CreateBitBtn(int id, const wchar_t* hint);
  void LayOut(int dpi);  // places, fonts and pictures for the monitor's DPI
  void DrawBitBtn(const DRAWITEMSTRUCT& item) const;
  void SetHelp(const char* message);
  void HintHelpIfCut();  // the status panel's whole text as its tooltip, when the panel cuts it

  HINSTANCE instance_;
  HWND handle_ = nullptr;  // Form_Main

  HWND ListBox_Gerne = nullptr;
  HWND BitBtn_FileOpen = nullptr;
  HWND BitBtn_Decode1 = nullptr;
  HWND BitBtn_Decode2 = nullptr;
  HWND BitBtn_Quit = nullptr;
  HWND BitBtn_About = nullptr;
  HWND Panel_FileName = nullptr;
  HWND Panel_Help = nullptr;
  HWND hints_ = nullptr;  // the buttons' tooltips, and the status panel's when its text is cut
  TOpenDialog OpenDialog;
  HWND Form_About = nullptr;  // made on the first About press, then reused
  HWND Form_Problems = nullptr;  // the one problems window, while it is open
  std::wstring startFile_;    // from the command line, loaded once shown
  int dpi_ = 96;

  HFONT font_ = nullptr;      // the window's font, 16 pixels at 96 DPI
  HFONT helpFont_ = nullptr;  // Panel_Help's own, 12 pixels at 96 DPI

  // A picture per button and look; export buttons use the generated look.
  struct ButtonPictures {
    Picture normal;
    Picture disabled;
  };
  std::unique_ptr<ButtonPictures> pictures_[5];

  std::unique_ptr<T_mnrFormat> mnrFormat_;  // the problem set
};
