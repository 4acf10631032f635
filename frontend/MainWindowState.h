#pragma once
// What the main window shows, decided apart from any window code: the genre
// list, the file name and the export buttons for the problem set's state
// (RefreshGenreList), and the status line after each action. All texts are
// bytes: list lines and messages Shift-JIS, the file name in the system's
// ANSI code page like every path.

#include <array>
#include <string>

class T_mnrFormat;

namespace main_window {

inline constexpr int kGenreLines = 8;

struct GenreListView {
  std::array<std::string, kGenreLines> lines;  // "0：" + name ... or "0：" ...
  std::string fileName;                         // empty in the no-file state
  bool exportEnabled = false;
};

// The no-file view: "0：" ... "7：", no file name, export disabled.
GenreListView NoFileView();

// The view for the problem set as it is now. Everything is worked out before
// the window changes, so the window is updated as a whole or not at all.
// The file name is the file part SplitFilePath gives for FileName; when the
// path cannot be resolved (a share whose root the system does not report as a
// folder) the file part is read from the text of the path instead, so a
// loaded file always shows its name and can be exported.
GenreListView MakeGenreListView(const T_mnrFormat& problems);

// Panel_Help after a load: the genre list heading, or "no file loaded".
const char* HelpAfterLoad(bool loaded);
// Panel_Help after the per-genre export.
const char* HelpAfterExport(bool ok);

}  // namespace main_window
