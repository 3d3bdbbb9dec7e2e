// Stepping through a course's tasks.
#include "model/task_list.h"

#include <algorithm>

CTask* CTaskList::GetAt(int index) const {
  if (index < 0 || index >= GetCount()) return nullptr;
  return m_tasks[static_cast<std::size_t>(index)].get();
}

int CTaskList::Find(const CTask* task) const {
  for (int i = 0; i < GetCount(); ++i) {
    if (m_tasks[static_cast<std::size_t>(i)].get() == task) return i;
  }
  return -1;
}

void CTaskList::AddTail(std::unique_ptr<CTask> task) {
  if (task) m_tasks.push_back(std::move(task));
}

CTask* CTaskList::GetNextTask(const CTask* task, int n) const {
  int at = Find(task);
  if (at < 0 || n <= 0 || at == GetCount() - 1) return nullptr;
  long long last = GetCount() - 1;
  return GetAt(static_cast<int>(std::min(static_cast<long long>(at) + n, last)));
}

CTask* CTaskList::GetPrevTask(const CTask* task, int n) const {
  int at = Find(task);
  if (at <= 0 || n <= 0) return nullptr;
  return GetAt(std::max(at - n, 0));
}

CTask* CTaskList::FindTaskByNumber(int number) const {
  auto it = std::find_if(m_tasks.begin(), m_tasks.end(), [&](const auto& t) { return t->GetTaskNumber() == number; });
  return it == m_tasks.end() ? nullptr : it->get();
}
