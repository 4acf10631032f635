#pragma once
// txt2mnr's work on one input: a JSON, CSV or set of genre text files read
// back and written as one problem file, or the reasons it cannot be.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "cli/RunFiles.h"
#include "format/mnrLayout.h"
#include "frontend/import/TextInput.h"

namespace cli {

struct WriteBackSettings {
  std::optional<std::string> output;  // as typed; "-": standard output; nothing: beside the input
  bool force = false;
  bool formulaGuard = true;
  importing::Encoding encoding = importing::Encoding::kDecide;
  bool verbose = false;  // each text older readers cut, not only their count
  std::optional<HeaderBytes> templateHeader;
};

// The files an input (as typed) reads: itself, or a genre text file's
// eight.
std::vector<std::string> FilesRead(const std::string& file);

// True when the problem file was written. Every error and warning is
// reported on stderr; nothing is left behind when it fails. The output is
// claimed in runFiles (a later input naming it is refused) and never one of
// the run's inputs. olderReadersCuts grows by the texts older readers cut in
// what was written. file as typed, "-" for standard input. Never raises but
// for lack of memory and StandardOutputError.
bool WriteBack(const std::string& file, const WriteBackSettings& settings, RunFiles& runFiles,
               std::size_t& olderReadersCuts);

}  // namespace cli
