#include "ui/Application.h"

#include <exception>

#include "frontend/Messages.h"
#include "platform/CodePage.h"

namespace application {

std::wstring Title() { return codepage::Cp932ToWide(messages::kAppTitle); }

void ShowErrorBox(HWND owner, const std::string& message) noexcept {
  try {
    const std::wstring text = codepage::Cp932ToWide(messages::WithFullStop(message));
    MessageBoxW(owner, text.c_str(), Title().c_str(), MB_OK | MB_ICONSTOP);
  } catch (...) {
    // Out of memory while preparing the box: nothing better can be shown.
    MessageBeep(MB_ICONSTOP);
  }
}

void HandleException(HWND owner) noexcept {
  try {
    throw;
  } catch (const std::exception& error) {
    // An I/O error from the core, a range error, or an allocation failure:
    // all carry their text in what(), the core's in Shift-JIS.
    ShowErrorBox(owner, error.what());
  } catch (...) {
    ShowErrorBox(owner, "?");
  }
}

}  // namespace application
