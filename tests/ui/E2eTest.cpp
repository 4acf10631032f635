// End-to-end tests of munemoji.exe under Wine (or Windows): each scenario
// starts the real program and uses it from outside as a person would. One
// scenario a run, chosen by its name (run-e2e.sh gives it):
//   ui_e2e --gtest_filter=E2e.SCENARIO MUNEMOJI.EXE WORK-FOLDER SCREENSHOT-FOLDER [MNR2TXT.EXE]
// Folders may be given as Linux paths; under Wine "/" is drive Z:.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "cli/ShellTexts.h"
#include "frontend/Language.h"
#include "frontend/Messages.h"
#include "platform/IoError.h"
#include "tests/support/MnrWriter.h"
#include "tests/ui/Driver.h"
#include "ui/ControlIds.h"
#include "ui/PictureMaps.h"

using namespace driver;
namespace id = control_id;

namespace {

struct Paths {
  std::wstring exe;
  std::wstring folder;  // the scenario's own, empty at start
  std::wstring shots;
  std::wstring mnr2txt;  // for the scenarios that run it too
  std::wstring In(const std::wstring& name) const { return folder + L"\\" + name; }
};

// --- Texts in the checks' messages, as UTF-8 --------------------------------

std::wstring FromUtf8(const char* utf8) {
  std::wstring wide(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0)), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide.data(), static_cast<int>(wide.size()));
  wide.pop_back();  // the terminating zero
  return wide;
}

std::string Quoted(const std::wstring& text) {
  std::string quoted(1, '"');  // appended: "\"" + text trips a false -Wrestrict warning in GCC 12
  return quoted.append(Utf8(text)).append(1, '"');
}

// For EXPECT_PRED_FORMAT2: the texts (UTF-8 or UTF-16) the same, or both shown.
testing::AssertionResult SameText(const char* shownExpression, const char*, const std::string& shown,
                                  const std::string& expected) {
  if (shown == expected) return testing::AssertionSuccess();
  return testing::AssertionFailure() << shownExpression << "\n  shown:    \"" << shown << "\"\n  expected: \""
                                     << expected << '"';
}
testing::AssertionResult SameText(const char* shownExpression, const char* expectedExpression,
                                  const std::wstring& shown, const std::wstring& expected) {
  return SameText(shownExpression, expectedExpression, Utf8(shown), Utf8(expected));
}

// --- Problem files ---------------------------------------------------------

// Eight genres with Japanese names, one of them sixteen bytes with no zero
// byte, one empty, and a few problems.
test_support::MnrWriter GoodProblems() {
  test_support::MnrWriter writer;
  const char* names[8] = {
      "\x97\xF0\x8E\x6A",                  // 歴史
      "\x89\xC8\x8A\x77",                  // 科学
      "\x83\x58\x83\x7C\x81\x5B\x83\x63",  // スポーツ
      "\x8C\x7C\x94\x5C",                  // 芸能 (a trail byte 0x5C)
      "\x82\x60\x82\x61\x82\x62\x82\x63\x82\x64\x82\x65\x82\x66\x82\x67",  // ＡＢＣＤＥＦＧＨ
      "Trivia 1",
      "",
      "\x8E\x47\x8A\x77",  // 雑学
  };
  for (int g = 0; g < 8; ++g) writer.genre(g).name = names[g];
  // 問題 / 選択 a ... e
  test_support::Problem problem{"\x96\xE2\x91\xE8 1", {"\x91\x49\x91\xF0 a", "b", "c", "d", "e"}};
  writer.genre(0).problems = {problem, problem};
  writer.genre(3).problems = {problem};
  writer.genre(7).problems = {problem, problem, problem};
  return writer;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Opened as another program would that shares nothing.
HANDLE HoldWithoutSharing(const std::wstring& path) {
  return CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// --- What the main window shows --------------------------------------------

struct Shown {
  std::vector<std::wstring> lines;
  std::wstring fileName;
  std::wstring help;
  bool fileOpen, decode1, decode2, quit, about;
  bool operator==(const Shown&) const = default;
};

// How the checks print it.
void PrintTo(const Shown& shown, std::ostream* out) {
  *out << "genres:";
  for (const std::wstring& line : shown.lines) *out << "\n      " << Quoted(line);
  *out << "\n    file name " << Quoted(shown.fileName) << ", status " << Quoted(shown.help)
       << "\n    enabled: open " << shown.fileOpen << ", export " << shown.decode1 << ", one-file export "
       << shown.decode2 << ", quit " << shown.quit << ", about " << shown.about;
}

Shown Read(const Program& p) {
  return {ListLines(p.Control(id::kListBoxGerne)),
          Text(p.Control(id::kPanelFileName)),
          Text(p.Control(id::kPanelHelp)),
          IsWindowEnabled(p.Control(id::kBitBtnFileOpen)) != 0,
          IsWindowEnabled(p.Control(id::kBitBtnDecode1)) != 0,
          IsWindowEnabled(p.Control(id::kBitBtnDecode2)) != 0,
          IsWindowEnabled(p.Control(id::kBitBtnQuit)) != 0,
          IsWindowEnabled(p.Control(id::kBitBtnAbout)) != 0};
}

std::vector<std::wstring> ExpectedLines(const test_support::MnrWriter* writer) {
  std::vector<std::wstring> lines;
  for (int g = 0; g < 8; ++g) {
    lines.push_back(FromShiftJis(messages::GenreListLine(g, writer ? writer->expectedGenreName(g) : "")));
  }
  return lines;
}

// With no file: eight unnamed genres, no name, the export buttons off.
Shown NoFile() { return {ExpectedLines(nullptr), L"", FromShiftJis(messages::kNoFile), true, false, false, true, true}; }

// With GoodProblems loaded from a file of that name: every button on.
Shown Loaded(const std::wstring& fileName, const std::string& help) {
  const test_support::MnrWriter writer = GoodProblems();
  return {ExpectedLines(&writer), fileName, FromShiftJis(help), true, true, true, true, true};
}

// A size, or a place in the parent (left, top, width, height), as the checks
// compare and print them.
std::pair<long, long> Dimensions(SIZE size) { return {size.cx, size.cy}; }
std::array<long, 4> Placed(RECT r) { return {r.left, r.top, r.right - r.left, r.bottom - r.top}; }

// The client area and every control where the design puts them, each length
// scaled by DPI / 96.
void ExpectDesignedLayout(const Program& p, int dpi) {
  const auto scale = [dpi](int designed) { return static_cast<long>(MulDiv(designed, dpi, 96)); };
  EXPECT_EQ(Dimensions(ClientSize(p.Main())), std::pair(scale(209), scale(204)));
  struct Place { int id, left, top, width, height; };
  const Place places[] = {
      {id::kListBoxGerne, 0, 16, 209, 132}, {id::kBitBtnFileOpen, 8, 176, 33, 25},
      {id::kBitBtnDecode1, 48, 176, 33, 25}, {id::kBitBtnDecode2, 88, 176, 33, 25},
      {id::kBitBtnQuit, 128, 176, 33, 25},  {id::kBitBtnAbout, 168, 176, 33, 25},
      {id::kPanelFileName, 0, 0, 209, 17},   {id::kPanelHelp, 0, 152, 209, 17},
  };
  for (const Place& place : places) {
    EXPECT_EQ(Placed(PlaceInParent(p.Control(place.id))),
              (std::array{scale(place.left), scale(place.top), scale(place.width), scale(place.height)}))
        << "control " << place.id;
  }
  EXPECT_EQ(SendMessageW(p.Control(id::kListBoxGerne), LB_GETITEMHEIGHT, 0, 0), scale(16));
}

// --- Using the program -----------------------------------------------------

// For EXPECT_TRUE: whether the status line comes to show the message.
testing::AssertionResult ShowsStatus(const Program& p, const std::string& message) {
  HWND help = p.Control(id::kPanelHelp);
  const std::wstring expected = FromShiftJis(message);
  if (WaitUntil([&] { return Text(help) == expected; })) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "the status line shows " << Quoted(Text(help)) << ", not " << Quoted(expected);
}

// Presses the open button and waits for the dialog.
HWND OpenTheDialog(const Program& p) {
  Press(p.Control(id::kBitBtnFileOpen));
  HWND dialog = p.WaitForOpenDialog();
  EXPECT_NE(dialog, nullptr);
  return dialog;
}

void CloseTheDialog(HWND dialog, int command) {
  Answer(dialog, command);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }));
}

// Types a path into the open dialog and confirms it.
void ChooseFile(const Program& p, const std::wstring& path) {
  HWND dialog = OpenTheDialog(p);
  if (dialog == nullptr) return;
  HWND name = OpenDialogFileName(dialog);
  EXPECT_NE(name, nullptr);
  DWORD_PTR ignored;
  SendMessageTimeoutW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()), SMTO_NORMAL, 5000, &ignored);
  CloseTheDialog(dialog, IDOK);
}

// Waits for a message box, checks it and answers OK.
void ExpectBox(const Program& p, const std::string& title, const std::string& text, LPCWSTR icon) {
  const std::wstring wideTitle = FromShiftJis(title);
  HWND box = p.WaitForWindow(L"#32770", &wideTitle);
  ASSERT_NE(box, nullptr) << "no box titled " << Quoted(wideTitle);
  EXPECT_PRED_FORMAT2(SameText, MessageBoxText(box), FromShiftJis(text));
  // On a busy machine the box may show before its icon is drawn.
  EXPECT_TRUE(WaitUntil([&] { return ShowsIcon(box, icon); }, 5000));
  Answer(box, IDOK);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
}

// Lets the program finish what it was doing before reading it.
void Settle(const Program& p) {
  Pause(300);
  EXPECT_TRUE(p.Responsive());
}

// Opens the dialog and cancels it, which changes nothing; what the window
// showed before.
Shown CancelTheDialog(const Program& p) {
  const Shown before = Read(p);
  CloseTheDialog(OpenTheDialog(p), IDCANCEL);
  Settle(p);
  EXPECT_EQ(Read(p), before);
  return before;
}

std::wstring TooltipOf(const Program& p, HWND button) {
  MoveMouse(ScreenPoint(p.Main(), 100, 60));  // off the buttons, so the tip restarts
  Pause(300);
  MoveMouse(CentreOf(button));
  std::wstring text;
  WaitUntil(
      [&] {
        for (HWND tip : p.Windows(L"tooltips_class32")) text = Text(tip);
        return !text.empty();
      },
      5000);
  return text;
}

// The version resource's string value, e.g. "ProductName".
std::wstring VersionString(const std::wstring& exe, const wchar_t* name) {
  DWORD ignored = 0;
  std::vector<char> data(GetFileVersionInfoSizeW(exe.c_str(), &ignored));
  if (data.empty() || !GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(data.size()), data.data())) return L"";
  void* value = nullptr;
  UINT length = 0;
  const std::wstring key = L"\\StringFileInfo\\041104B0\\" + std::wstring(name);
  if (!VerQueryValueW(data.data(), key.c_str(), &value, &length) || length == 0) return L"";
  return static_cast<const wchar_t*>(value);
}

HWND WaitForAbout(const Program& p) { return p.WaitForWindow(L"TForm_About"); }

bool Hidden(HWND window) {
  return WaitUntil([&] { return !IsWindowVisible(window); }, 5000);
}

// The eight genre files of GoodProblems beside a problem file named base.mnr.
void ExpectExported(const std::wstring& folder, const std::wstring& base) {
  const test_support::MnrWriter writer = GoodProblems();
  for (int g = 0; g < 8; ++g) {
    const std::wstring name = folder + L"\\" + base + std::to_wstring(g) + L".txt";
    EXPECT_EQ(ReadBytes(name), writer.expectedGenreFile(g)) << Utf8(name);
  }
}

// Files for the drop and the command line: a good one whose name has a space
// and Japanese, one that is no problem file, one another program will hold.
const wchar_t kGoodName[] = L"クイズ 1.mnr";

// Loaded as after a confirmed open dialog, which now reopens with the file.
void ExpectLoadedAsIfChosen(const Program& p) {
  EXPECT_TRUE(ShowsStatus(p, messages::kGenreList));
  EXPECT_EQ(Read(p), Loaded(kGoodName, messages::kGenreList));
  HWND dialog = OpenTheDialog(p);
  if (dialog != nullptr) {
    EXPECT_PRED_FORMAT2(SameText, Text(OpenDialogFileName(dialog)), kGoodName);
    CloseTheDialog(dialog, IDCANCEL);
  }
}

// The warning box for a file that is no problem file, or the error box for
// one held without sharing; the no-file state after either.
void ExpectRefused(const Program& p, bool held) {
  if (held) {
    ExpectBox(p, messages::kAppTitle, platform::IoErrorMessage(platform::error_code::kSharingViolation), IDI_HAND);
  } else {
    ExpectBox(p, messages::kWarningTitle, messages::kNotAProblemFile, IDI_EXCLAMATION);
  }
  Settle(p);
  EXPECT_EQ(Read(p), NoFile());
}

// Whether a button shows its picture grown factor times, pixel for pixel,
// centred: every opaque pixel of the map is a factor x factor block.
bool ShowsPicture(HWND button, const pictures::PixelMap& map, int factor) {
  const SIZE size = ClientSize(button);
  const POINT origin = ScreenPoint(button, (size.cx - map.width * factor) / 2, (size.cy - map.height * factor) / 2);
  const std::vector<pictures::Rgb> colours = pictures::Render(map, pictures::Look::kColour);
  HDC screen = GetDC(nullptr);
  int differing = 0;
  for (int y = 0; y < map.height * factor; ++y) {
    for (int x = 0; x < map.width * factor; ++x) {
      if (map.rows[y / factor][x / factor] == '.') continue;
      const pictures::Rgb& c = colours[static_cast<std::size_t>(y / factor) * map.width + x / factor];
      differing += GetPixel(screen, origin.x + x, origin.y + y) != RGB(c.r, c.g, c.b);
    }
  }
  ReleaseDC(nullptr, screen);
  return differing == 0;
}

// --- The problems window ------------------------------------------------------

// GoodProblems with genre 0 made of questions to read, one with an empty
// choice.
test_support::MnrWriter ProblemsToRead() {
  test_support::MnrWriter writer = GoodProblems();
  writer.genre(0).problems = {
      // 鎌倉幕府を開いたのは誰？ / 源頼朝、足利尊氏、徳川家康、織田信長、豊臣秀吉
      {"\x8A\x99\x91\x71\x96\x8B\x95\x7B\x82\xF0\x8A\x4A\x82\xA2\x82\xBD\x82\xCC\x82\xCD\x92\x4E\x81\x48",
       {"\x8C\xB9\x97\x8A\x92\xA9", "\x91\xAB\x97\x98\x91\xB8\x8E\x81", "\x93\xBF\x90\xEC\x89\xC6\x8D\x4E",
        "\x90\x44\x93\x63\x90\x4D\x92\xB7", "\x96\x4C\x90\x62\x8F\x47\x8B\x67"}},
      // 平安京に都が移されたのは何年？ / ７９４年、７１０年、１１９２年、１６０３年、(empty)
      {"\x95\xBD\x88\xC0\x8B\x9E\x82\xC9\x93\x73\x82\xAA\x88\xDA\x82\xB3\x82\xEA\x82\xBD\x82\xCC\x82\xCD\x89\xBD\x94\x4E\x81\x48",
       {"\x82\x56\x82\x58\x82\x53\x94\x4E", "\x82\x56\x82\x50\x82\x4F\x94\x4E", "\x82\x50\x82\x50\x82\x58\x82\x51\x94\x4E",
        "\x82\x50\x82\x55\x82\x4F\x82\x52\x94\x4E", ""}},
      // 「解体新書」を訳した中心の人物は？ / 杉田玄白、平賀源内、伊能忠敬、本居宣長、前野良沢
      {"\x81\x75\x89\xF0\x91\xCC\x90\x56\x8F\x91\x81\x76\x82\xF0\x96\xF3\x82\xB5\x82\xBD\x92\x86\x90\x53\x82\xCC"
       "\x90\x6C\x95\xA8\x82\xCD\x81\x48",
       {"\x90\x99\x93\x63\x8C\xBA\x94\x92", "\x95\xBD\x89\xEA\x8C\xB9\x93\xE0", "\x88\xC9\x94\x5C\x92\x89\x8C\x68",
        "\x96\x7B\x8B\x8F\x90\xE9\x92\xB7", "\x91\x4F\x96\xEC\x97\xC7\x91\xF2"}},
  };
  // A question that fills its 116 bytes: 58 of 問, wider than the window.
  std::string full;
  for (int i = 0; i < 58; ++i) full += "\x96\xE2";
  writer.genre(0).problems.push_back({full, {"a", "b", "c", "d", "e"}});
  return writer;
}

// GoodProblems with a genre 2 of count problems, every field full of
// double-byte text.
test_support::MnrWriter LargeGenre(int count) {
  test_support::MnrWriter writer = GoodProblems();
  std::string question, choice;
  for (int i = 0; i < 58; ++i) question += "\x96\xE2";  // 問
  for (int i = 0; i < 14; ++i) choice += "\x91\x49";    // 選
  writer.genre(2).problems.assign(count, test_support::Problem{question, {choice, choice, choice, choice, choice}});
  return writer;
}

// The lines as one text, CR LF between them, as the window holds it.
std::wstring Joined(const std::vector<std::string>& lines) {
  std::wstring text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) text += L"\r\n";
    text += FromShiftJis(lines[i]);
  }
  return text;
}

// The middle of a genre's line in the list, on the screen.
POINT GenreLine(const Program& p, int genre) {
  HWND list = p.Control(id::kListBoxGerne);
  const int height = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
  return ScreenPoint(list, 40, genre * height + height / 2);
}

std::wstring ProblemsTitle(const test_support::MnrWriter& writer, int genre) {
  return FromShiftJis(messages::GenreListLine(genre, writer.expectedGenreName(genre)));
}

HWND ProblemsText(HWND problems) { return GetDlgItem(problems, id::kEditProblems); }

// Waits for the one problems window to show the genre: titled with its list
// line, holding the lines the test writer expects.
HWND ExpectProblems(const Program& p, const test_support::MnrWriter& writer, int genre) {
  const std::wstring title = ProblemsTitle(writer, genre);
  HWND problems = p.WaitForWindow(L"TForm_Problems", &title);
  EXPECT_NE(problems, nullptr) << "no problems window titled " << Quoted(title);
  if (problems == nullptr) return nullptr;
  EXPECT_EQ(p.Windows(L"TForm_Problems").size(), 1u);
  EXPECT_PRED_FORMAT2(SameText, Text(ProblemsText(problems)), Joined(writer.expectedProblemsLines(genre)));
  return problems;
}

void CloseWithEsc(HWND problems) {
  SetForegroundWindow(problems);
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == problems; }));
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(problems); }));
}

// --- Scenarios -------------------------------------------------------------

// Each test is one scenario, named as run-e2e.sh and CTest name it (ui_e2e.load
// runs E2e.load); it starts with its folder empty.
class E2e : public testing::Test {
 public:
  static inline Paths paths;  // from the command line (main)

 protected:
  // Each step with the seconds since the scenario started, so that a slow one
  // shows in the log.
  void Step(const std::string& text) const {
    std::printf("- [%5.1f s] %s\n", (GetTickCount() - started_) / 1000.0, text.c_str());
    std::fflush(stdout);
  }

  // A problem file in the scenario's folder.
  void Write(const std::wstring& name, const test_support::MnrWriter& writer) const {
    const test_support::Bytes bytes = writer.bytes();
    EXPECT_TRUE(WriteBytes(paths.In(name), std::string(bytes.begin(), bytes.end()))) << Utf8(name);
  }
  void WriteGood(const std::wstring& name) const { Write(name, GoodProblems()); }
  void WriteNotAProblemFile(const std::wstring& name) const {
    test_support::MnrWriter writer = GoodProblems();
    writer.setSignature("munebank");
    Write(name, writer);
  }
  void WriteGoodBadAndHeld() const {
    WriteGood(kGoodName);
    WriteNotAProblemFile(L"bad.mnr");
    WriteGood(L"held.mnr");
  }

  void LoadGood(const Program& p, const std::wstring& name) const {
    ChooseFile(p, paths.In(name));
    EXPECT_TRUE(ShowsStatus(p, messages::kGenreList));
  }

  // Loads a problem file dropped on the window: the same load as a choice in
  // the open dialog, and quicker.
  void DropGood(const Program& p, const std::wstring& name) const {
    EXPECT_TRUE(DropFiles(p, {paths.In(name)}));
    EXPECT_TRUE(ShowsStatus(p, messages::kGenreList));
  }

  // The window's client area, once drawn, into the screenshot folder.
  void Screenshot(HWND window, const std::wstring& name) const {
    Pause(200);
    EXPECT_TRUE(SaveScreenshot(window, paths.shots + L"\\" + name)) << Utf8(name);
  }

  // mnr2txt run in the scenario's folder ends well and reports that it wrote
  // the eight genre files of file, named written0.txt ... written7.txt.
  void ExpectMnr2txtExported(const std::wstring& arguments, const std::wstring& file,
                             const std::wstring& written) const {
    std::string output;
    EXPECT_EQ(RunConsoleProgram(paths.mnr2txt, paths.folder, arguments, output), 0);
    const std::wstring expected = L"mnr2txt: " + file + L": " + FromShiftJis(messages::kExported) + L" " + written +
                                  L"0.txt ... " + written + L"7.txt\r\n";
    EXPECT_PRED_FORMAT2(SameText, output, Utf8(expected));
  }

  void ShowLargeGenre(const Program& p, int count) const;

 private:
  const DWORD started_ = GetTickCount();
};

TEST_F(E2e, start) {
  Step("the program file: icon, manifest, version");
  HMODULE exe = LoadLibraryExW(paths.exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  EXPECT_NE(exe, nullptr);
  EXPECT_NE(FindResourceW(exe, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14)), nullptr);  // RT_GROUP_ICON
  HRSRC manifest = FindResourceW(exe, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));      // RT_MANIFEST
  EXPECT_NE(manifest, nullptr);
  if (manifest != nullptr) {
    const char* xml = static_cast<const char*>(LockResource(LoadResource(exe, manifest)));
    const std::string text(xml, SizeofResource(exe, manifest));
    for (const char* part : {"Microsoft.Windows.Common-Controls", "version=\"6.0.0.0\"", "level=\"asInvoker\"",
                             ">UTF-8</activeCodePage>", ">PerMonitorV2, PerMonitor</dpiAwareness>",
                             "version=\"0.80.0.0\""}) {
      EXPECT_NE(text.find(part), std::string::npos) << "the manifest lacks " << part;
    }
  }
  FreeLibrary(exe);
  EXPECT_PRED_FORMAT2(SameText, VersionString(paths.exe, L"ProductName"), L"むねもじ");
  EXPECT_PRED_FORMAT2(SameText, VersionString(paths.exe, L"ProductVersion"), L"0.80");

  Program p(paths.exe, paths.folder);
  ASSERT_TRUE(p.Started());

  Step("the window as designed");
  EXPECT_PRED_FORMAT2(SameText, Text(p.Main()), FromShiftJis(messages::kAppTitle));
  ExpectDesignedLayout(p, 96);
  const LONG style = GetWindowLongW(p.Main(), GWL_STYLE);
  EXPECT_TRUE((style & WS_SYSMENU) && (style & WS_MINIMIZEBOX) && !(style & WS_MAXIMIZEBOX) &&
              !(style & WS_THICKFRAME));

  Step("start state: no file");
  EXPECT_EQ(Read(p), NoFile());

  Step("tooltips of the five buttons, and each button's accessible name (its window text) the same");
  SetForegroundWindow(p.Main());
  Click(ScreenPoint(p.Main(), 100, 8));  // on Panel_FileName: activates, does nothing else
  const struct {
    int id;
    const wchar_t* hint;
  } hints[] = {
      {id::kBitBtnFileOpen, L"むねりの問題データを読み込むにょ"},
      {id::kBitBtnDecode1, L"ジャンル別の８テキストファイルに変換にょ"},
      {id::kBitBtnDecode2, L"ジャンルをまとめて１テキストファイルに変換にょ"},
      {id::kBitBtnQuit, L"おいとまするにょ"},
      {id::kBitBtnAbout, L"このソフトって何にょ？"},
  };
  for (const auto& h : hints) {
    const std::wstring tip = TooltipOf(p, p.Control(h.id));
    EXPECT_PRED_FORMAT2(SameText, tip, h.hint);
    EXPECT_PRED_FORMAT2(SameText, Text(p.Control(h.id)), tip);
  }

  Step("cancelling the open dialog changes nothing");
  CancelTheDialog(p);

  Step("the quit button ends the program");
  Press(p.Control(id::kBitBtnQuit));
  EXPECT_EQ(p.WaitForExit(10000), 0);
}

TEST_F(E2e, load) {
  // Away from the program's current folder, so the dialog has to remember it.
  CreateDirectoryW(paths.In(L"quiz").c_str(), nullptr);
  WriteGood(L"quiz\\set1.mnr");
  WriteNotAProblemFile(L"bad.mnr");
  Program p(paths.exe, paths.folder);
  ASSERT_TRUE(p.Started());

  Step("a problem file loads: genre list, file name, export buttons, status");
  LoadGood(p, L"quiz\\set1.mnr");
  EXPECT_EQ(Read(p), Loaded(L"set1.mnr", messages::kGenreList));
  Screenshot(p.Main(), L"main-loaded.png");

  Step("cancelling the open dialog changes nothing");
  const Shown loaded = CancelTheDialog(p);

  Step("the dialog reopens in the last file's folder with its name: confirming loads it again");
  Press(p.Control(id::kBitBtnDecode2));  // a status line that a new load replaces
  EXPECT_TRUE(ShowsStatus(p, messages::kUnderConstruction));
  HWND dialog = OpenTheDialog(p);
  if (dialog != nullptr) {
    EXPECT_PRED_FORMAT2(SameText, Text(OpenDialogFileName(dialog)), L"set1.mnr");
    CloseTheDialog(dialog, IDOK);
  }
  EXPECT_TRUE(ShowsStatus(p, messages::kGenreList));
  EXPECT_EQ(Read(p), loaded);

  Step("a file that is no problem file: warning, then no file");
  ChooseFile(p, paths.In(L"bad.mnr"));
  ExpectRefused(p, false);

  Step("the good file again, then a name that does not exist: warning, then no file");
  LoadGood(p, L"quiz\\set1.mnr");
  ChooseFile(p, paths.In(L"nothing-here.mnr"));
  ExpectRefused(p, false);

  Step("cancelling in the no-file state changes nothing");
  CancelTheDialog(p);
}

TEST_F(E2e, export) {
  WriteGood(L"set1.mnr");
  Program p(paths.exe, paths.folder);
  ASSERT_TRUE(p.Started());
  LoadGood(p, L"set1.mnr");

  Step("export: eight genre files beside the problem file, status");
  Press(p.Control(id::kBitBtnDecode1));
  EXPECT_TRUE(ShowsStatus(p, messages::kExported));
  for (int g = 0; g < 8; ++g) EXPECT_TRUE(Exists(paths.In(L"set1" + std::to_wstring(g) + L".txt"))) << g;
  ExpectExported(paths.folder, L"set1");
  EXPECT_EQ(Read(p), Loaded(L"set1.mnr", messages::kExported));

  Step("the one-file export is under construction and writes nothing");
  DeleteFileW(paths.In(L"set13.txt").c_str());
  Press(p.Control(id::kBitBtnDecode2));
  EXPECT_TRUE(ShowsStatus(p, messages::kUnderConstruction));
  EXPECT_FALSE(Exists(paths.In(L"set13.txt")));
  EXPECT_FALSE(Exists(paths.In(L"set1.txt")));

  Step("a genre file that cannot be created: the error box, nothing else changes");
  EXPECT_TRUE(CreateDirectoryW(paths.In(L"set13.txt").c_str(), nullptr));
  const Shown before = Read(p);
  Press(p.Control(id::kBitBtnDecode1));
  ExpectBox(p, messages::kAppTitle, messages::WithFullStop(platform::IoErrorMessage(platform::error_code::kAccessDenied)),
            IDI_HAND);
  Settle(p);
  EXPECT_EQ(Read(p), before);
}

TEST_F(E2e, locked) {
  WriteGood(L"set1.mnr");
  WriteGood(L"held.mnr");
  WriteNotAProblemFile(L"bad.mnr");
  Program p(paths.exe, paths.folder);
  ASSERT_TRUE(p.Started());

  Step("a problem file that others may only read loads: the program only reads it");
  HANDLE readable = CreateFileW(paths.In(L"held.mnr").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  EXPECT_NE(readable, INVALID_HANDLE_VALUE);
  LoadGood(p, L"held.mnr");
  EXPECT_EQ(Read(p), Loaded(L"held.mnr", messages::kGenreList));
  CloseHandle(readable);

  HANDLE held = HoldWithoutSharing(paths.In(L"held.mnr"));
  EXPECT_NE(held, INVALID_HANDLE_VALUE);
  ChooseFile(p, paths.In(L"bad.mnr"));
  ExpectBox(p, messages::kWarningTitle, messages::kNotAProblemFile, IDI_EXCLAMATION);
  Settle(p);

  Step("a problem file that cannot be opened: the numbered error, no full stop; no file stays");
  ChooseFile(p, paths.In(L"held.mnr"));
  ExpectRefused(p, true);

  Step("after a good load the earlier problem set stays usable");
  LoadGood(p, L"set1.mnr");
  const Shown loaded = Read(p);
  ChooseFile(p, paths.In(L"held.mnr"));
  ExpectBox(p, messages::kAppTitle, platform::IoErrorMessage(platform::error_code::kSharingViolation), IDI_HAND);
  Settle(p);
  EXPECT_EQ(Read(p), loaded);
  Press(p.Control(id::kBitBtnDecode1));
  EXPECT_TRUE(ShowsStatus(p, messages::kExported));
  EXPECT_TRUE(Exists(paths.In(L"set10.txt")));
  CloseHandle(held);
}

TEST_F(E2e, about) {
  Program p(paths.exe, paths.folder);
  ASSERT_TRUE(p.Started());

  Step("the About window: borderless, centred, its texts");
  Press(p.Control(id::kBitBtnAbout));
  HWND about = WaitForAbout(p);
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(Dimensions(ClientSize(about)), std::pair(284L, 105L));
  EXPECT_FALSE(GetWindowLongW(about, GWL_STYLE) & (WS_CAPTION | WS_BORDER | WS_THICKFRAME));
  RECT r;
  GetWindowRect(about, &r);
  EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 284) / 2);
  EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - 105) / 2);
  EXPECT_PRED_FORMAT2(SameText, Text(GetDlgItem(about, id::kLabelSubTitle)), L"「むねりクイズもじだし」略して");
  EXPECT_PRED_FORMAT2(SameText, Text(GetDlgItem(about, id::kLabelVersion)), L"Ver 0.80");
  EXPECT_PRED_FORMAT2(SameText, Text(GetDlgItem(about, id::kLabelTitle)), L"むねもじ");
  const std::wstring maker = Text(GetDlgItem(about, id::kLabelText1));
  EXPECT_TRUE(maker.starts_with(L"作り手：")) << Quoted(maker);
  EXPECT_FALSE(Text(GetDlgItem(about, id::kLabelText2)).empty());
  EXPECT_NE(GetDlgItem(about, id::kImage1), nullptr);
  Screenshot(about, L"about.png");

  Step("a click on a label closes it");
  Click(CentreOf(GetDlgItem(about, id::kLabelTitle)));
  EXPECT_TRUE(Hidden(about));

  Step("a click on the picture closes it");
  Press(p.Control(id::kBitBtnAbout));
  EXPECT_EQ(WaitForAbout(p), about);
  Click(CentreOf(GetDlgItem(about, id::kImage1)));
  EXPECT_TRUE(Hidden(about));

  Step("a click on the bare panel closes it");
  Press(p.Control(id::kBitBtnAbout));
  EXPECT_EQ(WaitForAbout(p), about);
  Click(ScreenPoint(about, 120, 95));
  EXPECT_TRUE(Hidden(about));

  Step("a press dragged out of it is taken back; a press released in it closes it");
  Press(p.Control(id::kBitBtnAbout));
  EXPECT_EQ(WaitForAbout(p), about);
  MoveMouse(ScreenPoint(about, 120, 95));
  Pause(100);
  MouseButton(true);
  Pause(300);
  EXPECT_TRUE(IsWindowVisible(about));
  MoveMouse(ScreenPoint(about, -40, -40));
  Pause(100);
  MouseButton(false);
  Pause(500);
  EXPECT_TRUE(IsWindowVisible(about));
  Click(ScreenPoint(about, 120, 95));
  EXPECT_TRUE(Hidden(about));

  Step("activating the main window closes it");
  Press(p.Control(id::kBitBtnAbout));
  EXPECT_EQ(WaitForAbout(p), about);
  Click(ScreenPoint(p.Main(), 100, 8));
  EXPECT_TRUE(Hidden(about));

  Step("switching to another program leaves it up; then the main window closes it");
  HWND other = CreateOtherProgramWindow();
  Press(p.Control(id::kBitBtnAbout));
  EXPECT_EQ(WaitForAbout(p), about);
  Click(ScreenPoint(other, 50, 30));
  Pause(500);
  EXPECT_TRUE(IsWindowVisible(about));
  Click(ScreenPoint(p.Main(), 100, 8));
  EXPECT_TRUE(Hidden(about));

  Step("coming back to it from another program keeps it up until clicked");
  Press(p.Control(id::kBitBtnAbout));
  EXPECT_EQ(WaitForAbout(p), about);
  Click(ScreenPoint(other, 50, 30));
  Pause(300);
  SetForegroundWindow(about);
  Pause(500);
  EXPECT_TRUE(IsWindowVisible(about));
  Click(ScreenPoint(about, 270, 60));
  EXPECT_TRUE(Hidden(about));
  DestroyWindow(other);

  Step("clicking About while it shows: it shows again, still one About window");
  Pause(500);
  Press(p.Control(id::kBitBtnAbout));
  EXPECT_EQ(WaitForAbout(p), about);
  Pause(500);
  Click(CentreOf(p.Control(id::kBitBtnAbout)));
  Pause(3000);
  EXPECT_EQ(p.Windows(L"TForm_About").size(), 1u);
  EXPECT_TRUE(IsWindowVisible(about));

  Step("the program still quits with the About window up");
  Press(p.Control(id::kBitBtnQuit));
  EXPECT_EQ(p.WaitForExit(10000), 0);
}

// Names no single code page holds, and 表 (trail byte 0x5C in code page 932)
// in a folder あ (its last UTF-8 byte 0x82 is a 932 lead byte, so scanning
// UTF-8 as 932 would swallow the separator after it), and a path of 40 kanji
// in a folder of 50: over 260 bytes in UTF-8, the programs' code page, yet
// well within 260 characters. Run with the system's language English and
// Japanese (names.en_US, names.ja_JP).
TEST_F(E2e, names) {
  struct Name {
    std::wstring folder, base;
  };
  std::wstring longFolder, longBase;
  for (int i = 0; i < 25; ++i) longFolder += L"問題";
  for (int i = 0; i < 20; ++i) longBase += L"試験";
  const Name names[] = {{L"", L"クイズ"}, {L"", L"퀴즈"}, {L"あ", L"表"}, {longFolder, longBase}};
  CreateDirectoryW(paths.In(L"あ").c_str(), nullptr);
  CreateDirectoryW(paths.In(longFolder).c_str(), nullptr);
  std::printf("- the system's code page: %u\n", GetACP());
  Program p(paths.exe, paths.folder);
  ASSERT_TRUE(p.Started());
  for (const Name& name : names) {
    const std::wstring prefix = name.folder.empty() ? L"" : name.folder + L"\\";
    const std::wstring folder = name.folder.empty() ? paths.folder : paths.In(name.folder);
    const std::wstring file = prefix + name.base + L".mnr";
    Step(Utf8(L"opened and exported in the window: " + file));
    WriteGood(file);
    LoadGood(p, file);
    EXPECT_EQ(Read(p), Loaded(name.base + L".mnr", messages::kGenreList));
    Press(p.Control(id::kBitBtnDecode1));
    EXPECT_TRUE(ShowsStatus(p, messages::kExported));
    ExpectExported(folder, name.base);

    Step(Utf8(L"converted by mnr2txt, its report in UTF-8: " + file));
    for (int g = 0; g < 8; ++g) DeleteFileW((folder + L"\\" + name.base + std::to_wstring(g) + L".txt").c_str());
    ExpectMnr2txtExported(L"\"" + file + L"\"", file, prefix + name.base);
    ExpectExported(folder, name.base);
  }

  Step("mnr2txt writes into a folder of a long Japanese name (-o)");
  const std::wstring out = L"o" + longFolder;
  CreateDirectoryW(paths.In(out).c_str(), nullptr);
  const std::wstring file = longFolder + L"\\" + longBase + L".mnr";
  ExpectMnr2txtExported(L"-o \"" + out + L"\" \"" + file + L"\"", file, out + L"\\" + longBase);
  ExpectExported(paths.In(out), longBase);
}

// A file dropped on the window loads as if chosen in the open dialog; a bad
// or held one gives the boxes a dialog choice does.
TEST_F(E2e, drop) {
  WriteGoodBadAndHeld();
  Program p(paths.exe, paths.folder);
  ASSERT_TRUE(p.Started());

  Step("a dropped problem file loads; of several, the first");
  EXPECT_TRUE(DropFiles(p, {paths.In(kGoodName), paths.In(L"bad.mnr")}));
  ExpectLoadedAsIfChosen(p);

  Step("a dropped file that is no problem file: warning, then no file");
  EXPECT_TRUE(DropFiles(p, {paths.In(L"bad.mnr")}));
  ExpectRefused(p, false);

  Step("a dropped file held without sharing: the error box, then no file");
  HANDLE held = HoldWithoutSharing(paths.In(L"held.mnr"));
  EXPECT_TRUE(DropFiles(p, {paths.In(L"held.mnr")}));
  ExpectRefused(p, true);
  CloseHandle(held);
}

// A path on the command line (Explorer's drop on the program, "Open with")
// loads once the window shows; a relative one from the folder it starts in.
TEST_F(E2e, argument) {
  WriteGoodBadAndHeld();
  {
    Step("a problem file named on the command line, quoted, with a space");
    Program p(paths.exe, paths.folder, paths.In(kGoodName));
    EXPECT_TRUE(p.Started());
    ExpectLoadedAsIfChosen(p);
  }
  {
    Step("no problem file: warning, then no file");
    Program p(paths.exe, paths.folder, L"bad.mnr");
    EXPECT_TRUE(p.Started());
    ExpectRefused(p, false);
  }
  HANDLE held = HoldWithoutSharing(paths.In(L"held.mnr"));
  {
    Step("a file held without sharing: the error box, then no file");
    Program p(paths.exe, paths.folder, L"held.mnr");
    EXPECT_TRUE(p.Started());
    ExpectRefused(p, true);
  }
  CloseHandle(held);
}

// At 192 DPI (this scenario's own Wine prefix) every designed length doubles
// and the pictures grow twice, pixel for pixel.
TEST_F(E2e, dpi192) {
  WriteGood(L"set1.mnr");
  Program p(paths.exe, paths.folder);
  ASSERT_TRUE(p.Started());
  ASSERT_EQ(GetDpiForWindow(p.Main()), 192u);

  Step("the main window and its controls at twice the designed size");
  ExpectDesignedLayout(p, 192);
  EXPECT_TRUE(ShowsPicture(p.Control(id::kBitBtnAbout), pictures::kAbout, 2));
  EXPECT_TRUE(ShowsPicture(p.Control(id::kBitBtnQuit), pictures::kQuit, 2));
  LoadGood(p, L"set1.mnr");
  Screenshot(p.Main(), L"main-192dpi.png");

  Step("the About window at twice the designed size");
  Press(p.Control(id::kBitBtnAbout));
  HWND about = p.WaitForWindow(L"TForm_About");
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(Dimensions(ClientSize(about)), std::pair(568L, 210L));
  const RECT title = PlaceInParent(GetDlgItem(about, id::kLabelTitle));
  EXPECT_EQ(title.left, 16);
  EXPECT_EQ(title.top, 48);
  EXPECT_EQ(title.bottom - title.top, 66);
  Screenshot(about, L"about-192dpi.png");
}

// A genre's problems in a window of their own: opened by a double-click or
// Enter on the genre, one window that follows the selection, closed by Esc
// and by a new load.
TEST_F(E2e, problems) {
  const test_support::MnrWriter writer = ProblemsToRead();
  Write(L"set1.mnr", writer);
  WriteNotAProblemFile(L"bad.mnr");
  Program p(paths.exe, paths.folder);
  ASSERT_TRUE(p.Started());
  HWND list = p.Control(id::kListBoxGerne);

  Step("in the no-file state the list is no tab stop and a double-click opens nothing");
  EXPECT_FALSE(GetWindowLongW(list, GWL_STYLE) & WS_TABSTOP);
  DoubleClick(GenreLine(p, 0));
  Settle(p);
  EXPECT_TRUE(p.Windows(L"TForm_Problems").empty());

  Step("a double-click on a genre opens its problems: titled with its list line, numbered, read-only");
  DropGood(p, L"set1.mnr");
  const Shown loaded = Read(p);
  DoubleClick(GenreLine(p, 0));
  HWND problems = ExpectProblems(p, writer, 0);
  if (problems == nullptr) return;
  HWND text = ProblemsText(problems);
  EXPECT_EQ(GetWindow(problems, GW_OWNER), p.Main());
  EXPECT_TRUE(GetWindowLongW(problems, GWL_STYLE) & WS_THICKFRAME);
  EXPECT_TRUE(GetWindowLongW(text, GWL_STYLE) & ES_READONLY);
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == problems && FocusOf(problems) == text; }));
  EXPECT_EQ(Read(p), loaded);
  Screenshot(problems, L"problems.png");

  Step("the full question wraps at the window's width: more lines shown than the text has, no sideways scroll bar");
  const std::size_t textLines = writer.expectedProblemsLines(0).size();
  EXPECT_GT(static_cast<std::size_t>(SendMessageW(text, EM_GETLINECOUNT, 0, 0)), textLines);
  // No sideways scroll bar, or one not shown (Wine has none to tell of).
  const auto noSidewaysBar = [&] {
    SCROLLBARINFO bar{};
    bar.cbSize = sizeof bar;
    return !GetScrollBarInfo(text, OBJID_HSCROLL, &bar) || (bar.rgstate[0] & STATE_SYSTEM_INVISIBLE) != 0;
  };
  EXPECT_TRUE(noSidewaysBar());
  RECT narrower;
  GetWindowRect(problems, &narrower);
  SetWindowPos(problems, nullptr, 0, 0, (narrower.right - narrower.left) / 2, narrower.bottom - narrower.top,
               SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_GT(static_cast<std::size_t>(SendMessageW(text, EM_GETLINECOUNT, 0, 0)), textLines + 1);
  EXPECT_TRUE(noSidewaysBar());
  SendMessageW(text, WM_VSCROLL, SB_BOTTOM, 0);  // the full question in view
  Screenshot(problems, L"problems-narrow.png");
  SendMessageW(text, WM_VSCROLL, SB_TOP, 0);
  SetWindowPos(problems, nullptr, 0, 0, narrower.right - narrower.left, narrower.bottom - narrower.top,
               SWP_NOMOVE | SWP_NOZORDER);

  Step("Ctrl+A and Ctrl+C copy the whole text; typing changes nothing");
  PressKey('A', true);
  PressKey('C', true);
  EXPECT_TRUE(WaitUntil([&] { return ClipboardText() == Joined(writer.expectedProblemsLines(0)); }))
      << "the clipboard holds " << Quoted(ClipboardText());
  PressKey('X');
  PressKey(VK_DELETE);
  EXPECT_PRED_FORMAT2(SameText, Text(text), Joined(writer.expectedProblemsLines(0)));

  Step("Esc closes it");
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(problems); }));
  EXPECT_TRUE(p.Windows(L"TForm_Problems").empty());

  Step("it follows the selection: a genre clicked in the list shows in it, behind the main window");
  DoubleClick(GenreLine(p, 0));
  problems = ExpectProblems(p, writer, 0);
  Click(GenreLine(p, 3));
  EXPECT_EQ(ExpectProblems(p, writer, 3), problems);
  EXPECT_EQ(GetForegroundWindow(), p.Main());
  Click(GenreLine(p, 6));  // no name, no problems
  EXPECT_EQ(ExpectProblems(p, writer, 6), problems);

  Step("a problem file that cannot be opened: the error box; the set, and so its problems window, stay");
  Write(L"held.mnr", writer);
  HANDLE held = HoldWithoutSharing(paths.In(L"held.mnr"));
  const Shown beforeHeld = Read(p);
  EXPECT_TRUE(DropFiles(p, {paths.In(L"held.mnr")}));
  ExpectBox(p, messages::kAppTitle, platform::IoErrorMessage(platform::error_code::kSharingViolation), IDI_HAND);
  CloseHandle(held);
  Settle(p);
  EXPECT_EQ(Read(p), beforeHeld);
  EXPECT_EQ(ExpectProblems(p, writer, 6), problems);
  if (problems != nullptr) CloseWithEsc(problems);

  Step("by keyboard: with a file loaded Tab reaches the list, arrows choose, Enter opens");
  EXPECT_TRUE(GetWindowLongW(list, GWL_STYLE) & WS_TABSTOP);
  SetForegroundWindow(p.Main());
  for (int i = 0; i < 7 && FocusOf(p.Main()) != p.Control(id::kBitBtnAbout); ++i) PressKey(VK_TAB);
  EXPECT_EQ(FocusOf(p.Main()), p.Control(id::kBitBtnAbout));
  PressKey(VK_TAB);
  EXPECT_EQ(FocusOf(p.Main()), list);
  PressKey(VK_DOWN);
  EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 7);
  PressKey(VK_RETURN);
  problems = ExpectProblems(p, writer, 7);
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == problems; }));

  Step("a load that fails closes it; the no-file state takes the list out of the tab order");
  EXPECT_TRUE(DropFiles(p, {paths.In(L"bad.mnr")}));
  ExpectBox(p, messages::kWarningTitle, messages::kNotAProblemFile, IDI_EXCLAMATION);
  Settle(p);
  EXPECT_FALSE(IsWindow(problems));
  EXPECT_FALSE(GetWindowLongW(list, GWL_STYLE) & WS_TABSTOP);
  DoubleClick(GenreLine(p, 1));
  Settle(p);
  EXPECT_TRUE(p.Windows(L"TForm_Problems").empty());

  Step("loading again closes it too");
  DropGood(p, L"set1.mnr");
  DoubleClick(GenreLine(p, 7));
  problems = ExpectProblems(p, writer, 7);
  EXPECT_TRUE(DropFiles(p, {paths.In(L"set1.mnr")}));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(problems); }));
  EXPECT_EQ(Read(p), loaded);

  ShowLargeGenre(p, 2500);
}

// A genre of count problems of full fields shows its first part at once and
// the rest in parts while the window answers, leaving the view where the
// user put it; Ctrl+A takes what remains at once. Prints how long each took.
void E2e::ShowLargeGenre(const Program& p, int count) const {
  Step(std::to_string(count) + " problems of full fields: shown at once, then filled in while usable");
  const test_support::MnrWriter large = LargeGenre(count);
  Write(L"large.mnr", large);
  DropGood(p, L"large.mnr");
  const std::wstring expected = Joined(large.expectedProblemsLines(2));
  const std::wstring title = ProblemsTitle(large, 2);
  const DWORD start = GetTickCount();
  DoubleClick(GenreLine(p, 2));
  HWND problems = p.WaitForWindow(L"TForm_Problems", &title, 60000);
  ASSERT_NE(problems, nullptr);
  EXPECT_TRUE(p.Responsive());
  const DWORD shownAfter = GetTickCount() - start;
  HWND text = ProblemsText(problems);
  const auto length = [&] { return static_cast<std::size_t>(SendMessageW(text, WM_GETTEXTLENGTH, 0, 0)); };
  const std::size_t first = length();
  SendMessageW(text, EM_LINESCROLL, 0, 100);
  const LRESULT top = SendMessageW(text, EM_GETFIRSTVISIBLELINE, 0, 0);
  EXPECT_EQ(top, 100);
  DWORD slowestAnswer = 0;
  EXPECT_TRUE(WaitUntil(
      [&] {
        const DWORD asked = GetTickCount();
        EXPECT_TRUE(p.Responsive());
        slowestAnswer = std::max(slowestAnswer, GetTickCount() - asked);
        return length() == expected.size();
      },
      300000));
  std::printf("- shown after %lu ms (%zu of %zu characters), whole after %lu ms; the slowest answer took %lu ms\n",
              static_cast<unsigned long>(shownAfter), first, expected.size(),
              static_cast<unsigned long>(GetTickCount() - start), static_cast<unsigned long>(slowestAnswer));
  EXPECT_EQ(SendMessageW(text, EM_GETFIRSTVISIBLELINE, 0, 0), top);
  EXPECT_EQ(SendMessageW(text, EM_GETSEL, 0, 0), 0);  // the caret still at the start, nothing selected
  EXPECT_TRUE(Text(text) == expected);  // not printed: it can be megabytes long
  CloseWithEsc(problems);

  Step("opened again, Ctrl+A takes what remains at once, and Ctrl+C copies all of it");
  DoubleClick(GenreLine(p, 2));
  problems = p.WaitForWindow(L"TForm_Problems", &title, 60000);
  ASSERT_NE(problems, nullptr);
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == problems; }));
  const DWORD pressed = GetTickCount();
  PressKey('A', true);
  PressKey('C', true);
  EXPECT_TRUE(WaitUntil([&] { return ClipboardText() == expected; }, 120000));
  std::printf("- all of it copied after %lu ms\n", static_cast<unsigned long>(GetTickCount() - pressed));
  CloseWithEsc(problems);
}

// The status panel cuts a text wider than itself at both ends: the mouse
// over it then shows the whole text as a tooltip, and over one that fits,
// none. Run where the designed face is a fixed-pitch one (run-e2e.sh), in
// which the longest statuses are wider than the panel.
TEST_F(E2e, status) {
  WriteGood(L"set1.mnr");
  Program p(paths.exe, paths.folder);
  ASSERT_TRUE(p.Started());
  HWND tips = TooltipsOf(p.Main());
  ASSERT_NE(tips, nullptr);
  constexpr int kButtonTools = 10;  // each button's, enabled and disabled
  const auto expectTip = [&](const char* status, const std::wstring& screenshot) {
    EXPECT_EQ(ToolCount(tips), kButtonTools + 1);
    MoveMouse(CentreOf(p.Control(id::kPanelHelp)));
    UINT_PTR tool = 0;
    std::wstring tip;
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(tips) && ShownTool(p, tips, tool, tip); }));
    EXPECT_EQ(tool, static_cast<UINT_PTR>(id::kPanelHelp));
    EXPECT_PRED_FORMAT2(SameText, tip, FromShiftJis(status));
    Screenshot(p.Main(), screenshot + L".png");
    Screenshot(tips, screenshot + L"-tip.png");
    MoveMouse(CentreOf(p.Control(id::kListBoxGerne)));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(tips); }));
  };

  Step("at start the status is cut: its tooltip shows it whole");
  EXPECT_TRUE(ShowsStatus(p, messages::kNoFile));
  expectTip(messages::kNoFile, L"status-tooltip-start");

  Step("a status that fits has no tooltip");
  LoadGood(p, L"set1.mnr");
  EXPECT_EQ(ToolCount(tips), kButtonTools);

  Step("after the export, cut again: its tooltip follows the text");
  Press(p.Control(id::kBitBtnDecode1));
  EXPECT_TRUE(ShowsStatus(p, messages::kExported));
  expectTip(messages::kExported, L"status-tooltip");
}

// mnr2txt.exe and txt2mnr.exe given a file as a drop on them gives it (its
// full name the only argument, a console of their own): each does its work,
// then asks for Enter so its messages can be read, and ends when it comes.
TEST_F(E2e, console) {
  WriteGood(L"set1.mnr");
  const std::wstring txt2mnr = paths.mnr2txt.substr(0, paths.mnr2txt.rfind(L'\\') + 1) + L"txt2mnr.exe";
  EXPECT_TRUE(CreateDirectoryW(paths.In(L"json").c_str(), nullptr));
  std::string output;
  EXPECT_EQ(RunConsoleProgram(paths.mnr2txt, paths.folder, L"--json -o json set1.mnr", output), 0);
  const struct {
    std::wstring exe, file, written;
  } drops[] = {{paths.mnr2txt, paths.In(L"set1.mnr"), paths.In(L"set17.txt")},
               {txt2mnr, paths.In(L"json\\set1.json"), paths.In(L"json\\set1.mnr")}};
  // In the user's language, which is the system's here.
  const texts::TextRow& prompt = cli::shell_texts::kTable[cli::shell_texts::kPressEnter];
  const auto asks = [&](const std::wstring& screen) {
    return screen.find(FromUtf8(prompt.english)) != std::wstring::npos ||
           screen.find(FromUtf8(prompt.japanese)) != std::wstring::npos;
  };
  for (const auto& drop : drops) {
    Step(Utf8(L"dropped on " + drop.exe.substr(drop.exe.rfind(L'\\') + 1)));
    OwnConsoleProgram program(drop.exe, paths.folder, drop.file);
    ASSERT_TRUE(program.Started());
    EXPECT_TRUE(WaitUntil([&] { return Exists(drop.written); }, 30000)) << Utf8(drop.written);
    // Its console is read only once it is done with it (attaching to a
    // console that is still being set up loses it under Wine).
    Pause(1500);
    EXPECT_TRUE(program.Running()) << "it closed its console before Enter";
    EXPECT_TRUE(WaitUntil([&] { return asks(program.Screen()); })) << "its console shows: " << Utf8(program.Screen());
    EXPECT_TRUE(program.PressEnter());
    EXPECT_EQ(program.WaitForExit(10000), 0);
  }
}

// The largest genre a file can hold, for measuring by hand (run-e2e.sh ...
// largest ...): not one of the CTest scenarios, as it takes a minute under
// Wine.
TEST_F(E2e, largest) {
  Program p(paths.exe, paths.folder);
  ASSERT_TRUE(p.Started());
  ShowLargeGenre(p, 32767);
}

// At 144 DPI (150 %, this scenario's own Wine prefix) lengths grow by half;
// each picture grows by the largest whole factor at which it fits its
// button's face (50 x 38 within a two-pixel frame): twice for the 16-pixel
// pictures, once for the 18-pixel door.
TEST_F(E2e, dpi144) {
  const test_support::MnrWriter writer = ProblemsToRead();
  Write(L"set1.mnr", writer);
  Program p(paths.exe, paths.folder);
  ASSERT_TRUE(p.Started());
  ASSERT_EQ(GetDpiForWindow(p.Main()), 144u);

  Step("the main window at one and a half times the designed size, the pictures doubled where they fit");
  ExpectDesignedLayout(p, 144);
  DropGood(p, L"set1.mnr");
  Settle(p);
  EXPECT_TRUE(ShowsPicture(p.Control(id::kBitBtnFileOpen), pictures::kFileOpen, 2));
  EXPECT_TRUE(ShowsPicture(p.Control(id::kBitBtnDecode1), pictures::kDecode1, 2));
  EXPECT_TRUE(ShowsPicture(p.Control(id::kBitBtnDecode2), pictures::kDecode2, 2));
  EXPECT_TRUE(ShowsPicture(p.Control(id::kBitBtnQuit), pictures::kQuit, 1));
  EXPECT_TRUE(ShowsPicture(p.Control(id::kBitBtnAbout), pictures::kAbout, 2));
  Screenshot(p.Main(), L"main-144dpi.png");

  Step("the problems window at this DPI");
  DoubleClick(GenreLine(p, 0));
  HWND problems = ExpectProblems(p, writer, 0);
  if (problems == nullptr) return;
  EXPECT_EQ(Dimensions(ClientSize(problems)), std::pair(960L, 600L));
  Screenshot(problems, L"problems-144dpi.png");
}

std::wstring Widen(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// "/tmp/x" -> "Z:\tmp\x"; a Windows path stays as it is.
std::wstring WindowsPath(const std::string& path) {
  std::wstring result = Widen(path);
  if (!result.empty() && result[0] == L'/') result = L"Z:" + result;
  for (wchar_t& c : result) {
    if (c == L'/') c = L'\\';
  }
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);  // takes its own flags out of argv
  if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
  if (argc != 4 && argc != 5) {
    std::printf("usage: ui_e2e --gtest_filter=E2e.SCENARIO MUNEMOJI.EXE WORK-FOLDER SCREENSHOT-FOLDER [MNR2TXT.EXE]\n");
    return 2;
  }
  E2e::paths = {WindowsPath(argv[1]), WindowsPath(argv[2]), WindowsPath(argv[3]), argc == 5 ? WindowsPath(argv[4]) : L""};
  const int result = RUN_ALL_TESTS();
  // A scenario name that matches no test must not pass.
  if (testing::UnitTest::GetInstance()->test_to_run_count() == 0) {
    std::printf("no scenario matches the filter\n");
    return 2;
  }
  return result;
}
