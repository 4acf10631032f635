#pragma once
// Reading a problem set back from its eight genre text files (BASE0.txt ...
// BASE7.txt as the window program and mnr2txt write them, in Shift-JIS or
// UTF-8, frontend/import/TextInput.h saying how that is decided): the name
// line, then per problem an empty line, the question and five choices.
// Memory holds one problem's lines and the records, whatever the input.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "format/ProblemFileWriter.h"
#include "frontend/import/Diagnostics.h"
#include "frontend/import/TextInput.h"

namespace importing {

// One genre file's bytes into the builder's genre; false (reported, with
// the genre in each place) when it is not a genre file.
class ProblemSetBuilder;
bool ReadGenreText(std::string_view bytes, int genre, ProblemSetBuilder& builder, Diagnostics& diagnostics,
                   Encoding encoding = Encoding::kDecide);

}  // namespace importing
