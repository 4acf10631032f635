// What the main window shows for each state of the problem set, worked out
// apart from any window code.

#include "frontend/MainWindowState.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "format/mnrFormat.h"
#include "path/SplitFilePath.h"
#include "frontend/Messages.h"
#include "platform/FileServices.h"
#include "platform/IoError.h"
#include "tests/support/MnrWriter.h"
#include "tests/support/TestEnv.h"

#ifndef _WIN32
#include "platform/posix/DriveTable.h"
#endif

namespace {

namespace fs = std::filesystem;

// ： in Shift-JIS
const std::string kColon = "\x81\x46";
// 歴史
const std::string kHistory = "\x97\xF0\x8E\x6A";
// ＡＢＣＤＥＦＧＨ: sixteen bytes, so the name field has no zero byte
const std::string kSixteen = "\x82\x60\x82\x61\x82\x62\x82\x63\x82\x64\x82\x65\x82\x66\x82\x67";

class MainWindowStateTest : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("munemoji-view-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override {
#ifndef _WIN32
    platform::drive_table::Reset();
#endif
    fs::remove_all(folder_);
  }

  // Writes a problem file and returns the path the program would use.
  std::string WriteProblems(const std::string& name, bool valid = true) {
    test_support::MnrWriter writer;
    writer.genre(0).name = kHistory;
    writer.genre(4).name = kSixteen;
    writer.genre(7).name = "Trivia ";  // trailing space kept
    if (!valid) writer.setSignature("MUNEBANX");
    writer.writeTo((folder_ / name).string());
    return test_env::WinPathOf(fs::absolute(folder_ / name).string());
  }

  fs::path folder_;
};

TEST_F(MainWindowStateTest, NoFileShowsBareGenreNumbers) {
  const main_window::GenreListView view = main_window::NoFileView();
  for (int g = 0; g < 8; ++g) EXPECT_EQ(view.lines[g], std::string(1, static_cast<char>('0' + g)) + kColon);
  EXPECT_EQ(view.fileName, "");
  EXPECT_FALSE(view.exportEnabled);

  T_mnrFormat problems;
  const main_window::GenreListView fresh = main_window::MakeGenreListView(problems);
  EXPECT_EQ(fresh.lines, view.lines);
  EXPECT_EQ(fresh.fileName, "");
  EXPECT_FALSE(fresh.exportEnabled);
}

TEST_F(MainWindowStateTest, LoadedFileShowsNamesFileNameAndEnablesExport) {
  T_mnrFormat problems;
  ASSERT_TRUE(problems.LoadFromFile(WriteProblems("set1.mnr")));
  const main_window::GenreListView view = main_window::MakeGenreListView(problems);
  EXPECT_EQ(view.lines[0], "0" + kColon + kHistory);
  EXPECT_EQ(view.lines[1], "1" + kColon);
  EXPECT_EQ(view.lines[4], "4" + kColon + kSixteen);  // all sixteen bytes
  EXPECT_EQ(view.lines[7], "7" + kColon + "Trivia ");
  EXPECT_EQ(view.fileName, "set1.mnr");
  EXPECT_TRUE(view.exportEnabled);
}

TEST_F(MainWindowStateTest, FailedLoadAfterGoodOneGoesBackToNoFile) {
  T_mnrFormat problems;
  ASSERT_TRUE(problems.LoadFromFile(WriteProblems("set1.mnr")));
  ASSERT_FALSE(problems.LoadFromFile(WriteProblems("bad.mnr", false)));
  const main_window::GenreListView view = main_window::MakeGenreListView(problems);
  EXPECT_EQ(view.lines, main_window::NoFileView().lines);
  EXPECT_EQ(view.fileName, "");
  EXPECT_FALSE(view.exportEnabled);
}

TEST_F(MainWindowStateTest, UnresolvablePathStillShowsTheLoadedFile) {
  // The file vanishes between loading and showing: SplitFilePath cannot
  // resolve it, yet the window shows one consistent loaded state.
  T_mnrFormat problems;
  ASSERT_TRUE(problems.LoadFromFile(WriteProblems("gone.mnr")));
  fs::remove(folder_ / "gone.mnr");
  EXPECT_THROW(SplitFilePath(problems.FileName()), platform::EInOutError);
  const main_window::GenreListView view = main_window::MakeGenreListView(problems);
  EXPECT_EQ(view.lines[0], "0" + kColon + kHistory);
  EXPECT_EQ(view.fileName, "gone.mnr");
  EXPECT_TRUE(view.exportEnabled);
}

#ifndef _WIN32
TEST_F(MainWindowStateTest, FileOnAShareShowsItsNameAndCanBeExported) {
  // \\server\share is a folder of this machine through the drive table.
  fs::create_directories(folder_ / "quiz");
  test_support::MnrWriter writer;
  writer.genre(0).name = kHistory;
  writer.writeTo((folder_ / "quiz" / "set1.mnr").string());
  platform::drive_table::MapNetworkRoot("\\\\server\\share", folder_.string());

  T_mnrFormat problems;
  ASSERT_TRUE(problems.LoadFromFile("\\\\server\\share\\quiz\\set1.mnr"));
  const main_window::GenreListView view = main_window::MakeGenreListView(problems);
  EXPECT_EQ(view.lines[0], "0" + kColon + kHistory);
  EXPECT_EQ(view.fileName, "set1.mnr");
  EXPECT_TRUE(view.exportEnabled);
  // What the export button then does: the files go beside the problem file.
  EXPECT_TRUE(problems.ExportGenreFiles(""));
  EXPECT_TRUE(fs::exists(folder_ / "quiz" / "set10.txt"));
}
#endif

TEST(MainWindowMessages, StatusLines) {
  EXPECT_STREQ(main_window::HelpAfterLoad(true), messages::kGenreList);
  EXPECT_STREQ(main_window::HelpAfterLoad(false), messages::kNoFile);
  EXPECT_STREQ(main_window::HelpAfterExport(true), messages::kExported);
  EXPECT_STREQ(main_window::HelpAfterExport(false), messages::kExportFailed);
}

TEST(MainWindowMessages, ErrorBoxTextsFollowTheFullStopRule) {
  using platform::IoErrorMessage;
  // ファイルへのアクセスが拒否されました + "."
  EXPECT_EQ(messages::WithFullStop(IoErrorMessage(5)), IoErrorMessage(5) + ".");
  EXPECT_EQ(messages::WithFullStop(IoErrorMessage(2)), IoErrorMessage(2) + ".");
  // "I/O エラー (32)" ends in ")", which sorts below "."
  EXPECT_EQ(messages::WithFullStop(IoErrorMessage(32)), IoErrorMessage(32));
  EXPECT_EQ(IoErrorMessage(32), "I/O \x83G\x83\x89\x81[ (32)");
  // A last double-byte character counts as one, whatever its trail byte.
  EXPECT_EQ(messages::WithFullStop("\x83\x41"), "\x83\x41.");
  EXPECT_EQ(messages::WithFullStop("."), ".");
  EXPECT_EQ(messages::WithFullStop("a"), "a.");
}

}  // namespace
