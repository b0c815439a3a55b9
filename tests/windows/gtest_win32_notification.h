// GoogleTest's Notification for the win32 thread model, whose C++ library has no std::mutex or
// std::condition_variable: a manual-reset event. Force-included into GoogleTest and the tests
// built with it (GTEST_HAS_NOTIFICATION_ is GoogleTest's hook for a Notification of one's own),
// so it stays clear of <windows.h> and its macros.
#pragma once

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

#define GTEST_HAS_NOTIFICATION_ 1
