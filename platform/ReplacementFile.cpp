#include "platform/ReplacementFile.h"

#include <algorithm>
#include <cstring>

#include "platform/FaultInjection.h"
#include "platform/NativeFile.h"

namespace platform {

using fault_injection::Operation;

ReplacementFile::ReplacementFile(const std::string& hostPath, std::size_t bufferSize, Existing existing)
    : hostPath_(hostPath), existing_(existing), size_(bufferSize), buffer_(new char[bufferSize]) {
  if (int code = native::CreatePrivateBeside(hostPath, handle_, privateName_)) throw EInOutError(code);
  open_ = true;
}

ReplacementFile::~ReplacementFile() { Discard(); }

void ReplacementFile::Discard() noexcept {
  if (!open_) return;
  open_ = false;
  native::DiscardPrivate(handle_, privateName_);
}

void ReplacementFile::Write(std::string_view bytes) {
  if (!open_ || completed_) throw EInOutError(error_code::kFileNotOpen);
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

void ReplacementFile::Rewrite(std::uint64_t offset, std::string_view bytes) {
  if (!open_ || completed_) throw EInOutError(error_code::kFileNotOpen);
  // What is still in the buffer is changed there, the rest in the file.
  const std::size_t inFile = offset >= written_ ? 0 : static_cast<std::size_t>(std::min<std::uint64_t>(bytes.size(), written_ - offset));
  if (inFile > 0) {
    if (const int code = native::WriteAt(handle_, offset, bytes.data(), inFile)) {
      Discard();
      throw EInOutError(code);
    }
  }
  if (inFile < bytes.size()) std::memcpy(buffer_.get() + (offset + inFile - written_), bytes.data() + inFile, bytes.size() - inFile);
}

std::size_t ReplacementFile::ReadAt(std::uint64_t offset, char* buffer, std::size_t count) {
  std::size_t arrived = 0;
  if (const int code = native::ReadAt(handle_, offset, buffer, count, arrived)) {
    Discard();
    throw EInOutError(code);
  }
  return arrived;
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
  written_ += count;
}

void ReplacementFile::Complete() {
  if (!open_) throw EInOutError(error_code::kFileNotOpen);
  if (completed_) return;
  WriteOut();
  int code = fault_injection::Check(Operation::kClose);
  if (code == 0) code = native::CompletePrivate(handle_, privateName_, hostPath_, existing_ == Existing::kReplace);
  if (code != 0) {
    Discard();
    throw EInOutError(code);
  }
  completed_ = true;
}

void ReplacementFile::Commit() {
  Complete();
  if (const int injected = fault_injection::Check(Operation::kRename)) {
    Discard();
    throw EInOutError(injected);
  }
  open_ = false;  // PutInPlace closes the handle whatever happens
  if (int code = native::PutInPlace(handle_, privateName_, hostPath_, existing_ == Existing::kReplace)) throw EInOutError(code);
}

void CommitTogether(const std::vector<ReplacementFile*>& files, std::size_t& failed, std::size_t& renamed) {
  renamed = 0;
  for (failed = 0; failed < files.size(); ++failed) files[failed]->Complete();
  struct Held {
    Held() { native::HoldInterrupts(); }
    ~Held() { native::ReleaseInterrupts(); }
  } held;
  for (failed = 0; failed < files.size(); ++failed, ++renamed) files[failed]->Commit();
}

}  // namespace platform
