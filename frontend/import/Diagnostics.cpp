#include "frontend/import/Diagnostics.h"

#include "frontend/import/ImportTexts.h"

namespace import_text {

std::string Fill(std::string_view text, const std::vector<std::string>& args) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '{' && i + 2 < text.size() && text[i + 2] == '}' && text[i + 1] >= '1' && text[i + 1] <= '9') {
      const std::size_t n = static_cast<std::size_t>(text[i + 1] - '1');
      if (n < args.size()) out += args[n];
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace import_text

namespace importing {

Field ProblemField(int field) { return static_cast<Field>(static_cast<int>(Field::kQuestion) + field); }

void Diagnostics::Error(const Location& where, std::string text) {
  if (errors_++ == kMaxErrors) {
    items_.push_back({true, {}, import_text::kMoreErrors});
    return;
  }
  if (errors_ > kMaxErrors) return;
  items_.push_back({true, where, std::move(text)});
}

void Diagnostics::Warning(const Location& where, std::string text) {
  if (items_.size() < 4 * kMaxErrors) items_.push_back({false, where, std::move(text)});
}

std::string Describe(const std::string& file, const Diagnostic& d) {
  using import_text::Fill;
  const Location& w = d.where;
  std::string s = file;
  // Appended piece by piece: "literal" + std::string trips a false overlap
  // warning of GCC 12's string code.
  if (w.line > 0) s.append(":").append(std::to_string(w.line));
  if (w.column > 0) s.append(":").append(std::to_string(w.column));
  s += ": ";
  std::string place;
  if (w.genre >= 0) place = Fill(import_text::kGenre, {std::to_string(w.genre)});
  if (w.problem > 0) place.append(", ").append(Fill(import_text::kProblem, {std::to_string(w.problem)}));
  std::string field;
  switch (w.field) {
    case Field::kNone: break;
    case Field::kQuestion: field = import_text::kQuestion; break;
    case Field::kName: field = import_text::kName; break;
    case Field::kBlock: field = import_text::kBlock; break;
    case Field::kRaw: field = import_text::kRaw; break;
    default:
      field = Fill(import_text::kChoice, {std::to_string(static_cast<int>(w.field) - static_cast<int>(Field::kQuestion))});
  }
  if (!field.empty()) place.append(place.empty() ? "" : ", ").append(field);
  if (!place.empty()) s.append(place).append(": ");
  if (!d.error) s += import_text::kWarning;
  return s.append(d.text);
}

}  // namespace importing
