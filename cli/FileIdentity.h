#pragma once
// Which file a name reaches, whatever the name: two names for one file (a
// hard link, a symbolic link, another spelling) give the same identity.

#include <cstdint>
#include <optional>
#include <string>

namespace cli {

struct FileIdentity {
  std::uint64_t volume = 0;
  std::uint64_t file = 0;
  auto operator<=>(const FileIdentity&) const = default;
};

// hostPath as the host's own tools write it; nothing when no file is there.
std::optional<FileIdentity> IdentityOf(const std::string& hostPath);
// The file standard input reads, when it is one (not a pipe or a terminal).
std::optional<FileIdentity> IdentityOfStandardInput();

}  // namespace cli
