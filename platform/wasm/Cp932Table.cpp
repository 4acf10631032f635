#include "platform/wasm/Cp932Table.h"

#include <cstdint>

#include "platform/Cp932Utf8Table.h"

namespace {

// Generated: kNone, kSingle[256] (the code point of a one-byte character),
// kLeadIndex[256] (a lead byte's row in kDouble, or -1) and kDouble[][256]
// (the code point of lead + trail).
#include "Cp932TableData.inc"

codepage::Cp932Utf8Table FromGeneratedTables() {
  codepage::Cp932Utf8Table table;
  for (int b = 0x80; b < 256; ++b) {
    const auto byte = static_cast<std::uint8_t>(b);
    if (kSingle[b] != kNone) table.SetSingle(byte, kSingle[b]);
    if (kLeadIndex[b] < 0) continue;
    for (int t = 0; t < 256; ++t) {
      const std::uint16_t code = kDouble[kLeadIndex[b]][t];
      table.SetPair(byte, static_cast<std::uint8_t>(t), code == kNone ? 0 : code);
    }
  }
  return table;
}

}  // namespace

namespace cp932_table {

const codepage::Cp932Utf8Table& Table() {
  static const codepage::Cp932Utf8Table table = FromGeneratedTables();
  return table;
}

}  // namespace cp932_table
