#pragma once
// Forced into every GoogleTest translation unit of the Windows builds.
// mingw-w64's win32 thread model has no std::mutex or condition_variable,
// which GoogleTest's own Notification is built on; this one waits on a Win32
// event instead. GoogleTest uses it only to start threads in its own tests.

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing::internal {

class Notification {
 public:
  Notification();
  ~Notification();
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;

  void Notify();
  void WaitForNotification();

 private:
  void* event_;
};

}  // namespace testing::internal
