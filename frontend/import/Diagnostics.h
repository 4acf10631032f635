#pragma once
// What reading a text form of a problem set found: errors (nothing is
// written) and warnings (written all the same), each pointing at a place.

#include <cstddef>
#include <string>
#include <vector>

namespace importing {

// The six text fields of a problem, and the other places a message names.
enum class Field { kNone, kQuestion, kChoice1, kChoice2, kChoice3, kChoice4, kChoice5, kName, kBlock, kRaw };
Field ProblemField(int field);  // 0: the question, 1-5: the choices

struct Location {
  int line = 0;     // 1-based; 0 when the input has no lines to name
  int column = 0;   // CSV: the cell's number, 1-based
  int genre = -1;   // 0-7; -1 for the file as a whole
  int problem = 0;  // 1-based within the genre; 0 for none
  Field field = Field::kNone;
};

struct Diagnostic {
  bool error = true;
  Location where;
  std::string text;  // UTF-8
};

class Diagnostics {
 public:
  static constexpr std::size_t kMaxErrors = 20;

  void Error(const Location& where, std::string text);
  void Warning(const Location& where, std::string text);
  bool HasErrors() const { return errors_ > 0; }
  // Once this many errors are in, readers may stop.
  bool Full() const { return errors_ >= kMaxErrors; }
  const std::vector<Diagnostic>& Items() const { return items_; }

 private:
  std::vector<Diagnostic> items_;
  std::size_t errors_ = 0;
};

// "FILE:LINE:COLUMN: genre G, problem N, FIELD: [warning: ]TEXT" with the
// parts that are known; file is shown as given.
std::string Describe(const std::string& file, const Diagnostic& diagnostic);

}  // namespace importing
