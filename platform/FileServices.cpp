#include "platform/FileServices.h"

#include <cstring>

#include "platform/FaultInjection.h"
#include "platform/NativeFile.h"

namespace platform {
namespace {

using fault_injection::Operation;

void RaiseIfFailed(int code) {
  if (code != 0) throw EInOutError(code);
}

// Closes a handle, unless the fault-injection seam fails this close; an
// injected failure still releases the handle so tests leak nothing.
int CloseHandleChecked(NativeHandle handle) {
  const int injected = fault_injection::Check(Operation::kClose);
  const int code = native::Close(handle);
  return injected != 0 ? injected : code;
}

}  // namespace

std::string HostPathOf(const std::string& windowsPath) {
  std::string host;
  RaiseIfFailed(native::HostPathOf(windowsPath, host));
  return host;
}

bool FileExists(const std::string& name) {
  std::string host;
  return native::HostPathOf(name, host) == 0 && native::FileExists(host);
}

bool DirectoryExists(const std::string& name) {
  std::string host;
  return native::HostPathOf(name, host) == 0 && native::DirectoryExists(host);
}

bool IsHostDirectory(const std::string& hostPath) { return native::DirectoryExists(hostPath); }

Entry EntryAt(const std::string& hostPath) { return native::EntryAt(hostPath); }

void RequireWindowsForm(const std::string& hostPath) {
  if (!native::HasWindowsForm(hostPath)) throw EInOutError(error_code::kPathNotFound);
}

std::optional<FileIdentity> IdentityOf(const std::string& hostPath) { return native::IdentityOf(hostPath); }

std::string TemporaryFolder() { return native::TemporaryFolder(); }

std::optional<FileIdentity> IdentityOfStandardInput() { return native::IdentityOfStandardInput(); }

std::string GetCurrentDir() {
  std::string path;
  RaiseIfFailed(native::GetCurrentDir(path));
  return path;
}

void SetCurrentDir(const std::string& path) { RaiseIfFailed(native::SetCurrentDir(path)); }

BlockFile::BlockFile(const std::string& name) : BlockFile(Host{HostPathOf(name)}) {}

BlockFile::BlockFile(Host host) { RaiseIfFailed(native::OpenForReading(host.path, handle_)); }

BlockFile::~BlockFile() {
  if (open_) native::Close(handle_);
}

std::size_t BlockFile::Read(void* buffer, std::size_t count) {
  if (!open_) throw EInOutError(error_code::kFileNotOpen);
  // A single read may deliver less than asked before the end of the file
  // (signals, pipes); keep reading until the count or the end is reached.
  auto* bytes = static_cast<char*>(buffer);
  std::size_t total = 0;
  while (total < count) {
    std::size_t arrived = 0;
    RaiseIfFailed(native::Read(handle_, bytes + total, count - total, arrived));
    if (arrived == 0) break;
    total += arrived;
  }
  return total;
}

std::optional<std::uint64_t> BlockFile::Size() const { return native::RegularFileSize(handle_); }

void BlockFile::Skip(std::uint64_t count) {
  if (!open_) throw EInOutError(error_code::kFileNotOpen);
  RaiseIfFailed(native::Skip(handle_, count));
}

void BlockFile::Close() {
  if (!open_) throw EInOutError(error_code::kFileNotOpen);
  open_ = false;
  RaiseIfFailed(CloseHandleChecked(handle_));
}

TextFile::TextFile(const std::string& name, std::size_t bufferSize) : buffer_(bufferSize) {
  RaiseIfFailed(native::CreateForWriting(HostPathOf(name), handle_));
}

TextFile::~TextFile() {
  if (open_) native::Close(handle_);
}

void TextFile::Write(std::string_view bytes) {
  if (!open_) throw EInOutError(error_code::kFileNotOpen);
  while (!bytes.empty()) {
    const std::size_t n = std::min(bytes.size(), buffer_.size() - used_);
    std::memcpy(buffer_.data() + used_, bytes.data(), n);
    used_ += n;
    bytes.remove_prefix(n);
    if (used_ == buffer_.size()) WriteOut();
  }
}

void TextFile::WriteOut() {
  const std::size_t count = used_;
  used_ = 0;  // emptied first: a failed write-out loses these bytes
  if (count == 0) return;
  const int injected = fault_injection::Check(Operation::kWriteOut);
  RaiseIfFailed(injected != 0 ? injected : native::Write(handle_, buffer_.data(), count));
}

void TextFile::Close() {
  if (!open_) throw EInOutError(error_code::kFileNotOpen);
  WriteOut();
  open_ = false;
  RaiseIfFailed(CloseHandleChecked(handle_));
}

}  // namespace platform
