#include "frontend/import/Diagnostics.h"

#include "frontend/import/ImportTexts.h"

namespace importing {

Field ProblemField(int field) { return static_cast<Field>(static_cast<int>(Field::kQuestion) + field); }

void Diagnostics::Error(const Location& where, std::string text) {
  if (++errors_ > kMaxErrors) return;
  items_.push_back({true, where, std::move(text)});
  if (errors_ == kMaxErrors)
    items_.push_back({true, {}, texts::Fill(import_text::Say(import_text::kMoreErrors), {std::to_string(kMaxErrors)})});
}

void Diagnostics::Warning(const Location& where, std::string text) {
  if (++warnings_ <= kMaxWarnings) items_.push_back({false, where, std::move(text)});
}

void Diagnostics::CutByOlderReaders(const Location& where, std::size_t cut) {
  ++olderReadersCuts_;
  if (olderReadersDetails_) Warning(where, texts::Fill(import_text::Say(import_text::kCutByOlderReaders), {std::to_string(cut)}));
}

std::vector<Diagnostic> Diagnostics::Items() const {
  std::vector<Diagnostic> items = items_;
  using import_text::Say;
  if (errors_ > kMaxErrors)
    items.push_back({true, {}, texts::Fill(Say(import_text::kMoreErrorsFound), {std::to_string(errors_ - kMaxErrors)})});
  if (warnings_ > kMaxWarnings)
    items.push_back({true, {}, texts::Fill(Say(import_text::kMoreWarnings), {std::to_string(warnings_ - kMaxWarnings)})});
  return items;
}

std::string OlderReadersSummary(std::size_t cuts) {
  using import_text::Say;
  if (cuts == 0) return {};
  return std::string(Say(import_text::kWarning)) + texts::Fill(Say(import_text::kOlderReadersCount), {std::to_string(cuts)});
}

std::string Describe(const std::string& file, const Diagnostic& d) {
  using namespace import_text;
  using texts::Fill;
  const Location& w = d.where;
  std::string s = file;
  // Appended piece by piece: "literal" + std::string trips a false overlap
  // warning of GCC 12's string code.
  if (w.line > 0) s.append(":").append(std::to_string(w.line));
  if (w.column > 0) s.append(":").append(std::to_string(w.column));
  s += ": ";
  std::vector<std::string> place;
  if (w.genre >= 0) place.push_back(Fill(Say(kGenre), {std::to_string(w.genre)}));
  if (w.problem > 0) place.push_back(Fill(Say(kProblem), {std::to_string(w.problem)}));
  switch (w.field) {
    case Field::kNone: break;
    case Field::kQuestion: place.push_back(Say(kQuestion)); break;
    case Field::kName: place.push_back(Say(kName)); break;
    case Field::kBlock: place.push_back(Say(kBlock)); break;
    case Field::kRaw: place.push_back(Say(kRaw)); break;
    default:
      place.push_back(Fill(Say(kChoice), {std::to_string(static_cast<int>(w.field) - static_cast<int>(Field::kQuestion))}));
  }
  for (std::size_t i = 0; i < place.size(); ++i) s.append(i > 0 ? Say(kPlaceJoin) : "").append(place[i]);
  if (!place.empty()) s += ": ";
  if (!d.error) s += Say(kWarning);
  return s.append(d.text);
}

}  // namespace importing
