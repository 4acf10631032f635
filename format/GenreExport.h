#pragma once
// The eight genre files of a problem set: their names, and the loop that
// writes them, one for every front end: the window program
// (T_mnrFormat::ExportGenreFiles, through 128-byte text files), mnr2txt and
// the page. Each says how its files are made, finished and given up.

#include <cstddef>
#include <string>
#include <string_view>

#include "format/GenreText.h"

// The file genre g is written to: base (a name without its extension), the
// genre's digit, ".txt" ("set1" gives "set10.txt" ... "set17.txt").
inline std::string GenreFileName(std::string_view base, int genre) {
  std::string name(base);
  name += static_cast<char>('0' + genre);
  return name += ".txt";
}

// For genre g = 0 ... 7 in order: create(g) makes the file, a pointer-like
// object whose Write(bytes) takes the genre file's bytes, or an empty one
// when the genre is not to be written (it then counts as failed); if create
// raises, that ends the export. After the last byte, finish(file) completes
// the file. If a write or finish raises, failed(file, g) runs inside the
// handler (it may report, close again, or raise to end the export) and the
// genre counts as failed; the loop goes on with the next genre. True when
// every genre was written; invalidBytes counts the bytes written as U+FFFD.
template <typename Create, typename Finish, typename Failed>
bool WriteGenreFiles(ProblemSource& problems, TextEncoding encoding, std::size_t& invalidBytes,
                     Create&& create, Finish&& finish, Failed&& failed) {
  bool allWritten = true;
  for (int g = 0; g < mnr_layout::kGenreCount; ++g) {
    auto file = create(g);
    if (!file) {
      allWritten = false;
      continue;
    }
    try {
      invalidBytes += WriteGenreText(problems, g, encoding, [&file](std::string_view bytes) { file->Write(bytes); });
      finish(*file);
    } catch (...) {
      failed(*file, g);
      allWritten = false;
    }
  }
  return allWritten;
}
