#pragma once
// What each operating-system backend provides. Every call returns 0 on
// success or a Windows error code; the portable layer turns codes into
// EInOutError.

#include <cstddef>
#include <string>

#include "platform/FileServices.h"

namespace platform::native {

bool FileExists(const std::string& name);
bool DirectoryExists(const std::string& name);
int GetCurrentDir(std::string& path);
int SetCurrentDir(const std::string& path);
int FullPathFromNative(const std::string& nativePath, std::string& fullPath);

int OpenForReading(const std::string& name, NativeHandle& handle);
int CreateForWriting(const std::string& name, NativeHandle& handle);
int Read(NativeHandle handle, void* buffer, std::size_t count, std::size_t& arrived);
int Write(NativeHandle handle, const void* bytes, std::size_t count);
int Close(NativeHandle handle);

// The private file of a ReplacementFile, in the folder of name. privateName
// is its name where removing it takes one (empty while it has none).
int CreatePrivateBeside(const std::string& name, NativeHandle& handle, std::string& privateName);
// Renames the private file over name, flushed to the disk first where it
// replaces an earlier file; with replace false, a file at name stays and the
// result is 80 (the file exists). Always closes the handle; on failure the
// private file is removed.
int PutInPlace(NativeHandle handle, const std::string& privateName, const std::string& name,
               bool replace);
// Closes the handle and removes the private file.
void DiscardPrivate(NativeHandle handle, const std::string& privateName) noexcept;

}  // namespace platform::native
