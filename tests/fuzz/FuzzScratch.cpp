#include "FuzzScratch.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace fuzz {
namespace {

std::vector<std::string> folders;

void RemoveTree(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return;
  if (S_ISDIR(st.st_mode)) {
    if (DIR* dir = opendir(path.c_str())) {
      std::vector<std::string> names;
      while (dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
      }
      closedir(dir);
      for (const std::string& name : names) RemoveTree(path + "/" + name);
    }
    rmdir(path.c_str());
  } else {
    unlink(path.c_str());
  }
}

void RemoveFolders() {
  for (const std::string& folder : folders) RemoveTree(folder);
}

void List(const std::string& root, const std::string& relative, std::vector<std::string>& out) {
  DIR* dir = opendir((root + relative).c_str());
  if (!dir) return;
  std::vector<std::string> names;
  while (dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  closedir(dir);
  for (const std::string& name : names) {
    const std::string path = relative + "/" + name;
    struct stat st;
    if (lstat((root + path).c_str(), &st) != 0) continue;
    if (S_ISDIR(st.st_mode)) {
      out.push_back("d " + path);
      List(root, path, out);
    } else {
      out.push_back((S_ISREG(st.st_mode) ? "f " : "? ") + std::to_string(st.st_size) + " " + path);
    }
  }
}

}  // namespace

std::string MakeScratchFolder(const char* prefix) {
  std::string pattern = std::string("/tmp/") + prefix + "XXXXXX";
  if (!mkdtemp(pattern.data())) Fail("mkdtemp");
  if (folders.empty()) std::atexit(RemoveFolders);
  folders.push_back(pattern);
  return pattern;
}

void WriteHostFile(const std::string& hostPath, const void* bytes, std::size_t size) {
  unlink(hostPath.c_str());
  std::ofstream file(hostPath, std::ios::binary);
  file.write(static_cast<const char*>(bytes), static_cast<std::streamsize>(size));
  if (!file) Fail("cannot write " + hostPath);
}

bool ReadHostFile(const std::string& hostPath, std::string& bytes) {
  std::ifstream file(hostPath, std::ios::binary);
  if (!file) return false;
  bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  return true;
}

std::vector<std::string> Listing(const std::string& folder) {
  std::vector<std::string> out;
  List(folder, "", out);
  std::sort(out.begin(), out.end());
  return out;
}

void Fail(const std::string& what) {
  std::fprintf(stderr, "fuzz check failed: %s\n", what.c_str());
  RemoveFolders();
  std::abort();
}

}  // namespace fuzz
