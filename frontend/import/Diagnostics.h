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
  static constexpr std::size_t kMaxWarnings = 4 * kMaxErrors;

  // olderReadersDetails: tell each text older readers cut (CutByOlderReaders)
  // as a warning of its own, not only in their count.
  explicit Diagnostics(bool olderReadersDetails = false) : olderReadersDetails_(olderReadersDetails) {}

  // The first kMaxErrors errors are kept, and with the last of them a note
  // that reading stops there; those after are counted.
  void Error(const Location& where, std::string text);
  // The first kMaxWarnings are kept; those after are counted.
  void Warning(const Location& where, std::string text);
  // A text that readers ending a text at any stored space at an even offset
  // cut after cut bytes: counted (OlderReadersCuts), told alone only when
  // the details were asked for.
  void CutByOlderReaders(const Location& where, std::size_t cut);

  // The input reads two ways and the user must say which (the readers'
  // message says where; each front end says how).
  void AskForEncoding() { encodingAsked_ = true; }
  bool EncodingAsked() const { return encodingAsked_; }

  bool HasErrors() const { return errors_ > 0; }
  // Once this many errors are in, readers stop.
  bool Full() const { return errors_ >= kMaxErrors; }
  std::size_t OlderReadersCuts() const { return olderReadersCuts_; }
  // Everything to tell, in order: the kept errors and warnings, then how
  // many more there were ("and 312 more warnings").
  std::vector<Diagnostic> Items() const;

 private:
  bool olderReadersDetails_;
  bool encodingAsked_ = false;
  std::vector<Diagnostic> items_;
  std::size_t errors_ = 0, warnings_ = 0, olderReadersCuts_ = 0;
};

// "FILE:LINE:COLUMN: genre G, problem N, FIELD: [warning: ]TEXT" with the
// parts that are known; file is shown as given.
std::string Describe(const std::string& file, const Diagnostic& diagnostic);

// The one line that counts the texts older readers cut, "warning: N texts
// ..." (UTF-8, in the language in use); empty for none.
std::string OlderReadersSummary(std::size_t cuts);

}  // namespace importing
