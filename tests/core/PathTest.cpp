// Scanning Windows paths over double-byte characters, and SplitFilePath
// against real folders: drive-table drives natively, the real file system
// under Wine.

#include <gtest/gtest.h>

#include "path/PathText.h"
#include "path/SplitFilePath.h"
#include "platform/FileServices.h"
#include "platform/Locale.h"
#include "tests/support/TestEnv.h"

#ifdef _WIN32
#include <windows.h>
#else
#include "platform/posix/DriveTable.h"
#endif

namespace {

// 表 and ソ end in 0x5C, the byte of '\'; 亜 has a trail byte in the
// lead-byte range.
const std::string kHyo = "\x95\x5C", kSo = "\x83\x5C", kAa = "\x88\x9F";

struct Scan {
  std::string path;
  std::string fileName;   // FileNamePart
  std::string noExt;      // RemoveExtension of the file name
};

// Code page 932: lead bytes 0x81-0x9F and 0xE0-0xFC.
const Scan kCp932Cases[] = {
    {"C:\\quiz\\set1.mnr", "set1.mnr", "set1"},
    {"C:\\quiz\\a.b.mnr", "a.b.mnr", "a.b"},
    {"C:\\quiz\\data", "data", "data"},
    {"C:set1.mnr", "set1.mnr", "set1"},
    {"set1.mnr", "set1.mnr", "set1"},
    {"C:\\quiz\\", "", ""},
    {"C:\\a.d\\data", "data", "data"},
    {"\\\\server\\share\\quiz\\set1.mnr", "set1.mnr", "set1"},
    {"C:\\" + kHyo + ".mnr", kHyo + ".mnr", kHyo},
    {"C:\\quiz\\" + kSo, kSo, kSo},
    {"C:\\quiz\\" + kSo + kHyo + "." + kHyo, kSo + kHyo + "." + kHyo, kSo + kHyo},
    {"C:\\" + kHyo + "\\set1.mnr", "set1.mnr", "set1"},
    // A trail byte in the lead range right before a real separator.
    {"C:\\" + kAa + "\\set1.mnr", "set1.mnr", "set1"},
    {"C:\\x" + kAa + kAa + "\\" + kAa + ".mnr", kAa + ".mnr", kAa},
};

// No double-byte support: every 0x5C is a separator.
const Scan kSingleByteCases[] = {
    {"C:\\" + kHyo + ".mnr", ".mnr", ""},
    {"C:\\quiz\\" + kSo, "", ""},
    {"C:\\" + kAa + "\\set1.mnr", "set1.mnr", "set1"},
    // UTF-8 (what POSIX file names are): クイズ.mnr
    {"C:\\quiz\\クイズ.mnr", "クイズ.mnr", "クイズ"},
};

class PathTextTest : public testing::Test {
 protected:
  void TearDown() override { platform::RestoreSystemLocale(); }

  void Check(const Scan& c) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(FileNamePart(c.path), c.fileName);
    EXPECT_EQ(RemoveExtension(c.fileName), c.noExt);
    const std::size_t sep = FindLastOf(c.path, "\\:");
    EXPECT_EQ(sep == std::string::npos ? c.path : c.path.substr(sep + 1), c.fileName);
  }
};

TEST_F(PathTextTest, Cp932LeadBytesOverridden) {
  platform::OverrideLeadBytesForTest({{0x81, 0x9F}, {0xE0, 0xFC}});
  EXPECT_TRUE(platform::DbcsEnabled());
  EXPECT_TRUE(platform::IsLeadByte(0x95));
  EXPECT_FALSE(platform::IsLeadByte(0x5C));
  for (const Scan& c : kCp932Cases) Check(c);
  EXPECT_EQ(FindLastOf(kHyo + "." + kSo, "."), 2u);
  EXPECT_EQ(FindLastOf(kHyo + kSo, "\\"), std::string::npos);
  EXPECT_EQ(FindLastOf("", "\\"), std::string::npos);
  EXPECT_EQ(RemoveExtension("a.d\\data"), "a.d\\data");
  EXPECT_EQ(RemoveExtension("C:data"), "C:data");
}

TEST_F(PathTextTest, NoDoubleByteSupportOverridden) {
  platform::OverrideLeadBytesForTest({});
  EXPECT_FALSE(platform::DbcsEnabled());
  for (const Scan& c : kSingleByteCases) Check(c);
}

TEST_F(PathTextTest, SystemLocale) {
#ifdef _WIN32
  // Under Wine with the Japanese locale the code page is 932 for real.
  ASSERT_TRUE(platform::DbcsEnabled());
  for (const Scan& c : kCp932Cases) Check(c);
#else
  // POSIX names are UTF-8: no double-byte support, bytes pass unchanged.
  EXPECT_FALSE(platform::DbcsEnabled());
  for (unsigned b = 0; b < 256; ++b) EXPECT_FALSE(platform::IsLeadByte(static_cast<unsigned char>(b)));
  for (const Scan& c : kSingleByteCases) Check(c);
#endif
}

TEST(DrivePrefixTest, Forms) {
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\quiz\\set1.mnr", "C:"},
      {"C:", "C:"},
      {"c:x", "c:"},
      {"\\\\server\\share\\quiz\\set1.mnr", "\\\\server\\share"},
      {"\\\\server\\share", "\\\\server\\share"},
      {"\\\\server\\share\\", "\\\\server\\share"},
      {"\\quiz\\set1.mnr", ""},
      {"set1.mnr", ""},
      {"", ""},
  };
  for (const auto& [path, prefix] : cases) EXPECT_EQ(DrivePrefix(path), prefix) << path;
}

// SplitFilePath over a folder tree: <base>\quiz\set1.mnr, <base>\quiz\sub\,
// and <base>\set1.mnr when base is a drive's root.
class SplitFilePathTest : public testing::Test {
 protected:
  void SetUp() override {
    test_env::MakeDir(dir.host("quiz"));
    test_env::MakeDir(dir.host("quiz/sub"));
    test_env::WriteFile(dir.host("quiz/set1.mnr"), std::string("x"));
    test_env::WriteFile(dir.host("set1.mnr"), std::string("x"));
#ifdef _WIN32
    base = dir.win();
#else
    platform::drive_table::MapDrive('C', dir.host());
    platform::drive_table::MapNetworkRoot("\\\\server\\share", dir.host());
    base = "C:";
#endif
    start = platform::GetCurrentDir();
  }
  void TearDown() override {
    EXPECT_EQ(platform::GetCurrentDir(), start);
#ifndef _WIN32
    platform::drive_table::Reset();
#endif
  }

  void ExpectSplit(const std::string& path, char drive, const std::string& dirPart,
                   const std::string& filePart) {
    SCOPED_TRACE(path);
    const std::string before = platform::GetCurrentDir();
    const SplitPath s = SplitFilePath(path);
    EXPECT_EQ(s.Drive, drive);
    EXPECT_EQ(s.DirPart, dirPart);
    EXPECT_EQ(s.FilePart, filePart);
    EXPECT_EQ(platform::GetCurrentDir(), before);
  }
  void ExpectRaises(const std::string& path) {
    SCOPED_TRACE(path);
    const std::string before = platform::GetCurrentDir();
    EXPECT_THROW(SplitFilePath(path), platform::EInOutError);
    EXPECT_EQ(platform::GetCurrentDir(), before);
  }

  void RunCases() {
    const char drive = base[0];
    const std::string baseDir = base.substr(2);  // without "X:"
    ExpectSplit(base + "\\quiz\\set1.mnr", drive, baseDir + "\\quiz", "set1.mnr");
    ExpectSplit(base + "\\quiz\\sub", drive, baseDir + "\\quiz\\sub", "");
    ExpectSplit(base + "\\quiz\\*.mnr", drive, baseDir + "\\quiz", "*.mnr");
    ExpectSplit("[" + base + "\\quiz\\set1.mnr]", start[0], base + "\\quiz", "set1.mnr");
    ExpectRaises(base + "\\quiz\\vanished.mnr");
    ExpectRaises(base + "\\gone\\set1.mnr");
#ifndef _WIN32
    ExpectSplit("C:\\set1.mnr", 'C', "\\", "set1.mnr");
    ExpectSplit("\\\\server\\share\\quiz\\set1.mnr", '\0', "\\\\server\\share\\quiz", "set1.mnr");
    ExpectSplit("\\\\server\\share\\set1.mnr", '\0', "\\\\server\\share\\", "set1.mnr");
    ExpectRaises("\\\\server\\share\\quiz\\vanished.mnr");
#endif
  }

  test_env::TempDir dir;
  std::string base;
  std::string start;
};

TEST_F(SplitFilePathTest, FromAnotherDirectory) { RunCases(); }

TEST_F(SplitFilePathTest, FromInsideTheTree) {
  const std::string outside = start;
  platform::SetCurrentDir(base + "\\quiz\\sub");
  start = platform::GetCurrentDir();
  RunCases();
  // A bare name resolves against the current directory.
  test_env::WriteFile(dir.host("quiz/sub/here.mnr"), std::string("x"));
  ExpectSplit("here.mnr", base[0], base.substr(2) + "\\quiz\\sub", "here.mnr");
  // Leave the tree, so that it can be removed.
  platform::SetCurrentDir(outside);
  start = outside;
}

// A one-character folder part keeps its separator before the folder name.
TEST_F(SplitFilePathTest, OneCharacterFolderBeforeAFolder) {
  const std::string outside = start;
  test_env::MakeDir(dir.host("q"));
  test_env::MakeDir(dir.host("q/sub"));
  platform::SetCurrentDir(base);
  start = platform::GetCurrentDir();
  ExpectSplit("q\\sub", base[0], "q\\sub", "");
  platform::SetCurrentDir(outside);
  start = outside;
}

#ifdef _WIN32
// The real root of drive C: of the Wine prefix.
TEST(SplitFilePathRootTest, FileInTheRoot) {
  const std::string name = "ta-root-" + std::to_string(GetCurrentProcessId()) + ".mnr";
  test_env::WriteFile("C:\\" + name, std::string("x"));
  const SplitPath s = SplitFilePath("C:\\" + name);
  test_env::Remove("C:\\" + name);
  EXPECT_EQ(s.Drive, 'C');
  EXPECT_EQ(s.DirPart, "\\");
  EXPECT_EQ(s.FilePart, name);
}
#endif

}  // namespace
