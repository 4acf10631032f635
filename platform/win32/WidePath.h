#pragma once
// Win32 only: what the backend's parts share. Paths reach the system through
// the wide calls, so their limit is 260 UTF-16 characters whatever their
// length in the active code page (UTF-8 takes up to three bytes for one).

#include <string>

namespace platform::native {

// The full UTF-16 form of a path in the active code page. One of 260
// characters or more gets the "\\?\" form, which has no such limit.
std::wstring WidePath(const std::string& path);
std::wstring LongPathForm(std::wstring path);
// The full form of a path as the system completes it (itself when it cannot).
std::wstring FullWidePath(const std::wstring& path);

// The calling thread's last error; 5 (access denied) when the system gave none.
int LastError();

}  // namespace platform::native
