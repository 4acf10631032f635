#pragma once
// The problems of the shipped sample file samples/sample.mnr: eight genres,
// half-width and full-width text, and a text of every edge length. They are
// written as the sample's eight genre files, samples/texts/sample0.txt ...
// sample7.txt (Shift-JIS, CR LF: name, then per problem an empty line, the
// question and five choices), which are also what exporting the sample gives.

#include "tests/support/MnrWriter.h"

test_support::MnrWriter MakeSampleProblems();
