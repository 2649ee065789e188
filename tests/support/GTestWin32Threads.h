#pragma once
// GoogleTest 1.12 builds its internal Notification on std::mutex, which the win32 thread model
// of our MinGW toolchain does not have. This header is force-included before GoogleTest and
// provides the same class on a Win32 event, which GoogleTest then uses instead.
#define GTEST_HAS_NOTIFICATION_ 1

#include <windows.h>

namespace testing {
namespace internal {

class Notification {
  public:
    Notification() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() { CloseHandle(event_); }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { SetEvent(event_); }
    void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

  private:
    HANDLE event_;
};

} // namespace internal
} // namespace testing
