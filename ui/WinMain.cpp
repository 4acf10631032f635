// Program start: initialise the common controls, create Form_Main (whose
// creation handler creates the problem set), run the event loop until the
// main window is closed. A file given on the command line (Explorer gives
// one when a file is dropped on the program or opened with it) is loaded
// once the window shows.

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <string>

#include "ui/Application.h"
#include "ui/Main.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_WIN95_CLASSES;
  InitCommonControlsEx(&controls);

  std::wstring startFile;
  int argc = 0;
  if (LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc)) {
    if (argc > 1) startFile = argv[1];
    LocalFree(argv);
  }

  HWND mainForm = nullptr;
  try {
    mainForm = TForm_Main::Create(instance, show, startFile);
  } catch (...) {
    application::HandleException(nullptr);
  }
  if (mainForm == nullptr) return 1;

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(mainForm, &message)) continue;  // Tab between the buttons
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
