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

bool FileExists(const std::string& name) { return native::FileExists(name); }

bool DirectoryExists(const std::string& name) { return native::DirectoryExists(name); }

std::string GetCurrentDir() {
  std::string path;
  RaiseIfFailed(native::GetCurrentDir(path));
  return path;
}

void SetCurrentDir(const std::string& path) { RaiseIfFailed(native::SetCurrentDir(path)); }

std::string FullPathFromNative(const std::string& nativePath) {
  std::string full;
  RaiseIfFailed(native::FullPathFromNative(nativePath, full));
  return full;
}


BlockFile::BlockFile(const std::string& name) {
  RaiseIfFailed(native::OpenForReading(name, handle_));
}

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

void BlockFile::Close() {
  if (!open_) throw EInOutError(error_code::kFileNotOpen);
  open_ = false;
  RaiseIfFailed(CloseHandleChecked(handle_));
}

TextFile::TextFile(const std::string& name, std::size_t bufferSize) : buffer_(bufferSize) {
  RaiseIfFailed(native::CreateForWriting(name, handle_));
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
