#pragma once
// txt2mnr's work on one input: a JSON, CSV or set of genre text files read
// back and written as one problem file, or the reasons it cannot be.

#include <optional>
#include <string>

#include "format/mnrFormat.h"

namespace cli {

struct WriteBackSettings {
  std::optional<std::string> output;  // as typed; nothing: beside the input
  bool force = false;
  bool formulaGuard = true;
  std::optional<T_mnrFormat::HeaderBytes> templateHeader;
};

// True when the problem file was written. Every error and warning is
// reported on stderr; nothing is left behind when it fails. file as typed.
// Never raises but for lack of memory.
bool WriteBack(const std::string& file, const WriteBackSettings& settings);

// The whole file at a full Windows-form path; raises platform::EInOutError.
std::string ReadWholeFile(const std::string& fullPath);

}  // namespace cli
