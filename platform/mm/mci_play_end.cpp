// A play's end: the generation check, the notice and the wake of a waiting caller.
#include "platform/mm/mci_play_end.h"

#include "platform/mm/mci_wait.h"

std::function<void()> CMciPlayEnd::BeginPlay(const CMciCommand& command, HWND callback) {
  DWORD generation = 0;
  {
    std::lock_guard lock(m_mutex);
    generation = ++m_generation;
  }
  // After the new generation: an earlier play's end that has not yet passed
  // its check now fails it, and its pending notice is superseded here.
  m_notifier.ArmOrSupersede(command, callback, generation);
  return [weak = weak_from_this(), generation] {
    auto state = weak.lock();
    if (!state) return;
    {
      std::lock_guard lock(state->m_mutex);
      if (state->m_generation != generation) return;
      state->m_endedGeneration = generation;
    }
    MciWakeWait();
    if (state->m_endChecked) state->m_endChecked();
    state->m_notifier.FireForPlay(generation, MciNotify::kSuccessful);
  };
}

void CMciPlayEnd::ArmForRunningPlay(HWND callback) {
  DWORD generation = 0;
  {
    std::lock_guard lock(m_mutex);
    generation = m_generation;
  }
  m_notifier.Arm(callback, generation);
}

void CMciPlayEnd::WaitForEnd(const IClock& clock, DWORD limitMs) {
  DWORD generation = 0;
  {
    std::lock_guard lock(m_mutex);
    generation = m_generation;
  }
  MciWaitUntil(MciBlockingWait(), clock, limitMs, [this, generation] {
    std::lock_guard lock(m_mutex);
    return m_endedGeneration == generation;
  });
}
