// Reading one course object back from what the course builder wrote, and hosting it in a task with fake services.
#pragma once

#include <memory>

#include "model/archive.h"
#include "model/task.h"
#include "tests/support/course_builder.h"
#include "tests/support/fake_task_services.h"
#include "tests/support/stream_reader.h"

namespace tvn::testing {

template <class T>
std::unique_ptr<T> ReadBack(const CourseBuilder& b, CVariableContext* vars = nullptr) {
  StreamReader r(b.bytes(), b.version());
  r.ar.SetVariableContext(vars);
  auto obj = r.ar.ReadOwned<T>();
  EXPECT_EQ(r.ar.BytesRemaining(), 0u);
  return obj;
}

// A task with the fake services; objects added to it find them through their parents.
struct HostTask {
  HostTask() { task.SetServices(&services); }
  template <class T>
  T* AddResponse(std::unique_ptr<T> response) {
    T* raw = response.get();
    task.GetResponses()->AddChild(std::move(response));
    return raw;
  }
  template <class T>
  T* AddEvent(std::unique_ptr<T> event) {
    T* raw = event.get();
    task.GetEvents()->AddChild(std::move(event));
    return raw;
  }
  FakeTaskServices services;
  CTask task;
};

}  // namespace tvn::testing
