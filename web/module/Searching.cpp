// Finding a text in the loaded problem file's questions and choices, as the
// page's search box asks (frontend/TextSearch.h: full-width and half-width
// forms, capital and small letters alike). The file's texts are folded once
// into an index, a piece at a time between the page's other requests
// (mnr_index_step), so that a search scans memory rather than reading the
// whole file again; a search before the index is whole completes it. The
// texts the page holds itself (edited problems, the genres' names) are tried
// one by one against the same needle.

#include <emscripten/emscripten.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "format/GenreText.h"
#include "format/ProblemReader.h"
#include "format/Unscramble.h"
#include "frontend/TextSearch.h"
#include "web/module/PageFile.h"

namespace {

using namespace mnr_layout;

std::optional<text_search::Needle> needle;

// Every problem's six texts folded, one after the other, each ended by a
// zero; where each problem starts, in file order.
class SearchIndex {
 public:
  SearchIndex() : reader_(file_) { whole_ = !reader_.ReadHeader(); }

  bool Whole() const { return whole_; }

  // Folds the next count problems; true once all are in.
  bool Step(int count) {
    Problem problem;
    for (int n = 0; n < count && !whole_;) {
      if (!reader_.Next(genre_, problem)) {
        if (++genre_ == kGenreCount) whole_ = true;
        continue;
      }
      const ProblemText text = ProblemTextOf(*problem.record);
      const std::string_view fields[] = {text.question,    text.choices[0], text.choices[1],
                                         text.choices[2], text.choices[3], text.choices[4]};
      starts_.push_back(static_cast<std::uint32_t>(folded_.size()));
      for (std::string_view field : fields) {
        text_search::AppendFoldedCp932(field, folded_);
        folded_ += u'\0';
      }
      ++n;
    }
    return whole_;
  }

  // Calls found(problem, field) for each field that holds the needle
  // (problem: its number in the file, from 0).
  template <typename Found>
  void Find(const text_search::Needle& needle, Found&& found) const {
    std::size_t last = std::u16string::npos;  // a field found already
    needle.ForEachIn(folded_, [&](std::size_t at) {
      const auto next = std::upper_bound(starts_.begin(), starts_.end(), static_cast<std::uint32_t>(at));
      const std::size_t problem = static_cast<std::size_t>(next - starts_.begin()) - 1;
      const std::size_t fieldStart = folded_.rfind(u'\0', at);
      const std::size_t start = fieldStart == std::u16string::npos || fieldStart < starts_[problem] ? starts_[problem] : fieldStart + 1;
      if (start == last) return;
      last = start;
      const int field = static_cast<int>(std::count(folded_.begin() + starts_[problem], folded_.begin() + start, u'\0'));
      found(problem, field);
    });
  }

 private:
  page::PageFile file_;
  ProblemReader reader_;
  int genre_ = 0;
  bool whole_ = false;
  std::u16string folded_;
  std::vector<std::uint32_t> starts_;
};
std::optional<SearchIndex> fileIndex;

}  // namespace

extern "C" {

// Starts the index of the loaded problem file (none when no file is loaded).
EMSCRIPTEN_KEEPALIVE void mnr_index_begin() {
  fileIndex.reset();
  if (page::chosen.loaded) fileIndex.emplace();
}

// Folds the next problems into the index; 1 once it is whole (or there is
// none), 0 while problems remain.
EMSCRIPTEN_KEEPALIVE int mnr_index_step() {
  constexpr int kProblemsAStep = 8192;  // 2 MiB of the file
  return !fileIndex || fileIndex->Step(kProblemsAStep) ? 1 : 0;
}

// The text to look for, UTF-8, size bytes given to mnr_buffer.
EMSCRIPTEN_KEEPALIVE void mnr_search_for(std::size_t size) {
  needle.emplace(std::string_view(reinterpret_cast<const char*>(page::input.data()), std::min(size, page::input.size())));
}

// Every question and choice of the loaded file that holds the text: returns
// how many there are; the first `keep` of them are left in the result
// buffer, two fields for each: "genre place field" (the problem's place in
// its genre from 0; field 0 the question, 1-5 the choices) and the text.
EMSCRIPTEN_KEEPALIVE int mnr_search_file(int keep) {
  page::result.clear();
  if (!needle || needle->Empty() || !fileIndex) return 0;
  while (!fileIndex->Step(1 << 30)) {
  }
  int found = 0;
  page::StoredRecords records;
  const HeaderBytes& header = page::chosen.header;
  fileIndex->Find(*needle, [&](std::size_t problem, int field) {
    if (found++ >= keep) return;
    int genre = 0;
    std::size_t place = problem;
    while (place >= static_cast<std::size_t>(mnr_header::ListedCount(header, genre))) {
      place -= mnr_header::ListedCount(header, genre++);
    }
    ProblemRecord record = records.At(genre * page::kRefGenreFactor + static_cast<int>(place));
    TextLengths lengths;
    UnscrambleRecord(record, lengths);
    const ProblemText text = ProblemTextOf(record);
    page::AppendField(std::to_string(genre) + " " + std::to_string(place) + " " + std::to_string(field));
    page::AppendCp932Field(field == 0 ? text.question : text.choices[field - 1]);
  });
  return found;
}

// Whether a text the page holds (UTF-8, size bytes given to mnr_buffer)
// holds the text looked for: 1 or 0.
EMSCRIPTEN_KEEPALIVE int mnr_search_text(std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(page::input.data()), std::min(size, page::input.size()));
  return needle && !needle->Empty() && needle->InUtf8(text) ? 1 : 0;
}

}  // extern "C"
