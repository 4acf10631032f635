#pragma once
// Reading a problem set back from the JSON mnr2txt writes (format 2, or
// format 1 without raw bytes), edited or not. The parse is event by event
// (SAX): each problem becomes its 256-byte record as soon as it is read, so
// memory holds the records and the JSON's bytes, never a document tree.

#include <optional>
#include <string_view>

#include "format/ProblemFileWriter.h"
#include "frontend/import/Diagnostics.h"

namespace importing {

// The problem file the JSON stands for; nothing when it cannot be written
// (every reason is in diagnostics). templateHeader stands for genres that
// carry no "block".
std::optional<ProblemFileImage> ReadJson(std::string_view json,
                                         const std::optional<HeaderBytes>& templateHeader,
                                         Diagnostics& diagnostics);

}  // namespace importing
