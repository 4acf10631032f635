// The system's double-byte support and the lead bytes of its ANSI code page.

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

LeadBytes FromSystem() {
  LeadBytes table;
  table.dbcs = GetSystemMetrics(SM_DBCSENABLED) != 0;
  CPINFO info;
  if (GetCPInfo(CP_ACP, &info)) {
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
