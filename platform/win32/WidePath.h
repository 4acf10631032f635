#pragma once
// Win32 only: what the backend's parts share. Paths reach the system through
// the wide calls, so their limit is 260 UTF-16 characters whatever their
// length in the active code page (UTF-8 takes up to three bytes for one).

#include <string>

namespace platform::native {

// The UTF-16 form of a path in the active code page. A full path of 260
// characters or more gets the "\\?\" form, which has no such limit.
std::wstring WidePath(const std::string& path);
std::wstring LongPathForm(std::wstring path);

// The calling thread's last error; 5 (access denied) when the system gave none.
int LastError();

}  // namespace platform::native
