// CArmedEventList: the armed events of every started course, offered every
// kind of input before the page and the current task see it.
#pragma once

#include <memory>
#include <vector>

#include "model/task_managers.h"
#include "platform/base/geometry.h"
#include "platform/base/win_types.h"

class CCourseDoc;
class CEventTrigger;
class CTask;

// What the list needs of the application: which courses are still open and
// which one is current. The presentation view answers for the application.
class IArmedEventHost {
 public:
  virtual BOOL IsCourseOpen(const CCourseDoc* course) = 0;
  virtual CCourseDoc* GetActiveCourse() = 0;
  virtual void SetActiveCourse(CCourseDoc* course) = 0;

 protected:
  ~IArmedEventHost() = default;
};

// One armed event with the course and task it belongs to; none is owned.
// The course may have closed since it was armed, so it is only compared
// until the host says it is open.
class CArmedEventEntry {
 public:
  CArmedEventEntry(CEventTrigger* event, CCourseDoc* course, CTask* task)
      : m_pEvent(event), m_pCourse(course), m_pTask(task) {}

  CEventTrigger* GetEvent() const { return m_pEvent; }
  CCourseDoc* GetCourse() const { return m_pCourse; }
  CTask* GetTask() const { return m_pTask; }
  // Makes the course and its task current; the course that was current
  // becomes its caller when it is another one. FALSE when the course has closed.
  BOOL Activate(IArmedEventHost& host);

 private:
  CEventTrigger* m_pEvent;
  CCourseDoc* m_pCourse;
  CTask* m_pTask;
};

// Entries stay in arming order (task order, then event order within a task),
// which is the order input is offered in; the first enabled event of an open
// course that accepts wins and later ones are not asked.
class CArmedEventList : public IArmedEventSink {
 public:
  explicit CArmedEventList(IArmedEventHost& host) : m_host(host) {}
  CArmedEventList(const CArmedEventList&) = delete;
  CArmedEventList& operator=(const CArmedEventList&) = delete;

  void AppendArmed(CEventTrigger* event, CCourseDoc* course, CTask* task) override;
  void AddTail(std::unique_ptr<CArmedEventEntry> entry);
  // Compares pointers only: the course may already be closed.
  CArmedEventEntry* FindByCourse(const CCourseDoc* course) const;
  // Stops the events of the courses still open (time events kill their timers).
  void StopAll();
  void RemoveAll() { m_entries.clear(); }
  // Stops and drops the entries of one course, so that starting it again
  // does not arm its events a second time.
  void RemoveCourse(const CCourseDoc* course);
  int GetCount() const { return static_cast<int>(m_entries.size()); }
  bool IsEmpty() const { return m_entries.empty(); }
  CArmedEventEntry* GetAt(int index) const { return m_entries.at(static_cast<size_t>(index)).get(); }

  // Each gives the entry that accepted and was activated, or null.
  CArmedEventEntry* DispatchMouse(UINT message, UINT keyFlags, const CPoint* point, int code);
  CArmedEventEntry* DispatchKey(int key, int state);
  CArmedEventEntry* DispatchCommand(int id, LPARAM argument);
  CArmedEventEntry* DispatchTimer(int id);
  CArmedEventEntry* DispatchNotify(WPARAM wParam, LPARAM lParam);
  CArmedEventEntry* DispatchControlEvent(LONG controlId, void* eventRecord);

 private:
  template <class Offer>
  CArmedEventEntry* Dispatch(const Offer& offer);

  IArmedEventHost& m_host;
  std::vector<std::unique_ptr<CArmedEventEntry>> m_entries;
};
