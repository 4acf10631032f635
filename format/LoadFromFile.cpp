// Loading a problem file through the platform's block file: the existence
// test, the open that raises, and the guard around reading and closing.

#include "format/mnrFormat.h"
#include "platform/FileServices.h"

namespace {

class FileSource final : public ProblemSource {
 public:
  explicit FileSource(platform::BlockFile& file) : file_(file) {}
  std::size_t Read(void* buffer, std::size_t count) override { return file_.Read(buffer, count); }

 private:
  platform::BlockFile& file_;
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
