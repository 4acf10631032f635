#include "cli/CheckFile.h"

#include <memory>

#include "cli/Terminal.h"
#include "cli/Txt2mnrTexts.h"
#include "format/HiddenBytes.h"
#include "format/OutputFormats.h"
#include "frontend/import/Diagnostics.h"
#include "platform/FileServices.h"

namespace cli {

namespace {

using namespace txt2mnr_texts;

std::string TextOf(const HiddenFinding& finding, bool trailingComplete) {
  switch (finding.kind) {
    case HiddenKind::kNotPadding: return Say(kCheckNotPadding);
    case HiddenKind::kZeroByte: return Say(kCheckZeroByte);
    case HiddenKind::kInvalidCp932: return Say(kCheckInvalid);
    case HiddenKind::kOtherCodes: return Say(kCheckOtherCodes);
    case HiddenKind::kTrimmedEnd: return Say(kCheckTrimmed);
    case HiddenKind::kCutByOlderReaders: return Say(kCheckCut);
    case HiddenKind::kOtherwise: return Say(kCheckOtherwise);
    case HiddenKind::kTrailingBytes: break;
  }
  return texts::Fill(Say(trailingComplete ? kCheckTrailing : kCheckTrailingMore),
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
    TerminalLine().Host(kProgram).Host(file).Host(": ").Cp932(e.what()).PrintTo(Stream::kErr);
    return false;
  }
  if (!loaded) {
    TerminalLine().Host(kProgram).Host(file).Host(": ").Utf8(Say(kNotAProblemFile))
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
  if (findings.empty()) TerminalLine().Host(file).Host(": ").Utf8(Say(kCheckClean)).PrintTo(Stream::kOut);
  return findings.empty();
}

}  // namespace cli
