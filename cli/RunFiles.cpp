#include "cli/RunFiles.h"

#include <cctype>

#include "path/PathText.h"

namespace cli {

std::optional<RunFiles::Place> RunFiles::PlaceOf(const std::string& hostPath) {
  const std::string folder = HostFolderOf(hostPath);
  auto found = folders_.find(folder);
  if (found == folders_.end()) found = folders_.emplace(folder, platform::IdentityOf(folder.empty() ? "." : folder)).first;
  if (!found->second) return std::nullopt;
  std::string name = HostNameOf(hostPath);
#ifdef _WIN32
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
#endif
  return Place{*found->second, std::move(name)};
}

bool RunFiles::Files::Holds(const std::optional<Place>& place,
                            const std::optional<platform::FileIdentity>& identity) const {
  return (place && places.count(*place)) || (identity && identities.count(*identity));
}

void RunFiles::Add(Files& files, const std::string& hostPath) {
  if (const auto place = PlaceOf(hostPath)) files.places.insert(*place);
  if (const auto identity = platform::IdentityOf(hostPath)) files.identities.insert(*identity);
}

void RunFiles::AddInput(const std::string& hostPath) { Add(inputs_, hostPath); }

void RunFiles::AddWritten(const std::string& hostPath) {
  // By its place: the file itself is new, and no name but its own reaches it.
  if (const auto place = PlaceOf(hostPath)) written_.places.insert(*place);
}

RunFiles::Refusal RunFiles::RefusalOf(const std::string& hostPath) {
  const auto place = PlaceOf(hostPath);
  const auto identity = platform::IdentityOf(hostPath);  // once: a look-up of the name in the file system
  if (inputs_.Holds(place, identity)) return Refusal::kInput;
  if (written_.Holds(place, identity)) return Refusal::kWritten;
  return Refusal::kNone;
}

}  // namespace cli
