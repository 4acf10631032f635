#include "cli/CheckFile.h"

#include <memory>

#include "cli/Terminal.h"
#include "format/HiddenBytes.h"
#include "format/OutputFormats.h"
#include "frontend/import/Diagnostics.h"
#include "frontend/import/ImportTexts.h"
#include "platform/FileServices.h"

namespace cli {

namespace {

using import_text::Fill;

std::string TextOf(const HiddenFinding& finding, bool trailingComplete) {
  switch (finding.kind) {
    case HiddenKind::kNotPadding: return import_text::kCheckNotPadding;
    case HiddenKind::kZeroByte: return import_text::kCheckZeroByte;
    case HiddenKind::kInvalidCp932: return import_text::kCheckInvalid;
    case HiddenKind::kOtherCodes: return import_text::kCheckOtherCodes;
    case HiddenKind::kTrimmedEnd: return import_text::kCheckTrimmed;
    case HiddenKind::kCutByOlderReaders: return import_text::kCheckCut;
    case HiddenKind::kOtherwise: return import_text::kCheckOtherwise;
    case HiddenKind::kTrailingBytes: break;
  }
  return Fill(trailingComplete ? import_text::kCheckTrailing : import_text::kCheckTrailingMore,
              {std::to_string(finding.bytes)});
}

}  // namespace

bool CheckFile(const std::string& file) {
  const auto problems = std::make_unique<T_mnrFormat>();
  problems->KeepTrailingBytes(kJsonTrailingBytesKept);
  bool loaded = false;
  try {
    loaded = problems->LoadFromFile(platform::FullPathFromNative(file));
  } catch (const platform::EInOutError& e) {
    TerminalLine().Host(import_text::kProgram).Host(file).Host(": ").Cp932(e.what()).PrintTo(Stream::kErr);
    return false;
  }
  if (!loaded) {
    TerminalLine().Host(import_text::kProgram).Host(file).Host(": ").Host(import_text::kNotAProblemFile)
        .PrintTo(Stream::kErr);
    return false;
  }
  const std::vector<HiddenFinding> findings = FindHiddenBytes(*problems);
  for (const HiddenFinding& finding : findings) {
    importing::Diagnostic d;
    d.where.genre = finding.genre;
    d.where.problem = finding.problem;
    if (finding.field >= 0) d.where.field = importing::ProblemField(finding.field);
    else if (finding.genre >= 0 && finding.problem == 0) d.where.field = importing::Field::kName;
    d.text = TextOf(finding, problems->TrailingComplete());
    TerminalLine().Host(importing::Describe(file, d)).PrintTo(Stream::kOut);
  }
  if (findings.empty()) TerminalLine().Host(file).Host(": ").Host(import_text::kCheckClean).PrintTo(Stream::kOut);
  return findings.empty();
}

}  // namespace cli
