#pragma once
// Writing problem files: the exact inverse of the reader. A read record goes
// back to its stored bytes through the text lengths unscrambling found; a
// record made from texts is written canonically: every text byte flipped,
// the rest of each field padded with spaces.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "format/GenreText.h"

// Scrambles plain CP932 text into a field of the given size: every text byte
// flipped, the rest padded with spaces. plain must fit.
void ScrambleField(std::string_view plain, std::uint8_t* field, std::size_t size);

// The stored bytes of a read record: each field's text flipped back, the
// bytes after it as they are.
ProblemRecord StoredRecord(const ProblemRecord& unscrambled, const TextLengths& lengths);

// The stored bytes of the six texts (CP932, each fitting its field).
ProblemRecord CanonicalRecord(const ProblemText& text);

// True when the record's stored bytes are exactly what its texts (as the
// genre text gives them, ProblemTextOf) write back canonically: every text
// as long as unscrambling found it, the rest of every field spaces, and
// every text valid CP932 in the codes text is written with
// (codepage::IsCanonicalCp932).
bool IsCanonicalRecord(const ProblemRecord& unscrambled, const TextLengths& lengths, const ProblemText& text);

// IsCanonicalRecord for a caller that already knows whether every text is
// canonical CP932 (the UTF-8 conversion tells it).
bool IsCanonicalRecord(const ProblemRecord& unscrambled, const TextLengths& lengths, const ProblemText& text,
                       bool textsCanonical);

// A problem file to be written: the header as it is to be stored, each
// genre's records in stored form, and the bytes after the last record.
struct ProblemFileImage {
  HeaderBytes Header{};
  std::array<std::vector<ProblemRecord>, mnr_layout::kGenreCount> Records;
  std::string Trailing;
};

// Writes the header with block 0's signature and each genre's count field
// set from its records, then the records and the trailing bytes. A genre of
// more than 32767 records raises std::length_error before anything is written.
void WriteProblemFile(const ProblemFileImage& image, const ByteSink& sink);
