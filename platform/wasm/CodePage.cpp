// The browser's C library converts no CP932: the tables made from the build
// machine's conversion do it, so text comes out as the native programs write it.

#include "platform/CodePage.h"
#include "platform/wasm/Cp932Table.h"

namespace codepage {

void AppendCp932AsUtf8(std::string_view cp932, std::string& out, std::size_t& invalidBytes) {
  cp932_table::AppendAsUtf8(cp932, out, invalidBytes);
}

}  // namespace codepage
