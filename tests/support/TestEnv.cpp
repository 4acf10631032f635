#include "tests/support/TestEnv.h"

#include <algorithm>
#include <stdexcept>

#include "platform/CodePage.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#endif

namespace test_env {

#ifdef _WIN32

TempDir::TempDir() {
  static int serial = 0;
  // Under Wine, Z:\tmp is the host's /tmp, a plain drive-letter path like
  // the ones users have; elsewhere the user's temp folder.
  char temp[MAX_PATH] = "Z:\\tmp\\";
  const DWORD attributes = GetFileAttributesA(temp);
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    GetTempPathA(MAX_PATH, temp);
  }
  // Process ids are not unique across Wine prefixes sharing Z:\tmp, nor
  // across runs that left a folder behind: a name already taken is skipped.
  for (;;) {
    root_ = std::string(temp) + "munemoji-test-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(++serial);
    if (CreateDirectoryA(root_.c_str(), nullptr)) return;
    if (GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("cannot create " + root_);
  }
}

std::string WinPathOf(const std::string& hostPath) { return hostPath; }

bool FileReleased(const std::string& hostPath) {
  HANDLE h = CreateFileA(hostPath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return GetLastError() != ERROR_SHARING_VIOLATION;
  CloseHandle(h);
  return true;
}

int OpenFileCount() { return -1; }



void MakeDir(const std::string& hostPath) {
  if (!CreateDirectoryA(hostPath.c_str(), nullptr)) throw std::runtime_error("mkdir " + hostPath);
}

void WriteFile(const std::string& hostPath, const std::string& bytes) {
  HANDLE h = CreateFileA(hostPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    throw std::runtime_error("cannot create " + hostPath + ": error " + std::to_string(GetLastError()));
  }
  DWORD written = 0;
  const BOOL ok = ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(h);
  if (!ok || written != bytes.size()) throw std::runtime_error("cannot write " + hostPath);
}

bool ReadFile(const std::string& hostPath, std::string& bytes) {
  HANDLE h = CreateFileA(hostPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  bytes.clear();
  char chunk[4096];
  DWORD got = 0;
  while (::ReadFile(h, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
  CloseHandle(h);
  return true;
}

bool Exists(const std::string& hostPath) {
  return GetFileAttributesA(hostPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> ListDir(const std::string& hostPath) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE h = FindFirstFileA((hostPath + "\\*").c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(h, &found));
  FindClose(h);
  std::sort(names.begin(), names.end());
  return names;
}

void Remove(const std::string& hostPath) {
  const DWORD attributes = GetFileAttributesA(hostPath.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    for (const std::string& name : ListDir(hostPath)) Remove(hostPath + "\\" + name);
    RemoveDirectoryA(hostPath.c_str());
  } else {
    SetFileAttributesA(hostPath.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(hostPath.c_str());
  }
}

#else  // POSIX

TempDir::TempDir() {
  char name[] = "/tmp/munemoji-test-XXXXXX";
  if (!mkdtemp(name)) throw std::runtime_error("mkdtemp");
  root_ = name;
  // World-readable, so a test may read its files as another user.
  chmod(root_.c_str(), 0755);
}

std::string WinPathOf(const std::string& hostPath) {
  std::string win = "Z:" + hostPath;
  std::replace(win.begin(), win.end(), '/', '\\');
  return win;
}

void MakeDir(const std::string& hostPath) {
  if (mkdir(hostPath.c_str(), 0755) != 0) throw std::runtime_error("mkdir " + hostPath);
}


bool FileReleased(const std::string& hostPath) {
  char real[PATH_MAX];
  if (!realpath(hostPath.c_str(), real)) return true;
  for (const std::string& fd : test_env::ListDir("/proc/self/fd")) {
    char target[PATH_MAX];
    const ssize_t n = readlink(("/proc/self/fd/" + fd).c_str(), target, sizeof target - 1);
    if (n > 0 && std::string(target, static_cast<std::size_t>(n)) == real) return false;
  }
  return true;
}

int OpenFileCount() { return static_cast<int>(test_env::ListDir("/proc/self/fd").size()); }


namespace {

void List(const std::string& root, const std::string& relative, std::vector<std::string>& out) {
  for (const std::string& name : ListDir(root + relative)) {
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

std::vector<std::string> Listing(const std::string& folder) {
  std::vector<std::string> out;
  List(folder, "", out);
  std::sort(out.begin(), out.end());
  return out;
}

void WriteFile(const std::string& hostPath, const std::string& bytes) {
  std::ofstream file(hostPath, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!file) throw std::runtime_error("cannot write " + hostPath);
}

bool ReadFile(const std::string& hostPath, std::string& bytes) {
  std::ifstream file(hostPath, std::ios::binary);
  if (!file) return false;
  bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  return true;
}

bool Exists(const std::string& hostPath) {
  struct stat st;
  return lstat(hostPath.c_str(), &st) == 0;
}

std::vector<std::string> ListDir(const std::string& hostPath) {
  std::vector<std::string> names;
  if (DIR* dir = opendir(hostPath.c_str())) {
    while (dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
  }
  std::sort(names.begin(), names.end());
  return names;
}

void Remove(const std::string& hostPath) {
  struct stat st;
  if (lstat(hostPath.c_str(), &st) != 0) return;
  if (S_ISDIR(st.st_mode)) {
    chmod(hostPath.c_str(), 0755);
    for (const std::string& name : ListDir(hostPath)) Remove(hostPath + "/" + name);
    rmdir(hostPath.c_str());
  } else {
    unlink(hostPath.c_str());
  }
}

#endif

TempDir::~TempDir() { Remove(root_); }

std::string TempDir::host(const std::string& relative) const {
  if (relative.empty()) return root_;
  std::string path = root_ + kHostSeparator + relative;
  std::replace(path.begin(), path.end(), '/', kHostSeparator);
  return path;
}

std::string TempDir::win(const std::string& relative) const { return WinPathOf(host(relative)); }

void WriteFile(const std::string& hostPath, const test_support::Bytes& bytes) {
  WriteFile(hostPath, std::string(bytes.begin(), bytes.end()));
}

void WriteNewFile(const std::string& hostPath, const std::string& bytes) {
  Remove(hostPath);
  WriteFile(hostPath, bytes);
}

std::string Cp932ToUtf8(const std::string& sjis) {
  std::string utf8;
  std::size_t invalid = 0;
  codepage::AppendCp932AsUtf8(sjis, utf8, invalid);
  return invalid == 0 ? utf8 : std::string();
}

}  // namespace test_env
