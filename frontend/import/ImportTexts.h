#pragma once
// Every text the readers of a problem set's text forms say about what they
// read, and the words that name a place in it, in English and Japanese side
// by side: for txt2mnr (in the user's language) and the page's write-back
// (Japanese). txt2mnr's own texts are in cli/txt2mnr/Texts.h. "{1}", "{2}"
// ... are filled in by texts::Fill. Names of the JSON's keys and the CSV's
// header stay as the files write them, in both forms.

#include "frontend/Language.h"

namespace import_text {

enum Id {
  // Where a message points: "genre 2, problem 5, question: ".
  kGenre,
  kProblem,
  kName,
  kQuestion,
  kChoice,
  kBlock,
  kRaw,
  kPlaceJoin,
  kWarning,
  // Texts that cannot be stored.
  kTooLong,
  kNoCp932Form,
  kNotUtf8,
  kZeroCharacter,
  kTooManyProblems,
  kCutByOlderReaders,
  kOlderReadersCount,
  kLineBreak,
  kTextFarTooLong,
  kTrailingNotAllKept,
  kMoreErrors,
  kMoreErrorsFound,
  kMoreWarnings,
  // How a CSV or genre text reads.
  kBothEncodings,
  kNotCp932,
  // A JSON that is not one mnr2txt writes.
  kJsonSyntax,
  kJsonEndsEarly,
  kJsonShape,
  kJsonIncomplete,
  kJsonDocumentExpected,
  kJsonElementExpected,
  kJsonChoiceExpected,
  kJsonExpected,
  kJsonAText,
  kJsonAWholeNumber,
  kJsonTrueOrFalse,
  kJsonGenreArray,
  kJsonProblemArray,
  kJsonChoiceArray,
  kJsonUnknownKey,
  kJsonDuplicateKey,
  kJsonMissing,
  kJsonFormat,
  kJsonGenreCount,
  kJsonGenreNumber,
  kJsonChoiceCount,
  kJsonBytes,
  kJsonAnyBytes,
  // A CSV that is not one mnr2txt writes.
  kCsvHeader,
  kCsvCells,
  kCsvGenre,
  kCsvQuote,
  kCsvStrayQuote,
  kCsvNameDiffers,
  kNotCp932Bytes,
  // Genre text files.
  kGenreTextEmptyLine,
  kGenreTextIncomplete,
  kGenreTextNoName,
  kIdCount
};

inline constexpr texts::TextRow kTable[] = {
    {kGenre, "genre {1}", "ジャンル {1}"},
    {kProblem, "problem {1}", "問題 {1}"},
    {kName, "name", "ジャンル名"},
    {kQuestion, "question", "問題文"},
    {kChoice, "choice {1}", "選択肢 {1}"},
    {kBlock, "block", "ヘッダー"},
    {kRaw, "raw", "記録されたバイト"},
    {kPlaceJoin, ", ", "、"},
    {kWarning, "warning: ", "警告: "},

    {kTooLong, "{1} bytes in CP932, more than the {2} its field holds",
     "CP932 で {1} バイトあり、この欄に入る {2} バイトを超えています"},
    {kNoCp932Form, "{1} has no CP932 form", "{1} は CP932 にない文字です"},
    {kNotUtf8, "bytes that are not UTF-8", "UTF-8 として正しくないバイトがあります"},
    {kZeroCharacter, "U+0000 cannot be stored: a text ends at its first zero byte",
     "U+0000 は書けません（文は最初のゼロのバイトで終わります）"},
    {kTooManyProblems, "{1} problems, more than the 32767 a genre holds",
     "問題が {1} 問あり、ひとつのジャンルに入る 32767 問を超えています"},
    {kCutByOlderReaders,
     "readers that end a text at any stored space at an even offset cut this text after {1} bytes "
     "(a double-byte character with trail byte 0xA0 starts at an odd offset); munemoji reads it whole",
     "偶数の位置の空白で文が終わるとみなす読み方では、この文が {1} バイトで切れます"
     "（2 バイト目が 0xA0 の全角文字が奇数の位置から始まっています）。むねもじは最後まで読みます"},
    {kOlderReadersCount,
     "{1} text(s) that readers ending a text at any stored space at an even offset cut short (a "
     "double-byte character with trail byte 0xA0 starts at an odd offset); munemoji reads them whole",
     "偶数の位置の空白で文が終わるとみなす読み方では途中で切れる文が {1} つあります（2 バイト目が 0xA0 の"
     "全角文字が奇数の位置から始まっています）。むねもじは最後まで読みます"},
    {kLineBreak, "a line break inside the text: a genre text export splits it in two",
     "文の中に改行があります（ジャンルのテキストに書き出すと２つに分かれます）"},
    {kTextFarTooLong, "{1} bytes, far more than any text its field holds",
     "{1} バイトあり、この欄に入るどの文よりもずっと長いです"},
    {kTrailingNotAllKept,
     "the bytes after the last record were not all kept in the JSON; the file ends with the {1} kept",
     "最後の問題のあとのバイトが JSON にすべては入っていません。ファイルは入っている {1} バイトで"
     "終わります"},
    {kMoreErrors, "reading stops after {1} errors", "エラーが {1} 件になったので、ここで読むのをやめます"},
    {kMoreErrorsFound, "and {1} more errors", "ほかにエラーが {1} 件あります"},
    {kMoreWarnings, "and {1} more warnings", "ほかに警告が {1} 件あります"},

    {kBothEncodings,
     "valid both as UTF-8 and as CP932, which read it differently from line {1}, column {2} on: '{3}' "
     "in UTF-8, '{4}' in CP932",
     "UTF-8 としても CP932 としても正しく、{1} 行 {2} 文字目から読み方が違います（UTF-8 では「{3}」、"
     "CP932 では「{4}」）"},
    {kNotCp932, "bytes that are not CP932", "CP932 として正しくないバイトがあります"},

    {kJsonSyntax, "not JSON: line {1}, column {2}: {3} cannot come here",
     "JSON ではありません: {1} 行 {2} 文字目の {3} はそこに書けません"},
    {kJsonEndsEarly, "not JSON: the file ends at line {1} before the JSON does",
     "JSON ではありません: JSON が閉じないまま {1} 行目でファイルが終わっています"},
    {kJsonShape, "not a problem set as mnr2txt --json writes it: {1}",
     "mnr2txt --json が書く形の問題集ではありません: {1}"},
    {kJsonIncomplete, "incomplete", "途中で終わっています"},
    {kJsonDocumentExpected, "the document must be an object", "JSON の全体はオブジェクトでなければなりません"},
    {kJsonElementExpected, "each element must be an object", "配列の要素はオブジェクトでなければなりません"},
    {kJsonChoiceExpected, "each choice must be a text", "選択肢は文字列でなければなりません"},
    {kJsonExpected, "\"{1}\" must be {2}", "\"{1}\" は{2}でなければなりません"},
    {kJsonAText, "a text", "文字列"},
    {kJsonAWholeNumber, "a whole number", "整数"},
    {kJsonTrueOrFalse, "true or false", "真偽値（true か false）"},
    {kJsonGenreArray, "an array of 8 genre objects", "８つのジャンルのオブジェクトの配列"},
    {kJsonProblemArray, "an array of problem objects", "問題のオブジェクトの配列"},
    {kJsonChoiceArray, "an array of 5 texts", "５つの文字列の配列"},
    {kJsonUnknownKey, "unknown key \"{1}\"", "\"{1}\" というキーはありません"},
    {kJsonDuplicateKey, "\"{1}\" appears twice", "\"{1}\" が２回あります"},
    {kJsonMissing, "no \"{1}\"", "\"{1}\" がありません"},
    {kJsonFormat, "\"format\" {1} is not one this program reads (1 or 2)",
     "\"format\" が {1} のものは読めません（読めるのは 1 と 2 です）"},
    {kJsonGenreCount, "\"genres\" must hold 8 genres", "\"genres\" には８つのジャンルが必要です"},
    {kJsonGenreNumber, "\"number\" must be {1}, its place in \"genres\"",
     "\"number\" は \"genres\" の中の順番どおり {1} でなければなりません"},
    {kJsonChoiceCount, "\"choices\" must hold 5 texts", "\"choices\" には５つの文字列が必要です"},
    {kJsonBytes, "\"{1}\" must be {2} bytes in base64", "\"{1}\" は base64 で {2} バイトでなければなりません"},
    {kJsonAnyBytes, "\"{1}\" must be bytes in base64", "\"{1}\" は base64 のバイトでなければなりません"},

    {kCsvHeader, "the first row must be {1}", "１行目は {1} でなければなりません"},
    {kCsvCells, "{1} cells, 8 expected", "セルが {1} 個あります（８個のはずです）"},
    {kCsvGenre, "the genre must be a number from 0 to 7", "ジャンルは 0 から 7 までの数字でなければなりません"},
    {kCsvQuote, "a quoted cell is not closed", "引用符で始まるセルが閉じていません"},
    {kCsvStrayQuote, "a quote inside a cell that does not begin with one",
     "引用符で始まらないセルの中に引用符があります"},
    {kCsvNameDiffers, "genre {1} is named \"{2}\" on line {3}", "ジャンル {1} の名前は {3} 行目では「{2}」です"},
    {kNotCp932Bytes, "bytes that are neither UTF-8 nor CP932",
     "UTF-8 としても CP932 としても正しくないバイトがあります"},

    {kGenreTextEmptyLine, "an empty line must come before each problem", "問題の前には空の行が必要です"},
    {kGenreTextIncomplete, "the last problem has {1} of its 6 lines", "最後の問題に６行のうち {1} 行しかありません"},
    {kGenreTextNoName, "an empty file: the first line is the genre's name",
     "空のファイルです（１行目がジャンル名です）"},
};
static_assert(texts::IsCompleteTable(kTable, kIdCount), "one row per text, in order, both forms");

inline const char* Say(Id id) { return texts::InLanguageInUse(kTable[id]); }

}  // namespace import_text
