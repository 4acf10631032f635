#include "frontend/import/JsonInput.h"

#include <nlohmann/json.hpp>

#include <cstring>
#include <string>
#include <vector>

#include "format/Base64.h"
#include "frontend/import/ImportTexts.h"
#include "frontend/import/ProblemSetBuilder.h"

namespace importing {

namespace {

using namespace mnr_layout;
using import_text::Fill;
using json = nlohmann::json;

// Follows the document's shape: root object, "genres" array, genre
// objects, "problems" arrays, problem objects, "choices" arrays. Anything
// else stops the parse with a message naming where it was.
class JsonReader final : public nlohmann::json_sax<json> {
 public:
  JsonReader(ProblemSetBuilder& builder, Diagnostics& diagnostics) : builder_(builder), diagnostics_(diagnostics) {}

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
      if (value < 1 || value > 2) return Shape(Fill(import_text::kJsonFormat, {std::to_string(value)}));
      return true;
    }
    if (Top() == kGenre && key_ == "number") {
      if (value != static_cast<number_unsigned_t>(genre_)) return Shape(Fill(import_text::kJsonGenreNumber, {std::to_string(genre_)}));
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
        if (choices_ == kChoiceCount) return Shape(import_text::kJsonChoiceCount);
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
    for (const std::string& known : kKeys[Top()])
      if (key_ == known) return true;
    return Shape(Fill(import_text::kJsonUnknownKey, {key_}));
  }

  bool start_object(std::size_t) override {
    if (stack_.empty()) return Push(kRoot);
    if (Top() == kGenres) {
      if (genre_ + 1 >= kGenreCount) return Shape(import_text::kJsonGenreCount);
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
    stack_.pop_back();
    key_.clear();
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
    stack_.pop_back();
    key_.clear();
    if (ended == kGenres && genre_ != kGenreCount - 1) return Shape(import_text::kJsonGenreCount);
    if (ended == kChoices && choices_ != kChoiceCount) return Shape(import_text::kJsonChoiceCount);
    return true;
  }

  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& e) override {
    // "[json.exception.parse_error.101] parse error at line 3, column 5: ..."
    std::string what = e.what();
    const std::size_t start = what.find("] ");
    if (start != std::string::npos) what.erase(0, start + 2);
    diagnostics_.Error({}, Fill(import_text::kJsonSyntax, {what}));
    return false;
  }

 private:
  enum Context { kRoot, kGenres, kGenre, kProblems, kProblem, kChoices };

  Context Top() const { return stack_.empty() ? kRoot : stack_.back(); }
  bool Push(Context context) {
    stack_.push_back(context);
    key_.clear();
    return true;
  }

  Location Here(Field field = Field::kNone) const {
    Location where;
    if (Top() != kRoot && Top() != kGenres) where.genre = genre_;
    if (Top() == kProblem || Top() == kChoices) where.problem = problem_;
    where.field = field;
    return where;
  }

  bool Shape(const std::string& detail, Field field = Field::kNone) {
    diagnostics_.Error(Here(field), Fill(import_text::kJsonShape, {detail}));
    return false;
  }

  // A value of the wrong kind, or where none belongs.
  bool Unexpected() {
    if (stack_.empty()) return Shape(Fill(import_text::kJsonExpected, {"the document", "an object"}));
    if (Top() == kGenres || Top() == kProblems)
      return Shape(Fill(import_text::kJsonExpected, {"each element", "an object"}));
    if (Top() == kChoices) return Shape(Fill(import_text::kJsonExpected, {"each choice", "a text"}));
    const std::string kind = key_ == "genres" ? "an array of 8 genre objects"
                             : key_ == "problems" ? "an array of problem objects"
                             : key_ == "choices" ? "an array of 5 texts"
                             : key_ == "trailingComplete" ? "true or false"
                             : key_ == "format" || key_ == "number" || key_ == "count" ? "a whole number"
                             : "a text";
    return Shape(Fill(import_text::kJsonExpected, {"\"" + key_ + "\"", kind}));
  }

  // Base64 of exactly size bytes (any size for 0).
  bool Bytes(const std::string& text, std::size_t size, std::string& bytes, Field field) {
    if (DecodeBase64(text, bytes) && (size == 0 || bytes.size() == size)) return true;
    const std::string detail = "\"" + key_ + "\" " + Fill(import_text::kJsonBytes, {size == 0 ? "any number of" : std::to_string(size)});
    return Shape(detail, field);
  }

  bool EndProblem() {
    if (!hasQuestion_ || !hasChoices_) {
      stack_.push_back(kProblem);  // for the message's place
      return Shape(Fill(import_text::kJsonMissing, {hasQuestion_ ? "choices" : "question"}));
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
      return Shape(Fill(import_text::kJsonMissing, {hasName_ ? "problems" : "name"}));
    }
    if (!block_.empty()) builder_.SetBlock(genre_, block_);
    builder_.SetName(genre_, name_, {0, 0, genre_, 0, Field::kName});
    return !diagnostics_.Full();
  }

  bool EndRoot() {
    if (!hasGenres_) return Shape(Fill(import_text::kJsonMissing, {"genres"}));
    if (!trailingComplete_)
      diagnostics_.Warning({}, Fill(import_text::kTrailingNotAllKept, {std::to_string(trailing_.size())}));
    builder_.SetTrailing(std::move(trailing_));
    complete_ = true;
    return true;
  }

  ProblemSetBuilder& builder_;
  Diagnostics& diagnostics_;
  std::vector<Context> stack_;
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
                                         const std::optional<T_mnrFormat::HeaderBytes>& templateHeader,
                                         Diagnostics& diagnostics) {
  ProblemSetBuilder builder(templateHeader, diagnostics);
  JsonReader reader(builder, diagnostics);
  json::sax_parse(text.begin(), text.end(), &reader);
  if (!reader.Complete()) {
    if (!diagnostics.HasErrors()) diagnostics.Error({}, Fill(import_text::kJsonShape, {"incomplete"}));
    return std::nullopt;
  }
  return builder.Finish();
}

}  // namespace importing
