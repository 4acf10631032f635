#include "cli/txt2mnr/CheckFile.h"

#include "cli/ProblemInput.h"
#include "cli/Shell.h"
#include "cli/ShellTexts.h"
#include "cli/txt2mnr/Texts.h"
#include "format/OutputFormats.h"
#include "format/ProblemReader.h"
#include "frontend/import/Diagnostics.h"

namespace cli {

namespace {

using namespace txt2mnr_texts;

std::string TextOf(const HiddenFinding& finding, bool trailingComplete) {
  const std::string bytes = std::to_string(finding.bytes);
  switch (finding.kind) {
    case HiddenKind::kNotPadding: return Say(kCheckNotPadding);
    case HiddenKind::kZeroByte: return Say(kCheckZeroByte);
    case HiddenKind::kInvalidCp932: return Say(kCheckInvalid);
    case HiddenKind::kOtherCodes: return Say(kCheckOtherCodes);
    case HiddenKind::kTrimmedEnd: return Say(kCheckTrimmed);
    case HiddenKind::kCutByOlderReaders: return Say(kCheckCut);
    case HiddenKind::kOtherwise: return Say(kCheckOtherwise);
    case HiddenKind::kHeaderBytes: return texts::Fill(Say(kCheckHeaderBytes), {bytes});
    case HiddenKind::kAfterName: return texts::Fill(Say(kCheckAfterName), {bytes});
    case HiddenKind::kEmptyGenreName: return Say(kCheckEmptyGenreName);
    case HiddenKind::kLineBreak: return Say(kCheckLineBreak);
    case HiddenKind::kTrailingBytes: break;
  }
  return texts::Fill(Say(trailingComplete ? kCheckTrailing : kCheckTrailingMore), {bytes});
}

importing::Location PlaceOf(const HiddenFinding& finding) {
  importing::Location where;
  where.genre = finding.genre;
  where.problem = finding.problem;
  if (finding.field >= 0) where.field = importing::ProblemField(finding.field);
  else if (finding.kind == HiddenKind::kHeaderBytes) where.field = importing::Field::kBlock;
  else if (finding.genre >= 0 && finding.problem == 0) where.field = importing::Field::kName;
  return where;
}

const char* CleanText(TextExport exported) {
  switch (exported) {
    case TextExport::kCsv: return Say(kCheckCleanCsv);
    case TextExport::kJson: return Say(kCheckCleanJson);
    case TextExport::kGenreText: break;
  }
  return Say(kCheckCleanGenreText);
}

}  // namespace

bool CheckFile(const std::string& file, TextExport exported) {
  std::vector<HiddenFinding> findings;
  bool trailingComplete = true;
  try {
    ProblemInput input(file);
    if (input.Missing()) {
      Tell(Stream::kErr, file, shell_texts::Say(shell_texts::kNoSuchFile));
      return false;
    }
    ProblemReader reader(input, kJsonTrailingBytesKept);
    if (!input.Exists() || !reader.ReadHeader() || (findings = FindHiddenBytes(reader), !reader.Complete())) {
      Tell(Stream::kErr, file, Say(kNotAProblemFile));
      return false;
    }
    trailingComplete = reader.TrailingComplete();
  } catch (const platform::EInOutError& e) {
    Tell(Stream::kErr, file, IoErrorText(e.ErrorCode()));
    return false;
  }
  bool lost = false;
  for (const HiddenFinding& finding : findings) {
    // What older readers cut is told, though every export keeps it.
    const bool lostHere = LostBy(finding, exported, trailingComplete);
    if (!lostHere && finding.kind != HiddenKind::kCutByOlderReaders) continue;
    lost = lost || lostHere;
    importing::Diagnostic d;
    d.where = PlaceOf(finding);
    d.text = TextOf(finding, trailingComplete);
    TerminalLine().Host(importing::Describe(file, d)).PrintTo(Stream::kOut);
  }
  if (!lost) TerminalLine().Host(file).Host(": ").Utf8(CleanText(exported)).PrintTo(Stream::kOut);
  return !lost;
}

}  // namespace cli
