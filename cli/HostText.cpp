#include "cli/HostText.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace cli {

#ifdef _WIN32
std::string HostTextAsUtf8(const std::string& hostText) {
  if (hostText.empty()) return {};
  const int size = static_cast<int>(hostText.size());
  const int wideLength = MultiByteToWideChar(CP_ACP, 0, hostText.data(), size, nullptr, 0);
  std::wstring wide(wideLength, L'\0');
  MultiByteToWideChar(CP_ACP, 0, hostText.data(), size, wide.data(), wideLength);
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  std::string utf8(length, '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(), length, nullptr, nullptr);
  return utf8;
}
#else
std::string HostTextAsUtf8(const std::string& hostText) { return hostText; }
#endif

}  // namespace cli
