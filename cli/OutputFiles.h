#pragma once
// Where a problem file's outputs go, how the user sees their names, and the
// rule that a run never writes over its own inputs or its own outputs.

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "cli/FileIdentity.h"
#include "cli/Options.h"

namespace cli {

// One output file: its full Windows-form path, and its name as the user sees
// it (the folder as typed, then the file name).
struct OutputTarget {
  std::string path;
  std::string shown;
};

// shownFile: FILE as typed ("-" for standard input); fullFile: its full
// Windows-form path (empty for standard input). outputDir: the -o folder in
// Windows form ending in '\', empty for beside FILE (for standard input: the
// current folder); outputDirShown: the same as typed.
std::vector<OutputTarget> OutputTargets(OutputFormat format, const std::string& shownFile,
                                        const std::string& fullFile, const std::string& outputDir,
                                        const std::string& outputDirShown);

// The inputs and outputs of one run, by full path and by the file a name
// reaches (so a hard or symbolic link to a problem file is one too). Each
// file is given by its full Windows-form path and its name as typed.
class RunFiles {
 public:
  void AddInput(const std::string& fullPath, const std::string& shown);
  // An input known by its file alone (the file behind standard input).
  void AddInput(const FileIdentity& identity);
  void AddWritten(const std::string& fullPath, const std::string& shown);
  // Empty when the file may be written; otherwise why not (UTF-8).
  std::string Refusal(const std::string& fullPath, const std::string& shown) const;

 private:
  struct Files {
    std::set<std::string> paths;  // Windows names are the same whatever the case of their letters
    std::set<FileIdentity> identities;
    void Add(const std::string& fullPath, const std::string& shown);
    bool Holds(const std::string& fullPath, const std::optional<FileIdentity>& identity) const;
  };
  Files inputs_;
  Files written_;
};

}  // namespace cli
