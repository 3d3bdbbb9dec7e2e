// The end of the user's session as the program learns it: SIGTERM or SIGHUP
// from the system, or Qt's own request to quit. Each one calls the program's
// handler on the user-interface thread, from the loop; the signal handler
// itself only writes a byte to a pipe that the loop watches.
#pragma once

#include <functional>
#include <memory>

class CSessionEndWatcher {
 public:
  // Made on the user-interface thread after the Qt application; one at a time.
  explicit CSessionEndWatcher(std::function<void()> onEnd);
  ~CSessionEndWatcher();
  CSessionEndWatcher(const CSessionEndWatcher&) = delete;
  CSessionEndWatcher& operator=(const CSessionEndWatcher&) = delete;

  // Whether the signals are caught (the pipe could be made and no other watcher lives).
  bool IsWatching() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> m_impl;
};
