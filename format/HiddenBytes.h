#pragma once
// What in a problem file a text export would lose, for each export: the
// findings behind `txt2mnr --check`. Read back (txt2mnr), an export gives
// the file back byte for byte exactly when it loses none of them.

#include <cstddef>
#include <vector>

#include "format/ProblemSource.h"

// The text exports txt2mnr reads back: the eight genre text files, the
// CSV, the JSON.
enum class TextExport { kGenreText, kCsv, kJson };

enum class HiddenKind {
  kNotPadding,       // bytes after a field's text that are not spaces
  kZeroByte,         // a zero byte inside a text: the export ends the text there
  kInvalidCp932,     // bytes that are no CP932 character
  kOtherCodes,       // characters in codes other than those text is written with
  kTrimmedEnd,       // spaces or control bytes at a text's end, which the export drops
  kCutByOlderReaders,  // a stored space at an even offset inside the text
  kOtherwise,        // the stored record differs from its texts written canonically
  kTrailingBytes,    // bytes after the last record (count in `bytes`)
  kHeaderBytes,      // bytes of a genre's block besides its name and count (and the signature) that are not zero
  kAfterName,        // bytes after the name's first zero that are not zero
  kEmptyGenreName,   // the name of a genre without problems: a CSV has no row to carry it
  kLineBreak,        // a line break (LF) inside a text or name: the genre text splits it
};

struct HiddenFinding {
  HiddenKind kind;
  int genre = -1;     // -1 for the file as a whole
  int problem = 0;    // 1-based; 0 for the genre's name
  int field = -1;     // 0: question, 1-5: choices; -1: the name or none
  std::size_t bytes = 0;  // kTrailingBytes, kHeaderBytes, kAfterName: how many (at least, when not all were kept)
};

// Whether the export loses what the finding names (trailingComplete: the
// source kept every byte after the last record, as the JSON keeps them). A
// text older readers cut is lost by none: it is only told.
bool LostBy(const HiddenFinding& finding, TextExport exported, bool trailingComplete);

// Per genre: its block, its name, its problems in problem, field order; the
// trailing bytes last (as far as the source keeps them).
std::vector<HiddenFinding> FindHiddenBytes(ProblemSource& problems);
