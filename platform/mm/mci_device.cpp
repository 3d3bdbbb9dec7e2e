// The pending notice of an MCI device.
#include "platform/mm/mci_device.h"

#include "platform/user/message_loop.h"
#include "platform/msg/window_messages.h"

void CMciNotifier::Arm(HWND window, DWORD play) {
  std::lock_guard lock(m_mutex);
  if (m_window) ::PostMessage(m_window, MM_MCINOTIFY, MciNotify::kSuperseded, static_cast<LPARAM>(m_id));
  m_window = window;
  m_play = play;
}

void CMciNotifier::Fire(WPARAM code) {
  std::lock_guard lock(m_mutex);
  if (m_window) ::PostMessage(m_window, MM_MCINOTIFY, code, static_cast<LPARAM>(m_id));
  m_window = nullptr;
  m_play = 0;
}

void CMciNotifier::FireForPlay(DWORD play, WPARAM code) {
  std::lock_guard lock(m_mutex);
  if (!m_window || m_play != play) return;
  ::PostMessage(m_window, MM_MCINOTIFY, code, static_cast<LPARAM>(m_id));
  m_window = nullptr;
  m_play = 0;
}

void CMciNotifier::ArmOrSupersede(const CMciCommand& command, HWND window, DWORD play) {
  if (command.notify && window) Arm(window, play);
  else Supersede();
}

void CMciNotifier::NotifyDone(const CMciCommand& command, HWND window) {
  if (!command.notify || !window) return;
  Arm(window);
  Fire(MciNotify::kSuccessful);
}

bool CMciNotifier::IsPending() const {
  std::lock_guard lock(m_mutex);
  return m_window != nullptr;
}
