#pragma once
// Splitting a Windows path into drive letter, directory part and file part,
// resolving the directory part against the file system.

#include <string>

struct SplitPath {
  char Drive = 0;        // the zero character for a network path
  std::string DirPart;   // "\quiz", "\" for the root, "\\server\share\quiz" on a share
  std::string FilePart;  // "set1.mnr"; empty when the path names a directory
};

// Raises platform::EInOutError when a directory cannot be entered (the
// problem file or its folder is gone). The current directory is the same
// afterwards as before, whether the call succeeds or raises.
SplitPath SplitFilePath(const std::string& text);
