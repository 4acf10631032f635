#pragma once
// Finding a text in a problem set's texts the way a reader means it: a
// character and its full-width or half-width form are the same (ｱ, ア;
// Ａ, A; ｶﾞ, ガ; the ideographic space, a space), and so are a letter's
// capital and small forms. Both sides are folded alike (into UTF-16), so the
// fold need not be all of Unicode's compatibility mappings, only consistent.
// Texts in CP932 are folded straight from their bytes, a table look-up a
// character, as a search goes through every text of a file. A folded text
// never holds U+0000, which can so separate texts folded one after another.

#include <string>
#include <string_view>

namespace text_search {

// Appends the folded form of a CP932 text to out.
void AppendFoldedCp932(std::string_view cp932, std::u16string& out);

// A text to look for, folded once. Not shared between threads: it folds
// each text into a buffer of its own, which stops growing after the longest.
class Needle {
 public:
  explicit Needle(std::string_view utf8);
  bool Empty() const { return folded_.empty(); }
  // Whether the needle is in the text, given as UTF-8 or as CP932.
  bool InUtf8(std::string_view utf8) const;
  bool InCp932(std::string_view cp932) const;
  // Calls at(position) for each place where the needle starts in a folded
  // text (AppendFoldedCp932's): texts folded once, searched many times. An
  // empty needle is nowhere.
  template <typename At>
  void ForEachIn(std::u16string_view folded, At&& at) const {
    if (folded_.empty()) return;
    for (std::size_t p = folded.find(folded_); p != std::u16string_view::npos; p = folded.find(folded_, p + 1)) at(p);
  }

 private:
  std::u16string folded_;
  mutable std::u16string text_;
};

}  // namespace text_search
