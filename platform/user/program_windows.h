// Showing the window of another program: one already running, or one just
// started, once its first window appears.
#pragma once

#include <atomic>
#include <chrono>
#include <thread>

namespace tvn::sys {

// How the window is shown.
constexpr int kShowNormal = 1;
constexpr int kShowMinimised = 2;
constexpr int kShowMaximised = 3;
constexpr int kShowHidden = 0;

// The first top-level window of the process (the window manager's client
// whose _NET_WM_PID is the process's, on this machine) is shown as asked
// through the window manager (EWMH and ICCCM requests) and, unless
// minimised or hidden, activated. Works on the X display of $DISPLAY over a
// connection of its own. False when there is no X display or the process
// shows no window.
bool RaiseProgramWindow(int pid, int show);

// Waits on a thread of its own, at most the limit, for the first window of a
// started process and shows it as RaiseProgramWindow does. The wait holds up
// no one; destroying the object ends it at once.
class ProgramWindowShow {
 public:
  static constexpr std::chrono::milliseconds kDefaultLimit{10000};

  ProgramWindowShow(int pid, int show, std::chrono::milliseconds limit = kDefaultLimit);
  ProgramWindowShow(const ProgramWindowShow&) = delete;
  ProgramWindowShow& operator=(const ProgramWindowShow&) = delete;

  // The window was found and shown, or the wait is over without it.
  bool Finished() const { return m_finished.load(); }
  bool Shown() const { return m_shown.load(); }

 private:
  void Run(std::stop_token stop, int pid, int show, std::chrono::milliseconds limit);

  std::atomic<bool> m_finished{false};
  std::atomic<bool> m_shown{false};
  // Last: it starts once the flags exist, and its destruction asks the wait
  // to stop (waking it) and joins it before they go.
  std::jthread m_thread;
};

}  // namespace tvn::sys
