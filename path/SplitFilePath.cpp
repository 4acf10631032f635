#include "path/SplitFilePath.h"

#include "path/PathText.h"
#include "platform/FileServices.h"

namespace {

// The current directory without its drive prefix, "\" when nothing is left.
std::string CurrentDirWithoutDrive() {
  const std::string current = platform::GetCurrentDir();
  std::string rest = current.substr(DrivePrefix(current).size());
  return rest.empty() ? "\\" : rest;
}

// Resolves the directory part by entering the folders it names, as the file
// system sees them now.
void Resolve(SplitPath& result, const std::string& root) {
  if (platform::DirectoryExists(root)) platform::SetCurrentDir(root);

  result.FilePart = FileNamePart(result.DirPart);
  std::string& dir = result.DirPart;
  const std::string& file = result.FilePart;
  if (dir.size() == file.size() + 1) {
    dir.assign(1, '\\');  // the file sits in the root
  } else if (dir.size() > file.size()) {
    dir.resize(dir.size() - file.size() - 1);  // without the separator before the name
  } else {
    dir = CurrentDirWithoutDrive();
  }
  if (!dir.empty()) platform::SetCurrentDir(dir);

  // A name that is no file here may be a folder: then the path names a
  // directory and has no file part.
  if (!file.empty() && file.find_first_of("*?") == std::string::npos && !platform::FileExists(file)) {
    platform::SetCurrentDir(file);
    if (dir != "\\") dir += '\\';  // the root alone already ends in one
    dir += file;
    result.FilePart.clear();
  }

  if (result.Drive == 0) dir = root + dir;
}

void RestoreCurrentDir(const std::string& saved) {
  if (platform::DirectoryExists(saved)) platform::SetCurrentDir(saved);
}

}  // namespace

SplitPath SplitFilePath(const std::string& text) {
  const std::string saved = platform::GetCurrentDir();
  SplitPath result;
  result.Drive = saved.empty() ? 0 : saved[0];
  result.DirPart = text;

  std::string root;
  if (text.size() >= 2 && text.front() == '[' && text.back() == ']') {
    result.DirPart = text.substr(1, text.size() - 2);
  } else {
    root = DrivePrefix(result.DirPart);
    if (!root.empty()) {
      result.DirPart.erase(0, root.size());
    } else {
      root = DrivePrefix(saved);
    }
    result.Drive = root.size() >= 2 && root[1] == ':' ? root[0] : 0;
  }

  try {
    Resolve(result, root);
  } catch (...) {
    RestoreCurrentDir(saved);
    throw;
  }
  RestoreCurrentDir(saved);
  return result;
}
