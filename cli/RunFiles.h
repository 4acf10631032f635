#pragma once
// The rule both programs keep: a run never writes over its own inputs, nor
// twice to one output (two inputs, or one input twice, naming the same
// output), whatever --force says.

#include <map>
#include <optional>
#include <set>
#include <string>

#include "platform/FileServices.h"

namespace cli {

// The inputs and outputs of one run, by the file a name reaches (so a hard
// or symbolic link to an input is one too) and by the folder and name an
// output was tried under (so that a name that failed stays the run's).
class RunFiles {
 public:
  void AddInput(const std::string& hostPath);
  // An input known by its file alone (the file behind standard input).
  void AddInput(const platform::FileIdentity& identity) { inputs_.identities.insert(identity); }
  void AddWritten(const std::string& hostPath);
  enum class Refusal { kNone, kInput, kWritten };
  // Whether the file may be written, or why not.
  Refusal RefusalOf(const std::string& hostPath);

 private:
  struct Place {
    platform::FileIdentity folder;
    std::string name;  // Windows: in upper case, as Windows compares names
    auto operator<=>(const Place&) const = default;
  };
  struct Files {
    std::set<Place> places;
    std::set<platform::FileIdentity> identities;
    bool Holds(const std::optional<Place>& place, const std::optional<platform::FileIdentity>& identity) const;
  };
  std::optional<Place> PlaceOf(const std::string& hostPath);
  void Add(Files& files, const std::string& hostPath);

  std::map<std::string, std::optional<platform::FileIdentity>> folders_;  // looked up once each
  Files inputs_;
  Files written_;
};

}  // namespace cli
