// Writing the loaded problem set as eight genre text files.

#include "format/GenreText.h"
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

bool Export(const T_mnrFormat& problems, std::string outputDir, TextEncoding encoding,
            std::size_t& invalidBytes) {
  const SplitPath split = SplitFilePath(problems.FileName());
  if (outputDir.empty()) outputDir = OutputDirBeside(split);
  const std::string base = RemoveExtension(split.FilePart);

  bool allWritten = true;
  for (int g = 0; g < mnr_layout::kGenreCount; ++g) {
    // Creation is not guarded: a file that cannot be made ends the export.
    platform::TextFile file(outputDir + base + std::to_string(g) + ".txt");
    try {
      invalidBytes += WriteGenreText(problems, g, encoding,
                                     [&file](std::string_view bytes) { file.Write(bytes); });
      file.Close();
    } catch (...) {
      // Whatever went wrong, this genre failed. A failed write-out leaves the
      // buffer empty, so this second close releases the file; if the handle
      // already failed to close, it raises 103 and that ends the export.
      file.Close();
      allWritten = false;
    }
  }
  return allWritten;
}

}  // namespace

bool T_mnrFormat::ExportGenreFiles(const std::string& outputDir) {
  std::size_t invalidBytes = 0;
  return Export(*this, outputDir, TextEncoding::kShiftJis, invalidBytes);
}

bool T_mnrFormat::ExportGenreFiles(const std::string& outputDir, TextEncoding encoding,
                                   std::size_t& invalidBytes) {
  return Export(*this, outputDir, encoding, invalidBytes);
}
