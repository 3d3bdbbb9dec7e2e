// CTaskList: a course's tasks in course order, and stepping through them.
#pragma once

#include <memory>
#include <vector>

#include "model/task.h"

// Owns its tasks: emptying the list deletes them.
class CTaskList {
 public:
  CTaskList() = default;
  CTaskList(const CTaskList&) = delete;
  CTaskList& operator=(const CTaskList&) = delete;

  int GetCount() const { return static_cast<int>(m_tasks.size()); }
  BOOL IsEmpty() const { return m_tasks.empty(); }
  CTask* GetAt(int index) const;
  // The position of a task, or -1 when it is not in the list.
  int Find(const CTask* task) const;
  CTask* GetHead() const { return m_tasks.empty() ? nullptr : m_tasks.front().get(); }
  CTask* GetTail() const { return m_tasks.empty() ? nullptr : m_tasks.back().get(); }

  void AddTail(std::unique_ptr<CTask> task);
  void RemoveAll() { m_tasks.clear(); }

  // The task n places after the given one, or the last when fewer follow;
  // null when the task is not here, n is not positive, or it is the last.
  CTask* GetNextTask(const CTask* task, int n) const;
  // The task n places before, or the first when fewer lie before; null when
  // the task is not here, n is not positive, or it is the first.
  CTask* GetPrevTask(const CTask* task, int n) const;
  // The first task with that number, or null.
  CTask* FindTaskByNumber(int number) const;

  auto begin() const { return m_tasks.begin(); }
  auto end() const { return m_tasks.end(); }

 private:
  std::vector<std::unique_ptr<CTask>> m_tasks;
};
