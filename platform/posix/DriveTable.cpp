#include "platform/posix/DriveTable.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <string_view>
#include <vector>

namespace platform::drive_table {
namespace {

struct NetworkRoot {
  std::string root;  // "\\server\share"
  std::string hostFolder;
};

struct Table {
  std::map<char, std::string> drives{{'Z', "/"}};
  std::vector<NetworkRoot> networkRoots;
  std::string currentDir;  // Windows form; empty until first asked
};

Table& TheTable() {
  static Table table;
  return table;
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool SameText(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
           return std::tolower(x) == std::tolower(y);
         });
}

std::vector<std::string> Components(const std::string& path, bool isWindows) {
  std::vector<std::string> parts;
  std::string part;
  auto flush = [&] {
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    part.clear();
  };
  for (char c : path) {
    if (isWindows ? IsSeparator(c) : c == '/') {
      flush();
    } else {
      part += c;
    }
  }
  flush();
  return parts;
}

// Characters Windows does not allow in a name stand, in the Windows form of a
// host name, for U+F000 + the character, as other POSIX layers for Windows
// programs do; so every host name round-trips and never splits at a '\'.
bool IsMappedInName(unsigned char c) {
  return (c >= 0x01 && c < 0x20) || std::string_view("\\:*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos;
}

std::string WindowsName(const std::string& hostName) {
  std::string name;
  for (char ch : hostName) {
    const auto c = static_cast<unsigned char>(ch);
    if (!IsMappedInName(c)) {
      name += ch;
      continue;
    }
    name += '\xEF';  // U+F000 + c in UTF-8: EF, 80 | c >> 6, 80 | (c & 3F)
    name += static_cast<char>(0x80 | (c >> 6));
    name += static_cast<char>(0x80 | (c & 0x3F));
  }
  return name;
}

std::string HostName(const std::string& windowsName) {
  std::string name;
  for (std::size_t i = 0; i < windowsName.size(); ++i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(windowsName[k]); };
    if (byte(i) == 0xEF && i + 2 < windowsName.size() && (byte(i + 1) == 0x80 || byte(i + 1) == 0x81) &&
        (byte(i + 2) & 0xC0) == 0x80) {
      const unsigned char c = static_cast<unsigned char>(((byte(i + 1) & 1) << 6) | (byte(i + 2) & 0x3F));
      if (IsMappedInName(c)) {
        name += static_cast<char>(c);
        i += 2;
        continue;
      }
    }
    name += windowsName[i];
  }
  return name;
}

// A host name that already holds one of those characters (U+F001, U+F05C, ...)
// has no Windows form: it would come back as another name ("p\uF05Cq" as
// "p\\q"). Such names are refused rather than resolved to another file.
bool HasWindowsFormOf(const std::string& hostName) { return HostName(hostName) == hostName; }

std::vector<std::string> Mapped(std::vector<std::string> names, std::string (*map)(const std::string&)) {
  for (std::string& name : names) name = map(name);
  return names;
}

std::string Join(const std::vector<std::string>& parts, char separator) {
  std::string out;
  for (const auto& p : parts) {
    if (!out.empty()) out += separator;
    out += p;
  }
  return out;
}

// Splits a full Windows path into its root ("C:" or "\\server\share") and
// the rest ("\quiz\set1.mnr").
void SplitRoot(const std::string& full, std::string& root, std::string& rest) {
  if (full.size() >= 2 && IsSeparator(full[0]) && IsSeparator(full[1])) {
    std::size_t server = full.find_first_of("\\/", 2);
    std::size_t share = server == std::string::npos ? server : full.find_first_of("\\/", server + 1);
    root = full.substr(0, share);
    rest = share == std::string::npos ? "" : full.substr(share);
  } else {
    root = full.substr(0, 2);
    rest = full.substr(2);
  }
}

// Empty when the host's current directory has no Windows form.
std::string CurrentDir() {
  Table& t = TheTable();
  if (t.currentDir.empty()) {
    char buffer[4096];
    const std::string host = getcwd(buffer, sizeof buffer) ? buffer : "/";
    if (!FromHostPath(host, t.currentDir)) t.currentDir.clear();
  }
  return t.currentDir;
}

}  // namespace

void MapDrive(char letter, const std::string& hostFolder) {
  TheTable().drives[static_cast<char>(std::toupper(static_cast<unsigned char>(letter)))] = hostFolder;
}

void MapNetworkRoot(const std::string& root, const std::string& hostFolder) {
  auto& roots = TheTable().networkRoots;
  std::erase_if(roots, [&](const NetworkRoot& r) { return SameText(r.root, root); });
  roots.push_back({root, hostFolder});
}

void Reset() { TheTable() = Table{}; }

void SetCurrent(const std::string& fullWindowsPath) { TheTable().currentDir = fullWindowsPath; }

bool FullWindowsPath(const std::string& path, std::string& full) {
  std::string root, rest;
  const std::string current = CurrentDir();
  std::string currentRoot, currentRest;
  if (!current.empty()) SplitRoot(current, currentRoot, currentRest);

  if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
    SplitRoot(path, root, rest);
    if (root.find_first_of("\\/", 2) == std::string::npos) return false;  // no share name
  } else if (path.size() >= 2 && path[1] == ':') {
    root = std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])))) + ":";
    rest = path.substr(2);
    if (rest.empty() || !IsSeparator(rest[0])) {
      // Drive-relative: against the current directory on that drive, else
      // against the drive's root.
      rest = (SameText(root, currentRoot) ? currentRest : std::string()) + "\\" + rest;
    }
  } else if (current.empty()) {
    return false;  // relative to a directory that has no Windows form
  } else if (!path.empty() && IsSeparator(path[0])) {
    root = currentRoot;
    rest = path;
  } else {
    root = currentRoot;
    rest = currentRest + "\\" + path;
  }
  full = root + "\\" + Join(Components(rest, true), '\\');
  return true;
}

bool ToHostPath(const std::string& windowsPath, std::string& hostPath) {
  std::string full, root, rest;
  if (!FullWindowsPath(windowsPath, full)) return false;
  SplitRoot(full, root, rest);
  const std::string* folder = nullptr;
  const Table& t = TheTable();
  if (root.size() == 2 && root[1] == ':') {
    auto it = t.drives.find(root[0]);
    if (it != t.drives.end()) folder = &it->second;
  } else {
    for (const auto& r : t.networkRoots)
      if (SameText(r.root, root)) folder = &r.hostFolder;
  }
  if (folder == nullptr) return false;
  std::string tail = Join(Mapped(Components(rest, true), HostName), '/');
  hostPath = *folder;
  if (!tail.empty()) {
    if (hostPath.empty() || hostPath.back() != '/') hostPath += '/';
    hostPath += tail;
  }
  return true;
}

bool HasWindowsForm(const std::string& hostPath) {
  const auto ownForm = [](const std::string& path) {
    const std::vector<std::string> names = Components(path, false);
    return std::all_of(names.begin(), names.end(), HasWindowsFormOf);
  };
  if (!hostPath.empty() && hostPath[0] == '/') return ownForm(hostPath);
  static const bool currentHasOne = [&] {
    char buffer[4096];
    return getcwd(buffer, sizeof buffer) != nullptr && ownForm(buffer);
  }();
  return currentHasOne && ownForm(hostPath);
}

bool FromHostPath(const std::string& hostPath, std::string& windowsPath) {
  std::string absolute = hostPath;
  if (absolute.empty() || absolute[0] != '/') {
    char buffer[4096];
    if (!getcwd(buffer, sizeof buffer)) return false;
    absolute = std::string(buffer) + "/" + absolute;
  }
  const std::vector<std::string> parts = Components(absolute, false);

  // The mapped folder holding the path, the deepest one when several do.
  std::string bestRoot;
  std::size_t bestDepth = 0;
  bool found = false;
  auto consider = [&](const std::string& root, const std::string& folder) {
    const std::vector<std::string> folderParts = Components(folder, false);
    if (folderParts.size() > parts.size()) return;
    if (!std::equal(folderParts.begin(), folderParts.end(), parts.begin())) return;
    if (!found || folderParts.size() > bestDepth) {
      found = true;
      bestRoot = root;
      bestDepth = folderParts.size();
    }
  };
  const Table& t = TheTable();
  for (const auto& [letter, folder] : t.drives) consider(std::string(1, letter) + ":", folder);
  for (const auto& r : t.networkRoots) consider(r.root, r.hostFolder);
  if (!found) return false;

  const std::vector<std::string> tail(parts.begin() + static_cast<std::ptrdiff_t>(bestDepth), parts.end());
  if (!std::all_of(tail.begin(), tail.end(), HasWindowsFormOf)) return false;
  windowsPath = bestRoot + "\\" + Join(Mapped(tail, WindowsName), '\\');
  return true;
}

}  // namespace platform::drive_table
