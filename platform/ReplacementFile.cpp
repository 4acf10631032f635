#include "platform/ReplacementFile.h"

#include <algorithm>
#include <cstring>

#include "platform/FaultInjection.h"
#include "platform/NativeFile.h"

namespace platform {

using fault_injection::Operation;

namespace {

// The buffer of the last output, kept for the next: a run over many files
// writes thousands of outputs, and a fresh buffer each time is fresh memory
// each time (the system maps and zero-fills it, then takes it back).
std::unique_ptr<char[]> spareBuffer;
std::size_t spareSize = 0;

std::unique_ptr<char[]> TakeBuffer(std::size_t size) {
  if (spareBuffer && spareSize == size) return std::move(spareBuffer);
  return std::unique_ptr<char[]>(new char[size]);
}

}  // namespace

ReplacementFile::ReplacementFile(const std::string& name, std::size_t bufferSize, Existing existing)
    : name_(name), existing_(existing), size_(bufferSize), buffer_(TakeBuffer(bufferSize)) {
  if (int code = native::CreatePrivateBeside(name, handle_, privateName_)) throw EInOutError(code);
  open_ = true;
}

ReplacementFile::~ReplacementFile() {
  Discard();
  spareBuffer = std::move(buffer_);
  spareSize = size_;
}

void ReplacementFile::Discard() noexcept {
  if (!open_) return;
  open_ = false;
  native::DiscardPrivate(handle_, privateName_);
}

void ReplacementFile::Write(std::string_view bytes) {
  if (!open_) throw EInOutError(error_code::kFileNotOpen);
  // Whole buffers' worth (writers hand over 64 KiB pieces) go straight to
  // the file, without a copy, one write-out per buffer's worth as ever.
  for (; used_ == 0 && bytes.size() >= size_; bytes.remove_prefix(size_)) WriteOut(bytes.data(), size_);
  while (!bytes.empty()) {
    const std::size_t n = std::min(bytes.size(), size_ - used_);
    std::memcpy(buffer_.get() + used_, bytes.data(), n);
    used_ += n;
    bytes.remove_prefix(n);
    if (used_ == size_) WriteOut();
  }
}

void ReplacementFile::WriteOut() {
  const std::size_t count = used_;
  used_ = 0;
  WriteOut(buffer_.get(), count);
}

// A failed write-out leaves a file that can never be completed: it goes at once.
void ReplacementFile::WriteOut(const char* bytes, std::size_t count) {
  if (count == 0) return;
  const int injected = fault_injection::Check(Operation::kWriteOut);
  const int code = injected != 0 ? injected : native::Write(handle_, bytes, count);
  if (code != 0) {
    Discard();
    throw EInOutError(code);
  }
}

void ReplacementFile::Commit() {
  if (!open_) throw EInOutError(error_code::kFileNotOpen);
  WriteOut();
  if (const int injected = fault_injection::Check(Operation::kClose)) {
    Discard();
    throw EInOutError(injected);
  }
  open_ = false;  // PutInPlace closes the handle whatever happens
  if (int code = native::PutInPlace(handle_, privateName_, name_, existing_ == Existing::kReplace)) throw EInOutError(code);
}

}  // namespace platform
