#include "Scratch.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#endif

namespace reliability {

#ifdef _WIN32

ScratchDir::ScratchDir() {
  static int serial = 0;
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  root_ = std::string(temp) + "rel-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial);
  if (!CreateDirectoryA(root_.c_str(), nullptr)) throw std::runtime_error("cannot create " + root_);
}

namespace {
void RemoveTree(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((path + "\\*").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") RemoveTree(path + "\\" + name);
      } while (FindNextFileA(h, &found));
      FindClose(h);
    }
    RemoveDirectoryA(path.c_str());
  } else {
    DeleteFileA(path.c_str());
  }
}
}  // namespace

ScratchDir::~ScratchDir() { RemoveTree(root_); }

std::string ScratchDir::host(const std::string& name) const { return name.empty() ? root_ : root_ + "\\" + name; }

std::string ScratchDir::win(const std::string& name) const { return host(name); }

bool HostExists(const std::string& hostPath) {
  return GetFileAttributesA(hostPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void RemoveHostFile(const std::string& hostPath) { DeleteFileA(hostPath.c_str()); }

void MakeHostDir(const std::string& hostPath) {
  if (!CreateDirectoryA(hostPath.c_str(), nullptr)) throw std::runtime_error("mkdir " + hostPath);
}

bool FileReleased(const std::string& hostPath) {
  HANDLE h = CreateFileA(hostPath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return GetLastError() != ERROR_SHARING_VIOLATION;
  CloseHandle(h);
  return true;
}

int OpenFileCount() { return -1; }

#else  // POSIX

ScratchDir::ScratchDir() {
  char name[] = "/tmp/rel-XXXXXX";
  if (!mkdtemp(name)) throw std::runtime_error("mkdtemp");
  root_ = name;
}

namespace {
std::vector<std::string> Entries(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* dir = opendir(folder.c_str())) {
    while (dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
  }
  return names;
}

void RemoveTree(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return;
  if (S_ISDIR(st.st_mode)) {
    for (const std::string& name : Entries(path)) RemoveTree(path + "/" + name);
    rmdir(path.c_str());
  } else {
    unlink(path.c_str());
  }
}
}  // namespace

ScratchDir::~ScratchDir() { RemoveTree(root_); }

std::string ScratchDir::host(const std::string& name) const { return name.empty() ? root_ : root_ + "/" + name; }

std::string ScratchDir::win(const std::string& name) const {
  std::string path = "Z:" + host(name);
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

bool HostExists(const std::string& hostPath) {
  struct stat st;
  return lstat(hostPath.c_str(), &st) == 0;
}

void RemoveHostFile(const std::string& hostPath) { unlink(hostPath.c_str()); }

void MakeHostDir(const std::string& hostPath) {
  if (mkdir(hostPath.c_str(), 0755) != 0) throw std::runtime_error("mkdir " + hostPath);
}

bool FileReleased(const std::string& hostPath) {
  char real[PATH_MAX];
  if (!realpath(hostPath.c_str(), real)) return true;
  for (const std::string& fd : Entries("/proc/self/fd")) {
    char target[PATH_MAX];
    const ssize_t n = readlink(("/proc/self/fd/" + fd).c_str(), target, sizeof target - 1);
    if (n > 0 && std::string(target, static_cast<std::size_t>(n)) == real) return false;
  }
  return true;
}

int OpenFileCount() { return static_cast<int>(Entries("/proc/self/fd").size()); }

#endif

void WriteHostFile(const std::string& hostPath, const std::string& bytes) {
  // A new file rather than a truncated one: some file systems flush a file
  // truncated and rewritten at its close, which makes thousands of rows slow.
  RemoveHostFile(hostPath);
  std::ofstream file(hostPath, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!file) throw std::runtime_error("cannot write " + hostPath);
}

bool ReadHostFile(const std::string& hostPath, std::string& bytes) {
  std::ifstream file(hostPath, std::ios::binary);
  if (!file) return false;
  bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  return true;
}

}  // namespace reliability
