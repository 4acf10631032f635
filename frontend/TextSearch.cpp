#include "frontend/TextSearch.h"

#include <algorithm>
#include <cstdint>

#include "platform/CodePage.h"

namespace text_search {

namespace {

// The full-width forms of the half-width katakana U+FF61 ... U+FF9F, and of
// their two sound marks as the combining marks they stand for.
constexpr char16_t kHalfWidthKana[] =
    u"\u3002\u300C\u300D\u3001\u30FB\u30F2\u30A1\u30A3\u30A5\u30A7\u30A9\u30E3\u30E5\u30E7\u30C3"
    u"\u30FC\u30A2\u30A4\u30A6\u30A8\u30AA\u30AB\u30AD\u30AF\u30B1\u30B3\u30B5\u30B7\u30B9\u30BB\u30BD"
    u"\u30BF\u30C1\u30C4\u30C6\u30C8\u30CA\u30CB\u30CC\u30CD\u30CE\u30CF\u30D2\u30D5\u30D8\u30DB"
    u"\u30DE\u30DF\u30E0\u30E1\u30E2\u30E4\u30E6\u30E8\u30E9\u30EA\u30EB\u30EC\u30ED\u30EF\u30F3"
    u"\u3099\u309A";
static_assert(sizeof kHalfWidthKana / sizeof kHalfWidthKana[0] == 0xFF9F - 0xFF61 + 2);

constexpr std::uint32_t kVoiced = 0x3099, kSemiVoiced = 0x309A;

// The one code point a character folds to.
std::uint32_t Fold(std::uint32_t c) {
  if (c >= 'A' && c <= 'Z') return c + ('a' - 'A');
  if (c >= 0xFF01 && c <= 0xFF5E) return Fold(c - 0xFF01 + '!');  // full-width ASCII
  if (c >= 0xFF61 && c <= 0xFF9F) return kHalfWidthKana[c - 0xFF61];
  switch (c) {
    case 0x3000: return ' ';
    case 0xFFE0: return 0x00A2;
    case 0xFFE1: return 0x00A3;
    case 0xFFE2: return 0x00AC;
    case 0xFFE4: return 0x00A6;
    case 0xFFE5: return 0x00A5;
    case 0xFFE6: return 0x20A9;
  }
  return c;
}

// A kana with a sound mark after it as the one character it makes (ｶﾞ, or
// カ followed by the combining mark, is ガ); 0 when they make none.
std::uint32_t Composed(std::uint32_t kana, std::uint32_t mark) {
  const bool hiragana = kana >= 0x3041 && kana <= 0x3096;
  const std::uint32_t k = hiragana ? kana + 0x60 : kana;  // its katakana
  std::uint32_t made = 0;
  const bool haRow = k >= 0x30CF && k <= 0x30DB && (k - 0x30CF) % 3 == 0;
  if (mark == kSemiVoiced) {
    if (haRow) made = k + 2;
  } else if ((k >= 0x30AB && k <= 0x30C1 && (k - 0x30AB) % 2 == 0) || k == 0x30C4 || k == 0x30C6 || k == 0x30C8 ||
             haRow) {
    made = k + 1;
  } else if (k == 0x30A6) {
    made = 0x30F4;
  } else if (k >= 0x30EF && k <= 0x30F2 && !hiragana) {
    made = k + 8;
  }
  if (made == 0) return 0;
  return hiragana ? made - 0x60 : made;
}

// Appends a folded character, making one of a kana and the sound mark after
// it; start: where this text's characters begin in out.
void Push(std::uint32_t folded, std::u16string& out, std::size_t start) {
  if ((folded == kVoiced || folded == kSemiVoiced) && out.size() > start) {
    if (const std::uint32_t made = Composed(out.back(), folded)) {
      out.back() = static_cast<char16_t>(made);
      return;
    }
  }
  if (folded < 0x10000) {
    out += static_cast<char16_t>(folded);
  } else {  // beyond the basic plane (in the page's texts only): as UTF-16 has it
    out += static_cast<char16_t>(0xD800 + ((folded - 0x10000) >> 10));
    out += static_cast<char16_t>(0xDC00 + ((folded - 0x10000) & 0x3FF));
  }
}

// Each CP932 character folded: a byte alone by its value, a pair by lead
// byte and trail byte (0 where the two make no character). Made at the
// first search from the code page's own conversion, so the two agree.
struct Cp932Folds {
  char16_t single[256];
  std::u16string pairs = std::u16string(0x10000, u'\0');
};

std::uint32_t OneCharacter(std::string_view cp932, bool& valid) {
  std::string utf8;
  std::size_t invalid = 0;
  codepage::AppendCp932AsUtf8(cp932, utf8, invalid);
  std::uint32_t code = 0xFFFD;
  std::size_t n = 0;
  valid = invalid == 0 && codepage::DecodeUtf8(utf8, 0, code, n) && n == utf8.size();
  return code;
}

const Cp932Folds& Folds() {
  static const Cp932Folds folds = [] {
    Cp932Folds made;
    bool valid;
    for (int b = 0; b < 256; ++b) {
      const char byte = static_cast<char>(b);
      const std::uint32_t code = OneCharacter(std::string_view(&byte, 1), valid);
      made.single[b] = static_cast<char16_t>(valid ? Fold(code) : 0xFFFD);
    }
    for (int lead = 0x80; lead < 0x100; ++lead) {
      for (int trail = 0x40; trail < 0x100; ++trail) {
        const char pair[] = {static_cast<char>(lead), static_cast<char>(trail)};
        const std::uint32_t code = OneCharacter(std::string_view(pair, 2), valid);
        if (valid) made.pairs[lead << 8 | trail] = static_cast<char16_t>(Fold(code));
      }
    }
    return made;
  }();
  return folds;
}

void AppendFoldedUtf8(std::string_view utf8, std::u16string& out) {
  const std::size_t start = out.size();
  std::uint32_t code;
  for (std::size_t i = 0, n = 0; i < utf8.size(); i += n) {
    if (!codepage::DecodeUtf8(utf8, i, code, n)) {
      code = 0xFFFD;
      n = 1;
    }
    Push(Fold(code), out, start);
  }
}

}  // namespace

void AppendFoldedCp932(std::string_view cp932, std::u16string& out) {
  const Cp932Folds& folds = Folds();
  const auto* in = reinterpret_cast<const std::uint8_t*>(cp932.data());
  const std::size_t n = cp932.size(), start = out.size();
  for (std::size_t i = 0; i < n;) {
    const std::uint8_t b = in[i];
    char16_t folded = 0;
    if (b >= 0x80 && i + 1 < n) folded = folds.pairs[b << 8 | in[i + 1]];
    if (folded != 0) {
      i += 2;
    } else {
      folded = folds.single[b];
      i += 1;
    }
    if (folded == kVoiced || folded == kSemiVoiced) {
      Push(folded, out, start);
    } else {
      out += folded;
    }
  }
}

Needle::Needle(std::string_view utf8) {
  AppendFoldedUtf8(utf8, folded_);
  folded_.erase(std::remove(folded_.begin(), folded_.end(), u'\0'), folded_.end());  // the texts' separator
}

bool Needle::InUtf8(std::string_view utf8) const {
  if (Empty()) return false;
  text_.clear();
  AppendFoldedUtf8(utf8, text_);
  return text_.find(folded_) != std::u16string::npos;
}

bool Needle::InCp932(std::string_view cp932) const {
  if (Empty()) return false;
  text_.clear();
  AppendFoldedCp932(cp932, text_);
  return text_.find(folded_) != std::u16string::npos;
}

}  // namespace text_search
