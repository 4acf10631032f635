#pragma once
// The problems of the shipped sample file samples/sample.mnr: eight genres,
// half-width and full-width text, and a text of every edge length.

#include "tests/support/MnrWriter.h"

test_support::MnrWriter MakeSampleProblems();
