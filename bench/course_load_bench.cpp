// Loading a large course from disk: 2,000 tasks, each with its event, action and response lists filled.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "model/course_doc.h"
#include "tests/support/course_builder.h"
#include "tests/support/fake_course_host.h"
#include "tests/support/packed_file_builder.h"

namespace {

using tvn::testing::CourseBuilder;
using tvn::testing::IconFields;

// A course of count tasks, each with two events, three actions and two responses.
std::vector<std::uint8_t> LargeCourse(int count) {
  tvn::testing::CourseFileFields f;
  for (int i = 0; i < 20; ++i) {
    tvn::testing::VariableFields v;
    v.name = "Var" + std::to_string(i);
    f.variables.push_back(v);
  }
  f.searchPaths = {"\\MEDIA\\", "sounds\\"};
  for (int t = 0; t < count; ++t) {
    f.tasks.push_back([t](CourseBuilder& b) {
      auto event = [t](int n) {
        return [=](CourseBuilder& c) {
          c.DemonEvent(IconFields{4, "event" + std::to_string(t) + "_" + std::to_string(n), "", 3},
                       tvn::testing::EventFields{1, "Var1 > 3"}, "Var2");
        };
      };
      auto action = [t](int n) {
        return [=](CourseBuilder& c) {
          c.Action("CAction", 2, IconFields{4, "action" + std::to_string(t) + "_" + std::to_string(n), "a note", 3});
        };
      };
      auto response = [t](int n) {
        return [=](CourseBuilder& c) {
          tvn::testing::ResponseFields r;
          r.outcomeFlags = 0x2;
          r.targets = {t + 2};
          tvn::testing::KeyFields k;
          k.characters = "YN";
          c.KeyboardResponse(IconFields{4, "response" + std::to_string(t) + "_" + std::to_string(n), "", 3}, r, k);
        };
      };
      b.Task(IconFields{4, "Task " + std::to_string(t), "what this page shows", 3}, t + 1, {event(0), event(1)},
             {action(0), action(1), action(2)}, {response(0), response(1)});
    });
  }
  CourseBuilder b;
  b.CourseFile(f);
  return b.bytes();
}

void BM_LoadCourse(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  std::string path = "/tmp/tvn-course-bench-" + std::to_string(::getpid()) + ".mcl";
  std::vector<std::uint8_t> bytes = LargeCourse(count);
  tvn::testing::WriteBytes(path, bytes);
  for (auto _ : state) {
    tvn::testing::FakeCourseHost host;
    CCourseDoc doc(host);
    if (!doc.OnOpenDocument(CString(path)) || doc.Tasks().GetCount() != count) {
      state.SkipWithError("the course did not load");
      break;
    }
    benchmark::DoNotOptimize(doc.GetCurrentTask());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes.size()));
  state.counters["file_bytes"] = static_cast<double>(bytes.size());
  std::remove(path.c_str());
}
BENCHMARK(BM_LoadCourse)->Arg(2000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
