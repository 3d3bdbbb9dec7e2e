// Courses for the presentation view's tests, written by the course builder,
// and an event that notes what the armed-event list offers it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "behaviour/event_trigger.h"
#include "tests/support/course_builder.h"

namespace tvn::testing {

struct TaskPlan {
  int number;
  std::vector<CourseBuilder::Writer> events;
  std::vector<CourseBuilder::Writer> responses;
};

inline std::vector<std::uint8_t> BuildCourse(const std::vector<TaskPlan>& tasks) {
  CourseFileFields f;
  for (const TaskPlan& plan : tasks) {
    f.tasks.push_back([plan](CourseBuilder& b) {
      b.Task(IconFields{4, "Task " + std::to_string(plan.number), "", 3}, plan.number, plan.events, {},
             plan.responses);
    });
  }
  CourseBuilder b;
  b.CourseFile(f);
  return b.bytes();
}

// The stored outcome flags of an outcome code: next is a flag of its own,
// every other code is a branch (0x2) refined by the code's own bit.
inline ResponseFields Outcomes(std::uint32_t outcome, std::int32_t target) {
  ResponseFields fields;
  fields.outcomeFlags = outcome == 1 ? 1u : (outcome | 0x2u);
  fields.targets = {target};
  return fields;
}

// A keyboard response for the characters (any key when empty) with an outcome.
inline CourseBuilder::Writer KeyResponse(std::string characters, std::uint32_t outcome = 1,
                                         std::int32_t target = 0) {
  return [=](CourseBuilder& b) {
    KeyFields keys{characters.empty() ? 4u : 0u, characters, {}};
    b.KeyboardResponse(IconFields{4, "key " + characters, "", 3}, Outcomes(outcome, target), keys);
  };
}

inline CourseBuilder::Writer ClickResponse(std::uint32_t outcome = 1, std::int32_t target = 0) {
  return [=](CourseBuilder& b) {
    b.MouseResponse(IconFields{4, "click", "", 3}, Outcomes(outcome, target), 0x1 | 0x10);
  };
}

inline CourseBuilder::Writer TimeResponse(std::int32_t tenths, std::uint32_t outcome = 1) {
  return [=](CourseBuilder& b) {
    b.TimeResponse(IconFields{4, "time", "", 3}, Outcomes(outcome, 0), tenths);
  };
}

inline CourseBuilder::Writer TimeEvent(std::int32_t seconds, std::uint32_t flags = 4) {
  return [=](CourseBuilder& b) { b.TimeEvent(IconFields{flags, "every", "", 3}, EventFields{1, ""}, seconds); };
}

inline CourseBuilder::Writer KeyEvent(std::string characters) {
  return [=](CourseBuilder& b) {
    b.KeyboardEvent(IconFields{4, "hotkey", "", 3}, EventFields{1, ""}, KeyFields{0, characters, {}});
  };
}

// An event put into the armed list by hand: it notes every offer and
// accepts the kinds it is told to.
class NotingEvent : public CEventTrigger {
 public:
  BOOL OnMouseButton(UINT message, UINT flags, CPoint, int source, const CRect*) override {
    mouse.push_back({message, flags});
    lastSource = source;
    return acceptMouse;
  }
  BOOL OnNotify(WPARAM wParam, LPARAM) override {
    notices.push_back(static_cast<UINT>(wParam));
    return acceptNotify;
  }
  BOOL OnCommand(int id, LPARAM) override {
    commands.push_back(id);
    return acceptCommand != 0 && id == acceptCommand;
  }

  struct Button {
    UINT message;
    UINT flags;
  };
  std::vector<Button> mouse;
  std::vector<UINT> notices;
  std::vector<int> commands;
  int lastSource = 0;
  BOOL acceptMouse = FALSE;
  BOOL acceptNotify = FALSE;
  int acceptCommand = 0;
};

}  // namespace tvn::testing
