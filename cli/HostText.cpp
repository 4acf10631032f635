#include "cli/HostText.h"

#ifdef _WIN32
#include "platform/CodePage.h"
#endif

namespace cli {

#ifdef _WIN32
std::string HostTextAsUtf8(const std::string& hostText) {
  return codepage::WideToUtf8(codepage::AnsiToWide(hostText));
}

std::vector<std::string> HostArguments(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(codepage::WideToAnsi(argv[i]));
  return args;
}
#else
std::string HostTextAsUtf8(const std::string& hostText) { return hostText; }
#endif

}  // namespace cli
