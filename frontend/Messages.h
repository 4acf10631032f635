#pragma once
// What the program says to its user, in Shift-JIS bytes, shared by the window
// program and the command-line converter.

#include <string>

namespace messages {

// 問題ファイルじゃないにょ！
inline constexpr char kNotAProblemFile[] =
    "\x96\xE2\x91\xE8\x83t\x83@\x83\x43\x83\x8B\x82\xB6\x82\xE1\x82\xC8\x82\xA2\x82\xC9\x82\xE5\x81I";
// ８つのテキストファイルを作ったにょ！
inline constexpr char kExported[] =
    "\x82W\x82\xC2\x82\xCC\x83\x65\x83L\x83X\x83g\x83t\x83@\x83\x43\x83\x8B\x82\xF0\x8D\xEC\x82\xC1"
    "\x82\xBD\x82\xC9\x82\xE5\x81I";
// 何か問題があって作れないにょ？
inline constexpr char kExportFailed[] =
    "\x89\xBD\x82\xA9\x96\xE2\x91\xE8\x82\xAA\x82\xA0\x82\xC1\x82\xC4\x8D\xEC\x82\xEA\x82\xC8\x82\xA2"
    "\x82\xC9\x82\xE5\x81H";
// 読み込んでいる問題ファイルが無いにょ
inline constexpr char kNoFile[] =
    "\x93\xC7\x82\xDD\x8D\x9E\x82\xF1\x82\xC5\x82\xA2\x82\xE9\x96\xE2\x91\xE8\x83t\x83@\x83\x43\x83\x8B"
    "\x82\xAA\x96\xB3\x82\xA2\x82\xC9\x82\xE5";
// 問題データのジャンル一覧にょ
inline constexpr char kGenreList[] =
    "\x96\xE2\x91\xE8\x83\x66\x81[\x83^\x82\xCC\x83W\x83\x83\x83\x93\x83\x8B\x88\xEA\x97\x97\x82\xC9"
    "\x82\xE5";
// この機能は工事中にょ（ぉ
inline constexpr char kUnderConstruction[] =
    "\x82\xB1\x82\xCC\x8B@\x94\x5C\x82\xCD\x8DH\x8E\x96\x92\x86\x82\xC9\x82\xE5\x81i\x82\xA7";
// 警告
inline constexpr char kWarningTitle[] = "\x8Cx\x8D\x90";
// むねもじ
inline constexpr char kAppTitle[] = "\x82\xDE\x82\xCB\x82\xE0\x82\xB6";
// ： (full-width colon between genre number and name)
inline constexpr char kGenreSeparator[] = "\x81\x46";

// The text of the generic error box: the message with "." appended when its
// last character sorts above "." (the Japanese messages get a full stop, the
// numbered one, ending in ")", does not).
std::string WithFullStop(const std::string& message);

// One line of the genre list: the digit, "：" and the name (untrimmed).
std::string GenreListLine(int genre, const std::string& name);

}  // namespace messages
