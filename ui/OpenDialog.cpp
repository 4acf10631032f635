#include "ui/OpenDialog.h"

#include <commdlg.h>

#include <vector>

#include "platform/CodePage.h"

bool TOpenDialog::Execute(HWND owner) {
  // The wide dialog, so that the Japanese filter reads right on any Windows;
  // the ANSI dialog would take the filter in the system's code page.
  static constexpr wchar_t kFilter[] =
      L"むねり問題ファイル（*.mnr）\0*.mnr\0すべてのファイル（*.*）\0*.*\0";
  std::vector<wchar_t> buffer(32 * 1024, L'\0');
  fileName_.copy(buffer.data(), buffer.size() - 1);

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = kFilter;
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = buffer.data();
  dialog.nMaxFile = static_cast<DWORD>(buffer.size());
  dialog.lpstrDefExt = L"mnr";
  // Neither the file nor its folder has to exist: a name that is no problem
  // file is the loader's to reject.
  dialog.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY;
  if (!GetOpenFileNameW(&dialog)) return false;
  fileName_ = buffer.data();
  return true;
}

std::string TOpenDialog::FileName() const {
  // The core opens files with the ANSI functions, so it gets the path in the
  // active code page: the same bytes the ANSI dialog would have returned.
  return codepage::WideToAnsi(fileName_);
}
