#include "frontend/import/JsonInput.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "format/Base64.h"
#include "frontend/import/ImportTexts.h"
#include "frontend/import/ProblemSetBuilder.h"
#include "platform/CodePage.h"

namespace importing {

namespace {

using namespace mnr_layout;
using import_text::Say;
using texts::Fill;
using json = nlohmann::json;

// Where the reading of text stopped, position bytes in (as the JSON library
// counts them: the byte it stopped at is the position-th): its line and
// column, in characters, and the character itself. Past the end, the text
// ended before the JSON did.
std::string SyntaxError(std::string_view text, std::size_t position) {
  const std::size_t at = std::clamp<std::size_t>(position, 1, text.size() + 1) - 1;
  const bool ended = at >= text.size();
  // At the end, the line of the last character (a final line break ends
  // that line rather than starting one).
  const std::size_t upTo = ended ? text.size() - std::min<std::size_t>(text.size(), 1) : at;
  std::size_t lineStart = 0;
  int line = 1;
  for (std::size_t i = 0; i < upTo; ++i) {
    if (text[i] == '\n') ++line, lineStart = i + 1;
  }
  if (ended) return Fill(Say(import_text::kJsonEndsEarly), {std::to_string(line)});
  int column = 1;
  for (std::size_t i = lineStart; i < at; ++i) column += (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
  // A printable character as it is, quoted; a control character, a space or
  // a byte that starts no UTF-8 character by its code.
  std::uint32_t code = 0;
  std::size_t n = 0;
  char shown[16] = "";
  if (!codepage::DecodeUtf8(text, at, code, n))
    std::snprintf(shown, sizeof shown, "0x%02X", static_cast<unsigned>(static_cast<unsigned char>(text[at])));
  else if (code <= 0x20 || (code >= 0x7F && code < 0xA0))
    std::snprintf(shown, sizeof shown, "U+%04X", static_cast<unsigned>(code));
  // Appended piece by piece: "literal" + std::string trips a false overlap
  // warning of GCC 12's string code.
  std::string character = shown;
  if (character.empty()) character.append("'").append(text.substr(at, n)).append("'");
  return Fill(Say(import_text::kJsonSyntax), {std::to_string(line), std::to_string(column), character});
}

// Follows the document's shape: root object, "genres" array, genre
// objects, "problems" arrays, problem objects, "choices" arrays. Anything
// else stops the parse with a message naming where it was.
class JsonReader final : public nlohmann::json_sax<json> {
 public:
  JsonReader(std::string_view text, ProblemSetBuilder& builder, Diagnostics& diagnostics)
      : text_(text), builder_(builder), diagnostics_(diagnostics) {}

  bool Complete() const { return complete_; }

  bool null() override { return Unexpected(); }
  bool boolean(bool value) override {
    if (Top() == kRoot && key_ == "trailingComplete") {
      trailingComplete_ = value;
      return true;
    }
    return Unexpected();
  }
  bool number_integer(number_integer_t) override { return Unexpected(); }
  bool number_unsigned(number_unsigned_t value) override {
    if (Top() == kRoot && key_ == "format") {
      if (value < 1 || value > 2) return Shape(Fill(Say(import_text::kJsonFormat), {std::to_string(value)}));
      return true;
    }
    if (Top() == kGenre && key_ == "number") {
      if (value != static_cast<number_unsigned_t>(genre_)) return Shape(Fill(Say(import_text::kJsonGenreNumber), {std::to_string(genre_)}));
      return true;
    }
    if (Top() == kGenre && key_ == "count") return true;  // the problems tell
    return Unexpected();
  }
  bool number_float(number_float_t, const string_t&) override { return Unexpected(); }
  bool binary(binary_t&) override { return Unexpected(); }

  bool string(string_t& value) override {
    switch (Top()) {
      case kRoot:
        if (key_ == "file") return true;  // for the reader of the JSON only
        if (key_ == "trailing") return Bytes(value, 0, trailing_, Field::kNone);
        break;
      case kGenre:
        if (key_ == "name") {
          name_ = std::move(value);
          hasName_ = true;
          return true;
        }
        if (key_ == "block") return Bytes(value, kGenreBlockSize, block_, Field::kBlock);
        break;
      case kProblem:
        if (key_ == "question") {
          texts_[0] = std::move(value);
          hasQuestion_ = true;
          return true;
        }
        if (key_ == "raw") return Bytes(value, kRecordSize, raw_, Field::kRaw);
        break;
      case kChoices:
        if (choices_ == kChoiceCount) return Shape(Say(import_text::kJsonChoiceCount));
        texts_[1 + choices_++] = std::move(value);
        return true;
      default: break;
    }
    return Unexpected();
  }

  bool key(string_t& value) override {
    key_ = std::move(value);
    static const std::vector<std::string> kKeys[] = {
        {"file", "format", "genres", "trailing", "trailingComplete"}, {},
        {"number", "name", "count", "block", "problems"}, {}, {"question", "choices", "raw"}, {}};
    const std::vector<std::string>& known = kKeys[Top()];
    const auto at = std::find(known.begin(), known.end(), key_);
    if (at == known.end()) return Shape(Fill(Say(import_text::kJsonUnknownKey), {key_}));
    // A key twice would have one value hide or join the other, which no
    // viewer of the JSON shows.
    const unsigned bit = 1u << (at - known.begin());
    if (seen_.back() & bit) return Shape(Fill(Say(import_text::kJsonDuplicateKey), {key_}));
    seen_.back() |= bit;
    return true;
  }

  bool start_object(std::size_t) override {
    if (stack_.empty()) return Push(kRoot);
    if (Top() == kGenres) {
      if (genre_ + 1 >= kGenreCount) return Shape(Say(import_text::kJsonGenreCount));
      ++genre_;
      problem_ = 0;
      name_.clear(), block_.clear();
      hasName_ = hasProblems_ = false;
      return Push(kGenre);
    }
    if (Top() == kProblems) {
      ++problem_;
      raw_.clear();
      choices_ = 0;
      hasQuestion_ = hasChoices_ = false;
      return Push(kProblem);
    }
    return Unexpected();
  }

  bool end_object() override {
    const Context ended = Top();
    Pop();
    if (ended == kRoot) return EndRoot();
    if (ended == kGenre) return EndGenre();
    if (ended == kProblem) return EndProblem();
    return true;
  }

  bool start_array(std::size_t) override {
    if (Top() == kRoot && key_ == "genres") {
      hasGenres_ = true;
      return Push(kGenres);
    }
    if (Top() == kGenre && key_ == "problems") {
      hasProblems_ = true;
      return Push(kProblems);
    }
    if (Top() == kProblem && key_ == "choices") {
      hasChoices_ = true;
      return Push(kChoices);
    }
    return Unexpected();
  }

  bool end_array() override {
    const Context ended = Top();
    Pop();
    if (ended == kGenres && genre_ != kGenreCount - 1) return Shape(Say(import_text::kJsonGenreCount));
    if (ended == kChoices && choices_ != kChoiceCount) return Shape(Say(import_text::kJsonChoiceCount));
    return true;
  }

  // The library's own explanation is English only: the message names the
  // place and the character the reading stopped at instead.
  bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception&) override {
    diagnostics_.Error({}, SyntaxError(text_, position));
    return false;
  }

 private:
  enum Context { kRoot, kGenres, kGenre, kProblems, kProblem, kChoices };

  Context Top() const { return stack_.empty() ? kRoot : stack_.back(); }
  bool Push(Context context) {
    stack_.push_back(context);
    seen_.push_back(0);
    key_.clear();
    return true;
  }
  void Pop() {
    stack_.pop_back();
    seen_.pop_back();
    key_.clear();
  }

  Location Here(Field field = Field::kNone) const {
    Location where;
    if (Top() != kRoot && Top() != kGenres) where.genre = genre_;
    if (Top() == kProblem || Top() == kChoices) where.problem = problem_;
    where.field = field;
    return where;
  }

  bool Shape(const std::string& detail, Field field = Field::kNone) {
    diagnostics_.Error(Here(field), Fill(Say(import_text::kJsonShape), {detail}));
    return false;
  }

  // A value of the wrong kind, or where none belongs.
  bool Unexpected() {
    using namespace import_text;
    if (stack_.empty()) return Shape(Say(kJsonDocumentExpected));
    if (Top() == kGenres || Top() == kProblems) return Shape(Say(kJsonElementExpected));
    if (Top() == kChoices) return Shape(Say(kJsonChoiceExpected));
    const Id kind = key_ == "genres" ? kJsonGenreArray
                    : key_ == "problems" ? kJsonProblemArray
                    : key_ == "choices" ? kJsonChoiceArray
                    : key_ == "trailingComplete" ? kJsonTrueOrFalse
                    : key_ == "format" || key_ == "number" || key_ == "count" ? kJsonAWholeNumber
                    : kJsonAText;
    return Shape(Fill(Say(kJsonExpected), {key_, Say(kind)}));
  }

  // Base64 of exactly size bytes (any size for 0).
  bool Bytes(const std::string& text, std::size_t size, std::string& bytes, Field field) {
    if (DecodeBase64(text, bytes) && (size == 0 || bytes.size() == size)) return true;
    if (size == 0) return Shape(Fill(Say(import_text::kJsonAnyBytes), {key_}), field);
    return Shape(Fill(Say(import_text::kJsonBytes), {key_, std::to_string(size)}), field);
  }

  bool EndProblem() {
    if (!hasQuestion_ || !hasChoices_) {
      stack_.push_back(kProblem);  // for the message's place
      return Shape(Fill(Say(import_text::kJsonMissing), {hasQuestion_ ? "choices" : "question"}));
    }
    std::array<std::string_view, kFieldCount> texts;
    std::array<Location, kFieldCount> where;
    for (int f = 0; f < kFieldCount; ++f) {
      texts[f] = texts_[f];
      where[f] = {0, 0, genre_, problem_, ProblemField(f)};
    }
    ProblemRecord raw;
    if (!raw_.empty()) std::memcpy(raw.Bytes, raw_.data(), kRecordSize);
    builder_.AddProblem(genre_, texts, where, raw_.empty() ? nullptr : &raw);
    return !diagnostics_.Full();
  }

  bool EndGenre() {
    if (!hasName_ || !hasProblems_) {
      stack_.push_back(kGenre);
      return Shape(Fill(Say(import_text::kJsonMissing), {hasName_ ? "problems" : "name"}));
    }
    if (!block_.empty()) builder_.SetBlock(genre_, block_);
    builder_.SetName(genre_, name_, {0, 0, genre_, 0, Field::kName});
    return !diagnostics_.Full();
  }

  bool EndRoot() {
    if (!hasGenres_) return Shape(Fill(Say(import_text::kJsonMissing), {"genres"}));
    if (!trailingComplete_)
      diagnostics_.Warning({}, Fill(Say(import_text::kTrailingNotAllKept), {std::to_string(trailing_.size())}));
    builder_.SetTrailing(std::move(trailing_));
    complete_ = true;
    return true;
  }

  std::string_view text_;
  ProblemSetBuilder& builder_;
  Diagnostics& diagnostics_;
  std::vector<Context> stack_;
  std::vector<unsigned> seen_;  // per object on the stack, the known keys it had
  std::string key_;
  int genre_ = -1, problem_ = 0, choices_ = 0;
  std::string name_, block_, raw_, trailing_;
  std::array<std::string, kFieldCount> texts_;
  bool hasName_ = false, hasProblems_ = false, hasQuestion_ = false, hasChoices_ = false, hasGenres_ = false;
  bool trailingComplete_ = true;
  bool complete_ = false;
};

}  // namespace

std::optional<ProblemFileImage> ReadJson(std::string_view text,
                                         const std::optional<HeaderBytes>& templateHeader,
                                         Diagnostics& diagnostics) {
  ProblemSetBuilder builder(templateHeader, diagnostics, LineBreaks::kWarned);
  JsonReader reader(text, builder, diagnostics);
  json::sax_parse(text.begin(), text.end(), &reader);
  if (!reader.Complete()) {
    if (!diagnostics.HasErrors()) diagnostics.Error({}, Fill(Say(import_text::kJsonShape), {Say(import_text::kJsonIncomplete)}));
    return std::nullopt;
  }
  return builder.Finish();
}

}  // namespace importing
