#pragma once
// OpenDialog of the main window: the system's file-open dialog, Explorer
// style, resizable, read-only box hidden, default extension "mnr", the
// problem-file filter first; it reopens pre-filled with the last confirmed
// path.

#include <windows.h>

#include <string>

class TOpenDialog {
 public:
  // Runs the dialog modally; true when the user confirmed a file.
  bool Execute(HWND owner);
  // The confirmed full path, as bytes of the active code page.
  std::string FileName() const;
  // Pre-fills the next run, as a confirmed path would (a dropped file).
  void SetFileName(const std::wstring& path) { fileName_ = path; }

 private:
  std::wstring fileName_;
};
