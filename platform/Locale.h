#pragma once
// The system's double-byte character support, used to step over trail bytes
// when paths are scanned for separators.

#include <vector>

namespace platform {

bool DbcsEnabled();
bool IsLeadByte(unsigned char byte);

// Test seam: pretend the active code page has these lead-byte ranges
// (inclusive); an empty list means no double-byte support.
struct LeadByteRange {
  unsigned char first;
  unsigned char last;
};
void OverrideLeadBytesForTest(const std::vector<LeadByteRange>& ranges);
void RestoreSystemLocale();

}  // namespace platform
