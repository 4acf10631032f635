#pragma once
// The scratch-program pattern shared by the program's windows: the window's
// C++ object is handed over in WM_NCCREATE, kept in GWLP_USERDATA and deleted
// at WM_NCDESTROY; every message goes to T::HandleMessage. No exception
// leaves a window procedure: one raised by a handler ends that message and is
// shown by the application's top-level handler.
//
// T needs: a member `HWND handle_`, `LRESULT HandleMessage(UINT, WPARAM, LPARAM)`,
// and `friend LRESULT CALLBACK WindowProcFor<T>(HWND, UINT, WPARAM, LPARAM);`.
// Create the window with the address of a std::unique_ptr<T> as creation data.

#include <windows.h>

#include <memory>

#include "ui/Application.h"

template <class T>
LRESULT CALLBACK WindowProcFor(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  T* self = nullptr;
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    self = static_cast<std::unique_ptr<T>*>(create->lpCreateParams)->release();
    self->handle_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<T*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  }
  if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);

  LRESULT result = 0;
  try {
    result = self->HandleMessage(message, wParam, lParam);
  } catch (...) {
    application::HandleException(window);
    // A window whose creation handler failed is not created at all.
    if (message == WM_CREATE) result = -1;
  }
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    delete self;
  }
  return result;
}

// Registers the window class of T once (face-coloured, arrow cursor); later
// calls find it registered.
template <class T>
bool RegisterWindowClass(HINSTANCE instance, const wchar_t* className, HICON icon = nullptr) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(instance, className, &existing)) return true;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WindowProcFor<T>;
  wc.hInstance = instance;
  wc.hIcon = icon;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = className;
  return RegisterClassExW(&wc) != 0;
}
