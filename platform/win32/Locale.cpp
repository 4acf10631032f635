// The system's double-byte support and the lead bytes of its active code page.

#include "platform/Locale.h"

#include <windows.h>

#include <array>

namespace platform {
namespace {

struct LeadBytes {
  bool dbcs = false;
  std::array<bool, 256> lead{};
};

LeadBytes FromRanges(const std::vector<LeadByteRange>& ranges) {
  LeadBytes table;
  table.dbcs = !ranges.empty();
  for (const auto& r : ranges)
    for (int b = r.first; b <= r.last; ++b) table.lead[b] = true;
  return table;
}

// The lead bytes of the active code page: 932's on a Japanese Windows, none
// under UTF-8 (the programs' manifests ask for it), whose multi-byte
// characters never hold '\' and need no stepping over. The system's
// double-byte support alone is not enough: it stays on under UTF-8.
LeadBytes FromSystem() {
  LeadBytes table;
  CPINFO info;
  if (GetCPInfo(CP_ACP, &info) && info.MaxCharSize == 2) {
    table.dbcs = GetSystemMetrics(SM_DBCSENABLED) != 0;
    for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2)
      for (int b = info.LeadByte[i]; b <= info.LeadByte[i + 1]; ++b) table.lead[b] = true;
  }
  return table;
}

LeadBytes& Current() {
  static LeadBytes table = FromSystem();
  return table;
}

}  // namespace

bool DbcsEnabled() { return Current().dbcs; }

bool IsLeadByte(unsigned char byte) { return Current().lead[byte]; }

void OverrideLeadBytesForTest(const std::vector<LeadByteRange>& ranges) { Current() = FromRanges(ranges); }

void RestoreSystemLocale() { Current() = FromSystem(); }

}  // namespace platform
