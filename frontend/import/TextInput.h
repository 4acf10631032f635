#pragma once
// How the bytes of a CSV or genre text file read: UTF-8 when they carry a
// byte-order mark, CP932 (Shift-JIS) when they are not valid UTF-8, and
// when they are valid as both, as whichever the user names: read both ways
// they differ (a byte of 0x80 or more starts a different character in each),
// so a file whose bytes are valid both ways and that has such bytes is
// refused until the user says which it is. A file of ASCII alone reads the
// same either way. The readers then take their cells and lines from the
// bytes as they are (no byte of a comma, quote or line break is ever part of
// a CP932 or UTF-8 character) and turn each into UTF-8 alone.

#include <string>
#include <string_view>

#include "frontend/import/Diagnostics.h"

namespace importing {

// What the user says of a text input's encoding.
enum class Encoding { kDecide, kUtf8, kCp932 };

// The text's bytes (without a byte-order mark) and how they read.
struct TextBytes {
  std::string_view bytes;
  bool cp932 = false;
};

// False (reported, in genre's place for a genre file; -1 for none) when
// the bytes cannot be read as asked: not UTF-8 or not CP932 as the user
// said, neither, or both with different readings and nothing said.
bool ReadAsText(std::string_view bytes, Encoding asked, int genre, TextBytes& text, Diagnostics& diagnostics);

// Appends the UTF-8 form of piece (a part of text.bytes that starts and
// ends at character boundaries, such as a cell or a line) to out.
void AppendAsUtf8(const TextBytes& text, std::string_view piece, std::string& out);

}  // namespace importing
