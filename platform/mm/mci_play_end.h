// CMciPlayEnd: the notice and the "wait" of a device whose play ends on the sound thread.
#pragma once

#include <functional>
#include <memory>
#include <mutex>

#include "platform/base/win_types.h"
#include "platform/mm/mci_device.h"

class IClock;

// Each play has a generation; its end handler (run on the sound thread, or at
// once for an empty play) wakes a waiting caller only while no later play has
// begun, and posts the successful notice only to a notice armed for its own
// play. The mixer runs end handlers outside its lock, so a stop cannot hold
// back one already running: a later play may begin while it runs, and the
// generation the notice carries keeps that play's notice from it. The handler
// holds the state weakly, so an end arriving after the device is gone does
// nothing.
class CMciPlayEnd : public std::enable_shared_from_this<CMciPlayEnd> {
 public:
  explicit CMciPlayEnd(DWORD deviceId) : m_notifier(deviceId) {}

  CMciNotifier& Notifier() { return m_notifier; }
  // A new play: its notice armed for callback when the command asks for one
  // (else the pending one superseded); the handler that ends it.
  std::function<void()> BeginPlay(const CMciCommand& command, HWND callback);
  // "play ... notify" on a play that goes on (after a pause): the notice waits
  // for the end of the play already running.
  void ArmForRunningPlay(HWND callback);
  // Run by every end handler after its generation check and before its
  // notice (tests begin a play there); set before any play.
  void SetEndCheckedHook(std::function<void()> hook) { m_endChecked = std::move(hook); }
  // Waits until the latest play ends, or until limitMs has passed (see
  // MciWaitUntil); the course is blocked meanwhile.
  void WaitForEnd(const IClock& clock, DWORD limitMs);

 private:
  CMciNotifier m_notifier;
  std::mutex m_mutex;
  DWORD m_generation = 0;  // the play the end belongs to
  DWORD m_endedGeneration = 0;
  std::function<void()> m_endChecked;
};
