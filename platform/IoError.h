#pragma once
// The error raised by every file-system operation, and the message table shared
// by all front ends. Messages are Shift-JIS bytes, like all text in the
// program; the command-line programs also have each in English.

#include <exception>
#include <string>

namespace platform {

// Windows error codes that the message table knows, plus this layer's own.
namespace error_code {
inline constexpr int kFileNotFound = 2;
inline constexpr int kPathNotFound = 3;
inline constexpr int kTooManyOpenFiles = 4;
inline constexpr int kAccessDenied = 5;
inline constexpr int kSharingViolation = 32;
inline constexpr int kReadBeyondEnd = 100;
inline constexpr int kDiskFull = 101;
inline constexpr int kFileNotOpen = 103;  // raised by this layer, never by the system
inline constexpr int kInvalidNumeric = 106;
inline constexpr int kSystemDiskFull = 112;  // what the system reports for a full disk
}  // namespace error_code

// The Shift-JIS message text for an I/O error code, as the window program
// shows it.
std::string IoErrorMessage(int code);
// The same text in English, for the command-line programs' English users.
std::string IoErrorMessageInEnglish(int code);

class EInOutError : public std::exception {
 public:
  explicit EInOutError(int code);
  int ErrorCode() const noexcept { return code_; }
  // Shift-JIS message from the table.
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  int code_;
  std::string message_;
};

// Raised for a value outside its range, such as a negative record count.
class ERangeError : public std::exception {
 public:
  const char* what() const noexcept override;
};

}  // namespace platform
