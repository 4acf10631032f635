#pragma once
// The in-memory problem set: reads a problem file, checks it, unscrambles
// every problem in place, and serves genre names, counts and problems.

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "format/ZeroedAllocator.h"
#include "format/mnrLayout.h"

// Where a problem file's bytes come from: the file itself, or bytes already
// in memory (the browser, tests, fuzzers).
class ProblemSource {
 public:
  // Reads up to count bytes; returns how many arrived (fewer only at the end).
  virtual std::size_t Read(void* buffer, std::size_t count) = 0;

 protected:
  ~ProblemSource() = default;
};

// The problem records of one genre, one contiguous array in memory straight
// from the system (zero-filled, huge pages where offered).
class T_mnrQuiz {
 public:
  using RecordArray = std::vector<ProblemRecord, ZeroedAllocator<ProblemRecord>>;
  using LengthArray = std::vector<TextLengths, ZeroedAllocator<TextLengths>>;

  // Resizes to n records: records that remain keep their bytes, new ones are
  // zero-filled. A negative n raises platform::ERangeError.
  void SetCount(std::int32_t n);

  RecordArray Records;
  // Per record, where unscrambling found its texts to end (set by a load).
  LengthArray Lengths;
};

class T_mnrFormat {
 public:
  using HeaderBytes = std::array<std::uint8_t, mnr_layout::kHeaderSize>;

  // True on success. A file that does not exist, is not a problem file, has a
  // negative count or is too short gives false; a file that exists but cannot
  // be opened raises platform::EInOutError and leaves the object unchanged.
  bool LoadFromFile(const std::string& path);
  // The same checks and unscrambling for a problem file's bytes in memory;
  // name becomes FileName on success. Never raises for any input.
  bool LoadFromBytes(std::span<const std::uint8_t> bytes, const std::string& name);
  // The same for bytes read from source, which is asked for no more than
  // UsedSize of the header it delivers first, and the trailing bytes asked
  // for by KeepTrailingBytes. Never raises: a source that raises gives false.
  bool LoadFromSource(ProblemSource& source, const std::string& name);

  // The bytes of a problem file that a load reads, for the header it starts
  // with: the header and the records its listed counts announce. At most
  // mnr_layout::kMaxUsedSize; what follows is read only as far as
  // KeepTrailingBytes asks.
  static std::size_t UsedSize(const HeaderBytes& header);

  // Writes <base>0.txt ... <base>7.txt into outputDir (ending with '\'), or
  // beside the problem file when outputDir is empty, the bytes as held in
  // memory, through the window program's 128-byte text files. True when all
  // eight were written and closed; false when any genre failed while being
  // written. Raises platform::EInOutError when the problem file's folder is
  // gone, a genre file cannot be created, or a failed file cannot be released.
  bool ExportGenreFiles(const std::string& outputDir);

  // Bytes after the last record are ignored by default; a load after this
  // call keeps up to limit of them, read on from the same source.
  void KeepTrailingBytes(std::size_t limit) { trailingLimit_ = limit; }
  // The kept bytes after the last record, and whether they are all there were.
  const std::string& TrailingBytes() const { return trailing_; }
  bool TrailingComplete() const { return trailingComplete_; }

  const HeaderBytes& Header() const { return header_; }
  const T_mnrQuiz& Quiz(int genre) const { return quiz_[genre]; }
  bool Loaded() const { return loaded_; }
  const std::string& FileName() const { return fileName_; }

  // The genre's name field up to its first zero byte, untrimmed.
  std::string GenreName(int genre) const;
  // The signed count field as stored.
  int ProblemCount(int genre) const { return CountIn(header_, genre); }
  // How many problems the genre has for every reader and writer: a count
  // <= 0 means none.
  int ListedCount(int genre) const { return ListedCountIn(header_, genre); }

 private:
  static int CountIn(const HeaderBytes& header, int genre);
  static int ListedCountIn(const HeaderBytes& header, int genre) { return std::max(CountIn(header, genre), 0); }
  // Reads, checks and unscrambles; false for bytes that are not a complete
  // problem file. A negative count raises platform::ERangeError.
  bool ReadProblemFile(ProblemSource& source);
  // Records the outcome of a load: Loaded, and FileName on success.
  bool Finish(bool ok, const std::string& name);
  void ReadTrailingBytes(ProblemSource& source);

  HeaderBytes header_{};
  std::array<T_mnrQuiz, mnr_layout::kGenreCount> quiz_;
  bool loaded_ = false;
  std::string fileName_;
  std::size_t trailingLimit_ = 0;
  std::string trailing_;
  bool trailingComplete_ = true;
};
