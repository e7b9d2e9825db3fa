// The exception barrier every export, window procedure and subclass
// procedure runs its body in: nothing thrown inside the plug-in may reach
// the host's frames. A failure inside one message handler is dropped with
// the given fallback answer; the viewer's state stays as the handler left
// it, and the next message is handled as usual.
#pragma once

#include <utility>

namespace corvane::win {

template <typename R, typename F>
R Guarded(R fallback, F&& body) noexcept {
  try {
    return std::forward<F>(body)();
  } catch (...) {
    return fallback;
  }
}

template <typename F>
void GuardedVoid(F&& body) noexcept {
  try {
    std::forward<F>(body)();
  } catch (...) {
  }
}

}  // namespace corvane::win
