#include "web/module/PageFile.h"

#include <emscripten/emscripten.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <stdexcept>

#include "platform/CodePage.h"

namespace page {

namespace {

EM_JS(void, HandPiece, (const char* data, std::size_t size), {
  Module.onPiece(HEAPU8.slice(data, data + size));
});

EM_JS(void, HandRewrite, (double offset, const char* data, std::size_t size), {
  Module.onRewrite(offset, HEAPU8.slice(data, data + size));
});

// The page copies up to count bytes of the chosen file from offset to
// buffer and says how many it copied; it may raise.
EM_JS(std::size_t, ReadFromPage, (void* buffer, double offset, std::size_t count), {
  return Module.readInput(buffer, offset, count);
});

EM_JS(void, HandProgress, (double done, double total), {
  Module.onProgress(done, total);
});

}  // namespace

ChosenFile chosen;
std::string result;
std::size_t invalidBytes = 0;
std::vector<std::uint8_t> input;

void AppendField(std::string_view utf8) {
  const auto length = static_cast<std::uint32_t>(utf8.size());
  result.append(reinterpret_cast<const char*>(&length), 4);
  result += utf8;
}

void AppendCp932Field(std::string_view cp932) {
  std::string utf8;
  codepage::AppendCp932AsUtf8(cp932, utf8, invalidBytes);
  AppendField(utf8);
}

std::string_view InputField(std::size_t& at) {
  std::uint32_t length = 0;
  if (at + 4 <= input.size()) std::memcpy(&length, input.data() + at, 4);
  const std::size_t start = std::min(at + 4, input.size());
  const std::size_t n = std::min<std::size_t>(length, input.size() - start);
  at = start + n;
  return {reinterpret_cast<const char*>(input.data() + start), n};
}

std::size_t ReadAt(void* buffer, double offset, std::size_t count) {
  return ReadFromPage(buffer, offset, static_cast<std::size_t>(std::clamp<double>(chosen.size - offset, 0, count)));
}

std::size_t PageFile::Read(void* buffer, std::size_t count) {
  auto* out = static_cast<std::uint8_t*>(buffer);
  std::size_t n = 0;
  while (n < count) {
    const double at = offset_ - aheadFrom_;
    if (at < 0 || at >= ahead_.size()) {
      const std::size_t piece = static_cast<std::size_t>(std::min<double>(std::max(piece_, count - n), chosen.size - offset_));
      if (piece == 0) break;
      ahead_.resize(piece);
      ahead_.resize(ReadAt(ahead_.data(), offset_, piece));
      aheadFrom_ = offset_;
      piece_ = std::min(piece_ * 4, kLargestPiece);
      if (ahead_.empty()) break;
      continue;
    }
    const std::size_t from = static_cast<std::size_t>(at);
    const std::size_t taken = std::min(count - n, ahead_.size() - from);
    std::memcpy(out + n, ahead_.data() + from, taken);
    n += taken;
    offset_ += taken;
  }
  if (offset_ > mnr_layout::kHeaderSize) {
    HandProgress(offset_, std::min<double>(chosen.size, mnr_header::UsedSize(chosen.header)));
  }
  return n;
}

std::uint64_t PageFile::Skip(std::uint64_t count) {
  const double passed = std::min<double>(static_cast<double>(count), chosen.size - offset_);
  offset_ += passed;
  return static_cast<std::uint64_t>(passed);
}

std::optional<std::uint64_t> PageFile::Remaining() const {
  return static_cast<std::uint64_t>(chosen.size - offset_);
}

const ProblemRecord& StoredRecords::At(int ref) {
  using namespace mnr_layout;
  const int genre = ref / kRefGenreFactor, index = ref % kRefGenreFactor;
  if (!chosen.loaded || ref < 0 || genre >= kGenreCount || index >= mnr_header::ListedCount(chosen.header, genre)) {
    throw std::out_of_range("no such problem");
  }
  double number = index, records = 0;  // in the file
  for (int g = 0; g < kGenreCount; ++g) {
    if (g < genre) number += mnr_header::ListedCount(chosen.header, g);
    records += mnr_header::ListedCount(chosen.header, g);
  }
  const double first = std::floor(number / kBlockRecords) * kBlockRecords;
  if (first != first_) {
    block_.resize(static_cast<std::size_t>(std::min<double>(kBlockRecords, records - first)));
    const std::size_t wanted = block_.size() * kRecordSize;
    first_ = -1;
    if (ReadAt(block_.data(), kHeaderSize + first * kRecordSize, wanted) != wanted) {
      throw std::runtime_error("the file ended before its last problem");
    }
    first_ = first;
  }
  return block_[static_cast<std::size_t>(number - first)];
}

const ByteSink kToPage([](std::string_view bytes) { HandPiece(bytes.data(), bytes.size()); },
                       [](std::uint64_t offset, std::string_view bytes) {
                         HandRewrite(static_cast<double>(offset), bytes.data(), bytes.size());
                       });

}  // namespace page
