// The animation thread's work loop.
#include "playback/animate_thread.h"

#include <new>
#include <system_error>

#include "model/icon_object.h"
#include "playback/draw_obj.h"

IAnimationWaiter& RealTimeWaiter() {
  static CRealTimeWaiter waiter;
  return waiter;
}

CAnimateThread::CAnimateThread(CDrawObj* drawObj, DWORD intervalMs, CSyncEvent* killEvent, IAnimationWaiter& waiter)
    : m_kill(killEvent ? killEvent : &m_noKill), m_drawObj(drawObj), m_interval(intervalMs), m_waiter(waiter) {}

CAnimateThread::~CAnimateThread() {
  Kill();
  Join();
}

std::unique_ptr<CAnimateThread> CAnimateThread::StartAnimateThread(CDrawObj* drawObj, DWORD intervalMs,
                                                                   CSyncEvent* killEvent, IAnimationWaiter& waiter) {
  auto thread = std::make_unique<CAnimateThread>(drawObj, intervalMs, killEvent, waiter);
  try {
    thread->m_thread = std::thread([t = thread.get()] { t->Run(); });
  } catch (const std::system_error&) {
    return nullptr;
  }
  return thread;
}

void CAnimateThread::Kill() {
  m_drawObj.store(nullptr);
  m_resume.Set();
  m_stop.Set();
}

void CAnimateThread::Join() {
  if (!m_thread.joinable()) return;
  if (m_thread.get_id() == std::this_thread::get_id()) {
    // An owner that removes its own object from inside its step: the loop
    // sees the stop as soon as the step returns, and nothing waits for it.
    m_thread.detach();
    return;
  }
  m_thread.join();
}

void CAnimateThread::Resume() { m_resume.Set(); }

void CAnimateThread::Run() {
  CSyncEvent* stops[] = {m_kill, &m_stop};
  for (;;) {
    if (m_waiter.Wait(stops, m_interval) != CSyncEvent::kTimeout) break;
    CDrawObj* obj = m_drawObj.load();
    if (!obj || !obj->GetOwner()) break;
    m_resume.Reset();  // a resume that comes during the step is kept
    CRect rect = *obj->GetRect();
    ++m_steps;
    if (!obj->GetOwner()->Animate(rect, TRUE)) {
      m_suspended.store(true);
      CSyncEvent* wake[] = {m_kill, &m_stop, &m_resume};
      int woken = CSyncEvent::WaitForAny(wake, std::nullopt);
      m_suspended.store(false);
      if (woken != 2) break;
    }
  }
  m_ended.store(true);
}
