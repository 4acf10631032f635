#pragma once
// A scratch folder for a fuzz target: created once, mapped as the only
// drives the file layer can reach, removed when the process exits.

#include <string>
#include <vector>

namespace fuzz {

// Creates /tmp/<prefix>XXXXXX; removed at exit.
std::string MakeScratchFolder(const char* prefix);

// Writes bytes to a host file (a new file each time).
void WriteHostFile(const std::string& hostPath, const void* bytes, std::size_t size);
bool ReadHostFile(const std::string& hostPath, std::string& bytes);

// Every entry under a folder with its kind and size ("d quiz", "f 3072
// quiz/set1.mnr"), sorted: equal listings mean nothing was added, removed,
// resized or turned into something else.
std::vector<std::string> Listing(const std::string& folder);

// Aborts with a message: what a fuzz target does when a check fails.
[[noreturn]] void Fail(const std::string& what);

}  // namespace fuzz
