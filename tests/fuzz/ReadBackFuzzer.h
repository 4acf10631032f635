#pragma once
// What the three read-back fuzz targets share: seeds made from the test
// writer's random problem files through the product's own writers, and the
// property every accepted input must have.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "format/ProblemFileWriter.h"
#include "format/ProblemSource.h"
#include "format/mnrFormat.h"

namespace fuzz {

// When MUNEMOJI_FUZZ_SEEDS names a folder, writes seeds into it and ends
// the program: each seed is what write(problems) gives for a random set.
void WriteSeedsIfAsked(const std::function<std::string(ProblemSource& problems)>& write,
                       const char* extension);

// An accepted input must make a problem file that loads, and whose JSON
// reads back into the same bytes: what a reader accepts, it writes as a
// file the project's own tools read and round-trip.
void CheckAccepted(const std::optional<ProblemFileImage>& image);

}  // namespace fuzz
