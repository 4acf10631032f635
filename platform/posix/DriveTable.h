#pragma once
// POSIX only: how Windows-form paths reach host folders. Drive letters and
// network roots ("\\server\share") map to host folders; by default Z: is the
// host's "/". The current directory is kept in Windows form.

#include <string>

namespace platform::drive_table {

void MapDrive(char letter, const std::string& hostFolder);
void MapNetworkRoot(const std::string& root, const std::string& hostFolder);
// Back to the default table (Z: only, no network roots); the current
// directory becomes the host's, seen through Z:.
void Reset();

// "C:\quiz\set1.mnr" -> "/tmp/c/quiz/set1.mnr". Relative and root-relative
// paths resolve against the current directory. False when the path names no
// mapped drive or network root.
bool ToHostPath(const std::string& windowsPath, std::string& hostPath);
// "/home/user" -> "Z:\home\user": the mapped folder holding the host path,
// the deepest one when several do; network roots and drives alike. A name
// Windows forbids (holding '\', '?', a control character ...) takes the form
// U+F000 + that character; a host name that already holds such a form has
// none of its own, and gives false like a path outside every mapped folder.
bool FromHostPath(const std::string& hostPath, std::string& windowsPath);

// Whether every name of the host path (and of the current folder, for a
// relative path) has a Windows form (FromHostPath).
bool HasWindowsForm(const std::string& hostPath);

// Records a full Windows path as the current directory (the backend checks
// that it is an enterable folder first).
void SetCurrent(const std::string& fullWindowsPath);

// The full Windows form of a path against the current directory, with "."
// and ".." resolved and separators single ("C:\a\..\b" -> "C:\b").
bool FullWindowsPath(const std::string& path, std::string& full);

}  // namespace platform::drive_table
