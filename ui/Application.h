#pragma once
// Program-wide parts of the window program: its title and the top-level
// handler that shows an error which ended a button press.

#include <windows.h>

#include <string>

namespace application {

// "むねもじ": the main window's caption and the generic error box's title.
std::wstring Title();

// The generic error box: modal, stop icon, one OK button, titled with the
// application title, the message (Shift-JIS) with the full-stop rule applied.
void ShowErrorBox(HWND owner, const std::string& message) noexcept;

// Call only inside a catch block: shows the error being handled in the
// generic error box. The press it ended is over; the program goes on.
void HandleException(HWND owner) noexcept;

}  // namespace application
