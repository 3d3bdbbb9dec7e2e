// Stepping forward and back through a course's tasks.
#include "model/task_list.h"

#include <gtest/gtest.h>

namespace {

struct Four {
  Four() {
    for (int i = 0; i < 4; ++i) {
      auto t = std::make_unique<CTask>();
      t->SetTaskNumber(10 * (i + 1));
      tasks[i] = t.get();
      list.AddTail(std::move(t));
    }
  }
  CTaskList list;
  CTask* tasks[4] = {};
};

}  // namespace

TEST(TaskList, NextAndPreviousStopAtTheEnds) {
  Four f;
  CTask stranger;
  struct Row {
    int from;  // -1: a task not in the list
    int n;
    int next;  // index or -1 for none
    int prev;
  };
  const Row rows[] = {
      {1, 5, 3, 0},   // forward past the end gives the last; back past the start the first
      {1, 1, 2, 0},   {0, 1, 1, -1}, {0, 3, 3, -1}, {3, 1, -1, 2}, {3, 2, -1, 1},
      {2, 0, -1, -1}, {2, -1, -1, -1}, {-1, 1, -1, -1}, {2, 0x7FFFFFFF, 3, 0},
  };
  for (const Row& r : rows) {
    CTask* from = r.from < 0 ? &stranger : f.tasks[r.from];
    CTask* next = r.next < 0 ? nullptr : f.tasks[r.next];
    CTask* prev = r.prev < 0 ? nullptr : f.tasks[r.prev];
    EXPECT_EQ(f.list.GetNextTask(from, r.n), next) << r.from << " +" << r.n;
    EXPECT_EQ(f.list.GetPrevTask(from, r.n), prev) << r.from << " -" << r.n;
  }
}

TEST(TaskList, EndsAndLookupByNumber) {
  Four f;
  EXPECT_EQ(f.list.GetHead(), f.tasks[0]);
  EXPECT_EQ(f.list.GetTail(), f.tasks[3]);
  EXPECT_EQ(f.list.FindTaskByNumber(30), f.tasks[2]);
  EXPECT_EQ(f.list.FindTaskByNumber(31), nullptr);
  CTaskList empty;
  EXPECT_EQ(empty.GetHead(), nullptr);
  EXPECT_EQ(empty.GetTail(), nullptr);
  EXPECT_EQ(empty.GetNextTask(f.tasks[0], 1), nullptr);
}
