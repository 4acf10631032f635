#pragma once
// Builds problem files for tests and benchmarks from plain Shift-JIS texts,
// with the scrambling and padding of the file format, and lets a test spoil
// any part of the result. Nothing in the product uses it, and it uses nothing
// of the product: what it expects a reader to hold, and the genre text files
// it expects an export to write, are computed here on their own.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace test_support {

using Bytes = std::vector<std::uint8_t>;

inline constexpr std::size_t kBlockSize = 256;
inline constexpr std::size_t kHeaderSize = 8 * kBlockSize;
inline constexpr std::size_t kRecordSize = 256;
inline constexpr std::size_t kQuestionSize = 116;
inline constexpr std::size_t kChoiceSize = 28;
inline constexpr std::size_t kChoicesOffset = 116;
inline constexpr std::size_t kChoicesSize = 140;

struct Problem {
  std::string question;                 // plain Shift-JIS, at most 116 bytes
  std::array<std::string, 5> choices;   // plain Shift-JIS, at most 28 bytes each
  // When not empty: the 256 bytes stored in the file for this record, used
  // as they are instead of scrambling the texts above.
  Bytes stored = {};
};

struct Genre {
  std::string name;  // stored plain; at most 16 bytes
  std::vector<Problem> problems;
};

class MnrWriter {
 public:
  MnrWriter();  // eight empty genres, valid signature

  Genre& genre(int g) { return genres_[g]; }
  const Genre& genre(int g) const { return genres_[g]; }
  // Overrides the count field of a genre (default: its number of problems).
  // Records written are always those of genre(g).problems.
  void setCount(int g, std::int16_t count);
  // Replaces the eight bytes at block 0 offset 34 (default "MUNEBANK").
  void setSignature(const std::string& eightBytes);
  // Sets any header byte (block g, offset within the block) after the rest.
  void setHeaderByte(int g, std::size_t offset, std::uint8_t value);

  // The problem file bytes: header, then every genre's records in a row.
  Bytes bytes() const;
  void writeTo(const std::string& hostPath) const;
  static void writeFile(const std::string& hostPath, const Bytes& bytes);

  // The 256 bytes stored for one problem.
  static Bytes storedRecord(const Problem& p);
  // Scrambles one plain text into a field of the given size: every text byte
  // flipped, the rest padded with spaces.
  static void scrambleField(const std::string& plain, std::uint8_t* field, std::size_t size);

  // How a reader turns stored bytes back into text. kCharacterBoundary is
  // what the loader does: a stored space ends a field only at a Shift-JIS
  // character boundary, and a flipped lead byte takes its trail byte along.
  // kParity is the older rule: a stored space ends a field at an even offset.
  enum class Rule { kCharacterBoundary, kParity };
  static Bytes unscramble(const Bytes& storedRecord, Rule rule = Rule::kCharacterBoundary);

  // What the loader must hold for one problem, and for every record of a
  // genre (the first count(g) of genre(g).problems).
  static Bytes expectedRecord(const Problem& p);
  std::vector<Bytes> expectedRecords(int g) const;
  // The genre name as the header holds it, up to its first zero byte.
  std::string expectedGenreName(int g) const;
  // The count field as stored.
  int count(int g) const;

  // The genre text file for an unscrambled genre: name line, then per record
  // an empty line, the question and five choices; CR LF after every line.
  static std::string genreFileText(const std::string& name, const std::vector<Bytes>& records);
  std::string expectedGenreFile(int g) const;
  // The lines the problems window shows for genre g, without line ends: the
  // genre file's lines with each question numbered "1. ", "2. " ..., its
  // choices "   1) " ... "   5) ", and an empty question or choice shown as
  // "（空欄）".
  std::vector<std::string> expectedProblemsLines(int g) const;

 private:
  std::array<Genre, 8> genres_;
  std::array<int, 8> countOverride_{};
  std::array<bool, 8> hasOverride_{};
  std::string signature_ = "MUNEBANK";
  struct HeaderPatch {
    int genre;
    std::size_t offset;
    std::uint8_t value;
  };
  std::vector<HeaderPatch> patches_;
};

}  // namespace test_support
