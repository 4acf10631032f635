#pragma once
// Unscrambling of the text fields of a problem record, in place.

#include <cstddef>
#include <cstdint>

#include "format/mnrLayout.h"

// Walks the field from its start, one Shift-JIS character at a time: a stored
// space at a character boundary ends the text and leaves the rest as stored;
// every byte before it gets its top bit flipped. A flipped lead byte takes the
// next byte of the field with it as its trail byte, whatever its stored value.
// Returns the length of the text.
std::size_t UnscrambleField(std::uint8_t* field, std::size_t size);

// The question and each of the five choices; lengths receives where each
// field's text ended.
void UnscrambleRecord(ProblemRecord& record, TextLengths& lengths);
