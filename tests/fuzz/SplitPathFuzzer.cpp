// Fuzz target: SplitFilePath and the base-name step on arbitrary byte
// strings. The first byte picks the system's double-byte support (code page
// 932 lead bytes or none) and the current directory; the rest is the path.
// Only folders of a scratch tree are mapped as drives (Z: too), so no path
// can reach the host outside it. Checked on every input: the call returns
// or raises an I/O error and nothing else; the current directory is the one
// from before; the scratch tree is unchanged; every host path the drive
// table gives for the input or for the export's file names lies inside the
// scratch tree; the file-name and base-name steps cut the text where they
// say.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "FuzzScratch.h"
#include "tests/support/TestEnv.h"
#include "path/PathText.h"
#include "path/SplitFilePath.h"
#include "platform/FileServices.h"
#include "platform/IoError.h"
#include "platform/Locale.h"
#include "platform/posix/DriveTable.h"

namespace {

namespace drive_table = platform::drive_table;

std::string scratch;
std::vector<std::string> tree;
std::string hostCwd;

const char* const kCurrentDirs[] = {"C:\\quiz", "C:\\", "\\\\server\\share\\quiz", "Z:\\"};

void MakeDir(const std::string& relative) {
  if (mkdir((scratch + relative).c_str(), 0755) != 0) fuzz::Fail("mkdir " + relative);
}

void Setup() {
  scratch = fuzz::MakeScratchFolder();
  for (const char* folder : {"/c", "/c/quiz", "/c/quiz/sub", "/c/\x95\x5C", "/c/\x83\x5C", "/net", "/net/quiz", "/z"})
    MakeDir(folder);
  for (const char* file : {"/c/set1.mnr", "/c/quiz/set1.mnr", "/c/quiz/a.b.mnr", "/c/quiz/data",
                           "/c/\x95\x5C/\x95\x5C.mnr", "/net/quiz/set1.mnr"})
    test_env::WriteNewFile(scratch + file, "x");
  drive_table::Reset();
  drive_table::MapDrive('Z', scratch + "/z");  // Z: no longer reaches the host's "/"
  drive_table::MapDrive('C', scratch + "/c");
  drive_table::MapNetworkRoot("\\\\server\\share", scratch + "/net");
  tree = test_env::Listing(scratch);
  char buffer[4096];
  hostCwd = getcwd(buffer, sizeof buffer) ? buffer : "";
}

// A host path the file layer would use for a Windows path must lie in the
// scratch tree, without a ".." that could climb out of it.
void CheckInside(const std::string& windowsPath) {
  std::string host;
  if (!drive_table::ToHostPath(windowsPath, host)) return;
  if (host != scratch && host.compare(0, scratch.size() + 1, scratch + "/") != 0)
    fuzz::Fail("outside the scratch tree: " + host);
  if (host.find("/../") != std::string::npos || host.ends_with("/.."))
    fuzz::Fail("climbing host path: " + host);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool ready = (Setup(), true);
  (void)ready;
  if (size == 0) return 0;
  if (data[0] & 1) {
    platform::OverrideLeadBytesForTest({{0x81, 0x9F}, {0xE0, 0xFC}});
  } else {
    platform::RestoreSystemLocale();
  }
  platform::SetCurrentDir(kCurrentDirs[(data[0] >> 1) & 3]);
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::string saved = platform::GetCurrentDir();

  CheckInside(text);
  try {
    const SplitPath split = SplitFilePath(text);
    // Where the export would write: beside the file, or on the share.
    const std::string dir =
        split.Drive == 0 ? split.DirPart + "\\" : std::string(1, split.Drive) + ":" + split.DirPart + "\\";
    CheckInside(dir + RemoveExtension(split.FilePart) + "0.txt");
  } catch (const platform::EInOutError&) {
    // A folder that cannot be entered: the documented failure.
  }
  if (platform::GetCurrentDir() != saved) fuzz::Fail("current directory not restored");
  char buffer[4096];
  if (hostCwd != (getcwd(buffer, sizeof buffer) ? buffer : "")) fuzz::Fail("host directory changed");
  if (test_env::Listing(scratch) != tree) fuzz::Fail("the scratch tree changed");

  // The file-name part is a tail of the text, the base name a head of it
  // that stops before a dot.
  const std::string file = FileNamePart(text);
  if (!text.ends_with(file)) fuzz::Fail("file-name part is not a tail");
  if (file.size() < text.size()) {
    const char separator = text[text.size() - file.size() - 1];
    if (separator != '\\' && separator != ':') fuzz::Fail("file-name part after no separator");
  }
  const std::string base = RemoveExtension(file);
  if (!file.starts_with(base)) fuzz::Fail("base name is not a head");
  if (base.size() < file.size() && file[base.size()] != '.') fuzz::Fail("base name cut not at a dot");
  return 0;
}
