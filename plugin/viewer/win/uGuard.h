// The exception barrier every export, window procedure and subclass
// procedure runs its body in: nothing thrown inside the plug-in may reach
// the host's frames. A failure inside one message handler is dropped with
// the given fallback answer; the viewer's state stays as the handler left
// it, and the next message is handled as usual. Every failure dropped is
// counted, so a test can tell that none happened.
#pragma once

#include <utility>

namespace corvane::win {

// Failures the barriers dropped since the module was loaded.
void CountCaughtException() noexcept;
int CaughtExceptionCount() noexcept;

template <typename R, typename F>
R Guarded(R fallback, F&& body) noexcept {
  try {
    return std::forward<F>(body)();
  } catch (...) {
    CountCaughtException();
    return fallback;
  }
}

template <typename F>
void GuardedVoid(F&& body) noexcept {
  try {
    std::forward<F>(body)();
  } catch (...) {
    CountCaughtException();
  }
}

}  // namespace corvane::win
