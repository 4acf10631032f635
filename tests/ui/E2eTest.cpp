// End-to-end tests of munemoji.exe under Wine (or Windows): each scenario
// starts the real program and uses it from outside as a person would.
//   ui_e2e SCENARIO MUNEMOJI.EXE WORK-FOLDER SCREENSHOT-FOLDER [MNR2TXT.EXE]
// Folders may be given as Linux paths; under Wine "/" is drive Z:.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "frontend/Messages.h"
#include "platform/CodePage.h"
#include "platform/IoError.h"
#include "tests/support/MnrWriter.h"
#include "tests/ui/Driver.h"
#include "ui/ControlIds.h"
#include "ui/PictureMaps.h"

using namespace driver;
namespace id = control_id;

namespace {

int checks = 0;
int failures = 0;

void Check(bool ok, const char* what, int line) {
  ++checks;
  if (!ok) {
    ++failures;
    std::printf("FAILED (line %d): %s\n", line, what);
    std::fflush(stdout);
  }
}

void CheckText(const std::wstring& actual, const std::wstring& expected, const char* what, int line) {
  ++checks;
  if (actual != expected) {
    ++failures;
    std::printf("FAILED (line %d): %s\n  shown:    \"%s\"\n  expected: \"%s\"\n", line, what,
                Utf8(actual).c_str(), Utf8(expected).c_str());
    std::fflush(stdout);
  }
}

#define CHECK(condition) Check((condition), #condition, __LINE__)
#define CHECK_TEXT(actual, expected) CheckText((actual), (expected), #actual, __LINE__)

// Each step with the seconds since the scenario started, so that a slow one
// shows in the log.
const DWORD started = GetTickCount();
void Step(const char* text) {
  std::printf("- [%5.1f s] %s\n", (GetTickCount() - started) / 1000.0, text);
  std::fflush(stdout);
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

struct Paths {
  std::wstring exe;
  std::wstring folder;  // the scenario's own, empty at start
  std::wstring shots;
  std::wstring mnr2txt;  // for the scenarios that run it too
  std::wstring In(const std::wstring& name) const { return folder + L"\\" + name; }
};

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

void Write(const std::wstring& path, const test_support::MnrWriter& writer) {
  const test_support::Bytes bytes = writer.bytes();
  CHECK(WriteBytes(path, std::string(bytes.begin(), bytes.end())));
}

void WriteGood(const Paths& paths, const std::wstring& name) { Write(paths.In(name), GoodProblems()); }

void WriteNotAProblemFile(const Paths& paths, const std::wstring& name) {
  test_support::MnrWriter writer = GoodProblems();
  writer.setSignature("munebank");
  Write(paths.In(name), writer);
}

std::string ReadAll(const std::wstring& path) { return ReadBytes(path); }

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// --- What the main window shows --------------------------------------------

struct Shown {
  std::vector<std::wstring> lines;
  std::wstring fileName;
  std::wstring help;
  bool fileOpen, decode1, decode2, quit, about;
  bool operator==(const Shown&) const = default;
};

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

void ExpectNoFile(const Shown& shown) {
  CHECK(shown.lines == ExpectedLines(nullptr));
  CHECK_TEXT(shown.fileName, L"");
  CHECK_TEXT(shown.help, FromShiftJis(messages::kNoFile));
  CHECK(shown.fileOpen && !shown.decode1 && !shown.decode2 && shown.quit && shown.about);
}

void ExpectLoaded(const Shown& shown, const std::wstring& fileName, const std::string& help) {
  const test_support::MnrWriter writer = GoodProblems();
  const std::vector<std::wstring> expected = ExpectedLines(&writer);
  CHECK(shown.lines.size() == 8);
  for (std::size_t g = 0; g < shown.lines.size() && g < expected.size(); ++g) {
    CHECK_TEXT(shown.lines[g], expected[g]);
  }
  CHECK_TEXT(shown.fileName, fileName);
  CHECK_TEXT(shown.help, FromShiftJis(help));
  CHECK(shown.fileOpen && shown.decode1 && shown.decode2 && shown.quit && shown.about);
}

// The client area and every control where the design puts them, each length
// scaled by DPI / 96.
void ExpectDesignedLayout(const Program& p, int dpi) {
  const auto scale = [dpi](int designed) { return MulDiv(designed, dpi, 96); };
  const SIZE client = ClientSize(p.Main());
  CHECK(client.cx == scale(209) && client.cy == scale(204));
  struct Place { int id, left, top, width, height; };
  const Place places[] = {
      {id::kListBoxGerne, 0, 16, 209, 132}, {id::kBitBtnFileOpen, 8, 176, 33, 25},
      {id::kBitBtnDecode1, 48, 176, 33, 25}, {id::kBitBtnDecode2, 88, 176, 33, 25},
      {id::kBitBtnQuit, 128, 176, 33, 25},  {id::kBitBtnAbout, 168, 176, 33, 25},
      {id::kPanelFileName, 0, 0, 209, 17},   {id::kPanelHelp, 0, 152, 209, 17},
  };
  for (const Place& place : places) {
    const RECT r = PlaceInParent(p.Control(place.id));
    CHECK(r.left == scale(place.left) && r.top == scale(place.top) && r.right - r.left == scale(place.width) &&
          r.bottom - r.top == scale(place.height));
  }
  CHECK(SendMessageW(p.Control(id::kListBoxGerne), LB_GETITEMHEIGHT, 0, 0) == scale(16));
}

// --- Using the program -----------------------------------------------------

// Presses the open button and waits for the dialog.
HWND OpenTheDialog(const Program& p) {
  Press(p.Control(id::kBitBtnFileOpen));
  HWND dialog = p.WaitForOpenDialog();
  CHECK(dialog != nullptr);
  return dialog;
}

void CloseTheDialog(HWND dialog, int command) {
  Answer(dialog, command);
  CHECK(WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }));
}

// Types a path into the open dialog and confirms it.
void ChooseFile(const Program& p, const std::wstring& path) {
  HWND dialog = OpenTheDialog(p);
  if (dialog == nullptr) return;
  HWND name = OpenDialogFileName(dialog);
  CHECK(name != nullptr);
  DWORD_PTR ignored;
  SendMessageTimeoutW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()), SMTO_NORMAL, 5000, &ignored);
  CloseTheDialog(dialog, IDOK);
}

void LoadGood(const Program& p, const Paths& paths, const std::wstring& name) {
  ChooseFile(p, paths.In(name));
  CHECK(WaitUntil([&] { return Text(p.Control(id::kPanelHelp)) == FromShiftJis(messages::kGenreList); }));
}

// Waits for a message box, checks it and answers OK.
void ExpectBox(const Program& p, const std::string& title, const std::string& text, LPCWSTR icon) {
  const std::wstring wideTitle = FromShiftJis(title);
  HWND box = p.WaitForWindow(L"#32770", &wideTitle);
  CHECK(box != nullptr);
  if (box == nullptr) return;
  CHECK_TEXT(MessageBoxText(box), FromShiftJis(text));
  // On a busy machine the box may show before its icon is drawn.
  CHECK(WaitUntil([&] { return ShowsIcon(box, icon); }, 5000));
  Answer(box, IDOK);
  CHECK(WaitUntil([&] { return !IsWindow(box); }));
}

// Lets the program finish what it was doing before reading it.
void Settle(const Program& p) {
  Pause(300);
  CHECK(p.Responsive());
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

// --- Scenarios -------------------------------------------------------------

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

void ProgramFile(const Paths& paths) {
  Step("the program file: icon, manifest, version");
  HMODULE exe = LoadLibraryExW(paths.exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  CHECK(exe != nullptr);
  CHECK(FindResourceW(exe, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14)) != nullptr);  // RT_GROUP_ICON
  HRSRC manifest = FindResourceW(exe, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));   // RT_MANIFEST
  CHECK(manifest != nullptr);
  if (manifest != nullptr) {
    const char* xml = static_cast<const char*>(LockResource(LoadResource(exe, manifest)));
    const std::string text(xml, SizeofResource(exe, manifest));
    CHECK(text.find("Microsoft.Windows.Common-Controls") != std::string::npos);
    CHECK(text.find("version=\"6.0.0.0\"") != std::string::npos);
    CHECK(text.find("level=\"asInvoker\"") != std::string::npos);
    CHECK(text.find(">UTF-8</activeCodePage>") != std::string::npos);
    CHECK(text.find(">PerMonitorV2, PerMonitor</dpiAwareness>") != std::string::npos);
    CHECK(text.find("version=\"0.80.0.0\"") != std::string::npos);
  }
  FreeLibrary(exe);
  CHECK_TEXT(VersionString(paths.exe, L"ProductName"), L"むねもじ");
  CHECK_TEXT(VersionString(paths.exe, L"ProductVersion"), L"0.80");
}

void StartAndQuit(const Paths& paths) {
  ProgramFile(paths);
  Program p(paths.exe, paths.folder);
  CHECK(p.Started());
  if (!p.Started()) return;

  Step("the window as designed");
  CHECK_TEXT(Text(p.Main()), FromShiftJis(messages::kAppTitle));
  ExpectDesignedLayout(p, 96);
  const LONG style = GetWindowLongW(p.Main(), GWL_STYLE);
  CHECK((style & WS_SYSMENU) && (style & WS_MINIMIZEBOX) && !(style & WS_MAXIMIZEBOX) && !(style & WS_THICKFRAME));

  Step("start state: no file");
  ExpectNoFile(Read(p));

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
    CHECK_TEXT(tip, h.hint);
    CHECK_TEXT(Text(p.Control(h.id)), tip);
  }

  Step("cancelling the open dialog changes nothing");
  const Shown before = Read(p);
  CloseTheDialog(OpenTheDialog(p), IDCANCEL);
  Settle(p);
  CHECK(Read(p) == before);

  Step("the quit button ends the program");
  Press(p.Control(id::kBitBtnQuit));
  CHECK(p.WaitForExit(10000) == 0);
}

void LoadFiles(const Paths& paths) {
  // Away from the program's current folder, so the dialog has to remember it.
  CreateDirectoryW(paths.In(L"quiz").c_str(), nullptr);
  WriteGood(paths, L"quiz\\set1.mnr");
  WriteNotAProblemFile(paths, L"bad.mnr");
  Program p(paths.exe, paths.folder);
  CHECK(p.Started());
  if (!p.Started()) return;

  Step("a problem file loads: genre list, file name, export buttons, status");
  LoadGood(p, paths, L"quiz\\set1.mnr");
  ExpectLoaded(Read(p), L"set1.mnr", messages::kGenreList);
  Pause(200);
  CHECK(SaveScreenshot(p.Main(), paths.shots + L"\\main-loaded.png"));

  Step("cancelling the open dialog changes nothing");
  const Shown loaded = Read(p);
  CloseTheDialog(OpenTheDialog(p), IDCANCEL);
  Settle(p);
  CHECK(Read(p) == loaded);

  Step("the dialog reopens in the last file's folder with its name: confirming loads it again");
  Press(p.Control(id::kBitBtnDecode2));  // a status line that a new load replaces
  CHECK(WaitUntil([&] { return Text(p.Control(id::kPanelHelp)) == FromShiftJis(messages::kUnderConstruction); }));
  HWND dialog = OpenTheDialog(p);
  if (dialog != nullptr) {
    CHECK_TEXT(Text(OpenDialogFileName(dialog)), L"set1.mnr");
    CloseTheDialog(dialog, IDOK);
  }
  CHECK(WaitUntil([&] { return Text(p.Control(id::kPanelHelp)) == FromShiftJis(messages::kGenreList); }));
  CHECK(Read(p) == loaded);

  Step("a file that is no problem file: warning, then no file");
  ChooseFile(p, paths.In(L"bad.mnr"));
  ExpectBox(p, messages::kWarningTitle, messages::kNotAProblemFile, IDI_EXCLAMATION);
  Settle(p);
  ExpectNoFile(Read(p));

  Step("the good file again, then a name that does not exist: warning, then no file");
  LoadGood(p, paths, L"quiz\\set1.mnr");
  ChooseFile(p, paths.In(L"nothing-here.mnr"));
  ExpectBox(p, messages::kWarningTitle, messages::kNotAProblemFile, IDI_EXCLAMATION);
  Settle(p);
  ExpectNoFile(Read(p));

  Step("cancelling in the no-file state changes nothing");
  const Shown empty = Read(p);
  CloseTheDialog(OpenTheDialog(p), IDCANCEL);
  Settle(p);
  CHECK(Read(p) == empty);
}

void Export(const Paths& paths) {
  WriteGood(paths, L"set1.mnr");
  Program p(paths.exe, paths.folder);
  CHECK(p.Started());
  if (!p.Started()) return;
  LoadGood(p, paths, L"set1.mnr");

  Step("export: eight genre files beside the problem file, status");
  Press(p.Control(id::kBitBtnDecode1));
  CHECK(WaitUntil([&] { return Text(p.Control(id::kPanelHelp)) == FromShiftJis(messages::kExported); }));
  const test_support::MnrWriter writer = GoodProblems();
  for (int g = 0; g < 8; ++g) {
    const std::wstring name = paths.In(L"set1" + std::to_wstring(g) + L".txt");
    CHECK(Exists(name));
    CHECK(ReadAll(name) == writer.expectedGenreFile(g));
  }
  ExpectLoaded(Read(p), L"set1.mnr", messages::kExported);

  Step("the one-file export is under construction and writes nothing");
  DeleteFileW(paths.In(L"set13.txt").c_str());
  Press(p.Control(id::kBitBtnDecode2));
  CHECK(WaitUntil([&] { return Text(p.Control(id::kPanelHelp)) == FromShiftJis(messages::kUnderConstruction); }));
  CHECK(!Exists(paths.In(L"set13.txt")));
  CHECK(!Exists(paths.In(L"set1.txt")));

  Step("a genre file that cannot be created: the error box, nothing else changes");
  CHECK(CreateDirectoryW(paths.In(L"set13.txt").c_str(), nullptr));
  const Shown before = Read(p);
  Press(p.Control(id::kBitBtnDecode1));
  ExpectBox(p, messages::kAppTitle, messages::WithFullStop(platform::IoErrorMessage(platform::error_code::kAccessDenied)),
            IDI_HAND);
  Settle(p);
  CHECK(Read(p) == before);
}

void ReadOnlyAndLockedFiles(const Paths& paths) {
  WriteGood(paths, L"set1.mnr");
  WriteGood(paths, L"held.mnr");
  WriteNotAProblemFile(paths, L"bad.mnr");
  Program p(paths.exe, paths.folder);
  CHECK(p.Started());
  if (!p.Started()) return;

  Step("a problem file that others may only read loads: the program only reads it");
  HANDLE readable = CreateFileW(paths.In(L"held.mnr").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  CHECK(readable != INVALID_HANDLE_VALUE);
  LoadGood(p, paths, L"held.mnr");
  ExpectLoaded(Read(p), L"held.mnr", messages::kGenreList);
  CloseHandle(readable);

  // Another program holds the file and shares nothing.
  HANDLE held = CreateFileW(paths.In(L"held.mnr").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  CHECK(held != INVALID_HANDLE_VALUE);
  ChooseFile(p, paths.In(L"bad.mnr"));
  ExpectBox(p, messages::kWarningTitle, messages::kNotAProblemFile, IDI_EXCLAMATION);
  Settle(p);

  Step("a problem file that cannot be opened: the numbered error, no full stop; no file stays");
  ChooseFile(p, paths.In(L"held.mnr"));
  ExpectBox(p, messages::kAppTitle, platform::IoErrorMessage(platform::error_code::kSharingViolation), IDI_HAND);
  Settle(p);
  ExpectNoFile(Read(p));

  Step("after a good load the earlier problem set stays usable");
  LoadGood(p, paths, L"set1.mnr");
  const Shown loaded = Read(p);
  ChooseFile(p, paths.In(L"held.mnr"));
  ExpectBox(p, messages::kAppTitle, platform::IoErrorMessage(platform::error_code::kSharingViolation), IDI_HAND);
  Settle(p);
  CHECK(Read(p) == loaded);
  Press(p.Control(id::kBitBtnDecode1));
  CHECK(WaitUntil([&] { return Text(p.Control(id::kPanelHelp)) == FromShiftJis(messages::kExported); }));
  CHECK(Exists(paths.In(L"set10.txt")));
  CloseHandle(held);
}

HWND WaitForAbout(const Program& p) { return p.WaitForWindow(L"TForm_About"); }

bool Hidden(HWND window) {
  return WaitUntil([&] { return !IsWindowVisible(window); }, 5000);
}

void About(const Paths& paths) {
  Program p(paths.exe, paths.folder);
  CHECK(p.Started());
  if (!p.Started()) return;

  Step("the About window: borderless, centred, its texts");
  Press(p.Control(id::kBitBtnAbout));
  HWND about = WaitForAbout(p);
  CHECK(about != nullptr);
  if (about == nullptr) return;
  const SIZE client = ClientSize(about);
  CHECK(client.cx == 284 && client.cy == 105);
  CHECK(!(GetWindowLongW(about, GWL_STYLE) & (WS_CAPTION | WS_BORDER | WS_THICKFRAME)));
  RECT r;
  GetWindowRect(about, &r);
  CHECK(r.left == (GetSystemMetrics(SM_CXSCREEN) - 284) / 2 && r.top == (GetSystemMetrics(SM_CYSCREEN) - 105) / 2);
  CHECK_TEXT(Text(GetDlgItem(about, id::kLabelSubTitle)), L"「むねりクイズもじだし」略して");
  CHECK_TEXT(Text(GetDlgItem(about, id::kLabelVersion)), L"Ver 0.80");
  CHECK_TEXT(Text(GetDlgItem(about, id::kLabelTitle)), L"むねもじ");
  CHECK(Text(GetDlgItem(about, id::kLabelText1)).starts_with(L"作り手："));
  CHECK(!Text(GetDlgItem(about, id::kLabelText2)).empty());
  CHECK(GetDlgItem(about, id::kImage1) != nullptr);
  Pause(200);
  CHECK(SaveScreenshot(about, paths.shots + L"\\about.png"));

  Step("a click on a label closes it");
  Click(CentreOf(GetDlgItem(about, id::kLabelTitle)));
  CHECK(Hidden(about));

  Step("a click on the picture closes it");
  Press(p.Control(id::kBitBtnAbout));
  CHECK(WaitForAbout(p) == about);
  Click(CentreOf(GetDlgItem(about, id::kImage1)));
  CHECK(Hidden(about));

  Step("a click on the bare panel closes it");
  Press(p.Control(id::kBitBtnAbout));
  CHECK(WaitForAbout(p) == about);
  Click(ScreenPoint(about, 120, 95));
  CHECK(Hidden(about));

  Step("a press dragged out of it is taken back; a press released in it closes it");
  Press(p.Control(id::kBitBtnAbout));
  CHECK(WaitForAbout(p) == about);
  MoveMouse(ScreenPoint(about, 120, 95));
  Pause(100);
  MouseButton(true);
  Pause(300);
  CHECK(IsWindowVisible(about));
  MoveMouse(ScreenPoint(about, -40, -40));
  Pause(100);
  MouseButton(false);
  Pause(500);
  CHECK(IsWindowVisible(about));
  Click(ScreenPoint(about, 120, 95));
  CHECK(Hidden(about));

  Step("activating the main window closes it");
  Press(p.Control(id::kBitBtnAbout));
  CHECK(WaitForAbout(p) == about);
  Click(ScreenPoint(p.Main(), 100, 8));
  CHECK(Hidden(about));

  Step("switching to another program leaves it up; then the main window closes it");
  HWND other = CreateOtherProgramWindow();
  Press(p.Control(id::kBitBtnAbout));
  CHECK(WaitForAbout(p) == about);
  Click(ScreenPoint(other, 50, 30));
  Pause(500);
  CHECK(IsWindowVisible(about));
  Click(ScreenPoint(p.Main(), 100, 8));
  CHECK(Hidden(about));

  Step("coming back to it from another program keeps it up until clicked");
  Press(p.Control(id::kBitBtnAbout));
  CHECK(WaitForAbout(p) == about);
  Click(ScreenPoint(other, 50, 30));
  Pause(300);
  SetForegroundWindow(about);
  Pause(500);
  CHECK(IsWindowVisible(about));
  Click(ScreenPoint(about, 270, 60));
  CHECK(Hidden(about));
  DestroyWindow(other);

  Step("clicking About while it shows: it shows again, still one About window");
  Pause(500);
  Press(p.Control(id::kBitBtnAbout));
  CHECK(WaitForAbout(p) == about);
  Pause(500);
  Click(CentreOf(p.Control(id::kBitBtnAbout)));
  Pause(3000);
  CHECK(p.Windows(L"TForm_About").size() == 1);
  CHECK(IsWindowVisible(about));

  Step("the program still quits with the About window up");
  Press(p.Control(id::kBitBtnQuit));
  CHECK(p.WaitForExit(10000) == 0);
}

// The eight genre files of GoodProblems beside a problem file named base.mnr.
void ExpectExported(const std::wstring& folder, const std::wstring& base) {
  const test_support::MnrWriter writer = GoodProblems();
  for (int g = 0; g < 8; ++g) {
    CHECK(ReadAll(folder + L"\\" + base + std::to_wstring(g) + L".txt") == writer.expectedGenreFile(g));
  }
}

// Names no single code page holds, and 表 (trail byte 0x5C in code page 932)
// in a folder あ (its last UTF-8 byte 0x82 is a 932 lead byte, so scanning
// UTF-8 as 932 would swallow the separator after it), and a path of 40 kanji
// in a folder of 50: over 260 bytes in UTF-8, the programs' code page, yet
// well within 260 characters. Run with the system's language English and
// Japanese.
void AnyFileName(const Paths& paths) {
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
  CHECK(p.Started());
  if (!p.Started()) return;
  for (const Name& name : names) {
    const std::wstring prefix = name.folder.empty() ? L"" : name.folder + L"\\";
    const std::wstring folder = name.folder.empty() ? paths.folder : paths.In(name.folder);
    const std::wstring file = prefix + name.base + L".mnr";
    Step(Utf8(L"opened and exported in the window: " + file).c_str());
    Write(paths.In(file), GoodProblems());
    LoadGood(p, paths, file);
    ExpectLoaded(Read(p), name.base + L".mnr", messages::kGenreList);
    Press(p.Control(id::kBitBtnDecode1));
    CHECK(WaitUntil([&] { return Text(p.Control(id::kPanelHelp)) == FromShiftJis(messages::kExported); }));
    ExpectExported(folder, name.base);

    Step(Utf8(L"converted by mnr2txt, its report in UTF-8: " + file).c_str());
    for (int g = 0; g < 8; ++g) DeleteFileW((folder + L"\\" + name.base + std::to_wstring(g) + L".txt").c_str());
    std::string output;
    CHECK(RunConsoleProgram(paths.mnr2txt, paths.folder, L"\"" + file + L"\"", output) == 0);
    const std::wstring expected = L"mnr2txt: " + file + L": " + FromShiftJis(messages::kExported) + L" " +
                                  prefix + name.base + L"0.txt ... " + prefix + name.base + L"7.txt\r\n";
    CHECK(output == Utf8(expected));
    if (output != Utf8(expected)) std::printf("  printed: %s", output.c_str());
    ExpectExported(folder, name.base);
  }

  Step("mnr2txt writes into a folder of a long Japanese name (-o)");
  const std::wstring out = L"o" + longFolder;
  CreateDirectoryW(paths.In(out).c_str(), nullptr);
  const std::wstring file = longFolder + L"\\" + longBase + L".mnr";
  std::string output;
  CHECK(RunConsoleProgram(paths.mnr2txt, paths.folder, L"-o \"" + out + L"\" \"" + file + L"\"", output) == 0);
  const std::wstring expected = L"mnr2txt: " + file + L": " + FromShiftJis(messages::kExported) + L" " + out +
                                L"\\" + longBase + L"0.txt ... " + out + L"\\" + longBase + L"7.txt\r\n";
  CHECK(output == Utf8(expected));
  if (output != Utf8(expected)) std::printf("  printed: %s", output.c_str());
  ExpectExported(paths.In(out), longBase);
}

// Files for the drop and the command line: a good one whose name has a space
// and Japanese, one that is no problem file, one another program will hold.
const wchar_t kGoodName[] = L"クイズ 1.mnr";
void WriteGoodBadAndHeld(const Paths& paths) {
  WriteGood(paths, kGoodName);
  WriteNotAProblemFile(paths, L"bad.mnr");
  WriteGood(paths, L"held.mnr");
}

HANDLE HoldWithoutSharing(const std::wstring& path) {
  return CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Loaded as after a confirmed open dialog, which now reopens with the file.
void ExpectLoadedAsIfChosen(const Program& p) {
  CHECK(WaitUntil([&] { return Text(p.Control(id::kPanelHelp)) == FromShiftJis(messages::kGenreList); }));
  ExpectLoaded(Read(p), kGoodName, messages::kGenreList);
  HWND dialog = OpenTheDialog(p);
  if (dialog != nullptr) {
    CHECK_TEXT(Text(OpenDialogFileName(dialog)), kGoodName);
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
  ExpectNoFile(Read(p));
}

// A file dropped on the window loads as if chosen in the open dialog; a bad
// or held one gives the boxes a dialog choice does.
void DropFile(const Paths& paths) {
  WriteGoodBadAndHeld(paths);
  Program p(paths.exe, paths.folder);
  CHECK(p.Started());
  if (!p.Started()) return;

  Step("a dropped problem file loads; of several, the first");
  CHECK(DropFiles(p, {paths.In(kGoodName), paths.In(L"bad.mnr")}));
  ExpectLoadedAsIfChosen(p);

  Step("a dropped file that is no problem file: warning, then no file");
  CHECK(DropFiles(p, {paths.In(L"bad.mnr")}));
  ExpectRefused(p, false);

  Step("a dropped file held without sharing: the error box, then no file");
  HANDLE held = HoldWithoutSharing(paths.In(L"held.mnr"));
  CHECK(DropFiles(p, {paths.In(L"held.mnr")}));
  ExpectRefused(p, true);
  CloseHandle(held);
}

// A path on the command line (Explorer's drop on the program, "Open with")
// loads once the window shows; a relative one from the folder it starts in.
void FileArgument(const Paths& paths) {
  WriteGoodBadAndHeld(paths);
  {
    Step("a problem file named on the command line, quoted, with a space");
    Program p(paths.exe, paths.folder, paths.In(kGoodName));
    CHECK(p.Started());
    ExpectLoadedAsIfChosen(p);
  }
  {
    Step("no problem file: warning, then no file");
    Program p(paths.exe, paths.folder, L"bad.mnr");
    CHECK(p.Started());
    ExpectRefused(p, false);
  }
  HANDLE held = HoldWithoutSharing(paths.In(L"held.mnr"));
  {
    Step("a file held without sharing: the error box, then no file");
    Program p(paths.exe, paths.folder, L"held.mnr");
    CHECK(p.Started());
    ExpectRefused(p, true);
  }
  CloseHandle(held);
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

// At 192 DPI (this scenario's own Wine prefix) every designed length doubles
// and the pictures grow twice, pixel for pixel.
void HighDpi(const Paths& paths) {
  WriteGood(paths, L"set1.mnr");
  Program p(paths.exe, paths.folder);
  CHECK(p.Started());
  if (!p.Started()) return;
  const int dpi = static_cast<int>(GetDpiForWindow(p.Main()));
  CHECK(dpi == 192);
  if (dpi != 192) return;

  Step("the main window and its controls at twice the designed size");
  ExpectDesignedLayout(p, 192);
  CHECK(ShowsPicture(p.Control(id::kBitBtnAbout), pictures::kAbout, 2));
  CHECK(ShowsPicture(p.Control(id::kBitBtnQuit), pictures::kQuit, 2));
  LoadGood(p, paths, L"set1.mnr");
  Pause(200);
  CHECK(SaveScreenshot(p.Main(), paths.shots + L"\\main-192dpi.png"));

  Step("the About window at twice the designed size");
  Press(p.Control(id::kBitBtnAbout));
  HWND about = p.WaitForWindow(L"TForm_About");
  CHECK(about != nullptr);
  if (about == nullptr) return;
  const SIZE aboutClient = ClientSize(about);
  CHECK(aboutClient.cx == 568 && aboutClient.cy == 210);
  const RECT title = PlaceInParent(GetDlgItem(about, id::kLabelTitle));
  CHECK(title.left == 16 && title.top == 48 && title.bottom - title.top == 66);
  Pause(200);
  CHECK(SaveScreenshot(about, paths.shots + L"\\about-192dpi.png"));
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
  CHECK(problems != nullptr);
  if (problems == nullptr) return nullptr;
  CHECK(p.Windows(L"TForm_Problems").size() == 1);
  CHECK_TEXT(Text(ProblemsText(problems)), Joined(writer.expectedProblemsLines(genre)));
  return problems;
}

void CloseWithEsc(HWND problems) {
  SetForegroundWindow(problems);
  CHECK(WaitUntil([&] { return GetForegroundWindow() == problems; }));
  PressKey(VK_ESCAPE);
  CHECK(WaitUntil([&] { return !IsWindow(problems); }));
}

void ShowLargeGenre(const Program& p, const Paths& paths, int count);

// Loads a problem file dropped on the window: the same load as a choice in
// the open dialog, and quicker.
void DropGood(const Program& p, const Paths& paths, const std::wstring& name) {
  CHECK(DropFiles(p, {paths.In(name)}));
  CHECK(WaitUntil([&] { return Text(p.Control(id::kPanelHelp)) == FromShiftJis(messages::kGenreList); }));
}

// A genre's problems in a window of their own: opened by a double-click or
// Enter on the genre, one window that follows the selection, closed by Esc
// and by a new load.
void ProblemsWindow(const Paths& paths) {
  const test_support::MnrWriter writer = ProblemsToRead();
  Write(paths.In(L"set1.mnr"), writer);
  WriteNotAProblemFile(paths, L"bad.mnr");
  Program p(paths.exe, paths.folder);
  CHECK(p.Started());
  if (!p.Started()) return;
  HWND list = p.Control(id::kListBoxGerne);

  Step("in the no-file state the list is no tab stop and a double-click opens nothing");
  CHECK(!(GetWindowLongW(list, GWL_STYLE) & WS_TABSTOP));
  DoubleClick(GenreLine(p, 0));
  Settle(p);
  CHECK(p.Windows(L"TForm_Problems").empty());

  Step("a double-click on a genre opens its problems: titled with its list line, numbered, read-only");
  DropGood(p, paths, L"set1.mnr");
  const Shown loaded = Read(p);
  DoubleClick(GenreLine(p, 0));
  HWND problems = ExpectProblems(p, writer, 0);
  if (problems == nullptr) return;
  HWND text = ProblemsText(problems);
  CHECK(GetWindow(problems, GW_OWNER) == p.Main());
  CHECK((GetWindowLongW(problems, GWL_STYLE) & WS_THICKFRAME) != 0);
  CHECK((GetWindowLongW(text, GWL_STYLE) & ES_READONLY) != 0);
  CHECK(WaitUntil([&] { return GetForegroundWindow() == problems && FocusOf(problems) == text; }));
  CHECK(Read(p) == loaded);
  Pause(200);
  CHECK(SaveScreenshot(problems, paths.shots + L"\\problems.png"));

  Step("Ctrl+A and Ctrl+C copy the whole text; typing changes nothing");
  PressKey('A', true);
  PressKey('C', true);
  CHECK(WaitUntil([&] { return ClipboardText() == Joined(writer.expectedProblemsLines(0)); }));
  PressKey('X');
  PressKey(VK_DELETE);
  CHECK_TEXT(Text(text), Joined(writer.expectedProblemsLines(0)));

  Step("Esc closes it");
  PressKey(VK_ESCAPE);
  CHECK(WaitUntil([&] { return !IsWindow(problems); }));
  CHECK(p.Windows(L"TForm_Problems").empty());

  Step("it follows the selection: a genre clicked in the list shows in it, behind the main window");
  DoubleClick(GenreLine(p, 0));
  problems = ExpectProblems(p, writer, 0);
  Click(GenreLine(p, 3));
  CHECK(ExpectProblems(p, writer, 3) == problems);
  CHECK(GetForegroundWindow() == p.Main());
  Click(GenreLine(p, 6));  // no name, no problems
  CHECK(ExpectProblems(p, writer, 6) == problems);

  Step("a problem file that cannot be opened: the error box; the set, and so its problems window, stay");
  Write(paths.In(L"held.mnr"), writer);
  HANDLE held = HoldWithoutSharing(paths.In(L"held.mnr"));
  const Shown beforeHeld = Read(p);
  CHECK(DropFiles(p, {paths.In(L"held.mnr")}));
  ExpectBox(p, messages::kAppTitle, platform::IoErrorMessage(platform::error_code::kSharingViolation), IDI_HAND);
  CloseHandle(held);
  Settle(p);
  CHECK(Read(p) == beforeHeld);
  CHECK(ExpectProblems(p, writer, 6) == problems);
  if (problems != nullptr) CloseWithEsc(problems);

  Step("by keyboard: with a file loaded Tab reaches the list, arrows choose, Enter opens");
  CHECK((GetWindowLongW(list, GWL_STYLE) & WS_TABSTOP) != 0);
  SetForegroundWindow(p.Main());
  for (int i = 0; i < 7 && FocusOf(p.Main()) != p.Control(id::kBitBtnAbout); ++i) PressKey(VK_TAB);
  CHECK(FocusOf(p.Main()) == p.Control(id::kBitBtnAbout));
  PressKey(VK_TAB);
  CHECK(FocusOf(p.Main()) == list);
  PressKey(VK_DOWN);
  CHECK(SendMessageW(list, LB_GETCURSEL, 0, 0) == 7);
  PressKey(VK_RETURN);
  problems = ExpectProblems(p, writer, 7);
  CHECK(WaitUntil([&] { return GetForegroundWindow() == problems; }));

  Step("a load that fails closes it; the no-file state takes the list out of the tab order");
  CHECK(DropFiles(p, {paths.In(L"bad.mnr")}));
  ExpectBox(p, messages::kWarningTitle, messages::kNotAProblemFile, IDI_EXCLAMATION);
  Settle(p);
  CHECK(!IsWindow(problems));
  CHECK(!(GetWindowLongW(list, GWL_STYLE) & WS_TABSTOP));
  DoubleClick(GenreLine(p, 1));
  Settle(p);
  CHECK(p.Windows(L"TForm_Problems").empty());

  Step("loading again closes it too");
  DropGood(p, paths, L"set1.mnr");
  DoubleClick(GenreLine(p, 7));
  problems = ExpectProblems(p, writer, 7);
  CHECK(DropFiles(p, {paths.In(L"set1.mnr")}));
  CHECK(WaitUntil([&] { return !IsWindow(problems); }));
  CHECK(Read(p) == loaded);

  ShowLargeGenre(p, paths, 2500);
}

// A genre of count problems of full fields shows its first part at once and
// the rest in parts while the window answers, leaving the view where the
// user put it; Ctrl+A takes what remains at once. Prints how long each took.
void ShowLargeGenre(const Program& p, const Paths& paths, int count) {
  Step((std::to_string(count) + " problems of full fields: shown at once, then filled in while usable").c_str());
  const test_support::MnrWriter large = LargeGenre(count);
  Write(paths.In(L"large.mnr"), large);
  DropGood(p, paths, L"large.mnr");
  const std::wstring expected = Joined(large.expectedProblemsLines(2));
  const std::wstring title = ProblemsTitle(large, 2);
  const DWORD start = GetTickCount();
  DoubleClick(GenreLine(p, 2));
  HWND problems = p.WaitForWindow(L"TForm_Problems", &title, 60000);
  CHECK(problems != nullptr);
  if (problems == nullptr) return;
  CHECK(p.Responsive());
  const DWORD shownAfter = GetTickCount() - start;
  HWND text = ProblemsText(problems);
  const auto length = [&] { return static_cast<std::size_t>(SendMessageW(text, WM_GETTEXTLENGTH, 0, 0)); };
  const std::size_t first = length();
  SendMessageW(text, EM_LINESCROLL, 0, 100);
  const LRESULT top = SendMessageW(text, EM_GETFIRSTVISIBLELINE, 0, 0);
  CHECK(top == 100);
  DWORD slowestAnswer = 0;
  CHECK(WaitUntil(
      [&] {
        const DWORD asked = GetTickCount();
        CHECK(p.Responsive());
        slowestAnswer = std::max(slowestAnswer, GetTickCount() - asked);
        return length() == expected.size();
      },
      300000));
  std::printf("- shown after %lu ms (%zu of %zu characters), whole after %lu ms; the slowest answer took %lu ms\n",
              static_cast<unsigned long>(shownAfter), first, expected.size(),
              static_cast<unsigned long>(GetTickCount() - start), static_cast<unsigned long>(slowestAnswer));
  CHECK(SendMessageW(text, EM_GETFIRSTVISIBLELINE, 0, 0) == top);
  CHECK(SendMessageW(text, EM_GETSEL, 0, 0) == 0);  // the caret still at the start, nothing selected
  CHECK(Text(text) == expected);
  CloseWithEsc(problems);

  Step("opened again, Ctrl+A takes what remains at once, and Ctrl+C copies all of it");
  DoubleClick(GenreLine(p, 2));
  problems = p.WaitForWindow(L"TForm_Problems", &title, 60000);
  CHECK(problems != nullptr);
  if (problems == nullptr) return;
  CHECK(WaitUntil([&] { return GetForegroundWindow() == problems; }));
  const DWORD pressed = GetTickCount();
  PressKey('A', true);
  PressKey('C', true);
  CHECK(WaitUntil([&] { return ClipboardText() == expected; }, 120000));
  std::printf("- all of it copied after %lu ms\n", static_cast<unsigned long>(GetTickCount() - pressed));
  CloseWithEsc(problems);
}

// The largest genre a file can hold, for measuring by hand (ui_e2e largest
// ...): not one of the test scenarios, as it takes a minute under Wine.
void LargestGenre(const Paths& paths) {
  Program p(paths.exe, paths.folder);
  CHECK(p.Started());
  if (p.Started()) ShowLargeGenre(p, paths, 32767);
}

// Whether a button shows its picture at factor in its enabled colours.
void ExpectPicture(const Program& p, int button, const pictures::PixelMap& map, int factor) {
  CHECK(ShowsPicture(p.Control(button), map, factor));
}

// At 144 DPI (150 %, this scenario's own Wine prefix) lengths grow by half;
// each picture grows by the largest whole factor at which it fits its
// button's face (50 x 38 within a two-pixel frame): twice for the 16-pixel
// pictures, once for the 18-pixel door.
void Dpi144(const Paths& paths) {
  const test_support::MnrWriter writer = ProblemsToRead();
  Write(paths.In(L"set1.mnr"), writer);
  Program p(paths.exe, paths.folder);
  CHECK(p.Started());
  if (!p.Started()) return;
  const int dpi = static_cast<int>(GetDpiForWindow(p.Main()));
  CHECK(dpi == 144);
  if (dpi != 144) return;

  Step("the main window at one and a half times the designed size, the pictures doubled where they fit");
  ExpectDesignedLayout(p, 144);
  DropGood(p, paths, L"set1.mnr");
  Settle(p);
  ExpectPicture(p, id::kBitBtnFileOpen, pictures::kFileOpen, 2);
  ExpectPicture(p, id::kBitBtnDecode1, pictures::kDecode1, 2);
  ExpectPicture(p, id::kBitBtnDecode2, pictures::kDecode2, 2);
  ExpectPicture(p, id::kBitBtnQuit, pictures::kQuit, 1);
  ExpectPicture(p, id::kBitBtnAbout, pictures::kAbout, 2);
  CHECK(SaveScreenshot(p.Main(), paths.shots + L"\\main-144dpi.png"));

  Step("the problems window at this DPI");
  DoubleClick(GenreLine(p, 0));
  HWND problems = ExpectProblems(p, writer, 0);
  if (problems == nullptr) return;
  const SIZE client = ClientSize(problems);
  CHECK(client.cx == 960 && client.cy == 600);
  Pause(200);
  CHECK(SaveScreenshot(problems, paths.shots + L"\\problems-144dpi.png"));
}

}  // namespace

int main(int argc, char** argv) {
  const std::map<std::string, std::function<void(const Paths&)>> scenarios = {
      {"start", StartAndQuit}, {"load", LoadFiles}, {"export", Export},
      {"locked", ReadOnlyAndLockedFiles},  {"about", About},
      {"names", AnyFileName}, {"drop", DropFile}, {"argument", FileArgument}, {"dpi192", HighDpi},
      {"problems", ProblemsWindow}, {"dpi144", Dpi144}, {"largest", LargestGenre},
  };
  if ((argc != 5 && argc != 6) || scenarios.count(argv[1]) == 0) {
    std::printf("usage: ui_e2e SCENARIO MUNEMOJI.EXE WORK-FOLDER SCREENSHOT-FOLDER [MNR2TXT.EXE]\n");
    return 2;
  }
  const Paths paths{WindowsPath(argv[2]), WindowsPath(argv[3]), WindowsPath(argv[4]),
                    argc == 6 ? WindowsPath(argv[5]) : L""};
  scenarios.at(argv[1])(paths);
  std::printf("%d passed, %d failed\n", checks - failures, failures);
  return failures == 0 ? 0 : 1;
}
