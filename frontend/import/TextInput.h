#pragma once
// The text of a CSV or genre text file as UTF-8, whichever way it was saved:
// UTF-8 with or without a byte-order mark, else CP932 (Shift-JIS).

#include <string>
#include <string_view>

namespace importing {

// False when the bytes are neither UTF-8 nor CP932; badLine is then the
// first line (1-based) that is neither.
bool DecodeText(std::string_view bytes, std::string& utf8, int& badLine);

}  // namespace importing
