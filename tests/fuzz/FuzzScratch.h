#pragma once
// What a fuzz target needs beyond the test-support library: a scratch
// folder for the whole run, and the way a failed check ends it.

#include <string>

namespace fuzz {

// A fresh folder under /tmp, removed when the process exits or fails.
std::string MakeScratchFolder();

// Aborts with a message (libFuzzer keeps the input), the scratch folders
// removed first.
[[noreturn]] void Fail(const std::string& what);

}  // namespace fuzz
