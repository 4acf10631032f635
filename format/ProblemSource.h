#pragma once
// Where every output takes a problem set from: its header, then each genre's
// problems in file order, whether they stream from a file as it is read
// (ProblemReader) or are walked in a set already loaded (T_mnrFormat).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "format/mnrLayout.h"

// Bytes of a problem file as they arrive: a file, standard input, the page's
// file, bytes in memory.
class ByteSource {
 public:
  // Reads up to count bytes; fewer only at the end. May raise.
  virtual std::size_t Read(void* buffer, std::size_t count) = 0;
  // Passes over up to count bytes (by default by reading them); returns
  // how many there were.
  virtual std::uint64_t Skip(std::uint64_t count);
  // How many bytes are left, where the source knows (a file; not a pipe).
  virtual std::optional<std::uint64_t> Remaining() const { return std::nullopt; }

 protected:
  ~ByteSource() = default;
};

// One problem: its record unscrambled, and where each text ended.
struct Problem {
  const ProblemRecord* record = nullptr;
  const TextLengths* lengths = nullptr;
};

class ProblemSource {
 public:
  virtual const HeaderBytes& Header() const = 0;
  // The next problem of genre g. Genres are taken in order: the problems of
  // earlier genres not taken are passed over, and a genre taken once has no
  // more. False after the genre's last problem (a count <= 0 has none). The
  // problem stays valid until the next call.
  virtual bool Next(int genre, Problem& problem) = 0;
  // The bytes after the last record, as far as the source keeps them, and
  // whether that was all of them; asked after the last genre.
  virtual const std::string& Trailing() = 0;
  virtual bool TrailingComplete() const = 0;

 protected:
  ~ProblemSource() = default;
};
