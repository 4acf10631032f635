#include "frontend/MainWindowState.h"

#include "format/mnrFormat.h"
#include "frontend/Messages.h"
#include "path/PathText.h"
#include "path/SplitFilePath.h"
#include "platform/IoError.h"

namespace main_window {

GenreListView NoFileView() {
  GenreListView view;
  for (int g = 0; g < kGenreLines; ++g) view.lines[g] = messages::GenreListLine(g, "");
  return view;
}

GenreListView MakeGenreListView(const T_mnrFormat& problems) {
  if (!problems.Loaded()) return NoFileView();
  GenreListView view;
  for (int g = 0; g < kGenreLines; ++g) view.lines[g] = messages::GenreListLine(g, problems.GenreName(g));
  try {
    view.fileName = SplitFilePath(problems.FileName()).FilePart;
  } catch (const platform::EInOutError&) {
    // The file loaded a moment ago, so its name is the last part of its path.
    view.fileName = FileNamePart(problems.FileName());
  }
  view.exportEnabled = true;
  return view;
}

const char* HelpAfterLoad(bool loaded) { return loaded ? messages::kGenreList : messages::kNoFile; }

const char* HelpAfterExport(bool ok) { return ok ? messages::kExported : messages::kExportFailed; }

}  // namespace main_window
