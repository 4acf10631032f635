#include "format/Unscramble.h"

#include <array>
#include <cstring>

#include "format/ShiftJis.h"

namespace {

using namespace mnr_layout;

// Stored bytes that unscramble to a Shift-JIS lead byte.
constexpr std::array<bool, 256> MakeLeadTable() {
  std::array<bool, 256> lead{};
  for (int stored = 0; stored < 256; ++stored)
    lead[stored] = IsShiftJisLeadByte(static_cast<std::uint8_t>(stored ^ kScrambleMask));
  return lead;
}
constexpr std::array<bool, 256> kStoredLead = MakeLeadTable();

// Where the text of a field ends: at the first stored space that sits at a
// character boundary, or at the end of the field.
//
// Rather than walking every character from the start, jump from space to
// space. The byte after a byte that cannot be a lead byte always starts a
// character (it follows a single-byte character or a trail byte), and from
// there bytes that can only be lead bytes pair up as lead and trail. So a
// space starts a character exactly when an even number of such bytes stands
// right before it; otherwise it is the trail byte of a double-byte character.
std::size_t TextLength(const std::uint8_t* field, std::size_t size) {
  std::size_t from = 0;
  while (from < size) {
    const void* hit = std::memchr(field + from, kPadding, size - from);
    if (hit == nullptr) break;
    const std::size_t space = static_cast<const std::uint8_t*>(hit) - field;
    std::size_t leads = 0;
    while (leads < space && kStoredLead[field[space - 1 - leads]]) ++leads;
    if (leads % 2 == 0) return space;
    from = space + 1;
  }
  return size;
}

}  // namespace

std::size_t UnscrambleField(std::uint8_t* field, std::size_t size) {
  const std::size_t length = TextLength(field, size);
  for (std::size_t i = 0; i < length; ++i) field[i] ^= kScrambleMask;
  return length;
}

void UnscrambleRecord(ProblemRecord& record, TextLengths& lengths) {
  for (int f = 0; f < kFieldCount; ++f)
    lengths.Field[f] = static_cast<std::uint8_t>(UnscrambleField(record.Bytes + FieldOffset(f), FieldSize(f)));
}
