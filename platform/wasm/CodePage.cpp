// The browser's C library converts no CP932: the tables made from the build
// machine's conversion do it, so text comes out as the native programs write it.

#include "platform/CodePage.h"
#include "platform/Cp932Encoder.h"
#include "platform/wasm/Cp932Table.h"

namespace codepage {

namespace {

// Built on first use from the table: only writing problem files needs it.
const Cp932Encoder& Encoder() {
  static const Cp932Encoder encoder = [] {
    Cp932Encoder e;
    cp932_table::Table().ForEachCharacter([&e](std::uint16_t cp932, std::uint32_t code) { e.Add(cp932, code); });
    return e;
  }();
  return encoder;
}

}  // namespace

void AppendCp932AsUtf8(std::string_view cp932, std::string& out, std::size_t& invalidBytes) {
  cp932_table::Table().Append(cp932, out, invalidBytes);
}

bool AppendUtf8AsCp932(std::string_view utf8, std::string& out, std::size_t& failedAt) {
  return Encoder().Append(utf8, out, failedAt);
}

bool IsCanonicalCp932(std::string_view cp932) { return Encoder().IsCanonical(cp932); }

}  // namespace codepage
