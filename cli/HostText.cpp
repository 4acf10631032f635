#include "cli/HostText.h"

#ifdef _WIN32
#include "platform/CodePage.h"
#endif

namespace cli {

#ifdef _WIN32
std::string HostTextAsUtf8(const std::string& hostText) {
  return codepage::WideToUtf8(codepage::AnsiToWide(hostText));
}
#else
std::string HostTextAsUtf8(const std::string& hostText) { return hostText; }
#endif

}  // namespace cli
