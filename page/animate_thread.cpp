// The animation thread's work loop.
#include "page/animate_thread.h"

#include <new>
#include <system_error>

#include "model/icon_object.h"
#include "page/draw_obj.h"

IAnimationWaiter& RealTimeWaiter() {
  static CRealTimeWaiter waiter;
  return waiter;
}

CAnimateThread::CAnimateThread(CDrawObj* drawObj, DWORD intervalMs, CSyncEvent* killEvent, IAnimationWaiter& waiter)
    : m_state(std::make_shared<State>()) {
  m_state->kill = killEvent ? killEvent : &m_state->noKill;
  m_state->drawObj.store(drawObj);
  m_state->interval = intervalMs;
  m_state->waiter = &waiter;
}

CAnimateThread::~CAnimateThread() {
  Kill();
  Join();
}

std::unique_ptr<CAnimateThread> CAnimateThread::StartAnimateThread(CDrawObj* drawObj, DWORD intervalMs,
                                                                   CSyncEvent* killEvent, IAnimationWaiter& waiter) {
  auto thread = std::make_unique<CAnimateThread>(drawObj, intervalMs, killEvent, waiter);
  try {
    thread->m_thread = std::thread([state = thread->m_state] { Run(state); });
  } catch (const std::system_error&) {
    return nullptr;
  }
  return thread;
}

void CAnimateThread::Kill() {
  m_state->drawObj.store(nullptr);
  m_state->resume.Set();
  m_state->stop.Set();
}

void CAnimateThread::Join() {
  if (!m_thread.joinable()) return;
  if (m_thread.get_id() == std::this_thread::get_id()) {
    // Called from inside a step: the thread keeps its own state and ends as
    // soon as the step returns; nothing can wait for itself.
    m_thread.detach();
    return;
  }
  m_thread.join();
}

void CAnimateThread::Resume() { m_state->resume.Set(); }

void CAnimateThread::Run(const std::shared_ptr<State>& state) {
  State& s = *state;
  CSyncEvent* stops[] = {s.kill, &s.stop};
  for (;;) {
    if (s.waiter->Wait(stops, s.interval) != CSyncEvent::kTimeout) break;
    CDrawObj* obj = s.drawObj.load();
    if (!obj || !obj->GetOwner()) break;
    s.resume.Reset();  // a resume that comes during the step is kept
    CRect rect = *obj->GetRect();
    ++s.steps;
    const BOOL goOn = obj->GetOwner()->Animate(rect, TRUE);
    if (!s.drawObj.load()) break;  // killed during the step: the object may be gone
    if (!goOn) {
      s.suspended.store(true);
      CSyncEvent* wake[] = {s.kill, &s.stop, &s.resume};
      const int woken = CSyncEvent::WaitForAny(wake, std::nullopt);
      s.suspended.store(false);
      if (woken != 2) break;
    }
  }
  s.ended.store(true);
}
