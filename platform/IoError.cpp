#include "platform/IoError.h"

#include <cstdio>

namespace platform {

namespace {

// Each code's text as the window program shows it (Shift-JIS) and in
// English for the command-line programs, side by side. Codes not listed
// read "I/O error (N)" in both.
struct IoErrorText {
  int code;
  const char* english;
  const char* japanese;
};

constexpr IoErrorText kTexts[] = {
    // ファイルが見つかりません
    {error_code::kFileNotFound, "File not found",
     "\x83t\x83@\x83\x43\x83\x8B\x82\xAA\x8C\xA9\x82\xC2\x82\xA9\x82\xE8\x82\xDC\x82\xB9\x82\xF1"},
    // 不正なファイル名です
    {error_code::kPathNotFound, "Invalid file name", "\x95s\x90\xB3\x82\xC8\x83t\x83@\x83\x43\x83\x8B\x96\xBC\x82\xC5\x82\xB7"},
    // オープンしたファイルが多すぎます
    {error_code::kTooManyOpenFiles, "Too many open files",
     "\x83I\x81[\x83v\x83\x93\x82\xB5\x82\xBD\x83t\x83@\x83\x43\x83\x8B\x82\xAA\x91\xBD\x82\xB7"
     "\x82\xAC\x82\xDC\x82\xB7"},
    // ファイルへのアクセスが拒否されました
    {error_code::kAccessDenied, "File access denied",
     "\x83t\x83@\x83\x43\x83\x8B\x82\xD6\x82\xCC\x83\x41\x83N\x83Z\x83X\x82\xAA\x8B\x91\x94\xDB"
     "\x82\xB3\x82\xEA\x82\xDC\x82\xB5\x82\xBD"},
    // ファイルの末尾以降を読み込みました
    {error_code::kReadBeyondEnd, "Read beyond end of file",
     "\x83t\x83@\x83\x43\x83\x8B\x82\xCC\x96\x96\x94\xF6\x88\xC8\x8D~\x82\xF0\x93\xC7\x82\xDD"
     "\x8D\x9E\x82\xDD\x82\xDC\x82\xB5\x82\xBD"},
    // ディスクがいっぱいです
    {error_code::kDiskFull, "Disk full", "\x83\x66\x83\x42\x83X\x83N\x82\xAA\x82\xA2\x82\xC1\x82\xCF\x82\xA2\x82\xC5\x82\xB7"},
    // 入力値が数値ではありません
    {error_code::kInvalidNumeric, "Invalid numeric input",
     "\x93\xFC\x97\xCD\x92l\x82\xAA\x90\x94\x92l\x82\xC5\x82\xCD\x82\xA0\x82\xE8\x82\xDC\x82\xB9"
     "\x82\xF1"},
};

const IoErrorText* TextOf(int code) {
  for (const IoErrorText& text : kTexts)
    if (text.code == code) return &text;
  return nullptr;
}

std::string Numbered(const char* format, int code) {
  char text[48];
  std::snprintf(text, sizeof text, format, code);
  return text;
}

}  // namespace

std::string IoErrorMessage(int code) {
  if (const IoErrorText* text = TextOf(code)) return text->japanese;
  return Numbered("I/O \x83G\x83\x89\x81[ (%d)", code);  // I/O エラー (%d)
}

std::string IoErrorMessageInEnglish(int code) {
  if (const IoErrorText* text = TextOf(code)) return text->english;
  return Numbered("I/O error (%d)", code);
}

EInOutError::EInOutError(int code) : code_(code), message_(IoErrorMessage(code)) {}

const char* ERangeError::what() const noexcept {
  // 範囲チェックエラー
  return "\x94\xCD\x88\xCD\x83`\x83\x46\x83\x62\x83N\x83G\x83\x89\x81[";
}

}  // namespace platform
