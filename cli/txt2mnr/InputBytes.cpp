#include "cli/txt2mnr/InputBytes.h"

#include <memory>
#include <vector>

#include "cli/ProblemInput.h"
#include "platform/FileServices.h"

namespace cli {

namespace {

constexpr std::size_t kPiece = 1 << 20;

// In pieces, joined once at the end, each freed as it is joined: growing one
// string by doubling would hold up to three times the stream for a moment.
InputRead ReadStandardInput(std::uint64_t bound, std::string& bytes) {
  std::vector<std::string> pieces;
  std::uint64_t total = 0;
  for (std::size_t n = 1; n > 0;) {
    pieces.emplace_back(kPiece, '\0');
    n = 0;
    while (n < kPiece) {
      const std::size_t arrived = ReadSomeOfStandardInput(pieces.back().data() + n, kPiece - n);
      if (arrived == 0) break;
      n += arrived;
    }
    pieces.back().resize(n);
    total += n;
    if (total > bound) return InputRead::kTooLarge;
    if (n < kPiece) break;
  }
  bytes.reserve(total);
  for (std::string& piece : pieces) {
    bytes += piece;
    std::string().swap(piece);
  }
  return InputRead::kRead;
}

}  // namespace

InputRead ReadInputBytes(const std::string& file, std::uint64_t bound, std::string& bytes) {
  bytes.clear();
  if (file == kStandardStream) return ReadStandardInput(bound, bytes);
  platform::RequireWindowsForm(file);
  std::unique_ptr<platform::BlockFile> opened;
  try {
    opened = std::make_unique<platform::BlockFile>(platform::BlockFile::Host{file});
  } catch (const platform::EInOutError& e) {
    const int code = e.ErrorCode();
    if (code == platform::error_code::kFileNotFound || code == platform::error_code::kPathNotFound)
      return InputRead::kMissing;
    if (code == platform::error_code::kAccessDenied && platform::IsHostDirectory(file)) return InputRead::kFolder;
    throw;
  }
  // Nothing is read from a device or a FIFO: it may never end, or never start.
  const std::optional<std::uint64_t> size = opened->Size();
  if (!size) return InputRead::kNotARegularFile;
  if (*size > bound) return InputRead::kTooLarge;
  // Read to its end, which a file still being written may move past its size.
  bytes.reserve(static_cast<std::size_t>(*size));
  std::vector<char> piece(64 * 1024);
  for (std::size_t n; (n = opened->Read(piece.data(), piece.size())) > 0;) {
    if (bytes.size() + n > bound) return InputRead::kTooLarge;
    bytes.append(piece.data(), n);
  }
  opened->Close();
  return InputRead::kRead;
}

}  // namespace cli
