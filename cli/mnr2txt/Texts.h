#pragma once
// Every text mnr2txt says of its own, in English and Japanese side by side;
// what both programs say is the shell's (cli/ShellTexts.h). The window
// program's messages it quotes (frontend/Messages.h) are not here: they stay
// as the window shows them. A message about a file follows "mnr2txt: FILE: ".

#include "frontend/Language.h"

namespace cli::mnr2txt_texts {

enum Id {
  kUsage,
  kNeedsFolder,
  kFormatsExclusive,
  kNoFile,
  kEmptyName,
  kStreamNeedsFormat,
  kStreamTakesOne,
  kNotAFolder,
  kInputOfThisRun,
  kInvalidBytes,
  kSetLeftAsItWas,
  kSetPartlyReplaced,
  kIdCount
};

inline constexpr texts::TextRow kTable[] = {
    {kUsage,
     "Usage: mnr2txt [options] FILE...\n"
     "Converts quiz problem files (.mnr) into eight genre text files each,\n"
     "FILE0.txt ... FILE7.txt beside FILE (its extension removed).\n"
     "A folder as FILE converts the .mnr files directly inside it, in name order.\n"
     "On Windows, * and ? in FILE give the matching files (elsewhere the shell\n"
     "does that). FILE - reads the problem file from standard input (named stdin).\n"
     "\n"
     "      --one-file    write FILE.txt: the eight genre files in one\n"
     "      --csv         write FILE.csv: one row per problem (UTF-8, CR LF)\n"
     "      --json        write FILE.json: the whole problem set (UTF-8)\n"
     "      --xlsx        write FILE.xlsx: one worksheet of the CSV's rows, every\n"
     "                    text a text cell\n"
     "  -o, --output DIR  write into DIR instead; -o - writes the one file,\n"
     "                    CSV, JSON or XLSX of a single FILE to standard output\n"
     "  -l, --list        show each file's eight genres and problem counts\n"
     "                    instead of writing anything\n"
     "      --utf8        write genre files and --one-file in UTF-8 (default:\n"
     "                    Shift-JIS, byte for byte what the window program writes)\n"
     "      --no-formula-guard\n"
     "                    write CSV cells as they are: by default a text that\n"
     "                    begins with = + - @ ' TAB or CR gets a leading ', so that\n"
     "                    a spreadsheet shows it instead of running it\n"
     "  -h, --help        show this help\n"
     "      --version     show the version\n"
     "\n"
     "Messages are in Japanese when the user's language is Japanese; the window\n"
     "program's messages are always as the window shows them.\n"
     "Exit status: 0 when every file was converted, 1 when any was not,\n"
     "2 for a command line that cannot be used.\n",
     "使い方: mnr2txt [オプション] FILE...\n"
     "むねりの問題ファイル（.mnr）を、ジャンルごとに８つのテキストファイル\n"
     "FILE0.txt … FILE7.txt（FILE の拡張子を除いた名前）に変換して、\n"
     "FILE と同じフォルダーに書きます。\n"
     "FILE がフォルダーのときは、そのすぐ下の .mnr ファイルを名前の順に変換します。\n"
     "Windows では、FILE の * と ? を名前の合うファイルに置きかえます（Linux\n"
     "などではシェルがします）。FILE に - を書くと、問題ファイルを標準入力から\n"
     "読みます（名前は stdin）。\n"
     "\n"
     "      --one-file    ８つのジャンルをまとめた FILE.txt を書きます\n"
     "      --csv         FILE.csv を書きます（１問１行、UTF-8、CR LF）\n"
     "      --json        FILE.json を書きます（問題ファイルのすべて、UTF-8）\n"
     "      --xlsx        FILE.xlsx を書きます（CSV と同じ行のワークシート、\n"
     "                    文字はすべて文字列のセル）\n"
     "  -o, --output DIR  DIR（すでにあるフォルダー）に書きます。-o - は、\n"
     "                    ひとつの FILE の --one-file、--csv、--json、--xlsx の\n"
     "                    出力を標準出力に書きます\n"
     "  -l, --list        何も書かずに、ファイルごとに８つのジャンルと問題の数を\n"
     "                    表示します\n"
     "      --utf8        ジャンルのファイルと --one-file を UTF-8 で書きます\n"
     "                    （ふだんは Shift-JIS で、ウィンドウ版とバイト単位で同じ）\n"
     "      --no-formula-guard\n"
     "                    CSV のセルをそのまま書きます（ふだんは = + - @ ' タブ CR\n"
     "                    で始まる文字の頭に ' を付けて、表計算ソフトが数式として\n"
     "                    動かさないようにします）\n"
     "  -h, --help        この使い方を表示します\n"
     "      --version     バージョンを表示します\n"
     "\n"
     "メッセージは、ユーザーの言語が日本語なら日本語で出ます（ウィンドウ版の\n"
     "メッセージはいつもウィンドウと同じです）。\n"
     "終了コード: 0 はすべて変換できたとき、1 は変換できなかったファイルが\n"
     "あるとき、2 はコマンドラインに誤りがあるとき。\n"},
    {kNeedsFolder, "option {1} needs a directory", "オプション {1} にはフォルダーを指定してください"},
    {kFormatsExclusive, "--one-file, --csv, --json and --xlsx exclude each other",
     "--one-file、--csv、--json、--xlsx はひとつだけ指定できます"},
    {kNoFile, "no problem file given", "問題ファイルが指定されていません"},
    {kEmptyName, "empty problem file name", "問題ファイルの名前が空です"},
    {kStreamNeedsFormat,
     "-o - needs --one-file, --csv, --json or --xlsx (eight files cannot share one stream)",
     "-o - には --one-file、--csv、--json、--xlsx のどれかが要ります（８つのファイルは"
     "ひとつの出力にまとめられません）"},
    {kStreamTakesOne, "-o - takes one problem file", "-o - で変換できる問題ファイルはひとつです"},
    {kNotAFolder, "not an existing directory", "そのフォルダーはありません"},
    {kInputOfThisRun, "not written: it is a problem file of this run",
     "書きませんでした: この実行で読む問題ファイルです"},
    {kInvalidBytes, "warning: {1} byte(s) not valid CP932 written as U+FFFD",
     "警告: CP932 として正しくない {1} バイトを U+FFFD にしました"},
    {kSetLeftAsItWas, "{1} ... {2} left as they were: the eight are replaced together or not at all",
     "{1} … {2} はそのままです（８つそろって書けるときだけ置きかえます）"},
    {kSetPartlyReplaced, "{1} ... {2} were replaced before {3} failed; the others are as they were",
     "{3} が書けなくなる前に {1} … {2} を置きかえました。ほかはそのままです"},
};
static_assert(texts::IsCompleteTable(kTable, kIdCount), "one row per text, in order, both forms");

inline const char* Say(Id id) { return texts::InLanguageInUse(kTable[id]); }

}  // namespace cli::mnr2txt_texts
