// Loading a problem file through the platform's block file: the existence
// test, the open that raises, and the guard around reading and closing.

#include <algorithm>

#include "format/mnrFormat.h"
#include "platform/FileServices.h"

namespace {

class FileSource final : public ByteSource {
 public:
  explicit FileSource(platform::BlockFile& file) : file_(file), left_(file.Size()) {}
  std::size_t Read(void* buffer, std::size_t count) override {
    const std::size_t n = file_.Read(buffer, count);
    if (left_) *left_ -= std::min<std::uint64_t>(n, *left_);
    return n;
  }
  // Known for a regular file: one too short is no problem file before any
  // memory is given to the records its header announces.
  std::optional<std::uint64_t> Remaining() const override { return left_; }

 private:
  platform::BlockFile& file_;
  std::optional<std::uint64_t> left_;
};

}  // namespace

bool T_mnrFormat::LoadFromFile(const std::string& path) {
  if (!platform::FileExists(path)) {
    loaded_ = false;
    return false;
  }
  // Opening is not guarded: a file that exists but cannot be opened raises
  // to the caller and leaves the problem set as it was.
  platform::BlockFile file(path);
  bool ok = false;
  try {
    FileSource source(file);
    ok = ReadProblemFile(source);
    file.Close();
  } catch (...) {
    // Any fault while reading (a read error, a negative count) means the file
    // cannot be used; the block file releases its handle itself.
    ok = false;
  }
  return Finish(ok, path);
}
