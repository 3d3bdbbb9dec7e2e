// CProcessWatchList: the programs run actions started and follow, polled on view timer 79.
#pragma once

#include <functional>
#include <vector>

#include "model/program_watch.h"
#include "model/task_services.h"
#include "platform/sys/child_reaper.h"

class CProcessWatchList : public IProgramWatch {
 public:
  static constexpr UINT kTimerId = 79;
  static constexpr UINT kPeriodMs = 500;
  static constexpr WORD kNotifyFlag = 0x4;
  // The multimedia notice and the code that says a watched program ended.
  static constexpr UINT kNotifyMessage = 953;
  static constexpr WPARAM kProgramEnded = 1036;

  using PostNotice = std::function<void(UINT message, WPARAM wParam, LPARAM lParam)>;
  // Whether a process has ended (it is reaped then); a failed query counts as ended.
  using EndedQuery = std::function<bool(tvn::sys::ProcessId)>;

  CProcessWatchList(ITimerOwner& timers, PostNotice post, EndedQuery ended = &tvn::sys::HasProcessEnded)
      : m_timers(timers), m_post(std::move(post)), m_ended(std::move(ended)) {}
  ~CProcessWatchList() override { RemoveAll(); }
  CProcessWatchList(const CProcessWatchList&) = delete;
  CProcessWatchList& operator=(const CProcessWatchList&) = delete;

  // The first entry starts the timer (its id is the answer); later ones give the new count.
  int Add(tvn::sys::ProcessId process, WORD flags) override;
  void Release(tvn::sys::ProcessId process) override { m_reaper.Adopt(process); }
  // Drops at most one ended program per look, posting its notice when its flags ask.
  BOOL OnTimer() override;
  // Stops the timer when there are entries and forgets them; programs still
  // running are reaped when they end.
  void RemoveAll();
  int GetCount() const { return static_cast<int>(m_entries.size()); }

 private:
  struct Entry {
    WORD flags;
    tvn::sys::ProcessId process;  // 0: none, never dropped by polling
  };

  ITimerOwner& m_timers;
  PostNotice m_post;
  EndedQuery m_ended;
  std::vector<Entry> m_entries;
  tvn::sys::ChildReaper m_reaper;
};
