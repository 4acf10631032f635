#pragma once
// The texts mnr2txt and txt2mnr both say, in English and Japanese side by
// side; each program's own are in cli/<program>/Texts.h. "{1}" is filled in
// by texts::Fill; a message about a file follows "PROGRAM: FILE: ".

#include "frontend/Language.h"

namespace cli::shell_texts {

enum Id {
  kTryHelp,
  kUnknownOption,
  kNoMatch,
  kNoProblemFilesInFolder,
  kWrote,
  kNoSuchFile,
  kWrittenByThisRun,
  kOutOfMemory,
  kUnexpectedError,
  kStandardOutputError,
  kPressEnter,
  kIdCount
};

inline constexpr texts::TextRow kTable[] = {
    {kTryHelp, "Try '{1} --help' for more information.", "使い方は '{1} --help' で表示できます。"},
    {kUnknownOption, "unknown option {1}", "{1} というオプションはありません"},
    {kNoMatch, "no file matches", "名前の合うファイルがありません"},
    {kNoProblemFilesInFolder, "no problem files (.mnr) in this folder",
     "このフォルダーに問題ファイル（.mnr）はありません"},
    {kWrote, "wrote {1}", "{1} を書きました"},
    {kNoSuchFile, "no such file", "そのファイルはありません"},
    {kWrittenByThisRun, "not written: this run already wrote it", "書きませんでした: この実行ですでに書いたファイルです"},
    {kOutOfMemory, "out of memory", "メモリーが足りません"},
    {kUnexpectedError, "unexpected error", "思いがけないエラーが起きました"},
    {kStandardOutputError, "standard output: write error", "標準出力: 書き込めませんでした"},
    {kPressEnter, "Press Enter to close this window.", "Enter キーを押すと、この窓を閉じます。"},
};
static_assert(texts::IsCompleteTable(kTable, kIdCount), "one row per text, in order, both forms");

inline const char* Say(Id id) { return texts::InLanguageInUse(kTable[id]); }

}  // namespace cli::shell_texts
