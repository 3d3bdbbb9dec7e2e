// The posted-message queue of the user-interface thread. Posted messages and
// translated input share one queue, so they are handled in the order they came.
#pragma once

#include <deque>
#include <functional>
#include <mutex>
#include <optional>

#include "platform/msg/window_messages.h"

class CMessageQueue {
 public:
  // Any thread.
  void Post(const MSG& msg);
  // Runs a call on the thread that reads the queue, ahead of posted messages
  // (a message sent from another thread). Any thread.
  void PostCall(std::function<void()> call);

  // The first message matching the filter, taken out when remove is set.
  // A null window matches every window; min = max = 0 matches every message.
  std::optional<MSG> Peek(HWND hwnd, UINT minMsg, UINT maxMsg, bool remove);
  // The first message that takes(msg) accepts; the others keep their places.
  std::optional<MSG> Peek(const std::function<bool(const MSG&)>& takes, bool remove);
  // The calls waiting to run, taken out of the queue.
  std::deque<std::function<void()>> TakeCalls();

  bool Empty() const;
  std::size_t Size() const;
  // Drops every message for a window that is going away.
  void RemoveWindow(HWND hwnd);

  static bool Matches(const MSG& msg, HWND hwnd, UINT minMsg, UINT maxMsg);

 private:
  mutable std::mutex m_mutex;
  std::deque<MSG> m_messages;
  std::deque<std::function<void()>> m_calls;
};
