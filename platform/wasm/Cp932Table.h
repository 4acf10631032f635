#pragma once
// CP932 to UTF-8 by tables made from the build machine's own conversion
// (web/tools/MakeCp932Table), for systems whose C library has none: every
// valid character maps as there, every other byte is one U+FFFD.

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/Cp932Utf8Table.h"

namespace cp932_table {

const codepage::Cp932Utf8Table& Table();

}  // namespace cp932_table
