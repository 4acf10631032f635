#pragma once
// Every text txt2mnr says of its own, in English and Japanese side by side.
// What the readers find in a JSON, CSV or genre text file is theirs
// (frontend/import/ImportTexts.h, shared with the page). A message about a
// file follows "txt2mnr: FILE: "; a text ending in ": " is followed by the
// system's message (frontend's table of I/O errors).

#include "frontend/Language.h"

namespace cli::txt2mnr_texts {

// Before every message of the program.
inline constexpr char kProgram[] = "txt2mnr: ";

enum Id {
  kUsage,
  kTryHelp,
  kUnknownOption,
  kNeedsFile,
  kNoFile,
  kEmptyName,
  kOneInput,
  kCheckAlone,
  kWrote,
  kOutputExists,
  kNotWritten,
  kCannotRead,
  kNotAProblemFile,
  kUnknownKind,
  kNothingWritten,
  kNoMatch,
  kNoProblemFilesInFolder,
  kFolder,
  kOutOfMemory,
  kStandardOutputError,
  kPressEnter,
  kCheckClean,
  kCheckNotPadding,
  kCheckZeroByte,
  kCheckInvalid,
  kCheckOtherCodes,
  kCheckTrimmed,
  kCheckCut,
  kCheckOtherwise,
  kCheckTrailing,
  kCheckTrailingMore,
  kIdCount
};

inline constexpr texts::TextRow kTable[] = {
    {kUsage,
     "Usage: txt2mnr [options] FILE...\n"
     "       txt2mnr --check PROBLEM_FILE...\n"
     "Writes a quiz problem file (.mnr) from each FILE: the JSON or CSV that\n"
     "mnr2txt writes (edited or not), or eight genre text files BASE0.txt ...\n"
     "BASE7.txt (name any one of them). The problem file is FILE with .mnr for\n"
     "its extension (BASE.mnr for genre files), beside FILE. On Windows, * and ?\n"
     "in FILE give the matching files (elsewhere the shell does that); with\n"
     "--check, a folder stands for the .mnr files directly inside it.\n"
     "\n"
     "  -o, --output FILE   write FILE instead (one input only)\n"
     "  -f, --force         replace an existing problem file\n"
     "      --template MNR  take the header bytes a CSV or genre text does not\n"
     "                      carry (and the names of genres without problems)\n"
     "                      from the problem file MNR; zeros otherwise\n"
     "      --no-formula-guard  the CSV was written by mnr2txt --no-formula-guard:\n"
     "                      keep every leading apostrophe\n"
     "      --check         write nothing; report what in each problem file a\n"
     "                      text export would not show\n"
     "  -h, --help          show this help\n"
     "      --version       show the version\n"
     "\n"
     "A JSON from mnr2txt --json gives the problem file back byte for byte;\n"
     "after an edit only the edited fields change.\n"
     "Messages are in Japanese when the user's language is Japanese.\n"
     "Exit status: 0 when every file was written (or checked and found clean),\n"
     "1 when any was not (or --check found something), 2 for a command line\n"
     "that cannot be used.\n",
     "使い方: txt2mnr [オプション] FILE...\n"
     "        txt2mnr --check PROBLEM_FILE...\n"
     "FILE ごとに、むねりの問題ファイル（.mnr）を書きます。FILE は mnr2txt が\n"
     "書く JSON か CSV（編集したものでもかまいません）、または８つのジャンルの\n"
     "テキストファイル BASE0.txt … BASE7.txt（どれかひとつを指定）です。\n"
     "問題ファイルは FILE と同じフォルダーに、拡張子を .mnr にした名前\n"
     "（ジャンルのファイルからは BASE.mnr）で書きます。Windows では、FILE の\n"
     "* と ? を名前の合うファイルに置きかえます（Linux などではシェルが\n"
     "します）。--check では、フォルダーはそのすぐ下の .mnr ファイルになります。\n"
     "\n"
     "  -o, --output FILE   かわりに FILE に書きます（読むファイルがひとつのとき）\n"
     "  -f, --force         すでにある問題ファイルを置きかえます\n"
     "      --template MNR  CSV とジャンルのテキストにないヘッダーのバイト（と\n"
     "                      問題のないジャンルの名前）を、問題ファイル MNR から\n"
     "                      取ります（指定しないときはゼロ）\n"
     "      --no-formula-guard  CSV が mnr2txt --no-formula-guard で書かれた\n"
     "                      ものとして、先頭のアポストロフィーを残します\n"
     "      --check         何も書かずに、問題ファイルのうちテキストに書き出すと\n"
     "                      見えなくなるものを知らせます\n"
     "  -h, --help          この使い方を表示します\n"
     "      --version       バージョンを表示します\n"
     "\n"
     "mnr2txt --json の JSON からは、問題ファイルがバイト単位で元どおりに\n"
     "なります。編集したときは、編集した欄だけが変わります。\n"
     "メッセージは、ユーザーの言語が日本語なら日本語で出ます。\n"
     "終了コード: 0 はすべて書けた（--check では何も見つからなかった）とき、\n"
     "1 は書けなかったファイルがある（--check では何か見つかった）とき、\n"
     "2 はコマンドラインに誤りがあるとき。\n"},
    {kTryHelp, "Try 'txt2mnr --help' for more information.", "使い方は 'txt2mnr --help' で表示できます。"},
    {kUnknownOption, "unknown option {1}", "{1} というオプションはありません"},
    {kNeedsFile, "option {1} needs a file", "オプション {1} にはファイルを指定してください"},
    {kNoFile, "no file given", "ファイルが指定されていません"},
    {kEmptyName, "empty file name", "ファイルの名前が空です"},
    {kOneInput, "-o takes one input file", "-o を使うときに読めるファイルはひとつです"},
    {kCheckAlone, "--check writes nothing: -o, --force, --template and --no-formula-guard do not go with it",
     "--check は何も書きません。-o、--force、--template、--no-formula-guard とは"
     "いっしょに使えません"},
    {kWrote, "wrote {1}", "{1} を書きました"},
    {kOutputExists, "{1} exists; --force replaces it", "{1} はもうあります（--force で置きかえます）"},
    {kNotWritten, "{1} not written: ", "{1} を書きませんでした: "},
    {kCannotRead, "cannot be read: {1}", "読めません: {1}"},
    {kNotAProblemFile, "not a problem file", "問題ファイルではありません"},
    {kUnknownKind, "not a .json, .csv or genre text file (BASE0.txt ... BASE7.txt)",
     ".json、.csv、ジャンルのテキストファイル（BASE0.txt … BASE7.txt）の"
     "どれでもありません"},
    {kNothingWritten, "nothing written", "何も書きませんでした"},
    {kNoMatch, "no file matches", "名前の合うファイルがありません"},
    {kNoProblemFilesInFolder, "no problem files (.mnr) in this folder",
     "このフォルダーに問題ファイル（.mnr）はありません"},
    {kFolder, "a folder: name the files in it to read",
     "フォルダーです。読むファイルを中から選んで指定してください"},
    {kOutOfMemory, "out of memory", "メモリーが足りません"},
    {kStandardOutputError, "standard output: write error", "標準出力: 書き込めませんでした"},
    {kPressEnter, "Press Enter to close this window.", "Enter キーを押すと、この窓を閉じます。"},
    {kCheckClean, "nothing that a text export would not show",
     "テキストに書き出して見えなくなるものはありません"},
    {kCheckNotPadding, "bytes after the text's end that are not padding",
     "文の終わりのあとに、詰め物でないバイトがあります"},
    {kCheckZeroByte, "a zero byte inside the text: a text export ends it there",
     "文の中にゼロのバイトがあります（テキストに書き出すとそこで切れます）"},
    {kCheckInvalid, "bytes that are not valid CP932", "CP932 として正しくないバイトがあります"},
    {kCheckOtherCodes, "characters in other CP932 codes than text is written with",
     "テキストから書くときとは違う CP932 の符号の文字があります"},
    {kCheckTrimmed, "spaces or control bytes at the text's end, which a text export drops",
     "文の終わりに、テキストに書き出すと消える空白か制御バイトがあります"},
    {kCheckCut, "readers that end a text at any stored space at an even offset cut this text short",
     "偶数の位置の空白で文が終わるとみなす読み方では、この文が途中で切れます"},
    {kCheckOtherwise, "the stored record is not what its texts give when written",
     "記録されたバイトが、その文から書いたものと違います"},
    {kCheckTrailing, "{1} bytes after the last record", "最後の問題のあとに {1} バイトあります"},
    {kCheckTrailingMore, "more than {1} bytes after the last record",
     "最後の問題のあとに {1} バイトより多くあります"},
};
static_assert(texts::IsCompleteTable(kTable, kIdCount), "one row per text, in order, both forms");

inline const char* Say(Id id) { return texts::InLanguageInUse(kTable[id]); }

}  // namespace cli::txt2mnr_texts
