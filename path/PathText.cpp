#include "path/PathText.h"

#include "platform/Locale.h"

namespace {

// Length of the character starting at text[i]: 2 for a lead byte of the
// active code page followed by its trail byte, else 1.
std::size_t CharLength(std::string_view text, std::size_t i) {
  const bool lead = platform::DbcsEnabled() && platform::IsLeadByte(static_cast<unsigned char>(text[i]));
  return lead && i + 1 < text.size() ? 2 : 1;
}

// Index of the first '\' at a character boundary at or after from, or npos.
std::size_t FindSeparator(std::string_view text, std::size_t from) {
  for (std::size_t i = from; i < text.size(); i += CharLength(text, i))
    if (text[i] == '\\') return i;
  return std::string_view::npos;
}

bool IsUncPath(const std::string& path) { return path.size() >= 2 && path[0] == '\\' && path[1] == '\\'; }

}  // namespace

std::size_t FindLastOf(std::string_view text, std::string_view chars) {
  // Character boundaries are only known from the start, so walk forward and
  // remember the last single-byte match.
  std::size_t found = std::string_view::npos;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = CharLength(text, i);
    if (length == 1 && chars.find(text[i]) != std::string_view::npos) found = i;
    i += length;
  }
  return found;
}

std::string DrivePrefix(const std::string& path) {
  if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2);
  if (IsUncPath(path)) {
    const std::size_t afterServer = FindSeparator(path, 2);
    if (afterServer == std::string::npos) return path;
    return path.substr(0, FindSeparator(path, afterServer + 1));  // whole path when npos
  }
  return {};
}

std::string FileNamePart(const std::string& path) {
  const std::size_t separator = FindLastOf(path, "\\:");
  return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

std::string RemoveExtension(const std::string& fileName, NameRule rule) {
  const std::size_t found = FindLastOf(fileName, rule == NameRule::kWindows ? ".\\:" : ".");
  if (found == std::string_view::npos || fileName[found] != '.') return fileName;
  if (found == 0 && rule == NameRule::kHost) return fileName;
  return fileName.substr(0, found);
}

std::string HostFolderOf(const std::string& path) {
  const std::size_t last = FindLastOf(path, kHostSeparators);
  return last == std::string::npos ? std::string() : path.substr(0, last + 1);
}

std::string HostNameOf(const std::string& path) {
  const std::size_t last = FindLastOf(path, kHostSeparators);
  return last == std::string::npos ? path : path.substr(last + 1);
}

std::string HostFolderPrefix(const std::string& folder) {
  if (folder.empty() || FindLastOf(folder, kHostSeparators) + 1 == folder.size()) return folder;
  return folder + kHostSeparator;
}

std::string StoredHostPath(const std::string& path) {
#ifdef _WIN32
  if (path.rfind("\\\\?\\", 0) == 0 || path.rfind("\\\\.\\", 0) == 0) return path;
  std::string stored;
  std::size_t nameStart = 0;
  // A name of dots alone ("." or "..") is a step, kept; neither a dot nor a
  // space is ever a trail byte.
  const auto endName = [&] {
    if (stored.find_first_not_of('.', nameStart) == std::string::npos) return;
    while (stored.size() > nameStart && (stored.back() == '.' || stored.back() == ' ')) stored.pop_back();
  };
  for (std::size_t i = 0; i < path.size();) {
    const std::size_t length = CharLength(path, i);
    const bool separator = length == 1 && std::string_view(kHostSeparators).find(path[i]) != std::string_view::npos;
    if (separator) endName();
    stored.append(path, i, length);
    if (separator) nameStart = stored.size();
    i += length;
  }
  endName();
  return stored;
#else
  return path;
#endif
}
