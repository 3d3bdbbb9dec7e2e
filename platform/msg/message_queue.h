// The posted-message queue of the user-interface thread. Posted messages and
// translated input share one queue, so they are handled in the order they came.
#pragma once

#include <array>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>

#include "platform/msg/window_messages.h"

// The key and button state: one byte per virtual key, 0x80 down, 0x01 toggled.
using KeyStates = std::array<BYTE, 256>;

class CMessageQueue {
 public:
  // A message waiting in the queue. Input from the windowing system carries
  // the key state of the moment it came, which its handler sees.
  struct Entry {
    MSG msg;
    std::optional<KeyStates> keys;  // set for input only
  };

  // Any thread.
  void Post(const MSG& msg);
  // Input with the key state of its moment. A mouse move takes the place of
  // a move for the same window that waits with no input after it: only where
  // the pointer is now matters. Any thread.
  void PostInput(const MSG& msg, const KeyStates& keys);
  // Runs a call on the thread that reads the queue, ahead of posted messages
  // (a message sent from another thread). Any thread.
  void PostCall(std::function<void()> call);

  // The first message matching the filter, taken out when remove is set.
  // A null window matches every window; min = max = 0 matches every message.
  std::optional<Entry> Peek(HWND hwnd, UINT minMsg, UINT maxMsg, bool remove);
  // The first message that takes(msg) accepts; the others keep their places.
  std::optional<Entry> Peek(const std::function<bool(const MSG&)>& takes, bool remove);
  // The calls waiting to run, taken out of the queue.
  std::deque<std::function<void()>> TakeCalls();

  bool Empty() const;
  std::size_t Size() const;
  // Input posted with PostInput waits.
  bool HasInput() const;
  // Drops every message for a window that is going away.
  void RemoveWindow(HWND hwnd);

  static bool Matches(const MSG& msg, HWND hwnd, UINT minMsg, UINT maxMsg);

 private:
  mutable std::mutex m_mutex;
  std::deque<Entry> m_messages;
  std::deque<std::function<void()>> m_calls;
};
