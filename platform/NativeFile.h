#pragma once
// What each operating-system backend provides. Every call returns 0 on
// success or a Windows error code; the portable layer turns codes into
// EInOutError. Paths are host paths except where said.

#include <cstddef>
#include <optional>
#include <string>

#include "platform/FileServices.h"

namespace platform::native {

// A Windows path's host path (POSIX: through the drive table).
int HostPathOf(const std::string& windowsPath, std::string& host);
bool FileExists(const std::string& host);
bool DirectoryExists(const std::string& host);
Entry EntryAt(const std::string& host);
// The current directory in Windows form.
int GetCurrentDir(std::string& windowsPath);
int SetCurrentDir(const std::string& windowsPath);

// POSIX: whether no name of the path (nor of the current folder, for a
// relative path) holds the form the drive table gives a character Windows
// forbids in names, so that the path has a Windows form of its own.
bool HasWindowsForm(const std::string& host);
std::optional<FileIdentity> IdentityOf(const std::string& host);
// Where programs keep files no one else is to see: TMPDIR or /tmp, the
// user's temporary folder on Windows.
std::string TemporaryFolder();
std::optional<FileIdentity> IdentityOfStandardInput();

int OpenForReading(const std::string& host, NativeHandle& handle);
int CreateForWriting(const std::string& host, NativeHandle& handle);
int Read(NativeHandle handle, void* buffer, std::size_t count, std::size_t& arrived);
int Write(NativeHandle handle, const void* bytes, std::size_t count);
// Writes bytes at offset from the start of the file, wherever writing is.
int WriteAt(NativeHandle handle, std::uint64_t offset, const void* bytes, std::size_t count);
// The size of a regular file; nothing for anything else.
std::optional<std::uint64_t> RegularFileSize(NativeHandle handle);
// Reads up to count bytes at offset from the start of the file.
int ReadAt(NativeHandle handle, std::uint64_t offset, void* buffer, std::size_t count, std::size_t& arrived);
// Moves the file's position on by count bytes.
int Skip(NativeHandle handle, std::uint64_t count);
int Close(NativeHandle handle);

// The private file of a ReplacementFile, in the folder of host. privateName
// is its name where removing it takes one (empty while it has none).
int CreatePrivateBeside(const std::string& host, NativeHandle& handle, std::string& privateName);
// Readies the private file for its rename: flushed to the disk where it
// replaces an earlier file, and refused (5, access denied) where the rename
// would be refused for what stands at host: a folder, or on Windows a file
// another program holds. POSIX: a named private file is closed here, and
// handle then -1. Leaves removing the private file on failure to the caller.
int CompletePrivate(NativeHandle& handle, const std::string& privateName, const std::string& host, bool replace);
// Renames the completed private file over host; with replace false, a file
// at host stays and the result is 80 (the file exists). Always closes the
// handle; on failure the private file is removed.
int PutInPlace(NativeHandle handle, const std::string& privateName, const std::string& host, bool replace);
// Between Hold and Release (which may nest), the interrupts that end the
// program (POSIX: SIGINT, SIGTERM, SIGHUP; a console's Ctrl-C, Ctrl-Break
// or close) wait, so a set of renames is never cut short by them.
void HoldInterrupts();
void ReleaseInterrupts();
// Closes the handle and removes the private file.
void DiscardPrivate(NativeHandle handle, const std::string& privateName) noexcept;

}  // namespace platform::native
