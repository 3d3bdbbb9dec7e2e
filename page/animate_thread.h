// CAnimateThread: steps an animated draw object's owner once per interval on a thread of its own.
#pragma once

#include <atomic>
#include <memory>
#include <span>
#include <thread>

#include "platform/base/sync_event.h"

class CDrawObj;

// How an animation thread waits out its interval: real time in the program,
// a hand-driven clock in tests.
class IAnimationWaiter {
 public:
  virtual ~IAnimationWaiter() = default;
  // The index of an event found set, or CSyncEvent::kTimeout once timeoutMs passed.
  virtual int Wait(std::span<CSyncEvent* const> events, DWORD timeoutMs) = 0;
};

class CRealTimeWaiter final : public IAnimationWaiter {
 public:
  int Wait(std::span<CSyncEvent* const> events, DWORD timeoutMs) override {
    return CSyncEvent::WaitForAny(events, timeoutMs);
  }
};

IAnimationWaiter& RealTimeWaiter();

// The thread waits for the view's kill event or its own stop event with the
// interval as time-out; each time-out asks the owner for one step. An owner
// that answers FALSE has finished: the thread then sleeps until Resume.
//
// The draw object owns the thread and joins it before it goes, so the
// thread never needs to ask whether its object still exists.
class CAnimateThread {
 public:
  CAnimateThread(CDrawObj* drawObj, DWORD intervalMs, CSyncEvent* killEvent, IAnimationWaiter& waiter);
  ~CAnimateThread();
  CAnimateThread(const CAnimateThread&) = delete;
  CAnimateThread& operator=(const CAnimateThread&) = delete;

  // Null when the thread cannot be made.
  static std::unique_ptr<CAnimateThread> StartAnimateThread(CDrawObj* drawObj, DWORD intervalMs,
                                                            CSyncEvent* killEvent, IAnimationWaiter& waiter);

  // Forgets the draw object and asks the thread to end (also a suspended one).
  void Kill();
  // Waits for the thread to end; harmless when it has, or on the thread itself.
  void Join();
  void Resume();
  bool IsCurrentThread() const { return m_thread.get_id() == std::this_thread::get_id(); }

  DWORD GetInterval() const { return m_state->interval; }
  bool IsSuspended() const { return m_state->suspended.load(); }
  bool HasEnded() const { return m_state->ended.load(); }
  // Kill was called: the thread ends (or has ended) and steps no more.
  bool IsKilled() const { return m_state->drawObj.load() == nullptr; }
  long GetStepCount() const { return m_state->steps.load(); }

 private:
  // Everything the running thread reads. It outlives this object when an
  // owner takes its own object off the page from inside its step: the thread
  // then finds the object forgotten and ends without touching anything else.
  struct State {
    CSyncEvent noKill;  // stands in when the view gives no kill event
    CSyncEvent* kill = nullptr;
    CSyncEvent stop;
    CSyncEvent resume;
    std::atomic<CDrawObj*> drawObj{nullptr};
    DWORD interval = 0;
    IAnimationWaiter* waiter = nullptr;
    std::atomic<bool> suspended{false};
    std::atomic<bool> ended{false};
    std::atomic<long> steps{0};
  };
  static void Run(const std::shared_ptr<State>& state);

  std::shared_ptr<State> m_state;
  std::thread m_thread;
};
