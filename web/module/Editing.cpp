// An edited problem set written as a problem file through the writer
// txt2mnr uses (ProblemSetBuilder, WriteProblemFile). The page hands over,
// genre by genre and in order, what each genre now holds: problems of the
// loaded file carried over as they are stored, and problems whose texts it
// edited or made; and the names it changed. Whatever was not edited is
// written as the file stores it, byte for byte: the header's blocks, every
// problem carried over, and in an edited problem every field whose text is
// unchanged (the builder keeps those bytes); a count changes only for a
// genre that gained or lost problems. The bytes after the last record are
// the page's to append, from the file itself (mnr_used_size).

#include <emscripten/emscripten.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include "format/ProblemFileWriter.h"
#include "frontend/import/ProblemSetBuilder.h"
#include "web/module/PageFile.h"

namespace {

using namespace mnr_layout;
using page::input;

// The set being handed over, from mnr_edit_begin to mnr_edit_finish.
struct EditedSet {
  importing::Diagnostics diagnostics;
  importing::ProblemSetBuilder builder{page::chosen.header, diagnostics};
  page::StoredRecords records;
};
std::optional<EditedSet> edited;

// How the page names a field in what is found: -1 the genre's name, 0 the
// question, 1-5 the choices, -2 none.
int PageField(importing::Field field) {
  if (field == importing::Field::kName) return -1;
  const int f = static_cast<int>(field) - static_cast<int>(importing::Field::kQuestion);
  return f >= 0 && f < kFieldCount ? f : -2;
}

}  // namespace

extern "C" {

// Starts an edited set of the loaded problem file, its header as it is.
EMSCRIPTEN_KEEPALIVE void mnr_edit_begin() { edited.emplace(); }

// The genre's new name, UTF-8, size bytes given to mnr_buffer.
EMSCRIPTEN_KEEPALIVE void mnr_edit_name(int genre, std::size_t size) {
  const std::string_view name(reinterpret_cast<const char*>(input.data()), std::min(size, input.size()));
  edited->builder.SetName(genre, name, {0, 0, genre, 0, importing::Field::kName});
}

// count problems of the loaded file, their numbers given to mnr_buffer,
// added to the genre as they are stored.
EMSCRIPTEN_KEEPALIVE void mnr_edit_carry(int genre, int count) {
  for (int n = 0; n < count; ++n) {
    std::int32_t ref;
    std::memcpy(&ref, input.data() + 4 * n, 4);
    edited->builder.AddStoredRecord(genre, edited->records.At(ref));
  }
}

// One problem added to the genre from its six texts (question, choices 1-5)
// given to mnr_buffer as fields: made from problem `from` of the loaded file,
// whose stored bytes stay where its text is unchanged, or new (from -1).
EMSCRIPTEN_KEEPALIVE void mnr_edit_problem(int genre, int from) {
  const int number = edited->builder.ProblemCount(genre) + 1;
  std::array<std::string_view, kFieldCount> texts;
  std::array<importing::Location, kFieldCount> where;
  std::size_t at = 0;
  for (int f = 0; f < kFieldCount; ++f) {
    texts[f] = page::InputField(at);
    where[f] = {0, 0, genre, number, importing::ProblemField(f)};
  }
  const ProblemRecord* carried = from >= 0 ? &edited->records.At(from) : nullptr;
  // Copied: the next problem's look-up may read another block over it.
  std::optional<ProblemRecord> raw;
  if (carried != nullptr) raw = *carried;
  edited->builder.AddProblem(genre, texts, where, raw ? &*raw : nullptr);
}

// Writes the edited set: its header and records streamed to Module.onPiece,
// or nothing when a text cannot be stored. Either way what was found is left
// in the result buffer, two fields for each: "error genre problem field"
// (error 1, or 0 for a warning; problem from 1, 0 for none; field as the page
// names it) and the message as txt2mnr words it, in the page's language.
// Returns the result's length, or -1 - that length when nothing was written.
// The set is gone afterwards.
EMSCRIPTEN_KEEPALIVE int mnr_edit_finish() {
  const std::optional<ProblemFileImage> image = edited->builder.Finish();
  page::result.clear();
  for (const importing::Diagnostic& d : edited->diagnostics.Items()) {
    page::AppendField(std::to_string(d.error ? 1 : 0) + " " + std::to_string(d.where.genre) + " " +
                      std::to_string(d.where.problem) + " " + std::to_string(PageField(d.where.field)));
    page::AppendField(importing::Describe(page::chosen.name, d));
  }
  edited.reset();
  const int length = static_cast<int>(page::result.size());
  if (!image) return -1 - length;
  WriteProblemFile(*image, page::kToPage);
  return length;
}

}  // extern "C"
