// The armed-event list: arming order, dispatch and activation.
#include "behaviour/armed_event_list.h"

#include "behaviour/event_trigger.h"
#include "model/course_doc.h"

BOOL CArmedEventEntry::Activate(IArmedEventHost& host) {
  if (!host.IsCourseOpen(m_pCourse)) return FALSE;
  CCourseDoc* previous = host.GetActiveCourse();
  host.SetActiveCourse(m_pCourse);
  m_pCourse->SetCurrentTask(m_pTask);
  // The entered course returns to the one that was current when it ends.
  if (previous != m_pCourse) m_pCourse->SetCallerCourse(previous, nullptr);
  return TRUE;
}

void CArmedEventList::AppendArmed(CEventTrigger* event, CCourseDoc* course, CTask* task) {
  AddTail(std::make_unique<CArmedEventEntry>(event, course, task));
}

void CArmedEventList::AddTail(std::unique_ptr<CArmedEventEntry> entry) {
  if (entry) m_entries.push_back(std::move(entry));
}

CArmedEventEntry* CArmedEventList::FindByCourse(const CCourseDoc* course) const {
  for (const auto& entry : m_entries)
    if (entry->GetCourse() == course) return entry.get();
  return nullptr;
}

void CArmedEventList::StopAll() {
  for (const auto& entry : m_entries)
    if (m_host.IsCourseOpen(entry->GetCourse()) && entry->GetEvent()) entry->GetEvent()->Stop();
}

void CArmedEventList::RemoveCourse(const CCourseDoc* course) {
  std::erase_if(m_entries, [&](const std::unique_ptr<CArmedEventEntry>& entry) {
    if (entry->GetCourse() != course) return false;
    if (entry->GetEvent() && m_host.IsCourseOpen(course)) entry->GetEvent()->Stop();
    return true;
  });
}

template <class Offer>
CArmedEventEntry* CArmedEventList::Dispatch(const Offer& offer) {
  // Indices, not iterators: an event's own handling may arm or clear entries.
  for (size_t i = 0; i < m_entries.size(); ++i) {
    CArmedEventEntry* entry = m_entries[i].get();
    CEventTrigger* event = entry->GetEvent();
    if (!event || !m_host.IsCourseOpen(entry->GetCourse())) continue;
    // A disabled object never takes input, even when it was armed before it was disabled.
    if (!event->CIconObject::IsEnabled() || !event->IsEnabled()) continue;
    if (offer(*event) && entry->Activate(m_host)) return entry;
  }
  return nullptr;
}

CArmedEventEntry* CArmedEventList::DispatchMouse(UINT message, UINT keyFlags, const CPoint* point, int code) {
  const CPoint at = point ? *point : CPoint();
  return Dispatch([&](CEventTrigger& e) { return e.OnMouseButton(message, keyFlags, at, code, nullptr); });
}

CArmedEventEntry* CArmedEventList::DispatchKey(int key, int state) {
  return Dispatch([&](CEventTrigger& e) { return e.OnKey(key, state); });
}

CArmedEventEntry* CArmedEventList::DispatchCommand(int id, LPARAM argument) {
  return Dispatch([&](CEventTrigger& e) { return e.OnCommand(id, argument); });
}

CArmedEventEntry* CArmedEventList::DispatchTimer(int id) {
  return Dispatch([&](CEventTrigger& e) { return e.OnTimer(id); });
}

CArmedEventEntry* CArmedEventList::DispatchNotify(WPARAM wParam, LPARAM lParam) {
  return Dispatch([&](CEventTrigger& e) { return e.OnNotify(wParam, lParam); });
}

CArmedEventEntry* CArmedEventList::DispatchControlEvent(LONG controlId, void* eventRecord) {
  return Dispatch([&](CEventTrigger& e) { return e.OnControlEvent(controlId, eventRecord); });
}
