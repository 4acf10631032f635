#pragma once
// What the module's parts share: the page's chosen file as the core knows it
// (its size, name and header), its bytes read through the page
// (Module.readInput) from wherever they are asked for, every request afresh
// from the file, the sink that streams outputs to the page, and the result
// buffer in which texts go back to the page. Module.cpp loads the file and
// writes its outputs, Editing.cpp writes an edited set, Searching.cpp finds
// texts.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "format/ByteSink.h"
#include "format/ProblemSource.h"

namespace page {

struct ChosenFile {
  double size = 0;  // in bytes; a double, as files may exceed 4 GiB
  HeaderBytes header{};
  bool loaded = false;  // whether it is a problem file, whose header is `header`
  std::string name;     // UTF-8: for the outputs' names, the JSON and messages
};
extern ChosenFile chosen;

// What a call leaves for the page: texts, each after its length (4 bytes,
// little-endian, as wasm is), or other bytes; mnr_result points at it.
extern std::string result;
// Bytes that were not valid CP932 in the UTF-8 made since the page last asked.
extern std::size_t invalidBytes;
void AppendField(std::string_view utf8);
void AppendCp932Field(std::string_view cp932);

// What the page hands a call (problem numbers, texts), copied into the room
// mnr_buffer made; texts as result holds them: each after its length.
extern std::vector<std::uint8_t> input;
std::string_view InputField(std::size_t& at);

// Copies up to count bytes of the chosen file from offset to buffer; how
// many it copied (fewer only at the file's end). May raise.
std::size_t ReadAt(void* buffer, double offset, std::size_t count);

// The chosen file from its start, as a reader asks for it (the header, then
// the records it announces, never more), telling the page how far it got.
// The page is asked for larger pieces than the reader takes at a time
// (growing to kLargestPiece): each of its reads costs a browser a round trip
// to where the file is.
class PageFile final : public ByteSource {
 public:
  std::size_t Read(void* buffer, std::size_t count) override;
  std::uint64_t Skip(std::uint64_t count) override;
  std::optional<std::uint64_t> Remaining() const override;

 private:
  static constexpr std::size_t kFirstPiece = 64 << 10, kLargestPiece = 4 << 20;
  double offset_ = 0;     // of the next byte the reader takes
  double aheadFrom_ = 0;  // where the bytes read ahead start in the file
  std::vector<std::uint8_t> ahead_;
  std::size_t piece_ = kFirstPiece;
};

// The page names a problem of the loaded file by one number: its genre
// times kRefGenreFactor plus its place in the genre (from 0).
inline constexpr int kRefGenreFactor = 32768;

// The stored bytes of the loaded file's problems, from wherever they are
// asked for; read a block at a time, as problems are mostly asked for in
// their order.
class StoredRecords {
 public:
  const ProblemRecord& At(int ref);

 private:
  static constexpr std::size_t kBlockRecords = 1024;  // 256 KiB
  std::vector<ProblemRecord> block_;
  double first_ = -1;  // the number of the block's first record in the file
};

// Streams an output's bytes to Module.onPiece; a zip's headers are put in
// place through Module.onRewrite.
extern const ByteSink kToPage;

}  // namespace page
