// What feeds a message loop from outside: the windowing system's events, and
// the wake-up that lets another thread's PostMessage end a wait.
#pragma once

#include <condition_variable>
#include <mutex>
#include <optional>

#include "platform/base/win_types.h"

class IEventSource {
 public:
  virtual ~IEventSource() = default;
  // Delivers whatever input is pending, without blocking (user-interface thread).
  virtual void Poll() = 0;
  // Blocks until input arrives, Wake is called or maxMs pass (no limit when
  // empty). A Wake that came before the wait ends it at once.
  virtual void Wait(std::optional<DWORD> maxMs) = 0;
  // Any thread.
  virtual void Wake() = 0;
};

// The source of a loop without a windowing system: only wake-ups and time.
class CPlainEventSource final : public IEventSource {
 public:
  void Poll() override {}
  void Wait(std::optional<DWORD> maxMs) override;
  void Wake() override;

 private:
  std::mutex m_mutex;
  std::condition_variable m_cv;
  bool m_woken = false;
};
