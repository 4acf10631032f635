#pragma once
// Converting (or listing) one problem file, with its messages.

#include <string>

namespace cli {

struct ConvertSettings {
  bool list = false;
  bool utf8 = false;
  std::string outputDir;       // Windows form ending in '\'; empty: beside the problem file
  std::string outputDirShown;  // the same as the user typed it; empty: beside
};

// True when the file was converted (or listed). Every failure is reported on
// stderr, naming each genre file it left incomplete. Never raises.
bool ConvertFile(const std::string& file, const ConvertSettings& settings);

}  // namespace cli
