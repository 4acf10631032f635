#pragma once
// What in a loaded problem file a text export does not show: the findings
// behind `txt2mnr --check`.

#include <cstddef>
#include <vector>

#include "format/mnrFormat.h"

enum class HiddenKind {
  kNotPadding,       // bytes after a field's text that are not spaces
  kZeroByte,         // a zero byte inside a text: the export ends the text there
  kInvalidCp932,     // bytes that are no CP932 character
  kOtherCodes,       // characters in codes other than those text is written with
  kTrimmedEnd,       // spaces or control bytes at a text's end, which the export drops
  kCutByOlderReaders,  // a stored space at an even offset inside the text
  kOtherwise,        // the stored record differs from its texts written canonically
  kTrailingBytes,    // bytes after the last record (count in `bytes`)
};

struct HiddenFinding {
  HiddenKind kind;
  int genre = -1;     // -1 for the file as a whole
  int problem = 0;    // 1-based; 0 for the genre's name
  int field = -1;     // 0: question, 1-5: choices; -1: the name or none
  std::size_t bytes = 0;  // kTrailingBytes: how many (at least, when not all were kept)
};

// In genre, problem, field order; the trailing bytes last (as far as the
// load kept them: T_mnrFormat::KeepTrailingBytes).
std::vector<HiddenFinding> FindHiddenBytes(const T_mnrFormat& problems);
