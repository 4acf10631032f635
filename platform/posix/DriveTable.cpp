#include "platform/posix/DriveTable.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <map>
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

std::string CurrentDir() {
  Table& t = TheTable();
  if (t.currentDir.empty()) {
    char buffer[4096];
    std::string host = getcwd(buffer, sizeof buffer) ? buffer : "/";
    if (!FromHostPath(host, t.currentDir)) t.currentDir = "Z:\\";
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
  std::string current = CurrentDir();
  std::string currentRoot, currentRest;
  SplitRoot(current, currentRoot, currentRest);

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
  std::string tail = Join(Components(rest, true), '/');
  hostPath = *folder;
  if (!tail.empty()) {
    if (hostPath.empty() || hostPath.back() != '/') hostPath += '/';
    hostPath += tail;
  }
  return true;
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
  windowsPath = bestRoot + "\\" + Join(tail, '\\');
  return true;
}

}  // namespace platform::drive_table
