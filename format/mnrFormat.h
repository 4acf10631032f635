#pragma once
// The in-memory problem set of the window program: reads a problem file
// through ProblemReader, checks it, holds every problem unscrambled, and
// serves genre names, counts and problems. Outputs walk it as a
// ProblemSource (LoadedProblems).

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "format/ProblemSource.h"
#include "format/mnrLayout.h"

// The problem records of one genre, one contiguous array.
class T_mnrQuiz {
 public:
  // Resizes to n records: records that remain keep their bytes, new ones are
  // zero-filled. A negative n raises platform::ERangeError.
  void SetCount(std::int32_t n);

  std::vector<ProblemRecord> Records;
  // Per record, where unscrambling found its texts to end (set by a load).
  std::vector<TextLengths> Lengths;
};

class T_mnrFormat {
 public:
  using HeaderBytes = ::HeaderBytes;

  // True on success. A file that does not exist, is not a problem file, has a
  // negative count or is too short gives false; a file that exists but cannot
  // be opened raises platform::EInOutError and leaves the object unchanged.
  bool LoadFromFile(const std::string& path);
  // The same checks and unscrambling for a problem file's bytes in memory;
  // name becomes FileName on success. Never raises for any input.
  bool LoadFromBytes(std::span<const std::uint8_t> bytes, const std::string& name);
  // The same for bytes read from source, which is asked for no more than
  // the header and the records it announces, and the trailing bytes asked
  // for by KeepTrailingBytes. Never raises: a source that raises gives false.
  bool LoadFromSource(ByteSource& source, const std::string& name);

  // The bytes of a problem file that a load reads, for the header it starts
  // with (mnr_header::UsedSize).
  static std::size_t UsedSize(const HeaderBytes& header) { return mnr_header::UsedSize(header); }

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
  std::string GenreName(int genre) const { return std::string(mnr_header::GenreName(header_, genre)); }
  // The signed count field as stored.
  int ProblemCount(int genre) const { return mnr_header::ProblemCount(header_, genre); }
  // How many problems the genre has for every reader and writer: a count
  // <= 0 means none.
  int ListedCount(int genre) const { return mnr_header::ListedCount(header_, genre); }

 private:
  // Reads, checks and unscrambles; false for bytes that are not a complete
  // problem file. A negative count raises platform::ERangeError.
  bool ReadProblemFile(ByteSource& source);
  // Records the outcome of a load: Loaded, and FileName on success.
  bool Finish(bool ok, const std::string& name);

  HeaderBytes header_{};
  std::array<T_mnrQuiz, mnr_layout::kGenreCount> quiz_;
  bool loaded_ = false;
  std::string fileName_;
  std::size_t trailingLimit_ = 0;
  std::string trailing_;
  bool trailingComplete_ = true;
};

// A loaded set walked as every output takes its problems.
class LoadedProblems final : public ProblemSource {
 public:
  explicit LoadedProblems(const T_mnrFormat& problems) : problems_(problems) {}
  const HeaderBytes& Header() const override { return problems_.Header(); }
  bool Next(int genre, Problem& problem) override;
  const std::string& Trailing() override { return problems_.TrailingBytes(); }
  bool TrailingComplete() const override { return problems_.TrailingComplete(); }

 private:
  const T_mnrFormat& problems_;
  int genre_ = 0;
  std::size_t next_ = 0;
};
