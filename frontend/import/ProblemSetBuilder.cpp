#include "frontend/import/ProblemSetBuilder.h"

#include <cstdio>
#include <cstring>

#include "format/Unscramble.h"
#include "frontend/import/ImportTexts.h"
#include "platform/CodePage.h"

namespace importing {

using namespace mnr_layout;
using import_text::Say;
using texts::Fill;

namespace {

// "U+3042 (あ)", or the code alone for a control character; the character
// at must be valid UTF-8.
std::string CharacterName(std::string_view utf8, std::size_t at, std::uint32_t code, std::size_t n) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "U+%04X", static_cast<unsigned>(code));
  if (code < 0x20 || (code >= 0x7F && code < 0xA0)) return hex;
  return std::string(hex) + " (" + std::string(utf8.substr(at, n)) + ")";
}

// Where a reader that ends a text at every stored space at an even offset
// stops early: at a plain 0xA0 (stored as a space) at an even offset, which
// in valid CP932 is the trail byte of a character that starts at an odd one.
std::size_t OlderReadersCut(std::string_view cp932) {
  for (std::size_t i = 0; i < cp932.size(); i += 2)
    if (static_cast<unsigned char>(cp932[i]) == 0xA0) return i;
  return std::string_view::npos;
}

std::string Utf8Of(std::string_view cp932) {
  std::string utf8;
  std::size_t ignored = 0;
  codepage::AppendCp932AsUtf8(cp932, utf8, ignored);
  return utf8;
}

}  // namespace

ProblemSetBuilder::ProblemSetBuilder(const std::optional<HeaderBytes>& templateHeader,
                                     Diagnostics& diagnostics, LineBreaks lineBreaks)
    : diagnostics_(diagnostics), lineBreaks_(lineBreaks) {
  if (templateHeader) image_.Header = *templateHeader;
}

void ProblemSetBuilder::SetBlock(int genre, std::string_view block) {
  std::memcpy(&image_.Header[genre * kGenreBlockSize], block.data(), kGenreBlockSize);
}

bool ProblemSetBuilder::Encode(std::string_view utf8, std::size_t size, const Location& where, std::string& cp932) {
  cp932.clear();
  std::size_t failedAt = 0;
  if (!codepage::AppendUtf8AsCp932(utf8, cp932, failedAt)) {
    std::uint32_t code = 0;
    std::size_t n = 0;
    if (codepage::DecodeUtf8(utf8, failedAt, code, n))
      diagnostics_.Error(where, Fill(Say(import_text::kNoCp932Form), {CharacterName(utf8, failedAt, code, n)}));
    else
      diagnostics_.Error(where, Say(import_text::kNotUtf8));
    return false;
  }
  if (cp932.find('\0') != std::string::npos) {
    diagnostics_.Error(where, Say(import_text::kZeroCharacter));
    return false;
  }
  if (cp932.size() > size) {
    diagnostics_.Error(where, Fill(Say(import_text::kTooLong), {std::to_string(cp932.size()), std::to_string(size)}));
    return false;
  }
  return true;
}

bool ProblemSetBuilder::LineBreakAllowed(std::string_view utf8, const Location& where) {
  if (utf8.find('\n') == std::string_view::npos) return true;
  if (lineBreaks_ == LineBreaks::kWarned) {
    diagnostics_.Warning(where, Say(import_text::kLineBreak));
    return true;
  }
  diagnostics_.Error(where, Say(import_text::kLineBreak));
  return false;
}

void ProblemSetBuilder::SetName(int genre, std::string_view utf8, const Location& where) {
  if (!LineBreakAllowed(utf8, where)) return;
  const std::string_view held = mnr_header::GenreName(image_.Header, genre);
  if (Utf8Of(held) == utf8) return;  // the block's own bytes, whatever follows them
  std::string cp932;
  if (Encode(utf8, kGenreNameSize, where, cp932)) mnr_header::SetGenreName(image_.Header, genre, cp932);
}

void ProblemSetBuilder::AddProblem(int genre, const std::array<std::string_view, kFieldCount>& utf8,
                                   const std::array<Location, kFieldCount>& where, const ProblemRecord* raw) {
  if (++counts_[genre] > kMaxProblemCount) return;  // counted, reported at the end
  ProblemRecord stored{};
  std::array<std::string, kFieldCount> carried;  // the texts the carried record gives
  if (raw != nullptr) {
    stored = *raw;
    ProblemRecord plain = *raw;
    TextLengths lengths;
    UnscrambleRecord(plain, lengths);
    const ProblemText text = ProblemTextOf(plain);
    carried[0] = Utf8Of(text.question);
    for (int c = 0; c < kChoiceCount; ++c) carried[1 + c] = Utf8Of(text.choices[c]);
  }
  std::string cp932;
  bool ok = true;
  for (int f = 0; f < kFieldCount; ++f) {
    if (!LineBreakAllowed(utf8[f], where[f])) {
      ok = false;
      continue;
    }
    if (raw != nullptr && carried[f] == utf8[f]) continue;
    if (!Encode(utf8[f], FieldSize(f), where[f], cp932)) {
      ok = false;
      continue;
    }
    const std::size_t cut = OlderReadersCut(cp932);
    if (cut != std::string::npos) diagnostics_.CutByOlderReaders(where[f], cut);
    ScrambleField(cp932, stored.Bytes + FieldOffset(f), FieldSize(f));
  }
  if (ok) image_.Records[genre].push_back(stored);
}

void ProblemSetBuilder::AddStoredRecord(int genre, const ProblemRecord& stored) {
  if (++counts_[genre] > kMaxProblemCount) return;  // counted, reported at the end
  image_.Records[genre].push_back(stored);
}

std::optional<ProblemFileImage> ProblemSetBuilder::Finish() {
  for (int g = 0; g < kGenreCount; ++g) {
    if (counts_[g] > kMaxProblemCount)
      diagnostics_.Error({0, 0, g}, Fill(Say(import_text::kTooManyProblems), {std::to_string(counts_[g])}));
  }
  if (diagnostics_.HasErrors()) return std::nullopt;
  return std::move(image_);
}

}  // namespace importing
