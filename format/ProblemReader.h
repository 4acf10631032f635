#pragma once
// Reading a problem file as it arrives: the header first, then each record
// unscrambled as it is taken, a piece of the file at a time, so that memory
// holds one piece whatever the file's size. Every front end reads problem
// files through here: mnr2txt and the page stream their outputs from it, the
// window program loads the whole set through it (T_mnrFormat).

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "format/ProblemSource.h"

class ProblemReader final : public ProblemSource {
 public:
  // keepTrailing: how many of the bytes after the last record Trailing keeps.
  explicit ProblemReader(ByteSource& bytes, std::size_t keepTrailing = 0);

  // Reads the header. False when the bytes are no problem file: shorter than
  // a header, another signature, a negative count, or, where the source
  // knows how many bytes it has, fewer than the counts announce.
  bool ReadHeader();

  const HeaderBytes& Header() const override { return header_; }
  bool Next(int genre, Problem& problem) override;
  const std::string& Trailing() override;
  bool TrailingComplete() const override { return trailingComplete_; }

  // Passes over the next count problems of genre (and what is left of the
  // genres before it) without unscrambling them.
  void PassOver(int genre, std::size_t count);
  // Passes over the records not taken yet; false when the bytes ended before
  // the last record the header announces, which is then no problem file.
  bool ReadToEnd();
  // False once the bytes were found to end before the last record.
  bool Complete() const { return !ended_; }

 private:
  // Reads the next piece of records; false when none arrived.
  bool Fill();
  // Passes over count records, those at hand first.
  void Pass(std::size_t count);

  static constexpr std::size_t kPieceRecords = 128;  // 32 KiB

  ByteSource& bytes_;
  std::size_t keepTrailing_;
  HeaderBytes header_{};
  std::array<std::size_t, mnr_layout::kGenreCount> left_{};  // per genre, records not taken
  int genre_ = 0;           // the genre being taken
  std::size_t unread_ = 0;  // records not read from the source yet
  std::vector<ProblemRecord> piece_;
  std::size_t at_ = 0, filled_ = 0;
  TextLengths lengths_{};
  bool ended_ = false;
  bool trailingRead_ = false;
  std::string trailing_;
  bool trailingComplete_ = true;
};
