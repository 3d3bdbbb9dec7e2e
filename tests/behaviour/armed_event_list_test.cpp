// The armed-event list: arming order, which events are asked, and what a
// firing event makes current.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "behaviour/armed_event_list.h"
#include "behaviour/event_trigger.h"
#include "model/course_doc.h"
#include "model/task.h"
#include "tests/support/fake_course_host.h"

namespace {

// An event that accepts one key and notes every time it is asked.
class CountingEvent : public CEventTrigger {
 public:
  CountingEvent(int key, std::vector<CountingEvent*>& asked) : m_key(key), m_asked(asked) {}
  BOOL OnKey(int key, int) override {
    m_asked.push_back(this);
    return key == m_key;
  }
  BOOL OnTimer(int id) override { return id == m_key; }
  void Stop() override { ++stops; }
  int stops = 0;

 private:
  int m_key;
  std::vector<CountingEvent*>& m_asked;
};

class Host : public IArmedEventHost {
 public:
  BOOL IsCourseOpen(const CCourseDoc* course) override { return open.count(course) > 0; }
  CCourseDoc* GetActiveCourse() override { return current; }
  void SetActiveCourse(CCourseDoc* course) override { current = course; }
  std::set<const CCourseDoc*> open;
  CCourseDoc* current = nullptr;
};

class ArmedEventListTest : public ::testing::Test {
 protected:
  ArmedEventListTest() {
    host.open = {&courseA, &courseB};
    host.current = &courseA;
  }
  CountingEvent& Arm(int key, CCourseDoc& course, CTask& task) {
    events.push_back(std::make_unique<CountingEvent>(key, asked));
    list.AppendArmed(events.back().get(), &course, &task);
    return *events.back();
  }

  tvn::testing::FakeCourseHost courseHost;
  CCourseDoc courseA{courseHost};
  CCourseDoc courseB{courseHost};
  CTask task1, task2, task3;
  Host host;
  CArmedEventList list{host};
  std::vector<CountingEvent*> asked;
  std::vector<std::unique_ptr<CountingEvent>> events;
};

TEST_F(ArmedEventListTest, TheFirstArmedAcceptorWinsAndLaterEventsAreNotAsked) {
  CountingEvent& other = Arm('X', courseA, task1);
  CountingEvent& first = Arm('A', courseA, task2);
  CountingEvent& second = Arm('A', courseA, task3);
  CArmedEventEntry* fired = list.DispatchKey('A', 0);
  ASSERT_NE(fired, nullptr);
  EXPECT_EQ(fired->GetEvent(), &first);
  EXPECT_EQ(asked, (std::vector<CountingEvent*>{&other, &first}));
  EXPECT_EQ(courseA.GetCurrentTask(), &task2);
  (void)second;
  EXPECT_EQ(list.DispatchKey('Q', 0), nullptr) << "nobody takes an unknown key";
}

TEST_F(ArmedEventListTest, ClosedCoursesAndEventsThatAreNotEnabledArePassedOver) {
  CountingEvent& closed = Arm('A', courseB, task1);
  CountingEvent& off = Arm('A', courseA, task2);
  off.SetEventFlags(0);
  CountingEvent& on = Arm('A', courseA, task3);
  host.open.erase(&courseB);

  ASSERT_NE(list.DispatchKey('A', 0), nullptr);
  EXPECT_EQ(asked, (std::vector<CountingEvent*>{&on})) << "neither the closed course's nor the switched-off event";
  (void)closed;

  // Switched on again, it is offered input without arming it again.
  off.SetEventFlags(CEventTrigger::kEnabledAlways);
  asked.clear();
  EXPECT_EQ(list.DispatchKey('A', 0)->GetEvent(), &off);

  // The disabled bit of the object itself keeps every input away.
  off.SetFlags(off.GetFlags() | 0x80);
  asked.clear();
  EXPECT_EQ(list.DispatchTimer('A')->GetEvent(), &on);
}

TEST_F(ArmedEventListTest, AnotherCoursesEventMakesItCurrentWithTheOldOneAsItsCaller) {
  Arm('B', courseB, task2);
  Arm('A', courseA, task3);
  courseA.SetCallerCourse(&courseB, &task1);

  ASSERT_NE(list.DispatchKey('B', 0), nullptr);
  EXPECT_EQ(host.current, &courseB);
  EXPECT_EQ(courseB.GetCurrentTask(), &task2);
  EXPECT_EQ(courseB.GetCallerCourse(), &courseA);
  EXPECT_EQ(courseB.GetCallerTask(), nullptr);

  // Within the current course only the task changes; its caller stays.
  ASSERT_NE(list.DispatchKey('B', 0), nullptr);
  EXPECT_EQ(courseB.GetCallerCourse(), &courseA);
  host.current = &courseA;
  ASSERT_NE(list.DispatchKey('A', 0), nullptr);
  EXPECT_EQ(courseA.GetCurrentTask(), &task3);
  EXPECT_EQ(courseA.GetCallerCourse(), &courseB) << "unchanged";
}

TEST_F(ArmedEventListTest, StoppingReachesOpenCoursesOnlyAndFindingComparesPointers) {
  CountingEvent& a = Arm('A', courseA, task1);
  CountingEvent& b = Arm('B', courseB, task2);
  host.open.erase(&courseB);
  list.StopAll();
  EXPECT_EQ(a.stops, 1);
  EXPECT_EQ(b.stops, 0);
  EXPECT_EQ(list.FindByCourse(&courseB)->GetEvent(), &b) << "a closed course is still found by its pointer";
  list.RemoveAll();
  EXPECT_TRUE(list.IsEmpty());
  EXPECT_EQ(list.FindByCourse(&courseA), nullptr);
}

TEST_F(ArmedEventListTest, RemovingACourseStopsAndDropsOnlyItsEntries) {
  CountingEvent& a = Arm('A', courseA, task1);
  CountingEvent& b = Arm('B', courseB, task2);
  Arm('C', courseA, task3);
  list.RemoveCourse(&courseA);
  ASSERT_EQ(list.GetCount(), 1);
  EXPECT_EQ(list.GetAt(0)->GetEvent(), &b);
  EXPECT_EQ(a.stops, 1);
  EXPECT_EQ(b.stops, 0);
}

TEST_F(ArmedEventListTest, ActivationFailsForACourseThatClosed) {
  CArmedEventEntry entry(nullptr, &courseB, &task1);
  host.open.erase(&courseB);
  EXPECT_FALSE(entry.Activate(host));
  EXPECT_EQ(host.current, &courseA);
}

}  // namespace
