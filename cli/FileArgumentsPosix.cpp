#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "cli/FileArguments.h"
#include "platform/IoError.h"
#include "platform/posix/HostPath.h"

namespace cli::system_files {

namespace {

// Closes the folder on every way out.
class OpenFolder {
 public:
  explicit OpenFolder(const std::string& name) : dir_(opendir(name.c_str())) {
    if (dir_ == nullptr) throw platform::EInOutError(platform::native::WindowsCode(errno, name));
  }
  ~OpenFolder() { closedir(dir_); }
  OpenFolder(const OpenFolder&) = delete;
  OpenFolder& operator=(const OpenFolder&) = delete;
  DIR* get() const { return dir_; }

 private:
  DIR* dir_;
};

}  // namespace

// The shell has expanded every pattern already: "*" and "?" are characters
// of the name.
std::vector<std::string> NamesMatching(const std::string& arg) { return {arg}; }

std::vector<std::string> ProblemFilesIn(const std::string& folder) {
  const OpenFolder dir(folder);
  std::vector<std::string> names;
  for (;;) {
    errno = 0;
    const dirent* entry = readdir(dir.get());
    if (entry == nullptr) {
      if (errno != 0) throw platform::EInOutError(platform::native::WindowsCode(errno, folder));
      break;
    }
    const std::string name = entry->d_name;
    if (!HasProblemFileExtension(name)) continue;
    // What a link points to decides; an entry that cannot be looked at is
    // kept, for the reader to report.
    struct stat st;
    if (fstatat(dirfd(dir.get()), name.c_str(), &st, 0) == 0 && S_ISDIR(st.st_mode)) continue;
    names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  const std::string prefix = folder.back() == '/' ? folder : folder + '/';
  for (std::string& name : names) name = prefix + name;
  return names;
}

}  // namespace cli::system_files
