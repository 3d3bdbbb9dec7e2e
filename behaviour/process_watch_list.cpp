// Polling the followed programs, one ended program dropped per look.
#include "behaviour/process_watch_list.h"

int CProcessWatchList::Add(tvn::sys::ProcessId process, WORD flags) {
  m_entries.push_back(Entry{flags, process});
  if (m_entries.size() == 1) {
    m_timers.SetTimer(kTimerId, kPeriodMs);
    return static_cast<int>(kTimerId);
  }
  return GetCount();
}

BOOL CProcessWatchList::OnTimer() {
  BOOL state = FALSE;
  for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
    state = it->process != 0 && m_ended(it->process);
    if (!state) continue;
    if ((it->flags & kNotifyFlag) && m_post) m_post(kNotifyMessage, kProgramEnded, 0);
    if (m_entries.size() <= 1) m_timers.KillTimer(kTimerId);
    m_entries.erase(it);
    return TRUE;
  }
  return state;
}

void CProcessWatchList::RemoveAll() {
  if (m_entries.empty()) return;
  m_timers.KillTimer(kTimerId);
  for (const Entry& entry : m_entries) m_reaper.Adopt(entry.process);
  m_entries.clear();
}
