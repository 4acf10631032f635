// Writing the loaded problem set as eight genre text files, as the window
// program does: beside the problem file, through 128-byte text files.

#include "format/GenreExport.h"

#include <memory>

#include "format/mnrFormat.h"
#include "path/PathText.h"
#include "path/SplitFilePath.h"
#include "platform/FileServices.h"

namespace {

// The folder the genre files go into: beside the problem file.
std::string OutputDirBeside(const SplitPath& split) {
  // A file on a network share has no drive letter: its directory part
  // already starts with the share's root.
  if (split.Drive == 0) return split.DirPart + "\\";
  return std::string(1, split.Drive) + ":" + split.DirPart + "\\";
}

}  // namespace

bool T_mnrFormat::ExportGenreFiles(const std::string& outputDirGiven) {
  const SplitPath split = SplitFilePath(FileName());
  const std::string outputDir = outputDirGiven.empty() ? OutputDirBeside(split) : outputDirGiven;
  const std::string base = RemoveExtension(split.FilePart);
  std::size_t invalidBytes = 0;
  LoadedProblems problems(*this);
  return WriteGenreFiles(
      problems, TextEncoding::kShiftJis, invalidBytes,
      // Creation is not guarded: a file that cannot be made ends the export.
      [&](int g) { return std::make_unique<platform::TextFile>(outputDir + GenreFileName(base, g)); },
      [](platform::TextFile& file) { file.Close(); },
      // Whatever went wrong, this genre failed. A failed write-out leaves the
      // buffer empty, so this second close releases the file; if the handle
      // already failed to close, it raises 103 and that ends the export.
      [](platform::TextFile& file, int) { file.Close(); });
}
