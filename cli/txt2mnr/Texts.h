#pragma once
// Every text txt2mnr says of its own, in English and Japanese side by side.
// What the readers find in a JSON, CSV or genre text file is theirs
// (frontend/import/ImportTexts.h, shared with the page); what both programs
// say is the shell's (cli/ShellTexts.h). A message about a file follows
// "txt2mnr: FILE: "; a text ending in ": " is followed by the system's
// message (the I/O errors' table).

#include "frontend/Language.h"

namespace cli::txt2mnr_texts {

enum Id {
  kUsage,
  kNeedsFile,
  kNoFile,
  kEmptyName,
  kOneInput,
  kCheckAlone,
  kCheckValues,
  kEncodingValues,
  kOutputExists,
  kOutputIsFolder,
  kInputOfThisRun,
  kWrittenByThisRun,
  kNotWritten,
  kCannotRead,
  kNotARegularFile,
  kInputTooLarge,
  kJsonIsUtf8,
  kSayEncoding,
  kNotAProblemFile,
  kUnknownKind,
  kNothingWritten,
  kFolder,
  kCheckCleanGenreText,
  kCheckCleanCsv,
  kCheckCleanJson,
  kCheckNotPadding,
  kCheckZeroByte,
  kCheckInvalid,
  kCheckOtherCodes,
  kCheckTrimmed,
  kCheckCut,
  kCheckOtherwise,
  kCheckTrailing,
  kCheckTrailingMore,
  kCheckHeaderBytes,
  kCheckAfterName,
  kCheckEmptyGenreName,
  kCheckLineBreak,
  kIdCount
};

inline constexpr texts::TextRow kTable[] = {
    {kUsage,
     "Usage: txt2mnr [options] FILE...\n"
     "       txt2mnr --check[=txt|csv|json] PROBLEM_FILE...\n"
     "Writes a quiz problem file (.mnr) from each FILE: the JSON or CSV that\n"
     "mnr2txt writes (edited or not), or eight genre text files BASE0.txt ...\n"
     "BASE7.txt (name any one of them). The problem file is FILE with .mnr for\n"
     "its extension (BASE.mnr for genre files), beside FILE. FILE - reads a JSON\n"
     "or CSV from standard input (stdin.mnr). On Windows, * and ? in FILE give\n"
     "the matching files (elsewhere the shell does that); with --check, a folder\n"
     "stands for the .mnr files directly inside it.\n"
     "\n"
     "  -o, --output FILE   write FILE instead (one input only); -o - writes the\n"
     "                      problem file to standard output\n"
     "  -f, --force         replace an existing problem file\n"
     "      --template MNR  take the header bytes a CSV or genre text does not\n"
     "                      carry (and the names of genres without problems)\n"
     "                      from the problem file MNR; zeros otherwise\n"
     "      --no-formula-guard  the CSV was written by mnr2txt --no-formula-guard:\n"
     "                      keep every leading apostrophe\n"
     "      --encoding utf-8|cp932  how a CSV or genre text without a byte-order\n"
     "                      mark reads when it is valid both ways\n"
     "      --verbose       name each text that older readers would cut short\n"
     "                      (otherwise one line counts them)\n"
     "      --check[=txt|csv|json]  write nothing; report what in each problem\n"
     "                      file its genre text files (txt, the default), its\n"
     "                      CSV or its JSON would not give back\n"
     "  -h, --help          show this help\n"
     "      --version       show the version\n"
     "\n"
     "A JSON from mnr2txt --json gives the problem file back byte for byte;\n"
     "after an edit only the edited fields change.\n"
     "Messages are in Japanese when the user's language is Japanese.\n"
     "Exit status: 0 when every file was written (or checked and gives its\n"
     "problem file back), 1 when any was not (or --check found a loss), 2 for\n"
     "a command line that cannot be used.\n",
     "使い方: txt2mnr [オプション] FILE...\n"
     "        txt2mnr --check[=txt|csv|json] PROBLEM_FILE...\n"
     "FILE ごとに、むねりの問題ファイル（.mnr）を書きます。FILE は mnr2txt が\n"
     "書く JSON か CSV（編集したものでもかまいません）、または８つのジャンルの\n"
     "テキストファイル BASE0.txt … BASE7.txt（どれかひとつを指定）です。\n"
     "問題ファイルは FILE と同じフォルダーに、拡張子を .mnr にした名前\n"
     "（ジャンルのファイルからは BASE.mnr）で書きます。FILE に - を書くと、\n"
     "JSON か CSV を標準入力から読みます（stdin.mnr）。Windows では、FILE の\n"
     "* と ? を名前の合うファイルに置きかえます（Linux などではシェルが\n"
     "します）。--check では、フォルダーはそのすぐ下の .mnr ファイルになります。\n"
     "\n"
     "  -o, --output FILE   かわりに FILE に書きます（読むファイルがひとつのとき）。\n"
     "                      -o - は問題ファイルを標準出力に書きます\n"
     "  -f, --force         すでにある問題ファイルを置きかえます\n"
     "      --template MNR  CSV とジャンルのテキストにないヘッダーのバイト（と\n"
     "                      問題のないジャンルの名前）を、問題ファイル MNR から\n"
     "                      取ります（指定しないときはゼロ）\n"
     "      --no-formula-guard  CSV が mnr2txt --no-formula-guard で書かれた\n"
     "                      ものとして、先頭のアポストロフィーを残します\n"
     "      --encoding utf-8|cp932  バイト順マークのない CSV とジャンルの\n"
     "                      テキストが、どちらとしても正しいときの読み方です\n"
     "      --verbose       古い読み方で途中で切れる文をひとつずつ知らせます\n"
     "                      （ふだんは数を１行で知らせます）\n"
     "      --check[=txt|csv|json]  何も書かずに、問題ファイルのうち、\n"
     "                      ジャンルのテキストファイル（txt、指定しないとき）、\n"
     "                      CSV、JSON に書き出して戻らないものを知らせます\n"
     "  -h, --help          この使い方を表示します\n"
     "      --version       バージョンを表示します\n"
     "\n"
     "mnr2txt --json の JSON からは、問題ファイルがバイト単位で元どおりに\n"
     "なります。編集したときは、編集した欄だけが変わります。\n"
     "メッセージは、ユーザーの言語が日本語なら日本語で出ます。\n"
     "終了コード: 0 はすべて書けた（--check では元どおりに戻る）とき、\n"
     "1 は書けなかったファイルがある（--check では失われるものがある）とき、\n"
     "2 はコマンドラインに誤りがあるとき。\n"},
    {kNeedsFile, "option {1} needs a file", "オプション {1} にはファイルを指定してください"},
    {kNoFile, "no file given", "ファイルが指定されていません"},
    {kEmptyName, "empty file name", "ファイルの名前が空です"},
    {kOneInput, "-o takes one input file", "-o を使うときに読めるファイルはひとつです"},
    {kCheckAlone,
     "--check writes nothing: -o, --force, --template, --no-formula-guard and --encoding do not go with it",
     "--check は何も書きません。-o、--force、--template、--no-formula-guard、--encoding とは"
     "いっしょに使えません"},
    {kCheckValues, "--check= takes txt, csv or json", "--check= に指定できるのは txt、csv、json のどれかです"},
    {kEncodingValues, "--encoding takes utf-8 or cp932", "--encoding に指定できるのは utf-8 か cp932 です"},
    {kOutputExists, "{1} exists; --force replaces it", "{1} はもうあります（--force で置きかえます）"},
    {kOutputIsFolder, "{1} is a folder, which is never replaced", "{1} はフォルダーです（置きかえません）"},
    {kInputOfThisRun, "{1} not written: it is an input of this run", "{1} を書きませんでした: この実行で読むファイルです"},
    {kWrittenByThisRun, "{1} not written: this run writes it from an earlier input",
     "{1} を書きませんでした: この実行で前のファイルから書くファイルです"},
    {kNotWritten, "{1} not written: ", "{1} を書きませんでした: "},
    {kCannotRead, "cannot be read: {1}", "読めません: {1}"},
    {kNotARegularFile, "not a regular file: txt2mnr reads files, and standard input as -",
     "ふつうのファイルではありません（txt2mnr が読むのはファイルと、- と書いた標準入力です）"},
    {kInputTooLarge, "larger than any that can describe a problem file ({1} MiB at most)",
     "問題ファイルを表せるどれよりも大きいです（{1} MiB まで）"},
    {kJsonIsUtf8, "a JSON is UTF-8: --encoding cp932 does not apply",
     "JSON は UTF-8 です（--encoding cp932 は使えません）"},
    {kSayEncoding, "--encoding utf-8 or --encoding cp932 says which it is",
     "どちらなのかを --encoding utf-8 か --encoding cp932 で指定してください"},
    {kNotAProblemFile, "not a problem file", "問題ファイルではありません"},
    {kUnknownKind, "not a .json, .csv or genre text file (BASE0.txt ... BASE7.txt)",
     ".json、.csv、ジャンルのテキストファイル（BASE0.txt … BASE7.txt）の"
     "どれでもありません"},
    {kNothingWritten, "nothing written", "何も書きませんでした"},
    {kFolder, "a folder: name the files in it to read",
     "フォルダーです。読むファイルを中から選んで指定してください"},
    {kCheckCleanGenreText, "nothing that its genre text files would not give back",
     "ジャンルのテキストファイルに書き出して戻らないものはありません"},
    {kCheckCleanCsv, "nothing that its CSV would not give back", "CSV に書き出して戻らないものはありません"},
    {kCheckCleanJson, "nothing that its JSON would not give back", "JSON に書き出して戻らないものはありません"},
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
    {kCheckHeaderBytes, "{1} bytes besides the name and count that are not zero",
     "名前と問題数のほかに、ゼロでないバイトが {1} バイトあります"},
    {kCheckAfterName, "{1} bytes after its end that are not zero", "終わりのあとに、ゼロでないバイトが {1} バイトあります"},
    {kCheckEmptyGenreName, "the name of a genre without problems, which a CSV has no row to carry",
     "問題のないジャンルの名前です（CSV にはこれを書く行がありません）"},
    {kCheckLineBreak, "a line break inside the text, which genre text files split and txt2mnr refuses in a CSV",
     "文の中に改行があります（ジャンルのテキストでは２つに分かれ、CSV からは txt2mnr が受けつけません）"},
};
static_assert(texts::IsCompleteTable(kTable, kIdCount), "one row per text, in order, both forms");

inline const char* Say(Id id) { return texts::InLanguageInUse(kTable[id]); }

}  // namespace cli::txt2mnr_texts
