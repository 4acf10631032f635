// File names on POSIX systems are UTF-8, which never holds the byte '\' inside
// a multi-byte character: the system behaves like a Windows whose code page
// is UTF-8, with no double-byte support. Tests may pretend otherwise.

#include "platform/Locale.h"

namespace platform {
namespace {
std::vector<LeadByteRange> overridden;
}

bool DbcsEnabled() { return !overridden.empty(); }

bool IsLeadByte(unsigned char byte) {
  for (const auto& r : overridden)
    if (byte >= r.first && byte <= r.last) return true;
  return false;
}

void OverrideLeadBytesForTest(const std::vector<LeadByteRange>& ranges) { overridden = ranges; }

void RestoreSystemLocale() { overridden.clear(); }

}  // namespace platform
